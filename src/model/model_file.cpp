#include "model/model_file.h"

#include <optional>

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

// The header and the texture names; the reason when they are damaged.
std::optional<std::string> readTextureList(ByteCursor& file, Model& model) {
    if (!file.readRecords(model.header.data(), model.header.size()) ||
        !file.readI32(model.textureCount)) {
        return "model header cut short";
    }
    if (model.textureCount < 0) {
        return "negative model texture count " + std::to_string(model.textureCount);
    }
    if (!file.fits(model.textureCount, kNameFieldSize)) {
        return "model texture list cut short";
    }
    model.textureNames.resize(static_cast<std::size_t>(model.textureCount));
    for (std::string& textureName : model.textureNames) {
        file.readName(textureName);
    }
    return std::nullopt;
}

// Reads the node records that the list holds whole, noting the faces it drops in `skipped`; gives
// the problem that ended the list early, if one did. The check runs before every node but not
// after the last of MaxModelNodes: what follows that node is never read.
std::optional<std::string> readNodes(ByteCursor& file, Model& model,
                                     std::vector<std::string>& skipped) {
    while (model.nodeCount < MaxModelNodes) {
        const Continuation found = peekContinuation(file);
        if (found == Continuation::end) {
            return std::nullopt;
        }
        if (found == Continuation::cutShort) {
            return "model file ends inside its node list";
        }
        ModelNode node;
        std::string problem;
        const std::string nodeLabel = "model node " + std::to_string(model.nodeCount);
        const NodeRead record = node.read(file, model.textureCount, model.nodeCount == 0, problem);
        if (record == NodeRead::damaged) {
            return nodeLabel + ": " + problem;
        }
        const std::int32_t facesInFile = node.faceCount;
        if (const int dropped = node.dropFacesOutOfRange(); dropped > 0) {
            skipped.push_back(nodeLabel + ": " + std::to_string(dropped) + " of " +
                              std::to_string(facesInFile) + " faces skipped, indices out of range");
        }
        model.nodes.push_back(std::move(node));
        ++model.nodeCount;
        if (record == NodeRead::lastInFile) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// Node d becomes the parent of every other node that names it; scanning d upward lets the
// highest-numbered of several nodes of one name win. A node whose parent name matches no node
// keeps 0 and so hangs from the root.
void linkParents(Model& model) {
    model.parentIndex.assign(static_cast<std::size_t>(model.nodeCount), 0);
    for (std::int32_t d = 0; d < model.nodeCount; ++d) {
        for (std::int32_t j = 0; j < model.nodeCount; ++j) {
            if (j != d && model.nodes[d].name == model.nodes[j].parentName) {
                model.parentIndex[j] = d;
            }
        }
    }
}

}  // namespace

Continuation peekContinuation(ByteCursor& file) {
    const Word first = takeZeroWord(file);
    if (first != Word::zero) {
        return first == Word::nonZero ? Continuation::data : Continuation::cutShort;
    }
    const Word second = takeZeroWord(file);
    if (second != Word::zero) {
        return second == Word::nonZero ? Continuation::afterZero : Continuation::cutShort;
    }
    return Continuation::end;
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
    if (peekContinuation(file) == Continuation::data &&
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

// A damaged node after whole ones ends the list: the model keeps the nodes before it.
Parsed<ModelFile> parseModelFile(std::span<const std::uint8_t> bytes) {
    ByteCursor file(bytes);
    ModelFile parsed;
    Model& model = parsed.model;
    if (const auto damage = readTextureList(file, model)) {
        return Damaged{*damage};
    }
    const auto listEnd = readNodes(file, model, parsed.skipped);
    if (model.nodeCount == 0) {
        return Damaged{listEnd.value_or("model file has no nodes")};
    }
    if (listEnd) {
        parsed.skipped.push_back(*listEnd);
    }
    model.nodes[0].singleNode = model.nodeCount == 1;
    linkParents(model);
    model.computeBounds();
    return parsed;
}
