#include "io/byte_cursor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(ByteCursor, ReadsAllOrNothingLittleEndian) {
    const std::vector<std::uint8_t> data = {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF};
    ByteCursor cursor(data);
    std::int32_t value = 0;
    ASSERT_TRUE(cursor.readI32(value));
    EXPECT_EQ(value, 0x04030201);
    EXPECT_FALSE(cursor.readI32(value));  // two bytes left
    EXPECT_EQ(cursor.position(), 4u);
    std::int16_t small = 0;
    ASSERT_TRUE(cursor.readI16(small));
    EXPECT_EQ(small, -1);
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_FALSE(cursor.skip(1));
    EXPECT_FALSE(cursor.seek(7));
    EXPECT_TRUE(cursor.seek(6));
}

TEST(ByteCursor, CountsThatCannotFitAreRefusedWithoutOverflow) {
    const std::vector<std::uint8_t> data(100);
    const ByteCursor cursor(data);
    EXPECT_TRUE(cursor.fits(4, 25));
    EXPECT_FALSE(cursor.fits(5, 25));
    EXPECT_FALSE(cursor.fits(-1, 1));
    EXPECT_FALSE(cursor.fits(INT64_MAX, 256));
    EXPECT_TRUE(cursor.fits(1000, 0));
}

TEST(ByteCursor, NameFieldsEndAtTheirFirstZeroOrFill40Bytes) {
    std::vector<std::uint8_t> data(80, 'a');
    data[3] = 0;
    ByteCursor cursor(data);
    std::string name;
    ASSERT_TRUE(cursor.readName(name));
    EXPECT_EQ(name, "aaa");
    ASSERT_TRUE(cursor.readName(name));
    EXPECT_EQ(name, std::string(40, 'a'));
    EXPECT_FALSE(cursor.readName(name));
}

}  // namespace
