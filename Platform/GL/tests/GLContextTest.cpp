#include "GLContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

TEST(GLContextTest, ContextDrawsIntoTheHiddenWindowsBackBuffer)
{
    Platform::HiddenGLWindow window(32, 16);
    ASSERT_TRUE(window.GetError().empty()) << window.GetError();
    std::string error;
    auto context = Platform::GLContext::Create(window.Get(), error);
    ASSERT_TRUE(context) << error;
    Platform::KeepGLDriverLoaded();
    EXPECT_TRUE(context->IsDoubleBuffered());
    ASSERT_TRUE(context->MakeCurrent(window.Get()));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    Platform::GLContext::ReleaseCurrent();
}

TEST(GLContextTest, NoWindowGivesAnError)
{
    std::string error;
    EXPECT_FALSE(Platform::GLContext::Create(nullptr, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
