// What the texture readers tell about hostile files: a TGA's line escapes its name, and a scene
// load shows only a few of the BMP reader's boxes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl_test.h"
#include "texture/bmp_reader.h"
#include "texture/tga_reader.h"
#include "texture_files.h"

namespace {

using TextureOutput = HeadlessGlTest;

TEST_F(TextureOutput, ATgaLineEscapesControlCharactersOfItsName) {
    TgaImage image;
    testing::internal::CaptureStdout();
    failTga(kTgaFileNotFound, "data\\texture\\\x1b]2;owned\x07.tga", image);
    failTga(kTgaUnsupportedRgb, "data\\texture\\\xc3\xa9t\xc3\xa9.tga", image);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "File not found - data\\texture\\\\x1b]2;owned\\x07.tga\n"
              "Unsupported RGB format - data\\texture\\\xc3\xa9t\xc3\xa9.tga\n");
    EXPECT_EQ(image.width, 128);  // the checkerboard, as before
}

TEST_F(TextureOutput, ALoadShowsAFewOfTheBmpReadersBoxes) {
    const TextureFolder folder;
    const std::string damaged = folder.write("damaged.bmp", {'B', 'M', 1, 2});
    RgbImage image;
    testing::internal::CaptureStderr();
    {
        const MessageBoxLimit load;
        for (int i = 0; i < kShownBoxesPerCaption + 2; ++i) {
            EXPECT_FALSE(loadDibImage(damaged.c_str(), kTextureSide, image));
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Unknown DIB file format.\nError: Unknown DIB file format.\n"
              "2 more messages not shown\n");
    ASSERT_EQ(headless.messageBoxes.size(), std::size_t{kShownBoxesPerCaption});
    EXPECT_EQ(headless.messageBoxes.back().owner, window);
}

}  // namespace
