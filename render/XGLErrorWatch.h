// XGLErrorWatch: a cheap watch for OpenGL errors raised by the frame's passes.
//
// OpenGL keeps an error flag until somebody reads it, so reading the errors once every N frames still sees
// every kind of error raised in between, at the cost of one glGetError call per N frames. The first error
// seen is written to the log, once; later ones are only counted, so that a pass that fails every frame
// cannot flood the log. Long runs (the soak test) check the log and the counts.
// Depends on: OpenGL, GLU (the error's name), XLog.
#pragma once

#include <GL/gl.h> // GLenum

class XGLErrorWatch {
public:
    // Checks after every interval-th frame (1 or more).
    explicit XGLErrorWatch(int framesPerCheck);

    // Called after each frame (after the buffer swap), with the frame's number.
    void AfterFrame(int frameNumber);

    // Reads the pending errors now; true when there were any. Logs the first one ever seen.
    bool Check(int frameNumber);

    // Checks done, and how many of them found errors.
    int Checks() const;
    int ChecksWithErrors() const;
    // The first error seen, GL_NO_ERROR while none was.
    GLenum FirstError() const;
    // The number of the frame after which the first error was seen, 0 while none was.
    int FirstErrorFrame() const;

private:
    int interval = 1;
    int checks = 0;
    int checksWithErrors = 0;
    GLenum firstError = GL_NO_ERROR;
    int firstErrorFrame = 0;
};

// The program's watch, created on first use, checking every 100 frames.
XGLErrorWatch* GetGLErrorWatch();
