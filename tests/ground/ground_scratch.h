#pragma once
// Ground files for the GL tests: written into a directory of the running test and read back.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "ground/ground.h"
#include "scratch_folder.h"

// Writes `file` as <directory>/<name> and reads it into `ground` with `directory` as data root,
// into the current GL context.
inline bool writeAndRead(Ground& ground, const GroundFile& file,
                         const std::filesystem::path& directory, const std::string& name) {
    const std::string path = (directory / name).string();
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad scene(textures);
    return writeGroundFile(path, file) && ground.readGround(directory.c_str(), path.c_str(), scene);
}

// Writes a 2 x 2 TGA texture of one colour as <root>\data\texture\<name>.
inline bool writeSolidTexture(const std::filesystem::path& root, const std::string& name,
                              std::array<std::uint8_t, 4> rgba) {
    RgbaPicture picture{2, 2, {}};
    for (int i = 0; i < 4; ++i) {
        picture.rgba.insert(picture.rgba.end(), rgba.begin(), rgba.end());
    }
    return writeFile((root / "data" / "texture" / name).string(), tgaFile(picture));
}
