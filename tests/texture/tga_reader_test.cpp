#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "formats/image_writer.h"
#include "texture/tga_reader.h"
#include "texture_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The file's decoded pixels; a failure is a test failure.
Bytes decodedPixels(const Bytes& file, std::uint32_t flags = 0) {
    TgaImage image;
    const ReadResult decoded = decodeTga(file, image, flags, kTextureSide);
    EXPECT_TRUE(decoded) << decoded.reason();
    return pixelsOf(image);
}

using Told = std::pair<Failure, std::string>;

// The kind and text of a failure.
Told toldBy(const ReadResult& failure) {
    EXPECT_FALSE(failure);
    return {failure.kind(), failure.reason()};
}

TEST(TgaReader, TrueColourPixelsTurnToRgb) {
    TgaImage image;
    EXPECT_TRUE(decodeTga(rawTga(2, 1, {.bitsPerPixel = 24}, {10, 20, 30, 40, 50, 60}), image, 0,
                          kTextureSide));
    EXPECT_EQ(pixelsOf(image), (Bytes{30, 20, 10, 60, 50, 40}));
    EXPECT_EQ(image.glFormat, kGlRgb);
    EXPECT_EQ(image.imageSize, 6);
    EXPECT_TRUE(
        decodeTga(rawTga(1, 1, {.bitsPerPixel = 32}, {10, 20, 30, 99}), image, 0, kTextureSide));
    EXPECT_EQ(pixelsOf(image), (Bytes{30, 20, 10, 99}));
    EXPECT_EQ(image.glFormat, kGlRgba);

    // With an id of 5 bytes the pixels start at byte 23; a colour map of 15-bit entries takes
    // 2 bytes an entry.
    const Bytes withId = rawTga(1, 1, {.bitsPerPixel = 24, .id = "abcde"}, {1, 2, 3});
    ASSERT_EQ(withId.size(), 23u + 3);
    EXPECT_EQ(decodedPixels(withId), (Bytes{3, 2, 1}));
    EXPECT_EQ(
        decodedPixels(rawTga(
            1, 1, {.bitsPerPixel = 24, .id = "ab", .colourMapLength = 3, .colourMapEntryBits = 15},
            {1, 2, 3})),
        (Bytes{3, 2, 1}));

    // Rows stay in the file's order, over more than one block of 16 pixels.
    for (int bits : {24, 32}) {
        const RgbaPicture picture = patternPicture(7, 5);
        EXPECT_EQ(decodedPixels(tgaFile(picture, {.bitsPerPixel = std::uint8_t(bits)})),
                  expectedPixels(picture, bits));
    }
}

TEST(TgaReader, RunLengthPacketsCrossRowsAndStopAtTheImageEnd) {
    const TgaLayout rle24{.imageType = 10, .bitsPerPixel = 24};
    EXPECT_EQ(decodedPixels(rawTga(4, 1, rle24, {0x83, 1, 2, 3})),
              (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}));
    EXPECT_EQ(decodedPixels(rawTga(3, 1, rle24, {0x00, 1, 2, 3, 0x81, 4, 5, 6})),
              (Bytes{3, 2, 1, 6, 5, 4, 6, 5, 4}));
    // A run that starts at the last pixel of a row goes on in the next.
    EXPECT_EQ(decodedPixels(rawTga(2, 2, rle24, {0x00, 1, 2, 3, 0x81, 4, 5, 6, 0x00, 7, 8, 9})),
              (Bytes{3, 2, 1, 6, 5, 4, 6, 5, 4, 9, 8, 7}));
    EXPECT_EQ(
        decodedPixels(rawTga(2, 1, {.imageType = 10, .bitsPerPixel = 32}, {0x81, 1, 2, 3, 4})),
        (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));

    // Packets past the image are cut; data that ends early leaves zeros.
    EXPECT_EQ(decodedPixels(rawTga(2, 1, rle24, {0xFF, 1, 2, 3})), (Bytes{3, 2, 1, 3, 2, 1}));
    EXPECT_EQ(decodedPixels(rawTga(1, 1, rle24, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9})),
              (Bytes{3, 2, 1}));
    EXPECT_EQ(decodedPixels(rawTga(3, 1, rle24, {0x02, 1, 2, 3, 4, 5})),
              (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(decodedPixels(rawTga(2, 1, rle24, {0x81, 1, 2})), (Bytes{0, 0, 0, 0, 0, 0}));
    // 4-byte pixels: a run, then a stretch that the data cuts inside its second pixel.
    const TgaLayout rle32{.imageType = 10, .bitsPerPixel = 32};
    EXPECT_EQ(decodedPixels(rawTga(4, 1, rle32, {0x81, 1, 2, 3, 4, 0x01, 5, 6, 7, 8, 9})),
              (Bytes{3, 2, 1, 4, 3, 2, 1, 4, 7, 6, 5, 8, 0, 0, 0, 0}));

    // Encoded pictures with repeats across rows decode as the uncompressed ones do.
    RgbaPicture picture = patternPicture(7, 40);
    std::fill(picture.rgba.begin() + 4 * 5, picture.rgba.begin() + 4 * 150, 9);
    for (int bits : {24, 32}) {
        EXPECT_EQ(
            decodedPixels(tgaFile(picture, {.imageType = 10, .bitsPerPixel = std::uint8_t(bits)})),
            expectedPixels(picture, bits));
    }
}

TEST(TgaReader, UnusableFilesAreRefusedWithTheirMessage) {
    // Greyscale needs a flag; TGA_LUMINANCE wins over TGA_ALPHA; grey bytes keep their order.
    const Bytes grey = rawTga(3, 1, {.imageType = 3, .bitsPerPixel = 8}, {1, 2, 3});
    TgaImage image;
    EXPECT_TRUE(decodeTga(grey, image, TGA_LUMINANCE | TGA_ALPHA, kTextureSide));
    EXPECT_EQ(image.glFormat, kGlLuminance);
    EXPECT_EQ(pixelsOf(image), (Bytes{1, 2, 3}));
    EXPECT_TRUE(decodeTga(grey, image, TGA_ALPHA, kTextureSide));
    EXPECT_EQ(image.glFormat, kGlAlpha);

    const Bytes pixel{1, 2, 3, 4};
    const Bytes header = rawTga(1, 1, {}, pixel);
    const auto unsupported = [](const char* text) { return Told(Failure::unsupported, text); };
    const Told invalidSize{Failure::outOfRange, "Invalid image size"};
    const std::vector<std::tuple<Bytes, std::uint32_t, Told>> cases{
        {grey, 0, unsupported("Must be LUMINANCE or ALPHA greyscale")},
        {rawTga(1, 1, {.bitsPerPixel = 16}, pixel), 0, unsupported("Unsupported RGB format")},
        {rawTga(1, 1, {.imageType = 1, .bitsPerPixel = 8}, pixel), 0,
         unsupported("8-bit colour no longer supported")},
        {rawTga(1, 1, {.imageType = 9, .bitsPerPixel = 8}, pixel), 0,
         unsupported("8-bit colour no longer supported")},
        {rawTga(1, 1, {.imageType = 10, .bitsPerPixel = 16}, pixel), 0,
         unsupported("Unsupported compressed RGB format")},
        {rawTga(1, 1, {.imageType = 0}, pixel), 0, unsupported("Unsupported image type")},
        {Bytes(header.begin(), header.begin() + 17), 0,
         Told(Failure::tooShort, "Invalid image size")},
        {rawTga(0, 1, {}, pixel), 0, invalidSize},
        {rawTga(1, -1, {}, pixel), 0, invalidSize},
        {rawTga(2, 2, {.imageType = 3, .bitsPerPixel = 4}, pixel), TGA_LUMINANCE, invalidSize},
        {rawTga(32767, 32767, {}, pixel), 0, invalidSize},  // over 2^31 - 1 bytes
    };
    for (const auto& [file, flags, told] : cases) {
        EXPECT_EQ(toldBy(decodeTga(file, image, flags, kTextureSide)), told);
        EXPECT_FALSE(image.pixels);
    }

    // A short uncompressed file keeps what it has, turned to RGB, and zeros after it.
    EXPECT_EQ(decodedPixels(rawTga(2, 2, {.bitsPerPixel = 24}, {1, 2, 3, 4, 5, 6, 7})),
              (Bytes{3, 2, 1, 6, 5, 4, 0, 0, 7, 0, 0, 0}));
}

// No side may exceed the limit given, and no file describe more than 128 pixels a byte.
TEST(TgaReader, ImagesLargerThanTheTextureOrTheirFileAreRefused) {
    const Bytes pixel{1, 2, 3, 4};  // with the header 22 bytes, so 2816 pixels at the most
    ASSERT_EQ(rawTga(1, 1, {}, pixel).size(), 22u);
    EXPECT_EQ(decodedPixels(rawTga(2816, 1, {}, pixel)).size(), 2816u * 4);
    EXPECT_EQ(decodedPixels(rawTga(44, 64, {}, pixel)).size(), 2816u * 4);
    TgaImage image;
    const Told tooMany{Failure::tooLarge, "The image has more pixels than its file can describe"};
    EXPECT_EQ(toldBy(decodeTga(rawTga(2817, 1, {}, pixel), image, 0, kTextureSide)), tooMany);
    EXPECT_EQ(toldBy(decodeTga(rawTga(1, 2817, {}, pixel), image, 0, kTextureSide)), tooMany);
    EXPECT_EQ(toldBy(decodeTga(rawTga(16384, 16384, {}, pixel), image, 0, kTextureSide)), tooMany);
    EXPECT_FALSE(image.pixels);

    EXPECT_TRUE(decodeTga(rawTga(20, 20, {}, pixel), image, 0, 20));
    for (const auto& [width, height] : {std::pair{21, 20}, std::pair{20, 21}}) {
        EXPECT_EQ(toldBy(decodeTga(rawTga(width, height, {}, pixel), image, 0, 20)),
                  Told(Failure::tooLarge, "The image is larger than the largest texture"));
        EXPECT_FALSE(image.pixels);
    }
}

}  // namespace
