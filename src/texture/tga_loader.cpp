// The TGA file read from the disk and uploaded into the bound texture, or the checkerboard in its
// place; tga_reader.cpp decodes it without GL.
#include "texture/tga_reader.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "io/file_errors.h"
#include "io/host_files.h"
#include "platform/gl.h"
#include "platform/platform.h"

namespace {

static_assert(std::is_same_v<decltype(TgaImage::glFormat), GLenum>, "glFormat holds a GL enum");
static_assert(kGlAlpha == GL_ALPHA && kGlRgb == GL_RGB && kGlRgba == GL_RGBA &&
                  kGlLuminance == GL_LUMINANCE,
              "the decoder's formats are GL's");

constexpr int kFallbackSize = 128;
constexpr int kFallbackSquare = 0x10;

struct InternalFormats {
    GLenum format;
    GLenum fourBit;
    GLenum compressed;
};

constexpr std::array<InternalFormats, 4> kInternalFormats{{
    {GL_ALPHA, GL_ALPHA4, GL_COMPRESSED_ALPHA_ARB},
    {GL_RGB, GL_RGB4, GL_COMPRESSED_RGB_ARB},
    {GL_RGBA, GL_RGBA4, GL_COMPRESSED_RGBA_ARB},
    {GL_LUMINANCE, GL_LUMINANCE4, GL_COMPRESSED_LUMINANCE_ARB},
}};

// Compression, when the driver has it, wins over 4 bits.
GLenum internalFormatFor(GLenum format, std::uint32_t flags,
                         const TextureCapabilities& capabilities) {
    const auto formats = std::find_if(kInternalFormats.begin(), kInternalFormats.end(),
                                      [&](const InternalFormats& f) { return f.format == format; });
    if (formats == kInternalFormats.end()) {
        return format;
    }
    if ((flags & TGA_COMPRESSED) != 0 && capabilities.compressionAvailable()) {
        return formats->compressed;
    }
    return (flags & TGA_4BIT) != 0 ? formats->fourBit : format;
}

// One pixel as GL reads it, whatever the file's depth.
int glPixelBytes(GLenum format) {
    return format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
}

// Uploads the pixels into the bound texture, with the internal format the flags choose:
// compression only while the capabilities have it.
void uploadTga(const TgaImage& image, std::uint32_t flags,
               const TextureCapabilities& capabilities) {
    const GLint internalFormat =
        static_cast<GLint>(internalFormatFor(image.glFormat, flags, capabilities));
    // GL looks for every row at a 4-byte boundary unless told otherwise, but the rows here are
    // packed, and so are those of the smaller mipmap levels that GLU makes: only rows of 4-byte
    // pixels always end on a boundary.
    const bool packedRows = glPixelBytes(image.glFormat) != 4;
    if (packedRows) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    if ((flags & TGA_NO_MIPMAPS) != 0) {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image.width, image.height, 0, image.glFormat,
                     GL_UNSIGNED_BYTE, image.pixels.get());
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, image.width, image.height, image.glFormat,
                          GL_UNSIGNED_BYTE, image.pixels.get());
    }
    if (packedRows) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
}

// Uploads the 128 x 128 checkerboard (16 x 16 squares, white at the first texel) into the bound
// texture and describes it in the image.
void makeFallbackTexture(TgaImage& image) {
    std::array<std::uint8_t, kFallbackSize * kFallbackSize> board;  // no allocation that can fail
    for (int row = 0; row < kFallbackSize; ++row) {
        for (int column = 0; column < kFallbackSize; ++column) {
            board[row * kFallbackSize + column] = ((row ^ column) & kFallbackSquare) != 0 ? 0 : 255;
        }
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE4, kFallbackSize, kFallbackSize, 0, GL_LUMINANCE,
                 GL_UNSIGNED_BYTE, board.data());
    image.imageType = 3;
    image.width = kFallbackSize;
    image.height = kFallbackSize;
    image.bitsPerPixel = 8;
    image.bytesPerPixel = 1;
    image.imageSize = kFallbackSize * kFallbackSize;
}

// Looks up the two compressed-texture entry points; compression is lost if either is missing.
void findCompressionEntryPoints(TextureCapabilities& capabilities) {
    Platform& host = platform();
    const bool upload = host.getProcAddress("glCompressedTexImage2DARB") != nullptr;
    const bool readBack = host.getProcAddress("glGetCompressedTexImageARB") != nullptr;
    if (!upload || !readBack) {
        capabilities.loseCompression();
    }
}

}  // namespace

ReadResult loadTga(const char* path, TgaImage& image, std::uint32_t flags,
                   TextureCapabilities& capabilities, std::uint64_t maxPixels) {
    const ReadResult result = readTga(path, image, flags, capabilities, maxPixels);
    if (!result) {
        return result;
    }
    if ((flags & TGA_NO_UPLOAD) == 0) {
        uploadTga(image, flags, capabilities);
    }
    if ((flags & TGA_FREE_PIXELS) != 0) {
        freeTgaPixels(image);
    }
    return result;
}

ReadResult readTga(const char* path, TgaImage& image, std::uint32_t flags,
                   TextureCapabilities& capabilities, std::uint64_t maxPixels) {
    findCompressionEntryPoints(capabilities);
    const Result<FileBytes> file = readHostFile(path);
    ReadResult result =
        file ? decodeTga(*file, image, flags, capabilities.maxTextureSide(), maxPixels)
             : unreadFileResult(file.result(), kTgaFileNotFound);
    if (!result) {
        result = result.sentTo(Channel::standardOutput);
        failTga(result, path, image);
    }
    return result;
}

void failTga(const ReadResult& failure, const char* path, TgaImage& image) {
    reported(failure.sentTo(Channel::standardOutput), path);
    freeTgaPixels(image);
    makeFallbackTexture(image);
}
