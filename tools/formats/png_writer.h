#pragma once
// Writes PNG pictures (8-bit RGB) for screenshots: each row filtered the way that suits it best,
// the whole compressed with LZ77 and the fixed Huffman codes of deflate.

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds `height` rows of `width` pixels, the top row first, 3 bytes (R, G, B) a pixel.
std::vector<std::uint8_t> pngFile(int width, int height, const std::vector<std::uint8_t>& rgb);

// The zlib stream of `data`: a header, one deflate block with fixed codes, the Adler-32 sum.
std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data);
