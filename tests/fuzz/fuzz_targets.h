#pragma once
// The readers' fuzz entries, and the thumbnailer's from a scene file to its framing. Each takes
// arbitrary bytes through the parsing (and, for the thumbnail, the loading and framing) it runs and
// aborts when a result breaks what its reader promises, so that a fuzzer counts it as a crash just
// like a sanitizer report.

#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "texture/tga_reader.h"

using FuzzBytes = std::span<const std::uint8_t>;

struct FuzzTarget {
    std::string_view name;  // also the folder of its seeds and regression inputs
    void (*entry)(FuzzBytes data);
};

// Nothing when no target has that name.
const FuzzTarget* findFuzzTarget(std::string_view name);

// The first byte of a TGA fuzz input chooses the reader's flags: bit i sets kTgaFuzzFlags[i].
inline constexpr std::uint32_t kTgaFuzzFlags[] = {
    TGA_FREE_PIXELS, TGA_NO_UPLOAD, TGA_ALPHA,      TGA_LUMINANCE,
    TGA_NO_MIPMAPS,  TGA_4BIT,      TGA_COMPRESSED,
};
inline constexpr std::size_t kTgaFlagCount = std::size(kTgaFuzzFlags);

inline std::uint32_t tgaFlagsOf(std::uint8_t flagByte) {
    std::uint32_t flags = 0;
    for (std::size_t bit = 0; bit < kTgaFlagCount; ++bit) {
        if ((flagByte >> bit) & 1) {
            flags |= kTgaFuzzFlags[bit];
        }
    }
    return flags;
}

inline std::uint8_t tgaFlagByte(std::uint32_t flags) {
    std::uint8_t flagByte = 0;
    for (std::size_t bit = 0; bit < kTgaFlagCount; ++bit) {
        if ((flags & kTgaFuzzFlags[bit]) != 0) {
            flagByte |= static_cast<std::uint8_t>(1u << bit);
        }
    }
    return flagByte;
}
