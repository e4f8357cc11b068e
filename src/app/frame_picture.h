#pragma once
// Writes PNG pictures (8-bit RGB) for screenshots and thumbnails, with the encoder of
// stb_image_write.

#include <cstdint>
#include <vector>

// `rgb` holds `height` rows of `width` pixels, the top row first, 3 bytes (R, G, B) a pixel. Empty
// when `rgb` holds another number of bytes, when a side is over 16384 pixels or when memory runs
// out.
std::vector<std::uint8_t> pngFile(int width, int height, const std::vector<std::uint8_t>& rgb);

// The lower left `width` x `height` pixels of the current GL frame as a PNG file; empty as pngFile
// is.
std::vector<std::uint8_t> framePng(int width, int height);
