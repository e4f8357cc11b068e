#include "texture_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "formats/byte_writer.h"

TextureFolder::TextureFolder() {
    std::filesystem::create_directories(scratch_.path() / "data" / "texture");
}

std::string TextureFolder::write(const std::string& name,
                                 const std::vector<std::uint8_t>& bytes) const {
    EXPECT_TRUE(writeFile(root() + "/data/texture/" + name, bytes));
    return root() + "\\data\\texture\\" + name;
}

bool TextureFolder::extend(const std::string& name, std::uint64_t size) const {
    return scratch_.extend("data/texture/" + name, size);
}

RgbaPicture pictureOf(std::int32_t width, std::int32_t height, const std::vector<Pixel>& pixels) {
    RgbaPicture picture{width, height, {}};
    for (const Pixel& pixel : pixels) {
        picture.rgba.insert(picture.rgba.end(), pixel.begin(), pixel.end());
    }
    return picture;
}

RgbaPicture patternPicture(std::int32_t width, std::int32_t height) {
    RgbaPicture picture{width, height, {}};
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            picture.rgba.push_back(static_cast<std::uint8_t>(x * 7 + y));
            picture.rgba.push_back(static_cast<std::uint8_t>(y * 13 + 1));
            picture.rgba.push_back(static_cast<std::uint8_t>(x * y + 40));
            picture.rgba.push_back(static_cast<std::uint8_t>(255 - x - y));
        }
    }
    return picture;
}

std::vector<std::uint8_t> rawTga(std::int32_t width, std::int32_t height, TgaLayout layout,
                                 std::vector<std::uint8_t> pixelData) {
    layout.pixelData = std::move(pixelData);
    return tgaFile(RgbaPicture{width, height, {}}, layout);
}

std::vector<std::uint8_t> expectedPixels(const RgbaPicture& picture, int bitsPerPixel) {
    std::vector<std::uint8_t> pixels;
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        pixels.insert(pixels.end(), picture.rgba.begin() + i,
                      picture.rgba.begin() + i + bitsPerPixel / 8);
    }
    return pixels;
}

std::vector<std::uint8_t> pixelsOf(const TgaImage& image) {
    if (!image.pixels) {
        return {};
    }
    return {image.pixels.get(), image.pixels.get() + image.imageSize};
}
