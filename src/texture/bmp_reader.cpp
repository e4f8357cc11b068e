#include "texture/bmp_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "io/byte_cursor.h"

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kPixelOffsetField = 10;

using Rgb = std::array<std::uint8_t, 3>;
// Colour-table entries by pixel index; an index past the end of the table reads black.
using Palette = std::array<Rgb, 256>;

// Everything the conversion needs from the headers.
struct DibLayout {
    DibHeader header;
    Palette palette{};
    std::array<std::uint32_t, 3> masks{};     // red, green, blue of BI_BITFIELDS
    std::span<const std::uint8_t> pixelData;  // from the pixel offset to the end of the file
};

// One colour channel of a 16- or 32-bit pixel: where its bits lie and how they widen to 8 bits.
struct MaskChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::array<std::uint8_t, 128> widened{};  // by channel value, for channels narrower than 8 bits

    std::uint8_t value(std::uint32_t pixel) const {
        const std::uint32_t bitsOfChannel = (pixel & mask) >> shift;
        return bits >= 8 ? static_cast<std::uint8_t>(bitsOfChannel >> (bits - 8))
                         : widened[bitsOfChannel];
    }
};

using MaskChannels = std::array<MaskChannel, 3>;

// Repeats the channel's bits below themselves so that 0 stays 0 and all ones becomes 255: five
// bits widen as (v << 3) | (v >> 2).
std::uint8_t widenChannel(std::uint32_t value, int bits) {
    std::uint32_t wide = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits) {
        wide |= shift >= 0 ? value << shift : value >> -shift;
    }
    return static_cast<std::uint8_t>(wide);
}

MaskChannel makeChannel(std::uint32_t mask) {
    MaskChannel channel;
    channel.mask = mask;
    if (mask == 0) {
        return channel;  // always reads 0
    }
    channel.shift = std::countr_zero(mask);
    channel.bits = std::bit_width(mask >> channel.shift);
    if (channel.bits < 8) {
        for (std::uint32_t value = 0; value < (1u << channel.bits); ++value) {
            channel.widened[value] = widenChannel(value, channel.bits);
        }
    }
    return channel;
}

// BI_RGB pixels of 16 bits are 5-5-5, of 32 bits 8-8-8 with an unused top byte.
MaskChannels channelsOf(const DibLayout& layout) {
    std::array<std::uint32_t, 3> masks = layout.masks;
    if (layout.header.compression == BI_RGB) {
        masks = layout.header.bitCount == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                                             : std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
    }
    return {makeChannel(masks[0]), makeChannel(masks[1]), makeChannel(masks[2])};
}

bool hasFileHeader(std::span<const std::uint8_t> file) {
    return file.size() >= 2 && file[0] == 'B' && file[1] == 'M';
}

bool readCoreHeader(ByteCursor& cursor, DibHeader& header) {
    std::uint16_t width = 0, height = 0, planes = 0;
    if (!(cursor.readU16(width) && cursor.readU16(height) && cursor.readU16(planes) &&
          cursor.readU16(header.bitCount))) {
        return false;
    }
    header.width = width;
    header.height = height;
    header.compression = BI_RGB;
    return true;
}

bool readInfoHeader(ByteCursor& cursor, DibHeader& header) {
    std::uint16_t planes = 0;
    constexpr std::size_t kImageSizeAndResolution = 12;
    constexpr std::size_t kImportantColours = 4;
    return cursor.readI32(header.width) && cursor.readI32(header.height) &&
           cursor.readU16(planes) && cursor.readU16(header.bitCount) &&
           cursor.readU32(header.compression) && cursor.skip(kImageSizeAndResolution) &&
           cursor.readU32(header.coloursUsed) && cursor.skip(kImportantColours);
}

bool readMasks(ByteCursor& cursor, std::array<std::uint32_t, 3>& masks) {
    return cursor.readU32(masks[0]) && cursor.readU32(masks[1]) && cursor.readU32(masks[2]);
}

// The number of colour-table entries that follow the header.
std::uint16_t countDibColours(const DibHeader& header) {
    if (header.size == kInfoHeaderSize && header.coloursUsed != 0) {
        return static_cast<std::uint16_t>(header.coloursUsed);
    }
    switch (header.bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

// Entries are blue, green, red (and a reserved byte in the 4-byte entries of a 40-byte header).
bool readColourTable(ByteCursor& cursor, std::uint16_t count, std::size_t entrySize,
                     Palette& palette) {
    if (!cursor.fits(count, entrySize)) {
        return false;
    }
    for (std::size_t index = 0; index < count; ++index) {
        std::array<std::uint8_t, 4> entry{};
        cursor.readBytes(entry.data(), entrySize);
        if (index < palette.size()) {
            palette[index] = {entry[2], entry[1], entry[0]};
        }
    }
    return true;
}

// Reads the headers and colour table; the pixel data starts at the file header's offset, or
// without a file header right after the header, masks and colour table.
ReadResult parseDib(std::span<const std::uint8_t> file, DibLayout& layout) {
    ByteCursor cursor(file);
    const bool fileHeader = hasFileHeader(file);
    std::uint32_t pixelOffset = 0;
    if (fileHeader && !(cursor.seek(kPixelOffsetField) && cursor.readU32(pixelOffset) &&
                        cursor.seek(kFileHeaderSize))) {
        return kDibCutShort;
    }
    DibHeader& header = layout.header;
    if (!cursor.readU32(header.size)) {
        return kDibCutShort;
    }
    if (header.size != kCoreHeaderSize && header.size != kInfoHeaderSize) {
        return kDibUnknownFormat;
    }
    const bool headerRead = header.size == kCoreHeaderSize ? readCoreHeader(cursor, header)
                                                           : readInfoHeader(cursor, header);
    if (!headerRead || (header.compression == BI_BITFIELDS && !readMasks(cursor, layout.masks)) ||
        !readColourTable(cursor, countDibColours(header), header.size == kCoreHeaderSize ? 3 : 4,
                         layout.palette)) {
        return kDibCutShort;
    }
    const std::size_t start = fileHeader ? pixelOffset : cursor.position();
    layout.pixelData = start <= file.size() ? file.subspan(start) : std::span<const std::uint8_t>{};
    return {};
}

std::int64_t rowCount(const DibHeader& header) {
    return header.height < 0 ? -static_cast<std::int64_t>(header.height) : header.height;
}

// A DIB section of no pixels cannot be made.
bool hasPixels(const DibHeader& header) {
    return header.width > 0 && rowCount(header) > 0;
}

bool formatSupported(const DibHeader& header) {
    switch (header.compression) {
        case BI_RGB:
            return header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 ||
                   header.bitCount == 16 || header.bitCount == 24 || header.bitCount == 32;
        case BI_RLE8:
            return header.bitCount == 8;
        case BI_RLE4:
            return header.bitCount == 4;
        case BI_BITFIELDS:
            return header.bitCount == 16 || header.bitCount == 32;
        default:
            return false;
    }
}

bool isRle(const DibHeader& header) {
    return header.compression == BI_RLE8 || header.compression == BI_RLE4;
}

std::size_t rowBytes(const DibHeader& header) {
    return (static_cast<std::size_t>(header.bitCount) * header.width + 7) / 8;
}

// Stored rows are padded to a multiple of four bytes.
std::size_t rowStride(const DibHeader& header) {
    return (static_cast<std::size_t>(header.bitCount) * header.width + 31) / 32 * 4;
}

// Whether the data holds every stored row up to the last pixel of the last row.
bool holdsAllRows(const DibLayout& layout) {
    const std::uint64_t needed =
        static_cast<std::uint64_t>(rowStride(layout.header)) * (rowCount(layout.header) - 1) +
        rowBytes(layout.header);
    return needed <= layout.pixelData.size();
}

// The output row of the file's `storedRow`: files stored top to bottom are turned round.
std::uint8_t* outputRow(RgbImage& image, std::int64_t storedRow, bool topDown) {
    const std::int64_t row = topDown ? image.height - 1 - storedRow : storedRow;
    return image.pixels.get() + static_cast<std::size_t>(row) * image.width * 3;
}

void putColour(std::uint8_t* out, const Rgb& colour) {
    std::memcpy(out, colour.data(), colour.size());
}

template <int bitCount>
void convertIndexedRow(const std::uint8_t* source, std::uint8_t* out, int width,
                       const Palette& palette) {
    constexpr int perByte = 8 / bitCount;
    constexpr unsigned indexMask = (1u << bitCount) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bitCount * (x % perByte + 1);  // the leftmost pixel is the high bits
        putColour(out + 3 * x, palette[(source[x / perByte] >> shift) & indexMask]);
    }
}

void convertBgrRow(const std::uint8_t* source, std::uint8_t* out, int width) {
    for (int x = 0; x < width; ++x, source += 3, out += 3) {
        out[0] = source[2];
        out[1] = source[1];
        out[2] = source[0];
    }
}

template <int bytesPerPixel>
void convertMaskedRow(const std::uint8_t* source, std::uint8_t* out, int width,
                      const MaskChannels& channels) {
    for (int x = 0; x < width; ++x, source += bytesPerPixel, out += 3) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, source, bytesPerPixel);
        out[0] = channels[0].value(pixel);
        out[1] = channels[1].value(pixel);
        out[2] = channels[2].value(pixel);
    }
}

void convertRow(const DibLayout& layout, const MaskChannels& channels, const std::uint8_t* source,
                std::uint8_t* out) {
    const int width = layout.header.width;
    switch (layout.header.bitCount) {
        case 1:
            return convertIndexedRow<1>(source, out, width, layout.palette);
        case 4:
            return convertIndexedRow<4>(source, out, width, layout.palette);
        case 8:
            return convertIndexedRow<8>(source, out, width, layout.palette);
        case 16:
            return convertMaskedRow<2>(source, out, width, channels);
        case 24:
            return convertBgrRow(source, out, width);
        default:
            return convertMaskedRow<4>(source, out, width, channels);
    }
}

void convertRows(const DibLayout& layout, RgbImage& image) {
    const MaskChannels channels = channelsOf(layout);
    const std::size_t stride = rowStride(layout.header);
    const bool topDown = layout.header.height < 0;
    for (std::int64_t row = 0; row < image.height; ++row) {
        convertRow(layout, channels, layout.pixelData.data() + row * stride,
                   outputRow(image, row, topDown));
    }
}

// BI_RLE4 packs two pixels a byte, the first in the high bits.
std::uint8_t nibble(std::uint8_t byte, int index) {
    return index % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// Decodes BI_RLE8 or BI_RLE4 data: pairs of bytes, either a run (count, index) or an escape (0,
// code): 0 ends a row, 1 ends the bitmap, 2 moves the position by the next two bytes, 3 and above
// give that many indices in place, padded to a 16-bit boundary. Pixels that the data skips stay
// black. False when the data writes or moves past the image, or ends before the image does.
bool decodeRle(const DibLayout& layout, RgbImage& image) {
    const bool fourBit = layout.header.compression == BI_RLE4;
    const bool topDown = layout.header.height < 0;
    const int width = image.width;
    const int rows = image.height;
    int x = 0;
    int y = 0;
    const auto fill = [&](int count, auto indexAt) {
        if (y >= rows || count > width - x) {
            return false;
        }
        std::uint8_t* out = outputRow(image, y, topDown) + 3 * x;
        for (int i = 0; i < count; ++i) {
            putColour(out + 3 * i, layout.palette[indexAt(i)]);
        }
        x += count;
        return true;
    };

    ByteCursor data(layout.pixelData);
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    while (data.readU8(first) && data.readU8(second)) {
        bool inside = true;
        if (first > 0) {
            inside = fill(first, [&](int i) { return fourBit ? nibble(second, i) : second; });
        } else if (second == 0) {
            x = 0;
            inside = ++y <= rows;
        } else if (second == 1) {
            return true;
        } else if (second == 2) {
            std::uint8_t right = 0;
            std::uint8_t down = 0;
            if (data.readU8(right) && data.readU8(down)) {
                x += right;
                y += down;
                inside = x <= width && y <= rows;
            }
        } else {
            const std::size_t bytes = fourBit ? (second + 1u) / 2 : second;
            const std::span<const std::uint8_t> indices = data.rest();
            if (indices.size() < bytes) {
                return false;
            }
            inside = fill(second,
                          [&](int i) { return fourBit ? nibble(indices[i / 2], i) : indices[i]; });
            data.skip(std::min(bytes + bytes % 2, data.remaining()));
        }
        if (!inside) {
            return false;
        }
    }
    return y >= rows || (y == rows - 1 && x == width);  // data without an end-of-bitmap code
}

}  // namespace

Result<RgbImage> decodeDib(std::span<const std::uint8_t> file, std::int32_t maxSide,
                           std::uint64_t maxPixels) {
    DibLayout layout;
    if (ReadResult failure = parseDib(file, layout); !failure) {
        return failure;
    }
    const DibHeader& header = layout.header;
    if (!hasPixels(header)) {
        return kDibNoPixels;
    }
    if (ReadResult refusal =
            imageSizeRefusal(header.width, rowCount(header), file.size(), maxSide, maxPixels);
        !refusal) {
        return refusal;
    }
    if (!formatSupported(header)) {
        return kDibUnsupportedLayout;
    }
    if (!isRle(header) && !holdsAllRows(layout)) {
        return kDibRowsMissing;
    }
    RgbImage image;
    image.width = header.width;
    image.height = static_cast<std::int32_t>(rowCount(header));
    image.pixels = allocZeroed(static_cast<std::size_t>(image.width) * image.height, 3);
    if (!image.pixels) {
        return kDibOutOfMemory;
    }
    if (!isRle(header)) {
        convertRows(layout, image);
    } else if (!decodeRle(layout, image)) {
        return kDibRunsOutside;
    }
    return image;
}
