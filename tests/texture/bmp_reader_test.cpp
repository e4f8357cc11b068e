#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "formats/image_writer.h"
#include "texture/bmp_reader.h"
#include "texture_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes rgbOf(const Bytes& file) {
    const Result<RgbImage> decoded = decodeDib(file, kTextureSide);
    if (!decoded) {
        ADD_FAILURE() << "decoding failed: " << decoded.reason();
        return {};
    }
    const auto* pixels = decoded->pixels.get();
    return Bytes(pixels, pixels + std::size_t(decoded->width) * decoded->height * 3);
}

using Told = std::pair<Failure, std::string>;

// The kind and text of a failure or a refusal.
Told failureOf(const Bytes& file, std::int32_t maxSide = kTextureSide) {
    const Result<RgbImage> decoded = decodeDib(file, maxSide);
    EXPECT_FALSE(decoded);
    return {decoded.kind(), decoded.reason()};
}

Bytes rampColour(std::uint32_t index) {
    return {std::uint8_t(index), std::uint8_t(255 - index), std::uint8_t(3 * index)};
}

// Entry i of the table is rampColour(i); the indices come in stretches of five different ones
// and runs of six equal ones, so that run-length data holds both kinds of code.
BmpPicture indexedPicture(std::int32_t width, std::int32_t height, int bits) {
    BmpPicture picture{width, height, {}, {}};
    for (std::uint32_t i = 0; i < (1u << bits); ++i) {
        const Bytes rgb = rampColour(i);
        picture.colourTable.push_back({rgb[0], rgb[1], rgb[2]});
    }
    for (std::int32_t i = 0; i < width * height; ++i) {
        picture.values.push_back(std::uint32_t(i % 11 < 5 ? i * 3 : i / 11 * 7) % (1u << bits));
    }
    return picture;
}

Bytes rampRgb(const BmpPicture& picture) {
    Bytes rgb;
    for (std::uint32_t index : picture.values) {
        const Bytes colour = rampColour(index);
        rgb.insert(rgb.end(), colour.begin(), colour.end());
    }
    return rgb;
}

TEST(BmpReader, IndexedPixelsTakeTheirColourTableEntry) {
    const BmpPicture one{1, 1, {0}, {{30, 20, 10}}};  // stored blue 10, green 20, red 30
    EXPECT_EQ(rgbOf(bmpFile(one, {.bitCount = 8, .coloursUsed = 1})), (Bytes{30, 20, 10}));

    // Pixels that share bytes, rows that end inside a byte, row padding.
    for (int bits : {1, 4, 8}) {
        for (std::int32_t width : {1, 3, 5, 9, 17}) {
            SCOPED_TRACE("bits " + std::to_string(bits) + " width " + std::to_string(width));
            const BmpPicture picture = indexedPicture(width, 3, bits);
            EXPECT_EQ(rgbOf(bmpFile(picture, {.bitCount = std::uint16_t(bits)})), rampRgb(picture));
        }
    }

    const BmpPicture shortTable{2, 1, {1, 5}, {{0, 0, 0}, {7, 8, 9}}};
    EXPECT_EQ(rgbOf(bmpFile(shortTable, {.bitCount = 8, .coloursUsed = 2})),
              (Bytes{7, 8, 9, 0, 0, 0}));  // past the table: black
}

TEST(BmpReader, TrueColourPixelsTurnToRgbWithoutPadding) {
    const Bytes stored{255, 0, 255, 10, 20, 30, 1,  2,  3,  0, 0, 0,  // 9 bytes and 3 of padding
                       4,   5, 6,   7,  8,  9,  11, 12, 13, 0, 0, 0};
    EXPECT_EQ(rgbOf(bmpFile(BmpPicture{3, 2, {}, {}}, {.pixelData = stored})),
              (Bytes{255, 0, 255, 30, 20, 10, 3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11}));
    EXPECT_EQ(rgbOf(bmpFile(BmpPicture{1, 2, {}, {}},
                            {.bitCount = 32, .pixelData = Bytes{10, 20, 30, 99, 1, 2, 3, 4}})),
              (Bytes{30, 20, 10, 3, 2, 1}));

    // 5-5-5: red 31, green 31, blue 16, all 16; masks 5-6-5: a green of 32 widens to 130.
    EXPECT_EQ(
        rgbOf(bmpFile(BmpPicture{4, 1, {0x7C00, 0x03E0, 0x0010, 0x4210}, {}}, {.bitCount = 16})),
        (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 132, 132, 132, 132}));
    EXPECT_EQ(rgbOf(bmpFile(BmpPicture{3, 1, {0xF800, 0x07E0, 0x0400}, {}},
                            {.bitCount = 16,
                             .compression = BmpCompression::bitfields,
                             .masks = {0xF800, 0x07E0, 0x001F}})),
              (Bytes{255, 0, 0, 0, 255, 0, 0, 130, 0}));
    // Masks of 8 bits in the top bytes, and of 10 bits, which keep their top 8.
    const BmpPicture wide{2, 1, {0x11223344, 0x3FF80001}, {}};
    EXPECT_EQ(rgbOf(bmpFile(wide, {.bitCount = 32,
                                   .compression = BmpCompression::bitfields,
                                   .masks = {0xFF000000, 0x00FF0000, 0x0000FF00}})),
              (Bytes{0x11, 0x22, 0x33, 0x3F, 0xF8, 0x00}));
    EXPECT_EQ(rgbOf(bmpFile(wide, {.bitCount = 32,
                                   .compression = BmpCompression::bitfields,
                                   .masks = {0x3FF00000, 0x000FFC00, 0x000003FF}})),
              (Bytes{0x44, 0x23, 0xD1, 0xFF, 0x80, 0x00}));
}

TEST(BmpReader, HeaderKindsAndPixelOffsetsGiveTheSameImage) {
    const BmpPicture picture = indexedPicture(7, 4, 8);
    const Bytes expected = rampRgb(picture);
    EXPECT_EQ(rgbOf(bmpFile(picture, {.headerSize = 12, .bitCount = 8})), expected);
    EXPECT_EQ(rgbOf(bmpFile(picture, {.bitCount = 8, .fileHeader = false})), expected);
    EXPECT_EQ(rgbOf(bmpFile(picture, {.headerSize = 12, .bitCount = 8, .fileHeader = false})),
              expected);
    EXPECT_EQ(rgbOf(bmpFile(picture, {.bitCount = 8, .gap = 7})), expected);

    // A 16-entry table: without a file header the pixels start 40 + 64 bytes after the header.
    const BmpPicture small = indexedPicture(5, 3, 4);
    const Bytes file = bmpFile(small, {.bitCount = 8, .fileHeader = false, .coloursUsed = 16});
    ASSERT_EQ(file.size(), 40u + 64u + 3 * 8);
    EXPECT_EQ(rgbOf(file), rampRgb(small));

    // The first row of the result is the bottom row, also of files stored top to bottom.
    const RgbaPicture colours = patternPicture(5, 4);
    const BmpPicture bottomUp = bmpPictureOf(colours);
    BmpPicture topDown = bottomUp;
    for (int row = 0; row < 4; ++row) {
        std::copy_n(bottomUp.values.begin() + (3 - row) * 5, 5, topDown.values.begin() + row * 5);
    }
    const Bytes upright = rgbOf(bmpFile(bottomUp));
    EXPECT_EQ(Bytes(upright.begin(), upright.begin() + 3),
              Bytes(colours.rgba.begin(), colours.rgba.begin() + 3));
    EXPECT_EQ(rgbOf(bmpFile(topDown, {.topDown = true})), upright);
}

TEST(BmpReader, RunLengthCodesPlacePixelsAndSkipToBlack) {
    const Bytes rle8{3, 5, 0, 0,        // row 0: three of index 5, end of line
                     0, 3, 1, 2, 3, 0,  // row 1: 1 2 3 in place, padded
                     0, 2, 0, 1,        // down one row, same column
                     1, 8, 0, 1};       // index 8, end of bitmap
    Bytes expected;
    for (int index : {5, 5, 5, -1, 1, 2, 3, -1, -1, -1, -1, 8}) {
        const Bytes rgb = index < 0 ? Bytes{0, 0, 0} : rampColour(std::uint32_t(index));
        expected.insert(expected.end(), rgb.begin(), rgb.end());
    }
    EXPECT_EQ(
        rgbOf(bmpFile(indexedPicture(4, 3, 8),
                      {.bitCount = 8, .compression = BmpCompression::rle8, .pixelData = rle8})),
        expected);

    // RLE4: a run alternates the two nibbles of its byte; five indices in place take 3 bytes + 1.
    const BmpPicture nibbles{
        5, 2, {1, 2, 3, 4, 5, 0xA, 0xB, 0xA, 0xB, 0xC}, indexedPicture(1, 1, 4).colourTable};
    const Bytes rle4{0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 4, 0xAB, 1, 0xC0, 0, 1};
    EXPECT_EQ(
        rgbOf(bmpFile(nibbles,
                      {.bitCount = 4, .compression = BmpCompression::rle4, .pixelData = rle4})),
        rampRgb(nibbles));

    // Encoded pictures decode to the same pixels as uncompressed ones.
    for (std::int32_t width : {1, 2, 7, 31, 300}) {
        for (int bits : {4, 8}) {
            const BmpPicture picture = indexedPicture(width, 5, bits);
            const auto compression = bits == 8 ? BmpCompression::rle8 : BmpCompression::rle4;
            EXPECT_EQ(rgbOf(bmpFile(picture,
                                    {.bitCount = std::uint16_t(bits), .compression = compression})),
                      rampRgb(picture));
        }
    }
}

TEST(BmpReader, DamagedFilesGiveTheirMessageAndNoImage) {
    const std::string unknown = "Unknown DIB file format.";
    const std::string conversion = "Image file conversion error.";
    const Told unknownFormat{Failure::unsupported, unknown};
    const Told headerCut{Failure::tooShort, unknown};
    const Told noPixels{Failure::outOfRange, "Out of memory."};
    const Told tooLarge{Failure::tooLarge, "The image is larger than the largest texture"};
    const Told rowsMissing{Failure::tooShort, conversion};
    const Told unsupportedLayout{Failure::unsupported, conversion};
    const Told runsOutside{Failure::outOfRange, conversion};
    const BmpPicture picture = indexedPicture(4, 2, 8);
    const auto rle8 = [&](Bytes data) {
        return bmpFile(
            BmpPicture{4, 1, {}, picture.colourTable},
            {.bitCount = 8, .compression = BmpCompression::rle8, .pixelData = std::move(data)});
    };
    const auto sized = [](std::int32_t width, std::int32_t height, std::uint32_t headerSize) {
        return bmpFile(BmpPicture{width, height, {}, {}},
                       {.headerSize = headerSize, .pixelData = Bytes(64)});
    };
    const auto cut = [](const Bytes& file, std::size_t size) {
        return Bytes(file.begin(), file.begin() + std::ptrdiff_t(size));
    };
    const Bytes whole = bmpFile(picture, {.bitCount = 8});
    const Bytes masked =
        bmpFile(BmpPicture{1, 1, {0}, {}},
                {.bitCount = 16, .compression = BmpCompression::bitfields, .fileHeader = false});
    const Bytes gapped = bmpFile(picture, {.bitCount = 8, .gap = 100});

    const std::vector<std::tuple<const char*, Bytes, Told>> cases{
        {"108-byte header", bmpFile(picture, {.headerSize = 108, .bitCount = 8}), unknownFormat},
        {"only the file header", cut(whole, 14), headerCut},
        {"cut in the header", cut(whole, 40), headerCut},
        {"cut in the colour table", cut(whole, 54 + 1000), headerCut},
        {"cut in the masks", cut(masked, 46), headerCut},
        {"width 0", sized(0, 4, 40), noPixels},
        {"negative width", sized(-4, 4, 40), noPixels},
        {"height -32769", sized(1, -32769, 40), tooLarge},
        {"core width 40000", sized(40000, 1, 12), tooLarge},
        {"last pixel missing", cut(whole, whole.size() - 1), rowsMissing},
        {"pixel offset past the end", cut(gapped, gapped.size() - 8 - 50), rowsMissing},
        {"2 bits per pixel", bmpFile(picture, {.bitCount = 2}), unsupportedLayout},
        {"run past the row", rle8({5, 0}), runsOutside},
        {"move past the image", rle8({0, 2, 0, 2}), runsOutside},
        {"end of line past the image", rle8({0, 0, 0, 0}), runsOutside},
        {"in place past the data", rle8({0, 3, 1}), runsOutside},
        {"data ends in the image", rle8({1, 0}), runsOutside},
    };
    for (const auto& [what, file, told] : cases) {
        EXPECT_EQ(failureOf(file), told) << what;
    }

    // Complete without the end code; the last row without its padding; the largest width.
    EXPECT_EQ(rgbOf(rle8({4, 7})).size(), 4u * 3);
    const Bytes padded = bmpFile(indexedPicture(3, 2, 8), {.bitCount = 8});
    EXPECT_EQ(rgbOf(cut(padded, padded.size() - 1)).size(), 3u * 2 * 3);
    const BmpPicture widest{kTextureSide, 1, std::vector<std::uint32_t>(kTextureSide), {}};
    EXPECT_EQ(rgbOf(bmpFile(widest, {.bitCount = 16})).size(), std::size_t(kTextureSide) * 3);
}

// No side may exceed the limit given, and no file describe more than 128 pixels a byte.
TEST(BmpReader, ImagesLargerThanTheTextureOrTheirFileAreRefused) {
    // 60 bytes: one colour-table entry and an end-of-bitmap code, so 7680 pixels at the most.
    const auto endCodeOnly = [](std::int32_t width, std::int32_t height) {
        return bmpFile(BmpPicture{width, height, {}, {{1, 2, 3}}},
                       {.bitCount = 8,
                        .compression = BmpCompression::rle8,
                        .coloursUsed = 1,
                        .pixelData = Bytes{0, 1}});
    };
    ASSERT_EQ(endCodeOnly(1, 1).size(), 60u);
    EXPECT_EQ(rgbOf(endCodeOnly(7680, 1)), Bytes(7680 * 3));  // skipped pixels are black
    EXPECT_EQ(rgbOf(endCodeOnly(80, 96)).size(), 7680u * 3);
    const Told tooMany{Failure::tooLarge, "The image has more pixels than its file can describe"};
    EXPECT_EQ(failureOf(endCodeOnly(7681, 1)), tooMany);
    EXPECT_EQ(failureOf(endCodeOnly(1, 7681)), tooMany);
    EXPECT_EQ(failureOf(endCodeOnly(16384, 16384)), tooMany);

    EXPECT_TRUE(decodeDib(endCodeOnly(20, 20), 20));
    for (const auto& [width, height] : {std::pair{21, 20}, std::pair{20, 21}}) {
        EXPECT_EQ(failureOf(endCodeOnly(width, height), 20),
                  Told(Failure::tooLarge, "The image is larger than the largest texture"));
    }
}

}  // namespace
