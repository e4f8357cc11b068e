#include "ground/ground.h"
#include "io/file_errors.h"
#include "io/host_files.h"
#include "texture/texture_loader.h"

namespace {

// Takes the records of `file` (its texture names stay for loading), whose cells its parser found
// to be width x height; the arrays of an earlier read are released. Its GL texture names are not
// deleted: after a window re-creation they belong to a context that is gone, and the same numbers
// may already name textures of the new one.
void adopt(Ground& ground, GroundFile& file) {
    ground.width = file.width;
    ground.height = file.height;
    ground.textures = std::vector<GLuint>(file.textureNames.size());
    ground.cells = std::move(file.cells);
    ground.surfaces = std::move(file.surfaces);
    ground.blocks = std::move(file.blocks);
}

// Every texture gets its own new GL name, in file order, whether or not it loads; a file that the
// scene loaded before keeps the name of its first load.
void loadTextures(Ground& ground, const char* dataRoot, const std::vector<std::string>& names,
                  SceneLoad& scene) {
    if (names.empty()) {
        return;
    }
    glGenTextures(static_cast<GLsizei>(ground.textures.size()), ground.textures.data());
    for (std::size_t i = 0; i < names.size(); ++i) {
        loadTexture(dataRoot, names[i].c_str(), ground.textures[i], scene);
    }
}

ReadResult readGroundFile(Ground& ground, const char* dataRoot, const char* path,
                          SceneLoad& scene) {
    const Result<FileBytes> bytes = scene.readDataFile(path, kGroundCannotOpen);
    if (!bytes) {
        return bytes.result();
    }
    Result<GroundFile> file = parseGroundFile(*bytes);
    if (!file) {
        return file.result();
    }
    adopt(ground, *file);
    loadTextures(ground, dataRoot, file->textureNames, scene);
    return {};
}

}  // namespace

ReadResult Ground::readGround(const char* dataRoot, const char* path, SceneLoad& scene) {
    GroundFile empty;
    adopt(*this, empty);
    return failingWhenMemoryRunsOut(
        path, [&] { return reported(readGroundFile(*this, dataRoot, path, scene), path); },
        [&] {
            adopt(*this, empty);
            return ReadResult(kOutOfMemory);
        });
}
