#include "texture/tga_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>
#include <utility>

#include "io/byte_cursor.h"
#include "io/file_errors.h"

namespace {

constexpr std::size_t kHeaderSize = 18;

// Chooses glFormat from the image type and depth, or refuses the image.
ReadResult chooseTgaFormat(TgaImage& image, std::uint32_t flags) {
    const bool trueColour = image.bitsPerPixel == 24 || image.bitsPerPixel == 32;
    const std::uint32_t trueColourFormat = image.bitsPerPixel == 24 ? kGlRgb : kGlRgba;
    switch (image.imageType) {
        case 1:
        case 9:
            return kTgaColourMapped;
        case 2:
        case 10:
            if (!trueColour) {
                return image.imageType == 2 ? kTgaUnsupportedRgb : kTgaUnsupportedCompressedRgb;
            }
            image.glFormat = trueColourFormat;
            return {};
        case 3:
            if ((flags & (TGA_LUMINANCE | TGA_ALPHA)) == 0) {
                return kTgaGreyscaleUnasked;
            }
            image.glFormat = (flags & TGA_LUMINANCE) != 0 ? kGlLuminance : kGlAlpha;
            return {};
        default:
            return kTgaUnsupportedType;
    }
}

// The identification field and the colour map (entries rounded up to whole bytes) lie between
// the header and the pixels; a file that ends among them has no pixel data.
void skipToPixels(ByteCursor& file, const TgaImage& image) {
    std::size_t bytes = image.idLength;
    if (image.colourMapType == 1 && image.colourMapLength > 0) {
        bytes += static_cast<std::size_t>(image.colourMapLength) *
                 ((image.colourMapEntryBits + 7u) / 8u);
    }
    file.skip(std::min(bytes, file.remaining()));
}

// Reads the 18 header bytes and derives bytesPerPixel and imageSize; false when the data is
// shorter than the header.
bool readTgaHeader(ByteCursor& file, TgaImage& image) {
    if (file.remaining() < kHeaderSize) {
        return false;
    }
    file.readU8(image.idLength);
    file.readU8(image.colourMapType);
    file.readU8(image.imageType);
    file.readI16(image.colourMapFirst);
    file.readI16(image.colourMapLength);
    file.readU8(image.colourMapEntryBits);
    file.readI16(image.xOrigin);
    file.readI16(image.yOrigin);
    file.readI16(image.width);
    file.readI16(image.height);
    file.readU8(image.bitsPerPixel);
    file.readU8(image.descriptor);
    image.bytesPerPixel = image.bitsPerPixel >> 3;
    const std::int64_t size =
        static_cast<std::int64_t>(image.width) * image.height * image.bytesPerPixel;
    const bool usable = image.width > 0 && image.height > 0 && size > 0 &&
                        size <= std::numeric_limits<std::int32_t>::max();
    image.imageSize = usable ? static_cast<std::int32_t>(size) : 0;
    return true;
}

constexpr std::size_t kTurnBlockPixels = 16;

// The file stores blue first: each pixel's first and third byte change places on the way.
template <std::size_t BytesPerPixel>
void turnToRgb(const std::uint8_t* __restrict source, std::uint8_t* __restrict out,
               std::size_t pixels) {
    for (std::size_t i = 0; i < pixels * BytesPerPixel; i += BytesPerPixel) {
        out[i] = source[i + 2];
        out[i + 1] = source[i + 1];
        out[i + 2] = source[i];
        if constexpr (BytesPerPixel == 4) {
            out[i + 3] = source[i + 3];
        }
    }
}

// Blocks of 16 pixels, turned in place of a copy: an optimiser that vectorises only loops whose
// count it knows (GCC at -O2) turns each block into vector shuffles.
template <std::size_t BytesPerPixel>
void turnBlocksToRgb(const std::uint8_t* source, std::uint8_t* out, std::size_t blocks) {
    constexpr std::size_t kBlockBytes = kTurnBlockPixels * BytesPerPixel;
    for (std::size_t block = 0; block < blocks; ++block) {
        turnToRgb<BytesPerPixel>(source + block * kBlockBytes, out + block * kBlockBytes,
                                 kTurnBlockPixels);
    }
}

// 3-byte pixels need a byte shuffle that plain SSE2 lacks: where the compiler can pick the
// processor's best at run time, a copy built for SSSE3 turns them about three times as fast.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
[[gnu::target_clones("ssse3", "default")]]
#endif
void turnRgbBlocks(const std::uint8_t* source, std::uint8_t* out, std::size_t blocks) {
    turnBlocksToRgb<3>(source, out, blocks);
}

// Blocks of 16 pixels first, then the rest.
template <std::size_t BytesPerPixel>
void copyTurningToRgb(const std::uint8_t* source, std::uint8_t* out, std::size_t pixels) {
    const std::size_t blocks = pixels / kTurnBlockPixels;
    if constexpr (BytesPerPixel == 3) {
        turnRgbBlocks(source, out, blocks);
    } else {
        turnBlocksToRgb<BytesPerPixel>(source, out, blocks);
    }
    const std::size_t done = blocks * kTurnBlockPixels * BytesPerPixel;
    turnToRgb<BytesPerPixel>(source + done, out + done, pixels - blocks * kTurnBlockPixels);
}

// Copies whole pixels from the file into the block, turned to red first when they hold colour.
void copyPixels(const std::uint8_t* source, std::uint8_t* out, std::size_t pixels,
                std::size_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 3:
            copyTurningToRgb<3>(source, out, pixels);
            return;
        case 4:
            copyTurningToRgb<4>(source, out, pixels);
            return;
        default:
            std::memcpy(out, source, pixels * bytesPerPixel);
    }
}

// One pixel repeated `count` times after its first copy at `out`.
void repeatPixel(std::uint8_t* out, std::size_t count, std::size_t bytesPerPixel) {
    if (bytesPerPixel == 4) {
        std::uint32_t pixel;
        std::memcpy(&pixel, out, 4);
        for (std::size_t i = 1; i < count; ++i) {
            std::memcpy(out + 4 * i, &pixel, 4);
        }
        return;
    }
    for (std::size_t i = 1; i < count; ++i) {
        std::memcpy(out + i * bytesPerPixel, out, bytesPerPixel);
    }
}

// Type-10 data: packets of 1 to 128 pixels, a run of one pixel or that many pixels in place, that
// may cross rows. A packet past the image's end is cut there; data that ends early, even inside a
// pixel, leaves the rest of the block zero. The packets are walked on the bytes themselves, each
// length checked against what is left, since a file holds up to millions of them.
void decodeTgaRle(TgaImage& image, ByteCursor& file) {
    const std::size_t bytesPerPixel = static_cast<std::size_t>(image.bytesPerPixel);
    const std::span<const std::uint8_t> data = file.rest();
    std::size_t at = 0;
    std::uint8_t* out = image.pixels.get();
    std::uint8_t* const end = out + static_cast<std::size_t>(image.imageSize);
    std::size_t pixelsLeft = static_cast<std::size_t>(image.imageSize) / bytesPerPixel;
    while (pixelsLeft > 0 && at < data.size()) {
        const std::uint8_t packet = data[at++];
        const std::size_t count = std::min<std::size_t>((packet & 0x7F) + 1, pixelsLeft);
        const bool run = (packet & 0x80) != 0;
        const std::size_t stored = run ? 1 : count;
        const std::size_t whole = std::min(stored, (data.size() - at) / bytesPerPixel);
        copyPixels(data.data() + at, out, whole, bytesPerPixel);
        at += whole * bytesPerPixel;
        if (whole < stored) {
            out += whole * bytesPerPixel;
            break;
        }
        if (run) {
            repeatPixel(out, count, bytesPerPixel);
        }
        out += count * bytesPerPixel;
        pixelsLeft -= count;
    }
    file.skip(at);
    std::fill(out, end, std::uint8_t{0});
}

// Uncompressed data, rows in the file's order and without padding: the whole image is one run of
// pixels. A file that ends early leaves the rest of the block zero; a pixel it cuts short is
// turned as if its missing bytes were zero.
void copyUncompressedPixels(TgaImage& image, std::span<const std::uint8_t> data) {
    const std::size_t bytesPerPixel = static_cast<std::size_t>(image.bytesPerPixel);
    const std::size_t whole = data.size() / bytesPerPixel;
    std::uint8_t* out = image.pixels.get();
    copyPixels(data.data(), out, whole, bytesPerPixel);
    const std::size_t cutShort = data.size() - whole * bytesPerPixel;
    if (cutShort == 0) {
        return;
    }
    std::uint8_t* last = out + whole * bytesPerPixel;
    std::memcpy(last, data.data() + whole * bytesPerPixel, cutShort);
    if (bytesPerPixel == 3 || bytesPerPixel == 4) {
        std::swap(last[0], last[2]);
    }
}

// Allocates the pixel block and fills it from the pixel data; false when it cannot be allocated.
// Only a block that the data may leave in part needs zeros first; the run-length decoder zeroes
// what its data leaves itself.
bool readTgaPixels(TgaImage& image, ByteCursor& file) {
    const std::size_t size = static_cast<std::size_t>(image.imageSize);
    if (image.imageType == 10) {
        image.pixels = allocUnfilled(size);
        if (image.pixels) {
            decodeTgaRle(image, file);
        }
        return image.pixels != nullptr;
    }
    const std::size_t bytes = std::min(size, file.remaining());
    image.pixels = bytes == size ? allocUnfilled(size) : allocZeroed(size);
    if (image.pixels) {
        copyUncompressedPixels(image, file.rest().first(bytes));
        file.skip(bytes);
    }
    return image.pixels != nullptr;
}

}  // namespace

ReadResult decodeTga(std::span<const std::uint8_t> file, TgaImage& image, std::uint32_t flags,
                     std::int32_t maxSide, std::uint64_t maxPixels) {
    freeTgaPixels(image);
    ByteCursor cursor(file);
    if (!readTgaHeader(cursor, image)) {
        return kTgaHeaderCutShort;
    }
    if (ReadResult refusal = chooseTgaFormat(image, flags); !refusal) {
        return refusal;
    }
    if (image.imageSize == 0) {
        return kTgaInvalidSize;
    }
    if (ReadResult refusal =
            imageSizeRefusal(image.width, image.height, file.size(), maxSide, maxPixels);
        !refusal) {
        return refusal;
    }
    skipToPixels(cursor, image);
    return readTgaPixels(image, cursor) ? ReadResult() : ReadResult(kOutOfMemory);
}

void freeTgaPixels(TgaImage& image) {
    image.pixels.reset();
}
