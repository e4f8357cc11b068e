#pragma once
// How much of its input the viewer takes on: every limit on the size of a file or an image is
// here. Real files stay far inside them; they keep a damaged or hostile file from exhausting
// memory or time.

#include <cstddef>
#include <cstdint>

// Ground, model, world, BMP and TGA files larger than this are refused before anything is read or
// allocated (kFileTooLarge): no real file of these kinds comes near it.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{256} << 20;

// How much of the argument file is read: its first line and the 50 names that count, each read
// at most 1023 characters and its line break (CR LF included) long, lie within it.
inline constexpr std::size_t kArgumentFileReadBytes = std::size_t{64} << 10;

// The most pixels one byte of an image file can describe: a BMP run-length pair of two bytes
// gives at most 255 pixels, a TGA run packet at most 128, uncompressed data far fewer. An image
// that claims more per byte of its file is refused: a texture file of 1 KiB describes at most
// 131072 pixels, 512 KiB as RGBA.
inline constexpr std::uint64_t kMaxPixelsPerFileByte = 128;
