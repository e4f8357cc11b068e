#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gl_test.h"
#include "platform/byte_cursor.h"
#include "texture/tga_reader.h"
#include "texture_files.h"
#include "writers/image_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pixelsOf(const TgaImage& image) {
    if (!image.pixels) {
        return {};
    }
    return Bytes(image.pixels.get(), image.pixels.get() + image.imageSize);
}

// The file's decoded pixels; a failure is a test failure.
Bytes decodedPixels(const Bytes& file, std::uint32_t flags = 0) {
    TgaImage image;
    const char* failure = decodeTga(file, image, flags);
    EXPECT_EQ(failure, nullptr) << failure;
    return pixelsOf(image);
}

Bytes rawTga(std::int32_t width, std::int32_t height, TgaLayout layout, Bytes pixelData) {
    layout.pixelData = std::move(pixelData);
    return tgaFile(RgbaPicture{width, height, {}}, layout);
}

// The picture's bytes as the reader gives them: R, G, B, and A for 32 bits.
Bytes expectedPixels(const RgbaPicture& picture, int bitsPerPixel) {
    Bytes pixels;
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        pixels.insert(pixels.end(), picture.rgba.begin() + i,
                      picture.rgba.begin() + i + bitsPerPixel / 8);
    }
    return pixels;
}

TEST(TgaReader, TrueColourPixelsTurnToRgb) {
    TgaImage image;
    EXPECT_EQ(decodeTga(rawTga(2, 1, {.bitsPerPixel = 24}, {10, 20, 30, 40, 50, 60}), image, 0),
              nullptr);
    EXPECT_EQ(pixelsOf(image), (Bytes{30, 20, 10, 60, 50, 40}));
    EXPECT_EQ(image.glFormat, GLenum(GL_RGB));
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.imageSize, 6);

    EXPECT_EQ(decodeTga(rawTga(1, 1, {.bitsPerPixel = 32}, {10, 20, 30, 99}), image, 0), nullptr);
    EXPECT_EQ(pixelsOf(image), (Bytes{30, 20, 10, 99}));
    EXPECT_EQ(image.glFormat, GLenum(GL_RGBA));

    // The identification field and the colour map are skipped: with an id of 5 bytes the pixels
    // start at byte 23.
    const Bytes withId = rawTga(1, 1, {.bitsPerPixel = 24, .id = "abcde"}, {1, 2, 3});
    ASSERT_EQ(withId.size(), 23u + 3);
    EXPECT_EQ(decodedPixels(withId), (Bytes{3, 2, 1}));
    for (std::uint8_t entryBits : {15, 24, 32}) {
        EXPECT_EQ(decodedPixels(rawTga(1, 1,
                                       {.bitsPerPixel = 24,
                                        .id = "ab",
                                        .colourMapLength = 3,
                                        .colourMapEntryBits = entryBits},
                                       {1, 2, 3})),
                  (Bytes{3, 2, 1}));
    }

    // Rows stay in the file's order.
    for (int bits : {24, 32}) {
        const RgbaPicture picture = patternPicture(5, 3);
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

    // Encoded pictures with repeats across rows decode as the uncompressed ones do.
    RgbaPicture picture = patternPicture(7, 40);
    std::fill(picture.rgba.begin() + 4 * 5, picture.rgba.begin() + 4 * 150, 9);
    for (int bits : {24, 32}) {
        const std::uint8_t depth = std::uint8_t(bits);
        EXPECT_EQ(decodedPixels(tgaFile(picture, {.imageType = 10, .bitsPerPixel = depth})),
                  expectedPixels(picture, bits));
    }
}

TEST(TgaReader, GreyscaleNeedsAFlagAndKeepsItsBytes) {
    const Bytes grey = rawTga(3, 1, {.imageType = 3, .bitsPerPixel = 8}, {1, 2, 3});
    TgaImage image;
    EXPECT_EQ(decodeTga(grey, image, TGA_LUMINANCE | TGA_ALPHA), nullptr);
    EXPECT_EQ(image.glFormat, GLenum(GL_LUMINANCE));
    EXPECT_EQ(pixelsOf(image), (Bytes{1, 2, 3}));
    EXPECT_EQ(decodeTga(grey, image, TGA_ALPHA), nullptr);
    EXPECT_EQ(image.glFormat, GLenum(GL_ALPHA));
    EXPECT_STREQ(decodeTga(grey, image, 0), "Must be LUMINANCE or ALPHA greyscale");
    EXPECT_FALSE(image.pixels);
}

TEST(TgaReader, UnusableFilesAreRefusedWithTheirMessage) {
    const Bytes pixel{1, 2, 3, 4};
    struct Case {
        const char* what;
        Bytes file;
        std::uint32_t flags;
        const char* message;
    };
    const Bytes header = rawTga(1, 1, {}, pixel);
    const std::vector<Case> cases{
        {"16-bit RGB", rawTga(1, 1, {.bitsPerPixel = 16}, pixel), 0, "Unsupported RGB format"},
        {"colour-mapped", rawTga(1, 1, {.imageType = 1, .bitsPerPixel = 8}, pixel), 0,
         "8-bit colour no longer supported"},
        {"compressed colour-mapped", rawTga(1, 1, {.imageType = 9, .bitsPerPixel = 8}, pixel), 0,
         "8-bit colour no longer supported"},
        {"16-bit compressed", rawTga(1, 1, {.imageType = 10, .bitsPerPixel = 16}, pixel), 0,
         "Unsupported compressed RGB format"},
        {"type 0", rawTga(1, 1, {.imageType = 0}, pixel), 0, "Unsupported image type"},
        {"type 11", rawTga(1, 1, {.imageType = 11}, pixel), 0, "Unsupported image type"},
        {"17 bytes", Bytes(header.begin(), header.begin() + 17), 0, "Invalid image size"},
        {"width 0", rawTga(0, 1, {}, pixel), 0, "Invalid image size"},
        {"height -1", rawTga(1, -1, {}, pixel), 0, "Invalid image size"},
        {"4-bit grey", rawTga(2, 2, {.imageType = 3, .bitsPerPixel = 4}, pixel), TGA_LUMINANCE,
         "Invalid image size"},
        {"over 2 GB", rawTga(32767, 32767, {}, pixel), 0, "Invalid image size"},
    };
    for (const Case& unusable : cases) {
        SCOPED_TRACE(unusable.what);
        TgaImage image;
        EXPECT_STREQ(decodeTga(unusable.file, image, unusable.flags), unusable.message);
        EXPECT_FALSE(image.pixels);
    }

    // A short uncompressed file keeps what it has, turned to RGB, and zeros after it.
    EXPECT_EQ(decodedPixels(rawTga(2, 2, {.bitsPerPixel = 24}, {1, 2, 3, 4, 5, 6, 7})),
              (Bytes{3, 2, 1, 6, 5, 4, 0, 0, 7, 0, 0, 0}));
}

class TgaUpload : public HeadlessGlTest {
  protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
    }

    // Loads the file with the flags into the bound texture, returning what was printed.
    std::string load(const std::string& name, const Bytes& file, TgaImage& image,
                     std::uint32_t flags) {
        const std::string path = folder.write(name, file);
        testing::internal::CaptureStdout();
        loadTga(path.c_str(), image, flags);
        return testing::internal::GetCapturedStdout();
    }

    GLint internalFormatAfter(const Bytes& file, std::uint32_t flags) {
        TgaImage image;
        EXPECT_EQ(load("format.tga", file, image, flags), "");
        return boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT);
    }

    TextureFolder folder;
    GLuint texture = 0;
};

void expectCheckerboard() {
    ASSERT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 128);
    ASSERT_EQ(boundLevelParameter(GL_TEXTURE_HEIGHT), 128);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 0);  // no mipmaps
    const std::vector<GLubyte> texels = boundTexels(GL_LUMINANCE, 1);
    const auto texel = [&](int row, int column) { return texels[row * 128 + column]; };
    EXPECT_EQ(texel(0, 0), 255);
    EXPECT_EQ(texel(15, 15), 255);
    EXPECT_EQ(texel(16, 16), 255);
    EXPECT_EQ(texel(0, 16), 0);
    EXPECT_EQ(texel(16, 0), 0);
    EXPECT_EQ(texel(127, 96), 0);
    EXPECT_EQ(texel(127, 127), 255);
}

TEST_F(TgaUpload, EveryFailurePrintsItsLineAndLeavesTheCheckerboard) {
    TgaImage image;
    image.glFormat = GL_RGBA;
    const std::string missing = folder.root() + "\\data\\texture\\missing.tga";
    testing::internal::CaptureStdout();
    loadTga(missing.c_str(), image, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File not found - " + missing + "\n");
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.imageType, 3);
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 128);
    EXPECT_EQ(image.bitsPerPixel, 8);
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_EQ(image.imageSize, 0x4000);
    EXPECT_EQ(image.glFormat, GLenum(GL_RGBA));
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_LUMINANCE4);
    expectCheckerboard();

    // A failure after a good read: the earlier pixels go, and neither upload nor release follows.
    const Bytes sixteenBit = rawTga(1, 1, {.bitsPerPixel = 16}, {1, 2});
    EXPECT_EQ(load("good.tga", tgaFile(patternPicture(4, 4)), image, TGA_NO_UPLOAD), "");
    EXPECT_TRUE(image.pixels);
    const std::string path = folder.root() + "\\data\\texture\\bad.tga";
    EXPECT_EQ(load("bad.tga", sixteenBit, image, 0), "Unsupported RGB format - " + path + "\n");
    EXPECT_FALSE(image.pixels);
    expectCheckerboard();
}

TEST_F(TgaUpload, UploadsWithOrWithoutMipmapsAndReleasesOnRequest) {
    const RgbaPicture picture = patternPicture(4, 2);
    TgaImage image;
    EXPECT_EQ(load("mip.tga", tgaFile(picture), image, 0), "");
    EXPECT_EQ(boundTexels(GL_RGBA, 4), picture.rgba);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 2);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 2), 1);
    EXPECT_EQ(pixelsOf(image), picture.rgba);  // kept without TGA_FREE_PIXELS

    GLuint second = 0;
    glGenTextures(1, &second);
    glBindTexture(GL_TEXTURE_2D, second);
    EXPECT_EQ(load("level0.tga", tgaFile(picture), image, TGA_NO_MIPMAPS | TGA_FREE_PIXELS), "");
    EXPECT_EQ(boundTexels(GL_RGBA, 4), picture.rgba);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 0);
    EXPECT_FALSE(image.pixels);

    // Decoding only: described, released, nothing uploaded.
    GLuint third = 0;
    glGenTextures(1, &third);
    glBindTexture(GL_TEXTURE_2D, third);
    EXPECT_EQ(load("read.tga", tgaFile(picture), image, TGA_NO_UPLOAD | TGA_FREE_PIXELS), "");
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.imageSize, 4 * 2 * 4);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 0);
}

// Rows of 6 and 2 bytes; power-of-two sizes, which GLU builds mipmaps from without rescaling.
TEST_F(TgaUpload, PackedRowsOfAnyLengthArriveWhole) {
    for (std::uint32_t mipmaps : {0u, TGA_NO_MIPMAPS}) {
        const RgbaPicture picture = patternPicture(2, 4);
        TgaImage image;
        EXPECT_EQ(load("rgb.tga", tgaFile(picture, {.bitsPerPixel = 24}), image, mipmaps), "");
        EXPECT_EQ(boundTexels(GL_RGB, 3), expectedPixels(picture, 24));

        const Bytes grey{1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_EQ(load("grey.tga", rawTga(2, 4, {.imageType = 3, .bitsPerPixel = 8}, grey), image,
                       mipmaps | TGA_LUMINANCE),
                  "");
        EXPECT_EQ(boundTexels(GL_LUMINANCE, 1), grey);

        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 4);
    }

    // Rows of 4 bytes, but the 2 x 2 level that GLU makes from them has rows of 2.
    const Bytes blocks{10, 10, 20, 20, 10, 10, 20, 20, 30, 30, 40, 40, 30, 30, 40, 40};
    TgaImage image;
    EXPECT_EQ(load("blocks.tga", rawTga(4, 4, {.imageType = 3, .bitsPerPixel = 8}, blocks), image,
                   TGA_LUMINANCE),
              "");
    EXPECT_EQ(boundTexels(GL_LUMINANCE, 1, 1), (Bytes{10, 20, 30, 40}));
}

// The only test that takes an entry point away: compressionAvailable never comes back.
TEST_F(TgaUpload, FourBitAndCompressedInternalFormats) {
    const Bytes rgba = tgaFile(patternPicture(4, 4));
    const Bytes rgb = tgaFile(patternPicture(4, 4), {.bitsPerPixel = 24});
    const Bytes grey = tgaFile(patternPicture(4, 4), {.imageType = 3, .bitsPerPixel = 8});
    EXPECT_EQ(internalFormatAfter(rgba, 0), GL_RGBA);
    EXPECT_EQ(internalFormatAfter(rgba, TGA_4BIT), GL_RGBA4);
    EXPECT_EQ(internalFormatAfter(rgb, TGA_4BIT), GL_RGB4);
    EXPECT_EQ(internalFormatAfter(grey, TGA_4BIT | TGA_LUMINANCE), GL_LUMINANCE4);
    EXPECT_EQ(internalFormatAfter(grey, TGA_4BIT | TGA_ALPHA), GL_ALPHA4);

    // The driver stores a generic compressed format as a compressed format of its choice.
    ASSERT_TRUE(compressionAvailable);
    EXPECT_NE(internalFormatAfter(rgba, TGA_COMPRESSED | TGA_4BIT), GL_RGBA4);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_COMPRESSED), GL_TRUE);
    EXPECT_NE(internalFormatAfter(rgb, TGA_COMPRESSED), GL_RGB);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_COMPRESSED), GL_TRUE);

    headless.calls.clear();
    headless.missingProcs = {"glGetCompressedTexImageARB"};
    EXPECT_EQ(internalFormatAfter(rgba, TGA_COMPRESSED | TGA_4BIT), GL_RGBA4);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_COMPRESSED), GL_FALSE);
    EXPECT_EQ(std::count(headless.calls.begin(), headless.calls.end(), "wglGetProcAddress"), 2);
    EXPECT_FALSE(compressionAvailable);
    headless.missingProcs.clear();
    EXPECT_EQ(internalFormatAfter(rgba, TGA_COMPRESSED | TGA_4BIT), GL_RGBA4);
    EXPECT_EQ(internalFormatAfter(rgb, TGA_COMPRESSED), GL_RGB);
    EXPECT_FALSE(compressionAvailable);
}

}  // namespace
