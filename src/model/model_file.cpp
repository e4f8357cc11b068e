#include "model/model_file.h"

#include "io/file_errors.h"

namespace {

// A count and that many records; the count must be non-negative and fit in what is left, so a
// damaged count never allocates more than the file holds.
template <typename Record>
ReadResult readCountedRecords(ByteCursor& file, std::int32_t& count, std::vector<Record>& records) {
    if (!file.readI32(count)) {
        return kNodeCutShort;
    }
    if (count < 0) {
        return {kNodeNegativeCount, {std::to_string(count)}};
    }
    if (!file.fits(count, sizeof(Record))) {
        return kNodeCutShort;
    }
    records.resize(static_cast<std::size_t>(count));
    file.readRecords(records.data(), records.size());
    return {};
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

// The header and the texture names, or why they are damaged.
ReadResult readTextureList(ByteCursor& file, Model& model) {
    if (!file.readRecords(model.header.data(), model.header.size()) ||
        !file.readI32(model.textureCount)) {
        return kModelHeaderCutShort;
    }
    if (model.textureCount < 0) {
        return {kModelNegativeTextureCount, {std::to_string(model.textureCount)}};
    }
    if (!file.fits(model.textureCount, kNameFieldSize)) {
        return kModelTextureListCutShort;
    }
    model.textureNames.resize(static_cast<std::size_t>(model.textureCount));
    for (std::string& textureName : model.textureNames) {
        file.readName(textureName);
    }
    return {};
}

// Reads the node records that the list holds whole, noting the faces it drops in `skipped`; gives
// the failure that ended the list early, if one did. The check runs before every node but not
// after the last of MaxModelNodes: what follows that node is never read.
ReadResult readNodes(ByteCursor& file, Model& model, std::vector<ReadResult>& skipped) {
    while (model.nodeCount < MaxModelNodes) {
        const Continuation found = peekContinuation(file);
        if (found == Continuation::end) {
            return {};
        }
        if (found == Continuation::cutShort) {
            return kModelNodeListCutShort;
        }
        ModelNode node;
        const std::string nodeLabel = "model node " + std::to_string(model.nodeCount) + ": ";
        const Result<NodeEnd> record = node.read(file, model.textureCount, model.nodeCount == 0);
        if (!record) {
            return record.result().ledBy(nodeLabel);
        }
        const std::int32_t facesInFile = node.faceCount;
        if (const int dropped = node.dropFacesOutOfRange(); dropped > 0) {
            skipped.push_back(ReadResult(kNodeFacesSkipped,
                                         {std::to_string(dropped), std::to_string(facesInFile)})
                                  .ledBy(nodeLabel));
        }
        model.nodes.push_back(std::move(node));
        ++model.nodeCount;
        if (*record == NodeEnd::lastInFile) {
            return {};
        }
    }
    return {};
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

Result<NodeEnd> ModelNode::read(ByteCursor& file, std::int32_t modelTextureCount, bool isFirst) {
    const bool headWhole =
        file.readName(name) && (!isFirst || file.readU32(rootExtraWord)) &&
        file.readName(parentName) &&
        (!isFirst || file.readRecords(rootExtraValues.data(), rootExtraValues.size()));
    if (!headWhole) {
        return kNodeCutShort;
    }
    if (ReadResult indices = readCountedRecords(file, textureCount, textureIndices); !indices) {
        return indices;
    }
    for (const std::int32_t k : textureIndices) {
        if (k < 0 || k >= modelTextureCount) {
            return {kNodeTextureIndexOutOfRange, {std::to_string(k)}};
        }
    }
    if (!file.readRecords(&transform, 1)) {
        return kNodeCutShort;
    }
    ReadResult mesh = readCountedRecords(file, vertexCount, vertices);
    if (mesh) {
        mesh = readCountedRecords(file, texCoordCount, texCoords);
    }
    if (mesh) {
        mesh = readCountedRecords(file, faceCount, faces);
    }
    if (!mesh) {
        return mesh;
    }
    // After the faces, a non-zero word is the key-frame count; zero words, or the end of the
    // file, mean no key frames. Part of a word cannot say which.
    if (file.atEnd()) {
        return NodeEnd::lastInFile;
    }
    if (file.remaining() < sizeof(std::uint32_t)) {
        return kNodeCutShort;
    }
    if (peekContinuation(file) == Continuation::data) {
        if (ReadResult frames = readCountedRecords(file, keyFrameCount, keyFrames); !frames) {
            return frames;
        }
    }
    return NodeEnd::whole;
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
Result<ModelFile> parseModelFile(std::span<const std::uint8_t> bytes) {
    return catchingOutOfMemory([&]() -> Result<ModelFile> {
        ByteCursor file(bytes);
        ModelFile parsed;
        Model& model = parsed.model;
        if (ReadResult list = readTextureList(file, model); !list) {
            return list;
        }
        const ReadResult listEnd = readNodes(file, model, parsed.skipped);
        if (model.nodeCount == 0) {
            return listEnd ? ReadResult(kModelWithoutNodes) : listEnd;
        }
        if (!listEnd) {
            parsed.skipped.push_back(listEnd);
        }
        model.nodes[0].singleNode = model.nodeCount == 1;
        linkParents(model);
        model.computeBounds();
        return parsed;
    });
}
