#pragma once
// Pixel blocks of the texture readers: memory from the global allocator, zero-filled unless the
// reader writes every byte, released with their owner.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "io/input_limits.h"
#include "io/read_result.h"

struct FreePixelBlock {
    void operator()(std::uint8_t* block) const { std::free(block); }
};

using PixelBlock = std::unique_ptr<std::uint8_t[], FreePixelBlock>;

// `count` x `elementSize` zero bytes, or nothing when the allocation fails or the size does not fit
// a size_t. Large blocks arrive as untouched pages, so a block that a short file fills only in part
// costs memory only where pixels are written.
inline PixelBlock allocZeroed(std::size_t count, std::size_t elementSize = 1) {
    if (count == 0 || elementSize == 0) {
        count = elementSize = 1;
    }
    return PixelBlock(static_cast<std::uint8_t*>(std::calloc(count, elementSize)));
}

// `count` bytes as the allocator leaves them, for a block that is written whole before it is read,
// or nothing when the allocation fails.
inline PixelBlock allocUnfilled(std::size_t count) {
    return PixelBlock(static_cast<std::uint8_t*>(std::malloc(count == 0 ? 1 : count)));
}

// No limit on an image's pixel count besides the others.
inline constexpr std::uint64_t kAnyPixelCount = ~std::uint64_t{0};

// The refusals of an image's size, shared by the image readers.
inline constexpr FailureText kLargerThanLargestTexture{
    Failure::tooLarge, Channel::standardError, "The image is larger than the largest texture"};
inline constexpr FailureText kMorePixelsThanFile{
    Failure::tooLarge, Channel::standardError,
    "The image has more pixels than its file can describe"};
inline constexpr FailureText kOverTextureBudget{Failure::overBudget, Channel::standardError,
                                                "The image passes the scene's texture budget"};

// Whether an image of `width` x `height` pixels from a file of `fileBytes` bytes may have a pixel
// block: no side may exceed `maxSide`, the largest texture GL takes (kLargerThanLargestTexture),
// no file describes more than kMaxPixelsPerFileByte pixels a byte (kMorePixelsThanFile), and no
// image has more than `maxPixels` pixels, what is left of its scene's texture budget
// (kOverTextureBudget).
inline ReadResult imageSizeRefusal(std::int64_t width, std::int64_t height, std::size_t fileBytes,
                                   std::int64_t maxSide, std::uint64_t maxPixels) {
    if (width > maxSide || height > maxSide) {
        return kLargerThanLargestTexture;
    }
    if (static_cast<std::uint64_t>(width * height) > kMaxPixelsPerFileByte * fileBytes) {
        return kMorePixelsThanFile;
    }
    if (static_cast<std::uint64_t>(width * height) > maxPixels) {
        return kOverTextureBudget;
    }
    return {};
}
