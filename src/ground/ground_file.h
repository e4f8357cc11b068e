#pragma once
// The contents of a ground file, apart from GL: its records, what the reader parses and what the
// file writers write. The file, all little-endian:
//   6 bytes ignored, width (int32), height (int32), 4 bytes skipped, texture count (int32),
//   4 bytes skipped; per texture an 80-byte entry (a 40-byte name field, then 40 bytes skipped);
//   block count (int32), 12 bytes skipped, 256 bytes per block; surface count (int32), 40 bytes
//   per surface; then width x height cells of 28 bytes, row by row. Nothing after the cells is
//   read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/read_result.h"

// Texture coordinates and texture of a quad, 40 bytes as stored in the file.
struct GroundSurface {
    float u[4];
    float v[4];
    std::uint16_t textureIndex;
    std::uint8_t unused[6];

    bool operator==(const GroundSurface&) const = default;
};
static_assert(sizeof(GroundSurface) == 40);

// One cell, 28 bytes as stored in the file. Corner h0 lies at the cell's (x0, y0), h1 at (x1, y0),
// h2 at (x0, y1), h3 at (x1, y1); a surface index of -1 means no such quad.
struct GroundCell {
    float heights[4];
    std::int32_t topSurface;
    std::int32_t rowWallSurface;     // toward the next row
    std::int32_t columnWallSurface;  // toward the next column

    bool operator==(const GroundCell&) const = default;
};
static_assert(sizeof(GroundCell) == 28);

// Opaque 256-byte records kept from the file; nothing reads them.
using GroundBlock = std::array<std::uint8_t, 256>;

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

// The texts of the ground reader, each a line on standard error. "%s" is what a count counts:
// texture entries, blocks, surfaces or cells.
inline constexpr FailureText kGroundCannotOpen{Failure::cannotOpen, Channel::standardError,
                                               "Cannot open the ground file"};
inline constexpr FailureText kGroundHeaderCutShort{Failure::tooShort, Channel::standardError,
                                                   "The file is shorter than a ground header"};
inline constexpr FailureText kGroundNegativeSize{Failure::outOfRange, Channel::standardError,
                                                 "Negative ground size"};
inline constexpr FailureText kGroundCountCutShort{Failure::tooShort, Channel::standardError,
                                                  "The file ends before the number of %s"};
inline constexpr FailureText kGroundNegativeCount{Failure::outOfRange, Channel::standardError,
                                                  "Negative number of %s"};
inline constexpr FailureText kGroundRecordsCutShort{Failure::tooShort, Channel::standardError,
                                                    "The %s run past the end of the file"};

// Parses a whole ground file. The counts are checked against the file's length before anything is
// allocated; a damaged file gives the failure, and memory that runs out kOutOfMemory.
Result<GroundFile> parseGroundFile(std::span<const std::uint8_t> bytes);
