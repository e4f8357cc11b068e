#pragma once
// PNG pictures (8-bit RGB) of the frame drawn, with the encoder of stb_image_write: the viewer's
// screenshots and --output, the thumbnailer's thumbnails and the tests' pictures. Not on Windows,
// whose build has no stb.

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds `height` rows of `width` pixels, the top row first, 3 bytes (R, G, B) a pixel. Empty
// when `rgb` holds another number of bytes, when a side is over 16384 pixels or when memory runs
// out.
std::vector<std::uint8_t> pngFile(int width, int height, const std::vector<std::uint8_t>& rgb);

// The lower left `width` x `height` pixels of the current GL frame as a PNG file; empty as pngFile
// is.
std::vector<std::uint8_t> framePng(int width, int height);

// Writes `bytes` to the file `path` opened with the fopen mode `mode` ("wb" replaces a file that is
// there, "wbx" never does); a file left half written is removed. False when it cannot be written.
bool writePictureFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                      const char* mode);
