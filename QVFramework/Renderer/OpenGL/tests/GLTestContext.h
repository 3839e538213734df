#pragma once
// A hidden window with a current GL context and a pixel projection (origin
// top left, y down), for tests that draw and read the pixels back.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "GLContext.h"

class GLTestContext : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 64;

    // One window and context for the whole test program.
    struct Shared {
        Platform::HiddenGLWindow window{kWidth, kHeight};
        std::unique_ptr<Platform::GLContext> context;
        std::string error;
        Shared()
        {
            if (window.GetError().empty()) context = Platform::GLContext::Create(window.Get(), error);
            Platform::KeepGLDriverLoaded();
        }
    };
    static Shared& GL()
    {
        static Shared shared;
        return shared;
    }

    void SetUp() override
    {
        ASSERT_TRUE(GL().window.GetError().empty()) << GL().window.GetError();
        ASSERT_TRUE(GL().context) << GL().error;
        ASSERT_TRUE(GL().context->MakeCurrent(GL().window.Get()));
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, kHeight, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glReadBuffer(GL_BACK);
    }
    void TearDown() override { Platform::GLContext::ReleaseCurrent(); }

    // RGB of the pixel at (x, y), y counted from the top.
    static std::array<int, 3> Pixel(int x, int y)
    {
        unsigned char p[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
};

using RGB = std::array<int, 3>;
inline constexpr RGB kBlack{0, 0, 0};
inline constexpr RGB kWhite{255, 255, 255};
inline constexpr RGB kRed{255, 0, 0};
inline constexpr RGB kBlue{0, 0, 255};
