#include "demo/demo_textures.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "demo/demo_noise.h"
#include "formats/image_writer.h"

namespace {

struct Colour {
    float red;
    float green;
    float blue;
};

constexpr Colour kMagenta{255, 0, 255};
constexpr std::uint8_t kKeyIndex = 255;  // the colour-table entry of the colour key

Colour mixColour(Colour a, Colour b, float t) {
    return {mixValue(a.red, b.red, t), mixValue(a.green, b.green, t), mixValue(a.blue, b.blue, t)};
}

std::uint8_t channel(float value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f));
}

// A painter gives the colour (and alpha) at (x, y) of a picture whose row 0 is its top.
using Painter = std::function<Colour(int x, int y)>;
using AlphaPainter = std::function<float(int x, int y)>;

// Files store the bottom row first, and the texture loader turns them so that the top row comes
// first: painting top-down and storing rows reversed keeps t = 0 at the painted top.
RgbaPicture paintPicture(int size, const Painter& paint, const AlphaPainter& alpha) {
    RgbaPicture picture{size, size, {}};
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Colour colour = paint(x, y);
            picture.rgba.insert(picture.rgba.end(), {channel(colour.red), channel(colour.green),
                                                     channel(colour.blue), channel(alpha(x, y))});
        }
    }
    return picture;
}

std::vector<std::uint8_t> bmp24(int size, const Painter& paint) {
    const auto opaque = [](int, int) { return 255.0f; };
    return bmpFile(bmpPictureOf(paintPicture(size, paint, opaque)));
}

std::vector<std::uint8_t> tga32(int size, const Painter& paint, const AlphaPainter& alpha,
                                std::uint8_t imageType) {
    return tgaFile(paintPicture(size, paint, alpha), {.imageType = imageType});
}

// An 8-bit BMP whose colour table runs in 64 steps from `dark` to `light`, the key colour last; the
// painter's red channel picks the step (0 to 1), a negative value the key colour.
std::vector<std::uint8_t> bmp8(int size, Colour dark, Colour light,
                               const std::function<float(int, int)>& shade) {
    constexpr int kSteps = 64;
    BmpPicture picture{size, size, {}, {}};
    for (int step = 0; step < kSteps; ++step) {
        const Colour colour = mixColour(dark, light, step / float(kSteps - 1));
        picture.colourTable.push_back(
            {channel(colour.red), channel(colour.green), channel(colour.blue)});
    }
    picture.colourTable.resize(kKeyIndex);
    picture.colourTable.push_back({255, 0, 255});
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const float value = shade(x, y);
            picture.values.push_back(value < 0 ? kKeyIndex
                                               : static_cast<std::uint32_t>(
                                                     std::clamp(value, 0.0f, 1.0f) * (kSteps - 1)));
        }
    }
    return bmpFile(picture, {.bitCount = 8});
}

// Tiling noise over a texture of `size` pixels, `cells` lattice cells across.
float tiledNoise(int x, int y, int size, int cells, std::int32_t seed, int octaves = 4) {
    const float scale = float(cells) / float(size);
    return fractalNoise(x * scale, y * scale, seed, octaves, cells);
}

constexpr int kGroundSize = 128;
constexpr int kModelSize = 64;

Painter noisyBetween(Colour dark, Colour light, int cells, std::int32_t seed) {
    return [=](int x, int y) {
        const float coarse = tiledNoise(x, y, kGroundSize, cells, seed);
        const float fine = tiledNoise(x, y, kGroundSize, 32, seed + 7, 2);
        return mixColour(dark, light,
                         std::clamp(coarse * 1.3f - 0.4f + (fine - 0.5f) * 0.5f, 0.0f, 1.0f));
    };
}

std::vector<std::uint8_t> grassTexture() {
    return bmp24(kGroundSize, noisyBetween({46, 92, 28}, {128, 168, 62}, 4, 11));
}

std::vector<std::uint8_t> meadowTexture() {
    return bmp24(kGroundSize, noisyBetween({34, 54, 24}, {96, 100, 46}, 8, 23));
}

std::vector<std::uint8_t> waterTexture() {
    return bmp24(kGroundSize, [](int x, int y) {
        const float ripple = 0.5f + 0.5f * std::sin((y + 6 * tiledNoise(x, y, kGroundSize, 4, 5)) *
                                                    (2 * 3.14159265f * 8 / kGroundSize));
        return mixColour({24, 60, 104}, {70, 120, 160}, ripple * 0.6f);
    });
}

// Rock in layers: noise bent across horizontal strata.
std::vector<std::uint8_t> rockTexture() {
    return bmp8(kGroundSize, {36, 34, 33}, {132, 122, 110}, [](int x, int y) {
        const float bend = tiledNoise(x, y, kGroundSize, 4, 31);
        const float strata =
            0.5f + 0.5f * std::sin((y + 30 * bend) * (2 * 3.14159265f * 6 / kGroundSize));
        return 0.25f + 0.45f * tiledNoise(x, y, kGroundSize, 16, 37) + 0.3f * strata - 0.15f;
    });
}

std::vector<std::uint8_t> speckledTexture(Colour dark, Colour light, std::int32_t seed) {
    return bmp8(kGroundSize, dark, light, [=](int x, int y) {
        const float pebble = latticeValue(x, y, seed) > 0.97f ? -0.35f : 0.0f;
        return tiledNoise(x, y, kGroundSize, 8, seed) * 1.2f - 0.1f + pebble;
    });
}

std::vector<std::uint8_t> barkTexture() {
    return bmp24(kModelSize, [](int x, int y) {
        const float streak = tiledNoise(x * 4, y / 4, kModelSize, 8, 41, 3);
        return mixColour({48, 32, 20}, {118, 86, 54}, streak);
    });
}

// A pine's side view: three tiers of needles on the key colour, wider toward the bottom.
std::vector<std::uint8_t> pineTexture() {
    return bmp8(kModelSize, {18, 46, 22}, {72, 120, 52}, [](int x, int y) {
        const float down = (y + 0.5f) / kModelSize;
        const float tier = down * 3 - std::floor(down * 3);
        const float halfWidth = 0.5f * (0.3f + 0.7f * down) * (0.45f + 0.55f * tier);
        const float across = std::abs((x + 0.5f) / kModelSize - 0.5f);
        const float ragged = 0.06f * (latticeValue(x, y, 43) - 0.5f);
        if (down > 0.96f || across > halfWidth + ragged) {
            return -1.0f;
        }
        return 0.85f - across / halfWidth * 0.5f + 0.4f * (latticeValue(x, y, 47) - 0.5f);
    });
}

// Plaster between dark timber: a frame, a middle rail and braces.
std::vector<std::uint8_t> plasterTexture() {
    return bmp24(kModelSize, [](int x, int y) {
        const bool frame = x < 4 || x >= kModelSize - 4 || y < 4 || y >= kModelSize - 4 ||
                           std::abs(y - kModelSize / 2) < 2;
        const bool brace = y > kModelSize / 2 && std::abs((y - kModelSize / 2) - x) < 3;
        const float grain = tiledNoise(x, y, kModelSize, 8, 53);
        if (frame || brace) {
            return mixColour({56, 36, 22}, {100, 68, 40}, grain);
        }
        return mixColour({196, 182, 150}, {236, 226, 200}, grain);
    });
}

// Rows of tiles, every other row shifted by half a tile.
std::vector<std::uint8_t> roofTexture() {
    return bmp8(kModelSize, {70, 26, 18}, {182, 76, 48}, [](int x, int y) {
        constexpr int kTile = 8;
        const int row = y / kTile;
        const int shifted = x + (row % 2) * kTile / 2;
        const bool joint = y % kTile == kTile - 1 || shifted % kTile == 0;
        const float shade = 0.45f + 0.35f * latticeValue(shifted / kTile, row, 59) +
                            0.2f * float(y % kTile) / kTile;
        return joint ? 0.05f : shade;
    });
}

// A window of four lit panes; outside the panes nothing adds to the wall behind.
std::vector<std::uint8_t> windowTexture() {
    const auto pane = [](int x, int y) {
        const int border = 6;
        const int middle = kModelSize / 2;
        return x >= border && x < kModelSize - border && y >= border && y < kModelSize - border &&
               std::abs(x - middle) > 2 && std::abs(y - middle) > 2;
    };
    return tga32(
        kModelSize,
        [=](int x, int y) {
            const float glow =
                1 - std::hypot(x - kModelSize / 2.0f, y - kModelSize / 2.0f) / kModelSize;
            return pane(x, y) ? mixColour({200, 110, 30}, {255, 220, 120}, glow) : Colour{0, 0, 0};
        },
        [=](int x, int y) { return pane(x, y) ? 230.0f : 0.0f; }, 2);
}

// A sail: a lattice of wooden bars with cloth over its inner half and holes in the rest.
std::vector<std::uint8_t> sailTexture() {
    return bmp24(kModelSize, [](int x, int y) {
        constexpr int kBar = 3;
        const bool bar =
            x < kBar || x >= kModelSize - kBar || y % 12 < 2 || std::abs(x - kModelSize / 3) < 2;
        if (bar) {
            return mixColour({90, 62, 38}, {130, 96, 60}, latticeValue(x, y, 61));
        }
        if (x > kModelSize / 3) {
            return kMagenta;
        }
        return mixColour({206, 198, 176}, {240, 236, 222}, tiledNoise(x, y, kModelSize, 8, 67));
    });
}

// A crystal's glow: bright veins in a cyan light, more opaque along the veins.
std::vector<std::uint8_t> crystalTexture() {
    const auto vein = [](int x, int y) {
        return std::pow(1 - std::abs(2 * tiledNoise(x, y, kModelSize, 4, 71, 3) - 1), 6.0f);
    };
    return tga32(
        kModelSize,
        [=](int x, int y) {
            return mixColour({10, 80, 200}, {90, 220, 255}, vein(x, y));
        },
        [=](int x, int y) { return 90 + 120 * vein(x, y); }, 10);
}

}  // namespace

std::vector<DemoTextureFile> demoTextureFiles() {
    using namespace demo_texture;
    return {
        {grass.diskPath, grassTexture()},
        {meadow.diskPath, meadowTexture()},
        {rock.diskPath, rockTexture()},
        {dirt.diskPath, speckledTexture({92, 66, 40}, {164, 128, 86}, 83)},
        {sand.diskPath, speckledTexture({176, 156, 108}, {232, 214, 164}, 89)},
        {snow.diskPath, speckledTexture({196, 202, 214}, {252, 252, 255}, 97)},
        {water.diskPath, waterTexture()},
        {bark.diskPath, barkTexture()},
        {pine.diskPath, pineTexture()},
        {plaster.diskPath, plasterTexture()},
        {roof.diskPath, roofTexture()},
        {window.diskPath, windowTexture()},
        {sail.diskPath, sailTexture()},
        {crystal.diskPath, crystalTexture()},
    };
}
