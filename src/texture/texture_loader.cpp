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

ReadResult loadBmpTexture(const std::optional<std::string>& path, GLuint texture,
                          SceneLoad& scene) {
    // A BMP that is not there fails without a word; a FIFO, socket or device in its place is told.
    const ReadResult problem = path ? openingProblem(*path) : ReadResult(kCannotOpenFile);
    if (problem.kind() == Failure::notRegularFile) {
        return reported(problem, *path);
    }
    if (!problem) {
        return problem;
    }
    RgbImage image;
    if (ReadResult read = loadDibImage(path->c_str(), scene.capabilities().maxTextureSide(), image,
                                       scene.texelsForNextTexture());
        !read) {
        return read;
    }
    const PixelBlock rgba =
        reversedRgbaRows(image.pixels.get(), image.width, image.height, 3, colourKeyAlpha);
    image.pixels.reset();  // the decoded image is not kept beside its RGBA rows and GL's copy
    if (!rgba) {
        return reported(kOutOfMemory, *path);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    setTextureParameters();
    buildMipmaps(rgba, image.width, image.height);
    scene.spendTexels(static_cast<std::uint64_t>(image.width) * image.height);
    return {};
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

// A texture is bound before the read: a TGA that cannot be read leaves the reader's checkerboard
// in it. That is the scene's one checkerboard once there is one; the file's own texture takes its
// place when the read succeeds.
SceneTexture loadTgaTexture(const std::optional<std::string>& path, const char* textureName,
                            GLuint texture, SceneLoad& scene) {
    const std::optional<TextureName> checkerboard = scene.checkerboard();
    glBindTexture(GL_TEXTURE_2D, checkerboard.value_or(texture));
    TgaImage image;
    ReadResult read = kTgaFileNotFound;
    if (path) {
        read = loadTga(path->c_str(), image, TGA_NO_UPLOAD, scene.capabilities(),
                       scene.texelsForNextTexture());
    } else {
        failTga(read, textureName, image);
    }
    const bool decoded = static_cast<bool>(read);
    const PixelBlock rgba = decoded ? tgaRgbaRows(image) : PixelBlock();
    freeTgaPixels(image);  // the decoded image is not kept beside its RGBA rows and GL's copy
    if (decoded && !rgba) {
        read = reported(kOutOfMemory, *path);
    }
    if (!rgba) {
        // The parameters make the checkerboard a complete texture, so that it shows; drawn with
        // the alpha test like a BMP texture, it is opaque.
        setTextureParameters();
        if (!decoded && !checkerboard) {
            scene.rememberCheckerboard(texture);
        }
        return {decoded ? texture : scene.checkerboard().value_or(texture), 0, read};
    }
    if (checkerboard) {
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    setTextureParameters();
    buildMipmaps(rgba, image.width, image.height);
    scene.spendTexels(static_cast<std::uint64_t>(image.width) * image.height);
    return {texture, 1, {}};
}

SceneTexture loadTextureFile(TextureType type, const std::optional<std::string>& path,
                             const char* textureName, GLuint texture, SceneLoad& scene) {
    switch (type) {
        case TextureType::bmp:
            if (ReadResult read = loadBmpTexture(path, texture, scene); !read) {
                return {texture, std::nullopt, read};
            }
            return {texture, 0, {}};
        case TextureType::tga:
            return loadTgaTexture(path, textureName, texture, scene);
        case TextureType::unknown:
            break;
    }
    limitedMessageBox(nullptr, kUnknownTextureType.text.data(), "Error", win32::MB_OK);
    return {texture, std::nullopt, kUnknownTextureType};
}

// The keys a texture is remembered by: its name's kind with the path as spelled, which finds a
// repeated name without a look at the file system, and with the file the path reaches. A name
// whose path is too long to compose is a file of its own.
std::string spellingKey(TextureType type, const std::optional<std::string>& path,
                        const char* textureName) {
    return std::to_string(static_cast<int>(type)) +
           (path ? " spelling " + *path : " name " + std::string(textureName));
}

std::string fileKey(TextureType type, const std::optional<std::string>& path,
                    const char* textureName) {
    return path ? std::to_string(static_cast<int>(type)) + ' ' + fileIdentity(*path)
                : spellingKey(type, path, textureName);
}

const SceneTexture& sceneTexture(const char* dataRoot, const char* textureName, GLuint texture,
                                 SceneLoad& scene) {
    const TextureType type = textureTypeOf(textureName);
    const std::optional<std::string> path =
        composeDataPath("%s\\data\\texture\\%s", dataRoot, textureName);
    const std::string spelling = spellingKey(type, path, textureName);
    if (const SceneTexture* known = scene.texture(spelling)) {
        return *known;
    }
    const std::string file = fileKey(type, path, textureName);
    if (const SceneTexture* known = scene.texture(file)) {
        return scene.rememberTexture(spelling, *known);
    }
    scene.rememberTexture(file, loadTextureFile(type, path, textureName, texture, scene));
    return scene.rememberTexture(spelling, *scene.texture(file));
}

}  // namespace

ReadResult loadTexture(const char* dataRoot, const char* textureName, TextureName& texture,
                       SceneLoad& scene, std::uint8_t* fromTga) {
    return failingWhenMemoryRunsOut(
        textureName,
        [&] {
            const SceneTexture& loaded = sceneTexture(dataRoot, textureName, texture, scene);
            texture = loaded.name;
            if (fromTga != nullptr && loaded.fromTga) {
                *fromTga = *loaded.fromTga;
            }
            return loaded.read;
        },
        [] { return ReadResult(kOutOfMemory); });
}
