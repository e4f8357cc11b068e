#pragma once
// Writes BMP and TGA image files in every layout the texture readers take: BMP with colour tables
// of 1, 4 and 8 bits, RLE8 and RLE4, 16-, 24- and 32-bit pixels, masks, 12- and 40-byte headers,
// with or without the file header, with a gap before the pixels, stored top to bottom; TGA of
// types 2, 3 and 10. Used by the tests, the demo scene and the benchmarks.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A picture as a file stores it: rows in the file's order, 4 bytes (R, G, B, A) a pixel.
struct RgbaPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

struct BmpColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A BMP file's pixels, one value a pixel, rows in the order the file stores them. A value is a
// colour-table index (1-, 4- and 8-bit and RLE files), a packed pixel stored little-endian (16 and
// 32 bits) or 0xRRGGBB (24 bits).
struct BmpPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> values;
    std::vector<BmpColour> colourTable;
};

enum class BmpCompression : std::uint32_t { rgb = 0, rle8 = 1, rle4 = 2, bitfields = 3 };

struct BmpLayout {
    // 12: the core header (16-bit sizes, 3-byte table entries); any other size: the 40 bytes of
    // the info header (4-byte table entries), padded with zeros to that size.
    std::uint32_t headerSize = 40;
    std::uint16_t bitCount = 24;
    BmpCompression compression = BmpCompression::rgb;  // RLE data is encoded from the values
    bool fileHeader = true;
    bool topDown = false;           // a negative height (info header)
    std::uint32_t coloursUsed = 0;  // biClrUsed
    std::uint32_t gap = 0;  // zero bytes between the colour table and the pixels, behind bfOffBits
    std::array<std::uint32_t, 3>
        masks{};  // red, green, blue: written after the header if BITFIELDS
    std::optional<std::vector<std::uint8_t>> pixelData{};  // written as given instead of the values
};

std::vector<std::uint8_t> bmpFile(const BmpPicture& picture, const BmpLayout& layout = {});

// The picture as 0x00RRGGBB values, for 24- and 32-bit files.
BmpPicture bmpPictureOf(const RgbaPicture& picture);

// Run-length data of the picture's indices: equal neighbours as runs, the rest in place (absolute
// runs of 3 or more), an end-of-line code after each row but the last, an end-of-bitmap code last.
std::vector<std::uint8_t> encodeRle8(const BmpPicture& picture);
std::vector<std::uint8_t> encodeRle4(const BmpPicture& picture);

struct TgaLayout {
    std::uint8_t imageType = 2;  // 2, 3 or 10; any other code is written as given
    std::uint8_t bitsPerPixel = 32;
    std::string id{};                  // the identification field
    std::int16_t colourMapLength = 0;  // a colour map of zero bytes, when not 0
    std::uint8_t colourMapEntryBits = 24;
    std::optional<std::vector<std::uint8_t>>
        pixelData{};  // written as given instead of the picture
};

// Pixels are stored B, G, R(, A) (type 3: the red byte as grey), each cut or padded with zeros to
// bitsPerPixel / 8 bytes. Type 10 is encoded in run packets for repeats and raw packets otherwise,
// across rows.
std::vector<std::uint8_t> tgaFile(const RgbaPicture& picture, const TgaLayout& layout = {});
