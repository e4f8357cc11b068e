#include <string>

#include "model/model.h"
#include "platform/host_files.h"
#include "texture/texture_loader.h"

namespace {

// A count and that many records; the count must be non-negative and fit in what is left, so a
// damaged count never allocates more than the file holds.
template <typename Record>
bool readCountedRecords(ByteCursor& file, std::int32_t& count, std::vector<Record>& records,
                        std::string& problem) {
    if (!file.readI32(count)) {
        problem = "cut short";
        return false;
    }
    if (count < 0) {
        problem = "negative count " + std::to_string(count);
        return false;
    }
    if (!file.fits(count, sizeof(Record))) {
        problem = "cut short";
        return false;
    }
    records.resize(static_cast<std::size_t>(count));
    return file.readRecords(records.data(), records.size());
}

enum class Word { zero, nonZero, missing };

// Consumes the next word only when it is zero.
Word takeZeroWord(ByteCursor& file) {
    std::uint32_t word = 0;
    if (!file.readU32(word)) {
        return Word::missing;
    }
    if (word != 0) {
        file.seek(file.position() - sizeof word);
        return Word::nonZero;
    }
    return Word::zero;
}

bool indexWithin(std::int16_t index, std::int32_t count) {
    return index >= 0 && index < count;
}

// The model is replaced only by one that loaded.
bool loadModelFile(Model& model, const char* dataRoot, const char* path) {
    const HostFile bytes = readHostFile(path);
    if (!bytes) {
        reportUnreadFile(bytes, path, nullptr);
        return false;
    }
    Model loaded;
    if (!loaded.parse(bytes.bytes, path)) {
        return false;
    }
    loaded.createTextures(dataRoot);
    model = std::move(loaded);
    return true;
}

}  // namespace

Continuation peekContinuation(ByteCursor& file) {
    const Word first = takeZeroWord(file);
    if (first != Word::zero) {
        return first == Word::nonZero ? CONTINUATION_DATA : CONTINUATION_CUT_SHORT;
    }
    const Word second = takeZeroWord(file);
    if (second != Word::zero) {
        return second == Word::nonZero ? CONTINUATION_AFTER_ZERO : CONTINUATION_CUT_SHORT;
    }
    return CONTINUATION_END;
}

NodeRead ModelNode::read(ByteCursor& file, std::int32_t modelTextureCount, bool isFirst,
                         std::string& problem) {
    const bool headWhole =
        file.readName(name) && (!isFirst || file.readU32(rootExtraWord)) &&
        file.readName(parentName) &&
        (!isFirst || file.readRecords(rootExtraValues.data(), rootExtraValues.size()));
    if (!headWhole) {
        problem = "cut short";
        return NodeRead::damaged;
    }
    if (!readCountedRecords(file, textureCount, textureIndices, problem)) {
        return NodeRead::damaged;
    }
    for (const std::int32_t k : textureIndices) {
        if (k < 0 || k >= modelTextureCount) {
            problem = "texture index " + std::to_string(k) + " out of range";
            return NodeRead::damaged;
        }
    }
    if (!file.readRecords(&transform, 1)) {
        problem = "cut short";
        return NodeRead::damaged;
    }
    if (!readCountedRecords(file, vertexCount, vertices, problem) ||
        !readCountedRecords(file, texCoordCount, texCoords, problem) ||
        !readCountedRecords(file, faceCount, faces, problem)) {
        return NodeRead::damaged;
    }
    // After the faces, a non-zero word is the key-frame count; zero words, or the end of the
    // file, mean no key frames. Part of a word cannot say which.
    if (file.atEnd()) {
        return NodeRead::lastInFile;
    }
    if (file.remaining() < sizeof(std::uint32_t)) {
        problem = "cut short";
        return NodeRead::damaged;
    }
    if (peekContinuation(file) == CONTINUATION_DATA &&
        !readCountedRecords(file, keyFrameCount, keyFrames, problem)) {
        return NodeRead::damaged;
    }
    return NodeRead::whole;
}

int ModelNode::dropFacesOutOfRange() {
    const auto outOfRange = [this](const ModelFace& face) {
        for (int corner = 0; corner < 3; ++corner) {
            if (!indexWithin(face.vertexIndices[corner], vertexCount) ||
                !indexWithin(face.texCoordIndices[corner], texCoordCount)) {
                return true;
            }
        }
        return false;
    };
    const auto dropped = std::erase_if(faces, outOfRange);
    faceCount = static_cast<std::int32_t>(faces.size());
    return static_cast<int>(dropped);
}

void ModelNode::resolveTextures(std::span<const GLuint> modelTextures,
                                std::span<const std::uint8_t> modelFromTga) {
    textures.clear();
    fromTga.clear();
    for (const std::int32_t k : textureIndices) {
        textures.push_back(modelTextures[static_cast<std::size_t>(k)]);
        fromTga.push_back(modelFromTga[static_cast<std::size_t>(k)]);
    }
}

bool Model::load(const char* dataRoot, const char* path) {
    return failingWhenMemoryRunsOut(
        path, [&] { return loadModelFile(*this, dataRoot, path); }, [] { return false; });
}

bool Model::parse(std::span<const std::uint8_t> bytes, std::string_view path) {
    ByteCursor file(bytes);
    if (!readTextureList(file, path)) {
        return false;
    }
    const bool listIntact = readNodes(file, path);
    if (nodeCount == 0) {
        if (listIntact) {
            reportFileError("model file has no nodes", path);
        }
        return false;
    }
    nodes[0].singleNode = nodeCount == 1;
    linkParents();
    computeBounds();
    return true;
}

bool Model::readTextureList(ByteCursor& file, std::string_view path) {
    if (!file.readRecords(header.data(), header.size()) || !file.readI32(textureCount)) {
        reportFileError("model header cut short", path);
        return false;
    }
    if (textureCount < 0) {
        reportFileError("negative model texture count " + std::to_string(textureCount), path);
        return false;
    }
    if (!file.fits(textureCount, kNameFieldSize)) {
        reportFileError("model texture list cut short", path);
        return false;
    }
    textureNames.resize(static_cast<std::size_t>(textureCount));
    for (std::string& textureName : textureNames) {
        file.readName(textureName);
    }
    return true;
}

bool Model::readNodes(ByteCursor& file, std::string_view path) {
    // The check runs before every node but not after the last of MaxModelNodes: what follows
    // that node is never read.
    while (nodeCount < MaxModelNodes) {
        const Continuation found = peekContinuation(file);
        if (found == CONTINUATION_END) {
            return true;
        }
        if (found == CONTINUATION_CUT_SHORT) {
            reportFileError("model file ends inside its node list", path);
            return false;
        }
        ModelNode node;
        std::string problem;
        const std::string nodeLabel = "model node " + std::to_string(nodeCount);
        const NodeRead record = node.read(file, textureCount, nodeCount == 0, problem);
        if (record == NodeRead::damaged) {
            reportFileError(nodeLabel + ": " + problem, path);
            return false;
        }
        const std::int32_t facesInFile = node.faceCount;
        if (const int dropped = node.dropFacesOutOfRange(); dropped > 0) {
            reportFileError(nodeLabel + ": " + std::to_string(dropped) + " of " +
                                std::to_string(facesInFile) +
                                " faces skipped, indices out of range",
                            path);
        }
        nodes.push_back(std::move(node));
        ++nodeCount;
        if (record == NodeRead::lastInFile) {
            return true;
        }
    }
    return true;
}

// Node d becomes the parent of every other node that names it; scanning d upward lets the
// highest-numbered of several nodes of one name win. A node whose parent name matches no node
// keeps 0 and so hangs from the root.
void Model::linkParents() {
    parentIndex.assign(static_cast<std::size_t>(nodeCount), 0);
    for (std::int32_t d = 0; d < nodeCount; ++d) {
        for (std::int32_t j = 0; j < nodeCount; ++j) {
            if (j != d && nodes[d].name == nodes[j].parentName) {
                parentIndex[j] = d;
            }
        }
    }
}

void Model::createTextures(const char* dataRoot) {
    textures.assign(textureNames.size(), 0);
    // A texture that loadTexture rejects leaves its flag unwritten: it counts as a BMP.
    fromTga.assign(textureNames.size(), 0);
    glGenTextures(textureCount, textures.data());
    for (std::size_t i = 0; i < textureNames.size(); ++i) {
        loadTexture(dataRoot, textureNames[i].c_str(), textures[i], &fromTga[i]);
    }
    resolveNodeTextures();
}

void Model::resolveNodeTextures() {
    for (ModelNode& node : nodes) {
        node.resolveTextures(textures, fromTga);
    }
}
