// Decoding 2048 x 2048 BMP and TGA images from memory, in megabytes of output a second, beside
// stb_image decoding the same files to the same number of channels.

#include <benchmark/benchmark.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <cstdint>
#include <vector>

#include "formats/image_writer.h"
#include "texture/bmp_reader.h"
#include "texture/tga_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kSize = 2048;
constexpr std::int32_t kMaxTextureSide = 16384;  // GL_MAX_TEXTURE_SIZE of a common driver

// Bands of one colour 1 to 16 pixels long in 64 colours, so that run-length files hold runs and
// stretches in place alike.
BmpPicture bandedIndices() {
    BmpPicture picture{kSize, kSize, {}, {}};
    for (int i = 0; i < 256; ++i) {
        picture.colourTable.push_back(
            {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)});
    }
    std::uint32_t state = 12345;
    while (picture.values.size() < std::size_t(kSize) * kSize) {
        state = state * 1664525u + 1013904223u;
        const std::size_t length = 1 + (state >> 28);
        picture.values.insert(picture.values.end(), length, (state >> 8) % 64);
    }
    picture.values.resize(std::size_t(kSize) * kSize);
    return picture;
}

RgbaPicture bandedColours() {
    const BmpPicture indices = bandedIndices();
    RgbaPicture picture{kSize, kSize, {}};
    for (std::uint32_t index : indices.values) {
        const BmpColour& colour = indices.colourTable[index];
        picture.rgba.insert(picture.rgba.end(),
                            {colour.red, colour.green, colour.blue, std::uint8_t(index * 4)});
    }
    return picture;
}

const BmpPicture& indices() {
    static const BmpPicture picture = bandedIndices();
    return picture;
}

const RgbaPicture& colours() {
    static const RgbaPicture picture = bandedColours();
    return picture;
}

Bytes bmp8() {
    return bmpFile(indices(), {.bitCount = 8});
}
Bytes bmpRle8() {
    return bmpFile(indices(), {.bitCount = 8, .compression = BmpCompression::rle8});
}
Bytes bmp24() {
    return bmpFile(bmpPictureOf(colours()), {.bitCount = 24});
}
Bytes bmp32() {
    return bmpFile(bmpPictureOf(colours()), {.bitCount = 32});
}
Bytes tga24() {
    return tgaFile(colours(), {.bitsPerPixel = 24});
}
Bytes tga32() {
    return tgaFile(colours(), {.bitsPerPixel = 32});
}
Bytes tgaRle32() {
    return tgaFile(colours(), {.imageType = 10, .bitsPerPixel = 32});
}

void reportOutput(benchmark::State& state, std::size_t channels) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kSize * kSize *
                            std::int64_t(channels));
}

void ourBmp(benchmark::State& state, Bytes (*makeFile)()) {
    const Bytes file = makeFile();
    for (auto _ : state) {
        const Result<RgbImage> decoded = decodeDib(file, kMaxTextureSide);
        if (!decoded) {
            state.SkipWithError(decoded.reason().c_str());
            return;
        }
        benchmark::DoNotOptimize(decoded->pixels.get());
    }
    reportOutput(state, 3);
}

void ourTga(benchmark::State& state, Bytes (*makeFile)(), int channels) {
    const Bytes file = makeFile();
    for (auto _ : state) {
        TgaImage image;
        if (const ReadResult decoded = decodeTga(file, image, 0, kMaxTextureSide); !decoded) {
            state.SkipWithError(decoded.reason().c_str());
            return;
        }
        benchmark::DoNotOptimize(image.pixels.get());
    }
    reportOutput(state, std::size_t(channels));
}

void stb(benchmark::State& state, Bytes (*makeFile)(), int channels) {
    const Bytes file = makeFile();
    for (auto _ : state) {
        int width = 0, height = 0, fileChannels = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), int(file.size()), &width, &height,
                                                &fileChannels, channels);
        if (pixels == nullptr) {
            state.SkipWithError(stbi_failure_reason());
            return;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    reportOutput(state, std::size_t(channels));
}

BENCHMARK_CAPTURE(ourBmp, bmp_8bit, bmp8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stb, bmp_8bit_stb, bmp8, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ourBmp, bmp_24bit, bmp24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stb, bmp_24bit_stb, bmp24, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ourBmp, bmp_32bit, bmp32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stb, bmp_32bit_stb, bmp32, 3)->Unit(benchmark::kMillisecond);
// stb_image reads no run-length BMP.
BENCHMARK_CAPTURE(ourBmp, bmp_rle8, bmpRle8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ourTga, tga_24bit, tga24, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stb, tga_24bit_stb, tga24, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ourTga, tga_32bit, tga32, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stb, tga_32bit_stb, tga32, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ourTga, tga_rle_32bit, tgaRle32, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(stb, tga_rle_32bit_stb, tgaRle32, 4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
