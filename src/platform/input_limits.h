#pragma once
// How much of its input the viewer takes on: every limit on the size of a file or an image is
// here. Real files stay far inside them; they keep a damaged or hostile file from exhausting
// memory or time.

#include <cstddef>
#include <cstdint>

// Ground, model, world, BMP and TGA files larger than this are refused before anything is read or
// allocated: no real file of these kinds comes near it.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{256} << 20;
inline constexpr char kFileTooLarge[] = "The file is larger than 256 MiB";
