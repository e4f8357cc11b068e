#pragma once
// The contents of a ground file, apart from GL: what the reader parses and what the file writers
// write. The file, all little-endian:
//   6 bytes ignored, width (int32), height (int32), 4 bytes skipped, texture count (int32),
//   4 bytes skipped; per texture an 80-byte entry (a 40-byte name field, then 40 bytes skipped);
//   block count (int32), 12 bytes skipped, 256 bytes per block; surface count (int32), 40 bytes
//   per surface; then width x height cells of 28 bytes, row by row. Nothing after the cells is
//   read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ground/ground.h"

inline constexpr std::size_t kGroundHeaderSize = 26;
inline constexpr std::size_t kGroundTextureEntrySize = 80;
inline constexpr std::size_t kGroundBlockCountPadding = 12;

struct GroundFile {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::string> textureNames;
    std::vector<GroundBlock> blocks;
    std::vector<GroundSurface> surfaces;
    std::vector<GroundCell> cells;

    bool operator==(const GroundFile&) const = default;
};

// Parses a whole ground file. The counts are checked against the file's length before anything is
// allocated; a damaged file gives nothing and says what is wrong in `error`.
std::optional<GroundFile> parseGroundFile(std::span<const std::uint8_t> bytes, std::string& error);
