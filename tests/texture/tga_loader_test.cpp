#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bound_texture.h"
#include "formats/image_writer.h"
#include "gl_test.h"
#include "texture/tga_reader.h"
#include "texture_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class TgaUpload : public HeadlessGlTest {
  protected:
    // Loads the file with the flags into a new bound texture, returning what was printed.
    std::string load(const Bytes& file, TgaImage& image, std::uint32_t flags) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        const std::string path = folder.write("image.tga", file);
        testing::internal::CaptureStdout();
        loadTga(path.c_str(), image, flags, textures);
        return testing::internal::GetCapturedStdout();
    }

    GLint internalFormatAfter(const Bytes& file, std::uint32_t flags) {
        TgaImage image;
        EXPECT_EQ(load(file, image, flags), "");
        return boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT);
    }

    TextureFolder folder;
    TextureCapabilities textures{kTextureSide};
};

void expectCheckerboard() {
    ASSERT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 128);
    ASSERT_EQ(boundLevelParameter(GL_TEXTURE_HEIGHT), 128);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 0);  // no mipmaps
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_LUMINANCE4);
    const std::vector<GLubyte> texels = boundTexels(GL_LUMINANCE, 1);
    const auto texel = [&](int row, int column) { return texels[row * 128 + column]; };
    EXPECT_EQ(texel(0, 0), 255);
    EXPECT_EQ(texel(15, 15), 255);
    EXPECT_EQ(texel(16, 16), 255);
    EXPECT_EQ(texel(0, 16), 0);
    EXPECT_EQ(texel(16, 0), 0);
    EXPECT_EQ(texel(127, 96), 0);
}

TEST_F(TgaUpload, EveryFailurePrintsItsLineAndLeavesTheCheckerboard) {
    TgaImage image;
    image.glFormat = GL_RGBA;
    const std::string missing = folder.root() + "\\data\\texture\\missing.tga";
    testing::internal::CaptureStdout();
    const ReadResult result = loadTga(missing.c_str(), image, 0, textures);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File not found - " + missing + "\n");
    EXPECT_EQ(result.kind(), Failure::cannotOpen);
    EXPECT_EQ(result.channel(), Channel::standardOutput);
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.imageType, 3);
    EXPECT_EQ(image.width, 128);
    EXPECT_EQ(image.height, 128);
    EXPECT_EQ(image.bitsPerPixel, 8);
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_EQ(image.imageSize, 0x4000);
    EXPECT_EQ(image.glFormat, GLenum(GL_RGBA));
    expectCheckerboard();

    // A failure after a good read: the earlier pixels go, and neither upload nor release follows.
    EXPECT_EQ(load(tgaFile(patternPicture(4, 4)), image, TGA_NO_UPLOAD), "");
    EXPECT_TRUE(image.pixels);
    const std::string path = folder.root() + "\\data\\texture\\image.tga";
    EXPECT_EQ(load(rawTga(1, 1, {.bitsPerPixel = 16}, {1, 2}), image, 0),
              "Unsupported RGB format - " + path + "\n");
    EXPECT_FALSE(image.pixels);
    expectCheckerboard();
}

// Power-of-two sizes, which GLU builds mipmaps from without rescaling.
TEST_F(TgaUpload, UploadsWithOrWithoutMipmapsAndReleasesOnRequest) {
    // Rows of 6 bytes arrive whole; so do the smaller levels of rows of 4.
    const RgbaPicture picture = patternPicture(2, 4);
    TgaImage image;
    EXPECT_EQ(load(tgaFile(picture, {.bitsPerPixel = 24}), image, 0), "");
    EXPECT_EQ(boundTexels(GL_RGB, 3), expectedPixels(picture, 24));
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 1);
    EXPECT_EQ(pixelsOf(image), expectedPixels(picture, 24));  // kept without TGA_FREE_PIXELS
    const Bytes blocks{10, 10, 20, 20, 10, 10, 20, 20, 30, 30, 40, 40, 30, 30, 40, 40};
    EXPECT_EQ(load(rawTga(4, 4, {.imageType = 3, .bitsPerPixel = 8}, blocks), image, TGA_LUMINANCE),
              "");
    EXPECT_EQ(boundTexels(GL_LUMINANCE, 1, 1), (Bytes{10, 20, 30, 40}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);

    EXPECT_EQ(load(tgaFile(picture), image, TGA_NO_MIPMAPS | TGA_FREE_PIXELS), "");
    EXPECT_EQ(boundTexels(GL_RGBA, 4), picture.rgba);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH, 1), 0);
    EXPECT_FALSE(image.pixels);

    // Decoding only: described, released, nothing uploaded.
    EXPECT_EQ(load(tgaFile(picture), image, TGA_NO_UPLOAD | TGA_FREE_PIXELS), "");
    EXPECT_FALSE(image.pixels);
    EXPECT_EQ(image.imageSize, 2 * 4 * 4);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_WIDTH), 0);
}

// Once an entry point was missing, the capabilities never compress again; fresh ones do.
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
    ASSERT_TRUE(textures.compressionAvailable());
    EXPECT_NE(internalFormatAfter(rgba, TGA_COMPRESSED | TGA_4BIT), GL_RGBA4);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_COMPRESSED), GL_TRUE);

    headless.clearCalls();
    headless.missingProcs = {"glGetCompressedTexImageARB"};
    EXPECT_EQ(internalFormatAfter(rgba, TGA_COMPRESSED | TGA_4BIT), GL_RGBA4);
    EXPECT_EQ(headless.callCount(Operation::wglGetProcAddress), 2u);
    EXPECT_FALSE(textures.compressionAvailable());
    headless.missingProcs.clear();
    EXPECT_EQ(internalFormatAfter(rgb, TGA_COMPRESSED), GL_RGB);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_COMPRESSED), GL_FALSE);

    textures = TextureCapabilities{kTextureSide};
    EXPECT_NE(internalFormatAfter(rgb, TGA_COMPRESSED), GL_RGB);
    EXPECT_EQ(boundLevelParameter(GL_TEXTURE_COMPRESSED), GL_TRUE);
}

}  // namespace
