#pragma once
// The BMP reader: a Windows bitmap (BMP/DIB) of any of the format's pixel layouts, turned into rows
// of 8-bit red, green and blue.

#include <cstdint>
#include <span>

#include "io/read_result.h"
#include "texture/pixel_block.h"

// Rows of `width` x 3 bytes (R, G, B, no padding) in the file's row order, bottom row first: rows
// that a file stores top to bottom are turned round, so every image arrives the same way up.
struct RgbImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PixelBlock pixels;
};

// The fields of a DIB header that decide its layout; a 12-byte header has no compression and no
// colour count of its own.
struct DibHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::uint32_t BI_RLE8 = 1;
inline constexpr std::uint32_t BI_RLE4 = 2;
inline constexpr std::uint32_t BI_BITFIELDS = 3;

// The reader's texts. Its own go to a message box; a file larger than kMaxDataFileBytes
// (kFileTooLarge) and an image refused for its size (imageSizeRefusal) give a line on standard
// error.
inline constexpr FailureText kDibCannotOpen{Failure::cannotOpen, Channel::messageBox,
                                            "Failed to open DIB file %s.\n"};
// An empty file cannot be mapped, so it fails as one that cannot be opened.
inline constexpr FailureText kDibEmpty{Failure::tooShort, Channel::messageBox,
                                       "Failed to open DIB file %s.\n"};
inline constexpr FailureText kDibCutShort{Failure::tooShort, Channel::messageBox,
                                          "Unknown DIB file format."};
inline constexpr FailureText kDibUnknownFormat{Failure::unsupported, Channel::messageBox,
                                               "Unknown DIB file format."};
inline constexpr FailureText kDibUnsupportedLayout{Failure::unsupported, Channel::messageBox,
                                                   "Image file conversion error."};
inline constexpr FailureText kDibRowsMissing{Failure::tooShort, Channel::messageBox,
                                             "Image file conversion error."};
inline constexpr FailureText kDibRunsOutside{Failure::outOfRange, Channel::messageBox,
                                             "Image file conversion error."};
// A DIB section of no pixels cannot be made.
inline constexpr FailureText kDibNoPixels{Failure::outOfRange, Channel::messageBox,
                                          "Out of memory."};
inline constexpr FailureText kDibOutOfMemory{Failure::outOfMemory, Channel::messageBox,
                                             "Out of memory."};

// Decodes a whole BMP file held in memory; reads nothing outside `file`. An image wider or taller
// than `maxSide`, with more pixels than its file can describe or than `maxPixels`
// (imageSizeRefusal), is refused before its pixels are allocated.
Result<RgbImage> decodeDib(std::span<const std::uint8_t> file, std::int32_t maxSide,
                           std::uint64_t maxPixels = kAnyPixelCount);

// Reads the file at `path` into `image`, with the size limits of decodeDib. A file larger than
// kMaxDataFileBytes and a refused image give one line "<what> - <path>" on standard error; every
// other failure shows its message box (caption "Error", owned by the window with the keyboard
// focus): a file that gives no bytes, or none at all, kDibCannotOpen. A failure's reason is the
// text it told; `image` is then left alone.
ReadResult loadDibImage(const char* path, std::int32_t maxSide, RgbImage& image,
                        std::uint64_t maxPixels = kAnyPixelCount);
