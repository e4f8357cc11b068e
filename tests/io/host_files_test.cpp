#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "io/byte_cursor.h"
#include "io/host_files.h"
#include "scratch_folder.h"

namespace {

TEST(HostFiles, BackslashesAndLetterCaseResolveToTheFileOnDisk) {
    ScratchFolder folder;
    folder.writeText("Data/Texture/Wall.BMP", "bmp");
    const std::string root = folder.string();

    const HostFile file = readHostFile(root + "\\data\\texture\\wall.bmp");
    ASSERT_TRUE(file);
    EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()), "bmp");
    EXPECT_EQ(hostPath(root + "\\DATA\\texture\\WALL.bmp"), root + "/Data/Texture/Wall.BMP");

    // A component that matches nothing keeps its spelling, and so does the rest.
    EXPECT_EQ(hostPath(root + "\\data\\missing\\Wall.BMP"), root + "/Data/missing/Wall.BMP");
    EXPECT_FALSE(readHostFile(root + "\\data\\missing\\wall.bmp"));
    EXPECT_FALSE(readHostFile(root + "\\data"));  // a folder is not a file
    EXPECT_TRUE(hostFileReadable(root + "/DATA/TEXTURE/WALL.BMP"));
}

TEST(HostFiles, NamesAreBytesAndNeverReEncoded) {
    ScratchFolder folder;
    const std::string legacy = "\xb5\xe7\xbb\xfa.bmp";  // a name in a legacy code page
    folder.writeText(legacy, "x");
    EXPECT_TRUE(readHostFile(folder.string() + "\\" + legacy));
}

TEST(HostFiles, FilesOverTheLimitAreRefusedAndStartsReadAsFarAsAsked) {
    ScratchFolder folder;
    const std::string path = folder.writeText("ten", "0123456789").string();
    EXPECT_EQ(readHostFile(path, 10).bytes.size(), 10u);
    const HostFile refused = readHostFile(path, 9);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.problem, HostFile::Problem::tooLarge);
    EXPECT_TRUE(refused.bytes.empty());
    EXPECT_EQ(readHostFile(folder.string() + "/missing").problem, HostFile::Problem::cannotOpen);
    // A folder opens for reading here, but gives no bytes.
    EXPECT_EQ(readHostFile(folder.string()).problem, HostFile::Problem::unreadable);

    EXPECT_EQ(readHostFileStart(path, 4), (std::vector<std::uint8_t>{'0', '1', '2', '3'}));
    EXPECT_EQ(readHostFileStart(path, 64)->size(), 10u);
    EXPECT_FALSE(readHostFileStart(folder.string(), 4));  // a folder is not a file
}

TEST(HostFiles, ComposedPathsStopAt511Characters) {
    const std::string root(490, 'r');
    auto path = composeDataPath("%s\\data\\%s", root, std::string(15, 'n'));
    ASSERT_TRUE(path);
    EXPECT_EQ(path->size(), 511u);
    EXPECT_EQ(path->substr(490, 6), "\\data\\");
    EXPECT_FALSE(composeDataPath("%s\\data\\%s", root, std::string(16, 'n')));
}

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
