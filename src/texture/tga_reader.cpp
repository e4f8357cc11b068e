#include "texture/tga_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>
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

// Blocks of 16 pixels first, then the rest: an optimiser that vectorises only loops whose count it
// knows (GCC at -O2) turns the blocks into vector shuffles.
template <std::size_t BytesPerPixel>
void copyTurningToRgb(const std::uint8_t* source, std::uint8_t* out, std::size_t pixels) {
    constexpr std::size_t kBlockPixels = 16;
    constexpr std::size_t kBlockBytes = kBlockPixels * BytesPerPixel;
    const std::size_t blocks = pixels / kBlockPixels;
    for (std::size_t block = 0; block < blocks; ++block) {
        turnToRgb<BytesPerPixel>(source + block * kBlockBytes, out + block * kBlockBytes,
                                 kBlockPixels);
    }
    const std::size_t done = blocks * kBlockBytes;
    turnToRgb<BytesPerPixel>(source + done, out + done, pixels - blocks * kBlockPixels);
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

// Type-10 data: packets of 1 to 128 pixels, a run of one pixel or that many pixels in place, that
// may cross rows. A packet past the image's end is cut there; data that ends early, even inside a
// pixel, leaves the rest of the zero block as it is.
void decodeTgaRle(TgaImage& image, ByteCursor& file) {
    const std::size_t bytesPerPixel = static_cast<std::size_t>(image.bytesPerPixel);
    std::uint8_t* out = image.pixels.get();
    std::size_t pixelsLeft = static_cast<std::size_t>(image.imageSize) / bytesPerPixel;
    std::uint8_t packet = 0;
    while (pixelsLeft > 0 && file.readU8(packet)) {
        const std::size_t count = std::min<std::size_t>((packet & 0x7F) + 1, pixelsLeft);
        if ((packet & 0x80) != 0) {
            if (file.remaining() < bytesPerPixel) {
                return;
            }
            copyPixels(file.rest().data(), out, 1, bytesPerPixel);
            file.skip(bytesPerPixel);
            for (std::size_t i = 1; i < count; ++i) {
                std::memcpy(out + i * bytesPerPixel, out, bytesPerPixel);
            }
            out += count * bytesPerPixel;
            pixelsLeft -= count;
            continue;
        }
        const std::size_t stored = std::min(count, file.remaining() / bytesPerPixel);
        copyPixels(file.rest().data(), out, stored, bytesPerPixel);
        file.skip(stored * bytesPerPixel);
        if (stored < count) {
            return;
        }
        out += stored * bytesPerPixel;
        pixelsLeft -= stored;
    }
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
// Only a block that the data may leave in part needs zeros first.
bool readTgaPixels(TgaImage& image, ByteCursor& file) {
    const std::size_t size = static_cast<std::size_t>(image.imageSize);
    if (image.imageType == 10) {
        image.pixels = allocZeroed(size);
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
