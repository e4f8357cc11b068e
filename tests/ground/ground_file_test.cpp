#include "ground/ground_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"

namespace {

void fill(ByteWriter& out, std::size_t count, std::uint8_t value) {
    out.raw(std::vector<std::uint8_t>(count, value));
}

void writeSurface(ByteWriter& out, float first, std::uint16_t textureIndex) {
    for (int k = 0; k < 8; ++k) {
        out.f32(first + 0.1f * k);  // u[0..3], then v[0..3]
    }
    out.u16(textureIndex);
    out.raw("unused", 6);
}

void writeCell(ByteWriter& out, float firstHeight, std::int32_t top, std::int32_t rowWall,
               std::int32_t columnWall) {
    for (int k = 0; k < 4; ++k) {
        out.f32(firstHeight + k);
    }
    out.i32(top);
    out.i32(rowWall);
    out.i32(columnWall);
}

// 2 x 1 cells, one texture, no blocks, two surfaces, every skipped byte set to `junk`, laid out
// field by field.
std::vector<std::uint8_t> smallGroundBytes(std::uint8_t junk) {
    ByteWriter out;
    fill(out, 6, junk);
    out.i32(2);
    out.i32(1);
    fill(out, 4, junk);
    out.i32(1);
    fill(out, 4, junk);
    out.name("grass.bmp");
    fill(out, 40, junk);
    out.i32(0);
    fill(out, 12, junk);
    out.i32(2);
    writeSurface(out, 1.0f, 0);
    writeSurface(out, 2.0f, 7);
    writeCell(out, 10, 0, -1, 1);
    writeCell(out, 20, 1, 0, -1);
    return out.bytes();
}

// The parsed file, or nothing with the reason in `error`.
std::optional<GroundFile> parse(const std::vector<std::uint8_t>& bytes, std::string& error) {
    auto parsed = parseGroundFile(bytes);
    error = parsed.reason();
    return parsed ? std::optional<GroundFile>(std::move(*parsed)) : std::nullopt;
}

TEST(GroundFileTest, ReadsEveryFieldAtItsOffsetAndIgnoresSkippedBytes) {
    const auto bytes = smallGroundBytes(0xAB);
    ASSERT_EQ(bytes.size(), 262u);
    std::string error;
    const auto ground = parse(bytes, error);
    ASSERT_TRUE(ground) << error;
    EXPECT_EQ(ground->width, 2);
    EXPECT_EQ(ground->height, 1);
    EXPECT_EQ(ground->textureNames, std::vector<std::string>{"grass.bmp"});
    EXPECT_TRUE(ground->blocks.empty());
    ASSERT_EQ(ground->surfaces.size(), 2u);
    EXPECT_FLOAT_EQ(ground->surfaces[1].u[0], 2.0f);
    EXPECT_FLOAT_EQ(ground->surfaces[1].u[3], 2.3f);
    EXPECT_FLOAT_EQ(ground->surfaces[1].v[0], 2.4f);
    EXPECT_FLOAT_EQ(ground->surfaces[1].v[3], 2.7f);
    EXPECT_EQ(ground->surfaces[1].textureIndex, 7);
    ASSERT_EQ(ground->cells.size(), 2u);
    EXPECT_FLOAT_EQ(ground->cells[0].heights[0], 10);
    EXPECT_FLOAT_EQ(ground->cells[1].heights[3], 23);
    EXPECT_EQ(ground->cells[0].topSurface, 0);
    EXPECT_EQ(ground->cells[0].rowWallSurface, -1);
    EXPECT_EQ(ground->cells[0].columnWallSurface, 1);
    EXPECT_EQ(ground->cells[1].rowWallSurface, 0);

    // Other contents in the skipped bytes change nothing; the writer lays the file out the same.
    const auto zeroed = smallGroundBytes(0);
    EXPECT_NE(zeroed, bytes);
    EXPECT_EQ(parse(zeroed, error), ground);
    EXPECT_EQ(groundFileBytes(*ground, 0xAB), bytes);
}

TEST(GroundFileTest, KeepsBlocksAndFullLengthNamesAndIgnoresWhatFollowsTheCells) {
    GroundFile ground = terracedGround(5, 3, {"a.bmp", std::string(40, 'n'), "c.tga"});
    ground.blocks.resize(2);
    ground.blocks[0].fill(0x11);
    ground.blocks[1][255] = 0x22;
    auto bytes = groundFileBytes(ground, 0x5C);
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5});
    std::string error;
    EXPECT_EQ(parse(bytes, error), ground) << error;
}

TEST(GroundFileTest, NoTexturesAndNoCellsReadAsEmpty) {
    GroundFile ground;
    ground.width = 7;  // with no rows there are no cells
    std::string error;
    const auto parsed = parse(groundFileBytes(ground), error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, ground);
}

TEST(GroundFileTest, EveryTruncationIsRejected) {
    GroundFile ground = terracedGround(3, 2, {"a.bmp", "b.bmp"});
    ground.blocks.resize(1);
    const auto bytes = groundFileBytes(ground);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::string error;
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + length);
        EXPECT_FALSE(parse(prefix, error)) << "length " << length;
        EXPECT_FALSE(error.empty()) << "length " << length;
    }
}

// A valid file with one 32-bit field overwritten.
std::vector<std::uint8_t> withField(std::vector<std::uint8_t> bytes, std::size_t offset,
                                    std::int32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
    return bytes;
}

TEST(GroundFileTest, NegativeCountsAndCountsBeyondTheFileAreRejected) {
    GroundFile ground = terracedGround(3, 2, {"a.bmp"});
    const auto bytes = groundFileBytes(ground);
    constexpr std::size_t kWidth = 6;
    constexpr std::size_t kHeight = 10;
    constexpr std::size_t kTextureCount = 18;
    constexpr std::size_t kBlockCount = 26 + 80;
    constexpr std::size_t kSurfaceCount = kBlockCount + 16;
    struct Damage {
        std::size_t offset;
        std::int32_t value;
        Failure kind;
        std::string text;
    };
    const Failure negative = Failure::outOfRange;
    const Failure cut = Failure::tooShort;
    const std::string cellsCut = "The cells run past the end of the file";
    const Damage damages[] = {
        {kWidth, -1, negative, "Negative ground size"},
        {kHeight, -3, negative, "Negative ground size"},
        {kTextureCount, -1, negative, "Negative number of texture entries"},
        {kBlockCount, -1, negative, "Negative number of blocks"},
        {kSurfaceCount, INT_MIN, negative, "Negative number of surfaces"},
        {kTextureCount, INT_MAX, cut, "The texture entries run past the end of the file"},
        {kBlockCount, INT_MAX, cut, "The blocks run past the end of the file"},
        {kSurfaceCount, 1 << 28, cut, "The surfaces run past the end of the file"},
        {kWidth, INT_MAX, cut, cellsCut},
        {kHeight, 65536, cut, cellsCut},
    };
    for (const Damage& damage : damages) {
        const auto parsed = parseGroundFile(withField(bytes, damage.offset, damage.value));
        EXPECT_EQ(parsed.kind(), damage.kind) << damage.text;
        EXPECT_EQ(parsed.reason(), damage.text);
    }
    // The rest of the file no longer lines up.
    EXPECT_FALSE(parseGroundFile(withField(bytes, kTextureCount, 2)));
    // Both sides negative: their product is positive, the size is not.
    EXPECT_EQ(parseGroundFile(withField(withField(bytes, kWidth, -2), kHeight, -3)).kind(),
              Failure::outOfRange);
    // Width and height so large that their product overflows 32 bits.
    EXPECT_EQ(parseGroundFile(withField(withField(bytes, kWidth, 65536), kHeight, 65536)).kind(),
              Failure::tooShort);
}

}  // namespace
