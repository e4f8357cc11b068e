#include "model/model_file.h"

#include "io/file_errors.h"

namespace {

// A count and that many records; the count must be non-negative and fit in what is left, so a
// damaged count never allocates more than the file holds.
template <typename Record>
ReadResult readCountedRecords(ByteCursor& file, std::vector<Record>& records) {
    std::int32_t count = 0;
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

bool indexWithin(std::int16_t index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

// The header and the texture names, or why they are damaged.
ReadResult readTextureList(ByteCursor& file, ModelFile& model) {
    std::int32_t textureCount = 0;
    if (!file.readRecords(model.header.data(), model.header.size()) ||
        !file.readI32(textureCount)) {
        return kModelHeaderCutShort;
    }
    if (textureCount < 0) {
        return {kModelNegativeTextureCount, {std::to_string(textureCount)}};
    }
    if (!file.fits(textureCount, kNameFieldSize)) {
        return kModelTextureListCutShort;
    }
    model.textureNames.resize(static_cast<std::size_t>(textureCount));
    for (std::string& textureName : model.textureNames) {
        file.readName(textureName);
    }
    return {};
}

// How a whole node record ended.
enum class NodeEnd {
    whole,       // what follows decides whether another node comes
    lastInFile,  // the file ends right after its faces: no key frames, and no node after it
};

// The name fields, and for node 0 the extra fields, up to the texture indices.
bool readNodeHead(ByteCursor& file, bool isFirst, ModelFileNode& node) {
    return file.readName(node.name) && (!isFirst || file.readU32(node.rootExtraWord)) &&
           file.readName(node.parentName) &&
           (!isFirst || file.readRecords(node.rootExtraValues.data(), node.rootExtraValues.size()));
}

// Reads one node record; `isFirst` for node 0, which carries the extra fields. A failure when the
// record has a negative count or a texture index not below `textureNames`, or is cut short (the
// file ends inside it, or one to three bytes after its faces); the cursor is then somewhere
// inside the record.
Result<NodeEnd> readNode(ByteCursor& file, std::size_t textureNames, bool isFirst,
                         ModelFileNode& node) {
    if (!readNodeHead(file, isFirst, node)) {
        return kNodeCutShort;
    }
    if (ReadResult indices = readCountedRecords(file, node.textureIndices); !indices) {
        return indices;
    }
    for (const std::int32_t k : node.textureIndices) {
        if (k < 0 || static_cast<std::size_t>(k) >= textureNames) {
            return {kNodeTextureIndexOutOfRange, {std::to_string(k)}};
        }
    }
    if (!file.readRecords(&node.transform, 1)) {
        return kNodeCutShort;
    }
    ReadResult mesh = readCountedRecords(file, node.vertices);
    if (mesh) {
        mesh = readCountedRecords(file, node.texCoords);
    }
    if (mesh) {
        mesh = readCountedRecords(file, node.faces);
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
        if (ReadResult frames = readCountedRecords(file, node.keyFrames); !frames) {
            return frames;
        }
    }
    return NodeEnd::whole;
}

// Drops the faces whose vertex or texture-coordinate indices lie outside the node's arrays, so
// that drawing never checks them; gives how many it dropped.
std::size_t dropFacesOutOfRange(ModelFileNode& node) {
    const auto outOfRange = [&node](const ModelFace& face) {
        for (int corner = 0; corner < 3; ++corner) {
            if (!indexWithin(face.vertexIndices[corner], node.vertices.size()) ||
                !indexWithin(face.texCoordIndices[corner], node.texCoords.size())) {
                return true;
            }
        }
        return false;
    };
    return std::erase_if(node.faces, outOfRange);
}

// Reads the node records that the list holds whole, noting the faces it drops in `skipped`; gives
// the failure that ended the list early, if one did. The check runs before every node but not
// after the last of MaxModelNodes: what follows that node is never read.
ReadResult readNodes(ByteCursor& file, ParsedModelFile& parsed) {
    ModelFile& model = parsed.records;
    while (model.nodes.size() < MaxModelNodes) {
        const Continuation found = peekContinuation(file);
        if (found == Continuation::end) {
            return {};
        }
        if (found == Continuation::cutShort) {
            return kModelNodeListCutShort;
        }
        ModelFileNode node;
        const std::string nodeLabel = "model node " + std::to_string(model.nodes.size()) + ": ";
        const Result<NodeEnd> record =
            readNode(file, model.textureNames.size(), model.nodes.empty(), node);
        if (!record) {
            return record.result().ledBy(nodeLabel);
        }
        const std::size_t facesInFile = node.faces.size();
        if (const std::size_t dropped = dropFacesOutOfRange(node); dropped > 0) {
            parsed.skipped.push_back(ReadResult(kNodeFacesSkipped, {std::to_string(dropped),
                                                                    std::to_string(facesInFile)})
                                         .ledBy(nodeLabel));
        }
        model.nodes.push_back(std::move(node));
        if (*record == NodeEnd::lastInFile) {
            return {};
        }
    }
    return {};
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

// A damaged node after whole ones ends the list: the model keeps the nodes before it.
Result<ParsedModelFile> parseModelFile(std::span<const std::uint8_t> bytes) {
    return catchingOutOfMemory([&]() -> Result<ParsedModelFile> {
        ByteCursor file(bytes);
        ParsedModelFile parsed;
        if (ReadResult list = readTextureList(file, parsed.records); !list) {
            return list;
        }
        const ReadResult listEnd = readNodes(file, parsed);
        if (parsed.records.nodes.empty()) {
            return listEnd ? ReadResult(kModelWithoutNodes) : listEnd;
        }
        if (!listEnd) {
            parsed.skipped.push_back(listEnd);
        }
        return parsed;
    });
}
