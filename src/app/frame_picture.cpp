#include "app/frame_picture.h"

#include <stb/stb_image_write.h>

#include <cstddef>
#include <cstdio>
#include <new>
#include <utility>

#include "platform/gl.h"

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

// The frame as PNG rows: GL reads the bottom row first.
std::vector<std::uint8_t> readFrame(int width, int height) {
    const std::size_t stride = static_cast<std::size_t>(width) * kChannels;
    std::vector<std::uint8_t> bottomUp(stride * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown;
    topDown.reserve(bottomUp.size());
    for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
        topDown.insert(topDown.end(), bottomUp.begin() + static_cast<std::ptrdiff_t>(row * stride),
                       bottomUp.begin() + static_cast<std::ptrdiff_t>((row + 1) * stride));
    }
    return topDown;
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

std::vector<std::uint8_t> framePng(int width, int height) {
    return withinEncoder(width, height) ? pngFile(width, height, readFrame(width, height))
                                        : std::vector<std::uint8_t>{};
}

bool writePictureFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                      const char* mode) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}
