#include "io/file_errors.h"
#include "io/host_files.h"
#include "model/model.h"
#include "model/model_file.h"
#include "platform/gl.h"

namespace {

// The model is replaced only by one that loaded.
ReadResult loadModelFile(Model& model, const char* dataRoot, const char* path, SceneLoad& scene) {
    const Result<FileBytes> bytes = scene.readDataFile(path, kModelCannotOpen);
    if (!bytes) {
        // Only a refused file is reported: the caller decides about one it could not have.
        const bool refused = bytes.kind() == Failure::tooLarge ||
                             bytes.kind() == Failure::overBudget ||
                             bytes.kind() == Failure::notRegularFile;
        return refused ? reported(bytes.result(), path) : bytes.result();
    }
    Result<ParsedModelFile> file = parseModelFile(*bytes);
    if (!file) {
        return reported(file.result(), path);
    }
    for (const ReadResult& skipped : file->skipped) {
        reported(skipped, path);
    }
    Model loaded(std::move(file->records));
    loaded.createTextures(dataRoot, scene);
    model = std::move(loaded);
    return {};
}

}  // namespace

Model::Model(ModelFile records)
    : header(records.header), textureNames(std::move(records.textureNames)) {
    nodes.reserve(records.nodes.size());
    for (ModelFileNode& record : records.nodes) {
        nodes.emplace_back(std::move(record));
    }
    if (nodes.empty()) {
        return;  // drawn as nothing, as a model that did not load
    }
    nodes[0].singleNode = nodes.size() == 1;
    linkParents();
    computeBounds();
}

// Node d becomes the parent of every other node that names it; scanning d upward lets the
// highest-numbered of several nodes of one name win. A node whose parent name matches no node
// keeps 0 and so hangs from the root.
void Model::linkParents() {
    parentIndex.assign(nodes.size(), 0);
    for (std::int32_t d = 0; d < nodeCount(); ++d) {
        for (std::int32_t j = 0; j < nodeCount(); ++j) {
            if (j != d && nodes[d].name == nodes[j].parentName) {
                parentIndex[j] = d;
            }
        }
    }
}

void ModelNode::resolveTextures(std::span<const TextureName> modelTextures,
                                std::span<const std::uint8_t> modelFromTga) {
    textures.clear();
    fromTga.clear();
    for (const std::int32_t k : textureIndices) {
        textures.push_back(modelTextures[static_cast<std::size_t>(k)]);
        fromTga.push_back(modelFromTga[static_cast<std::size_t>(k)]);
    }
}

ReadResult Model::load(const char* dataRoot, const char* path, SceneLoad& scene) {
    return failingWhenMemoryRunsOut(
        path, [&] { return loadModelFile(*this, dataRoot, path, scene); },
        [] { return ReadResult(kOutOfMemory); });
}

void Model::createTextures(const char* dataRoot, SceneLoad& scene) {
    textures.assign(textureNames.size(), 0);
    // A texture that loadTexture rejects leaves its flag unwritten: it counts as a BMP.
    fromTga.assign(textureNames.size(), 0);
    glGenTextures(static_cast<GLsizei>(textures.size()), textures.data());
    for (std::size_t i = 0; i < textureNames.size(); ++i) {
        loadTexture(dataRoot, textureNames[i].c_str(), textures[i], scene, &fromTga[i]);
    }
    resolveNodeTextures();
}

void Model::resolveNodeTextures() {
    for (ModelNode& node : nodes) {
        node.resolveTextures(textures, fromTga);
    }
}
