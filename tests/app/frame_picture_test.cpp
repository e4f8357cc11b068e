#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/frame_picture.h"
#include "gl_test.h"
#include "platform/gl.h"

namespace {

// Rows of flat colour, gradients and noise, so that the encoder's row filters all come into play;
// no two rows alike, so a picture written upside down or shifted does not decode the same.
std::vector<std::uint8_t> testPicture(int width, int height) {
    std::vector<std::uint8_t> rgb;
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            rgb.push_back(static_cast<std::uint8_t>(y));
            rgb.push_back(static_cast<std::uint8_t>(x * 5 + y));
            rgb.push_back(static_cast<std::uint8_t>(y % 3 == 0 ? noise >> 24 : 200));
        }
    }
    return rgb;
}

// A PNG file's pixels, rows from the top, with its size and channels; empty when it does not
// decode.
std::vector<std::uint8_t> decoded(const std::vector<std::uint8_t>& png, int& width, int& height,
                                  int& channels) {
    const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels,
                              0),
        &stbi_image_free);
    if (pixels == nullptr) {
        return {};
    }
    return std::vector<std::uint8_t>(pixels.get(),
                                     pixels.get() + std::size_t{1} * width * height * channels);
}

}  // namespace

TEST(PngWriter, DecodesBackToItsPixels) {
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 7}, {640, 48}}) {
        const std::vector<std::uint8_t> rgb = testPicture(width, height);
        int decodedWidth = 0;
        int decodedHeight = 0;
        int channels = 0;
        const std::vector<std::uint8_t> pixels =
            decoded(pngFile(width, height, rgb), decodedWidth, decodedHeight, channels);
        ASSERT_FALSE(pixels.empty()) << stbi_failure_reason();
        EXPECT_EQ(decodedWidth, width);
        EXPECT_EQ(decodedHeight, height);
        ASSERT_EQ(channels, 3);
        EXPECT_EQ(pixels, rgb) << width << " x " << height;
    }
}

using FramePngTest = HeadlessGlTest;

// A frame red in its top row and its right column, blue elsewhere: the picture keeps the top row
// first, whatever its width.
TEST_F(FramePngTest, KeepsTheFrameTopRowFirst) {
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(1, 0, 0, 1);
    for (const auto& [x, y, w, h] : {std::array{0, 62, 101, 1}, std::array{100, 0, 1, 63}}) {
        glScissor(x, y, w, h);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::vector<std::uint8_t> rgb = decoded(framePng(101, 63), width, height, channels);
    ASSERT_EQ(width, 101);
    ASSERT_EQ(height, 63);
    ASSERT_EQ(channels, 3);
    const auto pixel = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        return std::array{rgb[at], rgb[at + 1], rgb[at + 2]};
    };
    const std::array<std::uint8_t, 3> red{255, 0, 0};
    const std::array<std::uint8_t, 3> blue{0, 0, 255};
    EXPECT_EQ(pixel(0, 0), red);
    EXPECT_EQ(pixel(50, 0), red);
    EXPECT_EQ(pixel(0, 1), blue);
    EXPECT_EQ(pixel(99, 62), blue);
    EXPECT_EQ(pixel(100, 62), red);
    EXPECT_TRUE(framePng(0, 63).empty());
}

// Pixels that do not fill the size given give no file rather than a read past them, and a side
// beyond the encoder's counts none at all.
TEST(PngWriter, WritesNothingForPixelsOfAnotherSizeOrSidesOver16384) {
    EXPECT_TRUE(pngFile(4, 4, std::vector<std::uint8_t>(4 * 4 * 3 - 1)).empty());
    EXPECT_TRUE(pngFile(4, 4, std::vector<std::uint8_t>(4 * 4 * 4)).empty());
    EXPECT_TRUE(pngFile(0, 0, {}).empty());
    EXPECT_TRUE(pngFile(-2, -2, std::vector<std::uint8_t>(12)).empty());
    EXPECT_FALSE(pngFile(16384, 1, std::vector<std::uint8_t>(16384 * 3)).empty());
    EXPECT_TRUE(pngFile(16385, 1, std::vector<std::uint8_t>(16385 * 3)).empty());
    EXPECT_TRUE(pngFile(1, 16385, std::vector<std::uint8_t>(16385 * 3)).empty());
}
