// XGLErrorWatch: periodic glGetError checks with one log line for the first error.
#include "render/XGLErrorWatch.h"

#include "shell/XLog.h"

#include <GL/glu.h> // gluErrorString

#include <cstdio> // std::snprintf

namespace {

// Errors are flags, one per kind; a context that is lost may report without end, hence the bound.
const int kMaxErrorsPerCheck = 16;
const int kFramesPerCheck = 100;

} // namespace

XGLErrorWatch::XGLErrorWatch(int framesPerCheck) : interval(framesPerCheck < 1 ? 1 : framesPerCheck)
{
}

void XGLErrorWatch::AfterFrame(int frameNumber)
{
    if (frameNumber % interval == 0) {
        Check(frameNumber);
    }
}

bool XGLErrorWatch::Check(int frameNumber)
{
    ++checks;
    GLenum first = GL_NO_ERROR;
    for (int i = 0; i < kMaxErrorsPerCheck; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) {
            break;
        }
        if (first == GL_NO_ERROR) {
            first = error;
        }
    }
    if (first == GL_NO_ERROR) {
        return false;
    }
    ++checksWithErrors;
    if (firstError == GL_NO_ERROR) {
        firstError = first;
        firstErrorFrame = frameNumber;
        const GLubyte* const name = gluErrorString(first);
        char line[256] = {};
        std::snprintf(line, sizeof(line), "OpenGL error 0x%04X (%s) by frame %d; later errors are only counted",
                      static_cast<unsigned>(first), name != nullptr ? reinterpret_cast<const char*>(name) : "unknown",
                      frameNumber);
        GetLog()->Log(line);
    }
    return true;
}

int XGLErrorWatch::Checks() const
{
    return checks;
}

int XGLErrorWatch::ChecksWithErrors() const
{
    return checksWithErrors;
}

GLenum XGLErrorWatch::FirstError() const
{
    return firstError;
}

int XGLErrorWatch::FirstErrorFrame() const
{
    return firstErrorFrame;
}

XGLErrorWatch* GetGLErrorWatch()
{
    static XGLErrorWatch* const watch = new XGLErrorWatch(kFramesPerCheck);
    return watch;
}
