#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "formats/image_writer.h"
#include "gl_test.h"
#include "texture/tga_reader.h"
#include "texture_files.h"

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
    EXPECT_TRUE(decodeTga(rawTga(2, 1, {.bitsPerPixel = 24}, {10, 20, 30, 40, 50, 60}), image, 0,
                          kTextureSide));
    EXPECT_EQ(pixelsOf(image), (Bytes{30, 20, 10, 60, 50, 40}));
    EXPECT_EQ(image.glFormat, GLenum(GL_RGB));
    EXPECT_EQ(image.imageSize, 6);
    EXPECT_TRUE(
        decodeTga(rawTga(1, 1, {.bitsPerPixel = 32}, {10, 20, 30, 99}), image, 0, kTextureSide));
    EXPECT_EQ(pixelsOf(image), (Bytes{30, 20, 10, 99}));
    EXPECT_EQ(image.glFormat, GLenum(GL_RGBA));

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
    EXPECT_EQ(image.glFormat, GLenum(GL_LUMINANCE));
    EXPECT_EQ(pixelsOf(image), (Bytes{1, 2, 3}));
    EXPECT_TRUE(decodeTga(grey, image, TGA_ALPHA, kTextureSide));
    EXPECT_EQ(image.glFormat, GLenum(GL_ALPHA));

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
