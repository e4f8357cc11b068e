#include "texture_files.h"

#include <gtest/gtest.h>

#include <filesystem>

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

std::vector<GLubyte> boundTexels(GLenum format, int components, int level) {
    const GLint width = boundLevelParameter(GL_TEXTURE_WIDTH, level);
    const GLint height = boundLevelParameter(GL_TEXTURE_HEIGHT, level);
    std::vector<GLubyte> texels(static_cast<std::size_t>(width) * height * components);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

GLint boundLevelParameter(GLenum parameter, int level) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}
