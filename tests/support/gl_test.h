#pragma once
// A test fixture with a real OpenGL context on the headless backend: one 640 x 480 window with its
// device context, pixel format and rendering context, current for the whole test, the model-view
// matrix current and identity. Also GL's feedback mode, to see the geometry a draw call sends.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "headless_test_platform.h"
#include "platform/gl.h"

class HeadlessGlTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The RGBA bytes of one pixel of the window, (0, 0) at the bottom left.
    std::array<GLubyte, 4> pixelAt(int x, int y) const;

    HeadlessTestPlatform headless;
    WindowHandle window = nullptr;
    DeviceContextHandle deviceContext = nullptr;
    RenderingContextHandle renderingContext = nullptr;
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
};

// One vertex as feedback mode reports it: window coordinates, colour and texture coordinates.
struct FeedbackVertex {
    float x, y, z, w;
    float r, g, b, a;
    float s, t, p, q;
};

using FeedbackPolygon = std::vector<FeedbackVertex>;

// Runs `draw` in feedback mode (GL_4D_COLOR_TEXTURE) and returns the polygons it sent, after
// transformation and clipping, in the order sent.
std::vector<FeedbackPolygon> recordFeedback(const std::function<void()>& draw,
                                            std::size_t capacity = 1 << 20);

// Sets projection and model-view so that object coordinates with x, y in [-1, 1] map straight onto
// the window: feedback x = (x + 1) * 320, y = (y + 1) * 240, z = (z + 1) / 2.
void useIdentityTransforms();
