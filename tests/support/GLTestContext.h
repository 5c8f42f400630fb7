// GLTestContext: one OpenGL context per test process, for tests of code that draws or owns GL objects.
//
// The context belongs to a hidden SDL window of 800 x 600 (the engine window's default size) with double
// buffering and a compatibility profile, so immediate mode and client arrays work. Without a display the
// SDL offscreen driver renders the same pixels. The context is made once and stays current for the process.
#pragma once

#include <gtest/gtest.h>

#include <cstdint> // uint8_t
#include <string>

const int kGLTestWidth = 800;
const int kGLTestHeight = 600;

// Makes the context (first call) and makes it current. False, with the reason in `reason`, when none can be had.
bool EnsureGLContext(std::string* reason);

// Reads pending GL errors away; returns the first one (GL_NO_ERROR when none was pending).
unsigned int TakeGLError();

struct RGBPixel {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// A pixel of the back buffer, x from the left, y from the bottom.
RGBPixel ReadBackBufferPixel(int x, int y);

// Test fixture: the context is current, the viewport covers the window and no GL error is pending.
class GLContextTest : public ::testing::Test {
protected:
    void SetUp() override;
};
