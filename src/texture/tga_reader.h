#pragma once
// The TGA reader: uncompressed true-colour (type 2), greyscale (type 3) and run-length-encoded
// true-colour (type 10) images, turned from blue-green-red into red-green-blue and, on request,
// uploaded into the bound GL texture. A file it cannot use prints one line on standard output and
// leaves the bound texture a 128 x 128 checkerboard, so that the failure shows in the scene.

#include <cstdint>
#include <span>

#include "io/read_result.h"
#include "texture/pixel_block.h"
#include "texture/texture_capabilities.h"

// The 18-byte header as the file stores it, what follows from it, and the pixels: rows in the
// file's order, width x bytesPerPixel bytes each, R, G, B(, A) or one grey byte a pixel.
struct TgaImage {
    std::uint8_t idLength = 0;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 0;
    std::int16_t colourMapFirst = 0;
    std::int16_t colourMapLength = 0;
    std::uint8_t colourMapEntryBits = 0;
    std::int16_t xOrigin = 0;
    std::int16_t yOrigin = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::uint8_t bitsPerPixel = 0;
    std::uint8_t descriptor = 0;
    std::int32_t bytesPerPixel = 0;
    std::int32_t imageSize = 0;  // 0 when the header describes no image that fits 2^31 - 1 bytes
    std::uint32_t glFormat = 0;  // the GL enum GL_RGB, GL_RGBA, GL_LUMINANCE or GL_ALPHA
    PixelBlock pixels;           // imageSize bytes, or empty
};

// The reader's texts: every failure of the reader, these and those of the file's read
// (kFileTooLarge, kNotRegularFile), its size (imageSizeRefusal) and memory (kOutOfMemory), gives
// its line on standard output.
inline constexpr FailureText kTgaFileNotFound{Failure::cannotOpen, Channel::standardOutput,
                                              "File not found"};
inline constexpr FailureText kTgaHeaderCutShort{Failure::tooShort, Channel::standardOutput,
                                                "Invalid image size"};
inline constexpr FailureText kTgaInvalidSize{Failure::outOfRange, Channel::standardOutput,
                                             "Invalid image size"};
inline constexpr FailureText kTgaColourMapped{Failure::unsupported, Channel::standardOutput,
                                              "8-bit colour no longer supported"};
inline constexpr FailureText kTgaUnsupportedRgb{Failure::unsupported, Channel::standardOutput,
                                                "Unsupported RGB format"};
inline constexpr FailureText kTgaUnsupportedCompressedRgb{
    Failure::unsupported, Channel::standardOutput, "Unsupported compressed RGB format"};
inline constexpr FailureText kTgaGreyscaleUnasked{Failure::unsupported, Channel::standardOutput,
                                                  "Must be LUMINANCE or ALPHA greyscale"};
inline constexpr FailureText kTgaUnsupportedType{Failure::unsupported, Channel::standardOutput,
                                                 "Unsupported image type"};

// The GL pixel formats that `glFormat` holds, by their GL values: the decoder draws nothing and
// includes no GL.
inline constexpr std::uint32_t kGlAlpha = 0x1906;
inline constexpr std::uint32_t kGlRgb = 0x1907;
inline constexpr std::uint32_t kGlRgba = 0x1908;
inline constexpr std::uint32_t kGlLuminance = 0x1909;

// Flags of loadTga and readTga.
inline constexpr std::uint32_t TGA_FREE_PIXELS = 0x1;       // release the pixels after the upload
inline constexpr std::uint32_t TGA_NO_UPLOAD = 0x10;        // decode only
inline constexpr std::uint32_t TGA_ALPHA = 0x100;           // accept type 3 as GL_ALPHA
inline constexpr std::uint32_t TGA_LUMINANCE = 0x1000;      // accept type 3 as GL_LUMINANCE (wins)
inline constexpr std::uint32_t TGA_NO_MIPMAPS = 0x10000;    // upload level 0 only
inline constexpr std::uint32_t TGA_4BIT = 0x100000;         // 4-bit internal formats
inline constexpr std::uint32_t TGA_COMPRESSED = 0x1000000;  // compressed internal formats (wins)

// Reads `path` into `image`; uploads it unless TGA_NO_UPLOAD, then releases the pixels if
// TGA_FREE_PIXELS. After a failure `image.pixels` is empty and the checkerboard is uploaded.
// Images larger than the capabilities' largest texture side, or with more than `maxPixels` pixels,
// are refused as in decodeTga.
ReadResult loadTga(const char* path, TgaImage& image, std::uint32_t flags,
                   TextureCapabilities& capabilities, std::uint64_t maxPixels = kAnyPixelCount);

// Looks up the compression entry points, then reads and decodes the file. A failure (a file that
// cannot be opened, one larger than kMaxDataFileBytes, or one decodeTga refuses) goes through
// failTga; its reason is the message printed, its channel standard output.
ReadResult readTga(const char* path, TgaImage& image, std::uint32_t flags,
                   TextureCapabilities& capabilities, std::uint64_t maxPixels = kAnyPixelCount);

// Decodes a whole TGA file held in memory into `image`, without GL, after releasing any pixels it
// held: read, or the failure. Reads nothing outside `file`. An image
// wider or taller than `maxSide`, with more pixels than its file can describe or than `maxPixels`
// (imageSizeRefusal), is refused before its pixels are allocated.
ReadResult decodeTga(std::span<const std::uint8_t> file, TgaImage& image, std::uint32_t flags,
                     std::int32_t maxSide, std::uint64_t maxPixels = kAnyPixelCount);

void freeTgaPixels(TgaImage& image);

// Prints "<reason> - <path>" on standard output, empties the image and uploads the checkerboard.
void failTga(const ReadResult& failure, const char* path, TgaImage& image);
