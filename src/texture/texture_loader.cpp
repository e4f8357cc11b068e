#include "texture/texture_loader.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "io/file_errors.h"
#include "io/host_files.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "texture/bmp_reader.h"
#include "texture/tga_reader.h"

static_assert(std::is_same_v<TextureName, GLuint>);

namespace {

enum class TextureType { unknown, bmp, tga };

// By the name's last three characters, exactly as written: "Bmp" is not a BMP name.
TextureType textureTypeOf(const char* name) {
    const std::size_t length = std::strlen(name);
    if (length < 3) {
        return TextureType::unknown;
    }
    const std::string_view ending(name + length - 3, 3);
    if (ending == "bmp" || ending == "BMP") {
        return TextureType::bmp;
    }
    if (ending == "tga" || ending == "TGA") {
        return TextureType::tga;
    }
    return TextureType::unknown;
}

// Near magenta (red and blue 254 or 255, no green) is transparent.
std::uint8_t colourKeyAlpha(const std::uint8_t* rgb) {
    return rgb[0] >= 254 && rgb[1] == 0 && rgb[2] >= 254 ? 0 : 255;
}

// The image as GL receives it: R, G, B, A rows in reverse order, so that the first row handed to
// GL is the top of a picture stored bottom row first. `alphaOf` gives each source pixel's alpha.
template <typename AlphaOf>
PixelBlock reversedRgbaRows(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                            std::size_t sourceBytes, AlphaOf alphaOf) {
    PixelBlock rgba = allocZeroed(static_cast<std::size_t>(width) * height, 4);
    if (!rgba) {
        return rgba;
    }
    std::uint8_t* out = rgba.get();
    for (std::int32_t row = height - 1; row >= 0; --row) {
        const std::uint8_t* pixel = source + static_cast<std::size_t>(row) * width * sourceBytes;
        for (std::int32_t x = 0; x < width; ++x, pixel += sourceBytes, out += 4) {
            std::memcpy(out, pixel, 3);
            out[3] = alphaOf(pixel);
        }
    }
    return rgba;
}

void setTextureParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void buildMipmaps(const PixelBlock& rgba, std::int32_t width, std::int32_t height) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.get());
}

// Tells the caller which kind of file the texture came from, when it asks.
void reportSource(std::uint8_t* fromTga, std::uint8_t value) {
    if (fromTga != nullptr) {
        *fromTga = value;
    }
}

bool loadBmpTexture(const std::optional<std::string>& path, GLuint texture,
                    const TextureCapabilities& capabilities, std::uint8_t* fromTga) {
    if (!path || !hostFileReadable(*path)) {
        return false;
    }
    RgbImage image;
    if (!loadDibImage(path->c_str(), capabilities.maxTextureSide(), image)) {
        return false;
    }
    const PixelBlock rgba =
        reversedRgbaRows(image.pixels.get(), image.width, image.height, 3, colourKeyAlpha);
    if (!rgba) {
        reportFileError(kOutOfMemory, *path);
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    setTextureParameters();
    buildMipmaps(rgba, image.width, image.height);
    reportSource(fromTga, 0);
    return true;
}

// 24-bit images become opaque RGBA.
PixelBlock tgaRgbaRows(const TgaImage& image) {
    const bool hasAlpha = image.bytesPerPixel == 4;
    return reversedRgbaRows(image.pixels.get(), image.width, image.height,
                            static_cast<std::size_t>(image.bytesPerPixel),
                            [hasAlpha](const std::uint8_t* pixel) -> std::uint8_t {
                                return hasAlpha ? pixel[3] : 255;
                            });
}

// The texture is bound before the read: a TGA that cannot be read leaves the reader's checkerboard
// in it.
bool loadTgaTexture(const std::optional<std::string>& path, const char* textureName, GLuint texture,
                    TextureCapabilities& capabilities, std::uint8_t* fromTga) {
    glBindTexture(GL_TEXTURE_2D, texture);
    TgaImage image;
    if (path) {
        loadTga(path->c_str(), image, TGA_NO_UPLOAD, capabilities);
    } else {
        failTga("File not found", textureName, image);
    }
    const PixelBlock rgba = image.pixels ? tgaRgbaRows(image) : PixelBlock();
    if (image.pixels && !rgba) {
        reportFileError(kOutOfMemory, *path);
    }
    if (!rgba) {
        // The parameters make the checkerboard a complete texture, so that it shows; drawn with
        // the alpha test like a BMP texture, it is opaque.
        setTextureParameters();
        reportSource(fromTga, 0);
        return false;
    }
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    setTextureParameters();
    buildMipmaps(rgba, image.width, image.height);
    reportSource(fromTga, 1);
    return true;
}

bool loadTextureFile(const char* dataRoot, const char* textureName, GLuint texture,
                     TextureCapabilities& capabilities, std::uint8_t* fromTga) {
    const TextureType type = textureTypeOf(textureName);
    if (type == TextureType::unknown) {
        limitedMessageBox(nullptr, "Unknown texture type", "Error", win32::MB_OK);
        return false;
    }
    const std::optional<std::string> path =
        composeDataPath("%s\\data\\texture\\%s", dataRoot, textureName);
    return type == TextureType::bmp
               ? loadBmpTexture(path, texture, capabilities, fromTga)
               : loadTgaTexture(path, textureName, texture, capabilities, fromTga);
}

}  // namespace

bool loadTexture(const char* dataRoot, const char* textureName, TextureName texture,
                 TextureCapabilities& capabilities, std::uint8_t* fromTga) {
    return failingWhenMemoryRunsOut(
        textureName,
        [&] { return loadTextureFile(dataRoot, textureName, texture, capabilities, fromTga); },
        [] { return false; });
}
