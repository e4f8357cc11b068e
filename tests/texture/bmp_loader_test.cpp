#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/image_writer.h"
#include "gl_test.h"
#include "texture/bmp_reader.h"
#include "texture_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

using BmpMessages = HeadlessGlTest;

TEST_F(BmpMessages, FailuresShowABoxOwnedByTheFocusWindow) {
    const TextureFolder folder;
    const std::string damaged = folder.write("damaged.bmp", Bytes{'B', 'M', 1, 2});
    const std::string empty = folder.write("empty.bmp", Bytes{});
    const std::string good = folder.write(
        "good.bmp", bmpFile(BmpPicture{3, 3, std::vector<std::uint32_t>(9, 0x102030), {}}));
    RgbImage image;
    const ReadResult unknown = loadDibImage(damaged.c_str(), kTextureSide, image);
    EXPECT_FALSE(unknown);
    EXPECT_EQ(unknown.kind(), Failure::tooShort);
    EXPECT_EQ(unknown.reason(), "Unknown DIB file format.");
    const ReadResult unmapped = loadDibImage(empty.c_str(), kTextureSide, image);
    EXPECT_FALSE(unmapped);
    EXPECT_EQ(unmapped.kind(), Failure::tooShort);
    EXPECT_EQ(unmapped.reason(), "Failed to open DIB file " + empty + ".\n");
    EXPECT_FALSE(image.pixels);
    ASSERT_TRUE(loadDibImage(good.c_str(), kTextureSide, image));
    EXPECT_EQ(image.width, 3);

    ASSERT_EQ(headless.messageBoxes.size(), 2u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Unknown DIB file format.");
    EXPECT_EQ(headless.messageBoxes[1].text, "Failed to open DIB file " + empty + ".\n");
    for (const auto& box : headless.messageBoxes) {
        EXPECT_EQ(box.owner, window);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, win32::MB_OK);
    }
}

}  // namespace
