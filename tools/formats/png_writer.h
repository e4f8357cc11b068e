#pragma once
// Writes PNG pictures (8-bit RGB) for screenshots, with the encoder of stb_image_write.

#include <cstdint>
#include <vector>

// `rgb` holds `height` rows of `width` pixels, the top row first, 3 bytes (R, G, B) a pixel. Empty
// when `rgb` holds another number of bytes, when a side is over 16384 pixels or when memory runs
// out.
std::vector<std::uint8_t> pngFile(int width, int height, const std::vector<std::uint8_t>& rgb);
