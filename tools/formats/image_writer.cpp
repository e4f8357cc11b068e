#include "formats/image_writer.h"

#include <algorithm>
#include <cstring>

#include "formats/byte_writer.h"

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr int kMaxBmpRun = 255;
constexpr int kMaxTgaPacket = 128;

// Rows of packed values, each padded to a multiple of four bytes; indices of fewer than 8 bits
// fill each byte from its high bits.
std::vector<std::uint8_t> packRows(const BmpPicture& picture, int bitCount) {
    ByteWriter out;
    for (std::int32_t row = 0; row < picture.height; ++row) {
        const std::size_t rowStart = out.size();
        const std::uint32_t* values = picture.values.data() + std::size_t(row) * picture.width;
        if (bitCount < 8) {
            std::uint8_t byte = 0;
            int filled = 0;
            for (std::int32_t x = 0; x < picture.width; ++x) {
                filled += bitCount;
                byte |= static_cast<std::uint8_t>(values[x] << (8 - filled));
                if (filled == 8 || x + 1 == picture.width) {
                    out.u8(byte);
                    byte = 0;
                    filled = 0;
                }
            }
        } else {
            for (std::int32_t x = 0; x < picture.width; ++x) {
                out.raw(&values[x], static_cast<std::size_t>(bitCount / 8));
            }
        }
        out.zeros((4 - (out.size() - rowStart) % 4) % 4);
    }
    return out.bytes();
}

// How many values from `x` on equal the one at `x`, up to `limit`.
int runLength(const std::uint32_t* values, int x, int width, int limit) {
    int length = 1;
    while (x + length < width && length < limit && values[x + length] == values[x]) {
        ++length;
    }
    return length;
}

std::vector<std::uint8_t> encodeRle(const BmpPicture& picture, int bitCount) {
    ByteWriter out;
    const auto runByte = [&](std::uint32_t index) {
        return static_cast<std::uint8_t>(bitCount == 8 ? index : (index << 4) | index);
    };
    for (std::int32_t row = 0; row < picture.height; ++row) {
        const std::uint32_t* values = picture.values.data() + std::size_t(row) * picture.width;
        int x = 0;
        while (x < picture.width) {
            const int run = runLength(values, x, picture.width, kMaxBmpRun);
            if (run >= 2) {
                out.u8(static_cast<std::uint8_t>(run));
                out.u8(runByte(values[x]));
                x += run;
                continue;
            }
            int end = x + 1;
            while (end < picture.width && end - x < kMaxBmpRun &&
                   runLength(values, end, picture.width, 2) < 2) {
                ++end;
            }
            const int count = end - x;
            if (count < 3) {  // absolute runs start at 3; shorter stretches go as runs of one
                for (; x < end; ++x) {
                    out.u8(1);
                    out.u8(runByte(values[x]));
                }
                continue;
            }
            out.u8(0);
            out.u8(static_cast<std::uint8_t>(count));
            BmpPicture stretch{count, 1, {values + x, values + end}, {}};
            std::vector<std::uint8_t> packed = packRows(stretch, bitCount);
            packed.resize((std::size_t(count) * bitCount + 15) / 16 * 2);  // to a 16-bit boundary
            out.raw(packed);
            x = end;
        }
        out.u8(0);
        out.u8(row + 1 == picture.height ? 1 : 0);
    }
    return out.bytes();
}

void writeBmpHeader(ByteWriter& out, const BmpPicture& picture, const BmpLayout& layout,
                    std::size_t pixelBytes) {
    if (layout.headerSize == kCoreHeaderSize) {
        out.u32(kCoreHeaderSize);
        out.u16(static_cast<std::uint16_t>(picture.width));
        out.u16(static_cast<std::uint16_t>(picture.height));
        out.u16(1);
        out.u16(layout.bitCount);
        return;
    }
    out.u32(layout.headerSize);
    out.i32(picture.width);
    out.i32(layout.topDown ? -picture.height : picture.height);
    out.u16(1);
    out.u16(layout.bitCount);
    out.u32(static_cast<std::uint32_t>(layout.compression));
    out.u32(static_cast<std::uint32_t>(pixelBytes));
    out.i32(kPixelsPerMetre);
    out.i32(kPixelsPerMetre);
    out.u32(layout.coloursUsed);
    out.u32(0);
    out.zeros(layout.headerSize > kInfoHeaderSize ? layout.headerSize - kInfoHeaderSize : 0);
}

std::vector<std::uint8_t> bmpPixelData(const BmpPicture& picture, const BmpLayout& layout) {
    if (layout.pixelData) {
        return *layout.pixelData;
    }
    switch (layout.compression) {
        case BmpCompression::rle8:
            return encodeRle8(picture);
        case BmpCompression::rle4:
            return encodeRle4(picture);
        default:
            return packRows(picture, layout.bitCount);
    }
}

// The first bitsPerPixel / 8 bytes of B, G, R, A (type 3: R), zeros past them.
void writeTgaPixel(ByteWriter& out, const std::uint8_t* rgba, const TgaLayout& layout) {
    const std::array<std::uint8_t, 4> stored =
        layout.imageType == 3 ? std::array<std::uint8_t, 4>{rgba[0], 0, 0, 0}
                              : std::array<std::uint8_t, 4>{rgba[2], rgba[1], rgba[0], rgba[3]};
    const std::size_t bytes = layout.bitsPerPixel / 8u;
    out.raw(stored.data(), std::min<std::size_t>(bytes, stored.size()));
    out.zeros(bytes > stored.size() ? bytes - stored.size() : 0);
}

std::vector<std::uint8_t> tgaRlePixels(const RgbaPicture& picture, const TgaLayout& layout) {
    ByteWriter out;
    const std::size_t count = std::size_t(picture.width) * picture.height;
    const auto pixel = [&](std::size_t i) { return picture.rgba.data() + 4 * i; };
    const auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(pixel(a), pixel(b), 4) == 0;
    };
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < kMaxTgaPacket && same(i, i + run)) {
            ++run;
        }
        if (run >= 2) {
            out.u8(static_cast<std::uint8_t>(0x80 | (run - 1)));
            writeTgaPixel(out, pixel(i), layout);
            i += run;
            continue;
        }
        std::size_t end = i + 1;
        while (end < count && end - i < kMaxTgaPacket && !(end + 1 < count && same(end, end + 1))) {
            ++end;
        }
        out.u8(static_cast<std::uint8_t>(end - i - 1));
        for (; i < end; ++i) {
            writeTgaPixel(out, pixel(i), layout);
        }
    }
    return out.bytes();
}

std::vector<std::uint8_t> tgaPixelData(const RgbaPicture& picture, const TgaLayout& layout) {
    if (layout.pixelData) {
        return *layout.pixelData;
    }
    if (layout.imageType == 10) {
        return tgaRlePixels(picture, layout);
    }
    ByteWriter out;
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        writeTgaPixel(out, picture.rgba.data() + i, layout);
    }
    return out.bytes();
}

}  // namespace

std::vector<std::uint8_t> bmpFile(const BmpPicture& picture, const BmpLayout& layout) {
    const std::vector<std::uint8_t> pixels = bmpPixelData(picture, layout);
    ByteWriter dib;
    writeBmpHeader(dib, picture, layout, pixels.size());
    if (layout.compression == BmpCompression::bitfields) {
        for (std::uint32_t mask : layout.masks) {
            dib.u32(mask);
        }
    }
    for (const BmpColour& colour : picture.colourTable) {
        dib.u8(colour.blue);
        dib.u8(colour.green);
        dib.u8(colour.red);
        if (layout.headerSize != kCoreHeaderSize) {
            dib.u8(0);
        }
    }
    dib.zeros(layout.gap);

    ByteWriter file;
    if (layout.fileHeader) {
        const std::size_t pixelOffset = kFileHeaderSize + dib.size();
        file.u8('B');
        file.u8('M');
        file.u32(static_cast<std::uint32_t>(pixelOffset + pixels.size()));
        file.u32(0);
        file.u32(static_cast<std::uint32_t>(pixelOffset));
    }
    file.raw(dib.bytes());
    file.raw(pixels);
    return file.bytes();
}

BmpPicture bmpPictureOf(const RgbaPicture& picture) {
    BmpPicture values{picture.width, picture.height, {}, {}};
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        values.values.push_back(std::uint32_t(picture.rgba[i]) << 16 |
                                std::uint32_t(picture.rgba[i + 1]) << 8 | picture.rgba[i + 2]);
    }
    return values;
}

std::vector<std::uint8_t> encodeRle8(const BmpPicture& picture) {
    return encodeRle(picture, 8);
}

std::vector<std::uint8_t> encodeRle4(const BmpPicture& picture) {
    return encodeRle(picture, 4);
}

std::vector<std::uint8_t> tgaFile(const RgbaPicture& picture, const TgaLayout& layout) {
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(layout.id.size()));
    out.u8(layout.colourMapLength != 0 ? 1 : 0);
    out.u8(layout.imageType);
    out.i16(0);
    out.i16(layout.colourMapLength);
    out.u8(layout.colourMapLength != 0 ? layout.colourMapEntryBits : 0);
    out.i16(0);
    out.i16(0);
    out.i16(static_cast<std::int16_t>(picture.width));
    out.i16(static_cast<std::int16_t>(picture.height));
    out.u8(layout.bitsPerPixel);
    out.u8(layout.bitsPerPixel == 32 ? 8 : 0);  // alpha bits in the descriptor
    out.raw(layout.id.data(), layout.id.size());
    if (layout.colourMapLength > 0) {
        out.zeros(std::size_t(layout.colourMapLength) * ((layout.colourMapEntryBits + 7u) / 8u));
    }
    out.raw(tgaPixelData(picture, layout));
    return out.bytes();
}
