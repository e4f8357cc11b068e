#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "formats/png_writer.h"

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

}  // namespace

TEST(PngWriter, DecodesBackToItsPixels) {
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 7}, {640, 48}}) {
        const std::vector<std::uint8_t> rgb = testPicture(width, height);
        const std::vector<std::uint8_t> png = pngFile(width, height, rgb);
        int decodedWidth = 0;
        int decodedHeight = 0;
        int channels = 0;
        const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(
            stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &decodedWidth,
                                  &decodedHeight, &channels, 0),
            &stbi_image_free);
        ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
        EXPECT_EQ(decodedWidth, width);
        EXPECT_EQ(decodedHeight, height);
        ASSERT_EQ(channels, 3);
        EXPECT_EQ(std::vector<std::uint8_t>(pixels.get(), pixels.get() + rgb.size()), rgb)
            << width << " x " << height;
    }
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
