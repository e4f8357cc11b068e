#include "formats/png_writer.h"

#include <stb/stb_image_write.h>

#include <cstddef>
#include <new>
#include <utility>

namespace {

constexpr int kChannels = 3;
// stb counts a picture's bytes, compressed and not, in an int: this side keeps them all well
// within it.
constexpr int kMaxSide = 16384;

bool withinEncoder(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

struct PngBytes {
    std::vector<std::uint8_t> bytes;
    bool outOfMemory = false;
};

// Receives the file from stb. No exception may cross stb's C code, so running out of memory is
// noted instead.
void keepBytes(void* context, void* data, int size) noexcept {
    auto& out = *static_cast<PngBytes*>(context);
    const auto* first = static_cast<const std::uint8_t*>(data);
    try {
        out.bytes.insert(out.bytes.end(), first, first + size);
    } catch (const std::bad_alloc&) {
        out.outOfMemory = true;
    }
}

}  // namespace

std::vector<std::uint8_t> pngFile(int width, int height, const std::vector<std::uint8_t>& rgb) {
    if (!withinEncoder(width, height) ||
        rgb.size() != static_cast<std::size_t>(width) * height * kChannels) {
        return {};
    }
    PngBytes out;
    if (!stbi_write_png_to_func(keepBytes, &out, width, height, kChannels, rgb.data(),
                                width * kChannels) ||
        out.outOfMemory) {
        return {};
    }
    return std::move(out.bytes);
}
