#include <gtest/gtest.h>

#include <vector>

#include "texture_files.h"
#include "writers/image_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + from, bytes.begin() + from + count);
}

// The readers' tests build on these files, so their bytes are pinned here against the formats.
TEST(ImageWriter, BmpFilesHaveTheFormatsLayout) {
    const Bytes file = bmpFile(BmpPicture{2, 1, {0x0A141E, 0x28323C}, {}});
    ASSERT_EQ(file.size(), 14u + 40 + 8);
    EXPECT_EQ(slice(file, 0, 14), (Bytes{'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}));
    EXPECT_EQ(slice(file, 14, 16), (Bytes{40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0}));
    EXPECT_EQ(slice(file, 54, 8), (Bytes{0x1E, 0x14, 0x0A, 0x3C, 0x32, 0x28, 0, 0}));

    const Bytes topDown = bmpFile(BmpPicture{1, 2, {0, 0}, {}}, {.topDown = true});
    EXPECT_EQ(slice(topDown, 22, 4), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

    // Core header: 16-bit sizes, 3-byte entries; 4-bit indices fill bytes from the high bits.
    const BmpPicture nibbles{3, 1, {1, 2, 3}, std::vector<BmpColour>(16, {1, 2, 3})};
    const Bytes core = bmpFile(nibbles, {.headerSize = 12, .bitCount = 4, .fileHeader = false});
    ASSERT_EQ(core.size(), 12u + 48 + 4);
    EXPECT_EQ(slice(core, 0, 12), (Bytes{12, 0, 0, 0, 3, 0, 1, 0, 1, 0, 4, 0}));
    EXPECT_EQ(slice(core, 12, 3), (Bytes{3, 2, 1}));
    EXPECT_EQ(slice(core, 60, 4), (Bytes{0x12, 0x30, 0, 0}));
}

TEST(ImageWriter, RunLengthEncodersWriteRunsAbsoluteStretchesAndEndCodes) {
    const BmpPicture picture{6, 2, {5, 5, 5, 1, 2, 3, 4, 9, 9, 9, 9, 9}, {}};
    EXPECT_EQ(encodeRle8(picture), (Bytes{3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 1, 4, 5, 9, 0, 1}));
    EXPECT_EQ(encodeRle4(picture),
              (Bytes{3, 0x55, 0, 3, 0x12, 0x30, 0, 0, 1, 0x44, 5, 0x99, 0, 1}));

    const RgbaPicture tga =
        pictureOf(5, 1, {{1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 9, 9, 9}});
    const Bytes file = tgaFile(tga, {.imageType = 10, .bitsPerPixel = 24, .id = "x"});
    EXPECT_EQ(slice(file, 0, 18), (Bytes{1, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 1, 0, 24, 0}));
    EXPECT_EQ(slice(file, 18, file.size() - 18),
              (Bytes{'x', 0x82, 3, 2, 1, 0x01, 7, 6, 5, 9, 9, 9}));
}

}  // namespace
