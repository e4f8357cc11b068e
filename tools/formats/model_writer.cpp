#include "formats/model_writer.h"

#include <algorithm>

#include "formats/byte_writer.h"

namespace {

constexpr std::size_t kWordSize = 4;

template <typename Record>
void writeCounted(ByteWriter& out, const std::vector<Record>& records) {
    out.i32(static_cast<std::int32_t>(records.size()));
    out.raw(records.data(), records.size() * sizeof(Record));
}

// The entry of `words` for node `index`, or `otherwise` past its end.
std::size_t zeroWordsOf(const std::vector<int>& words, std::size_t index, int otherwise) {
    return kWordSize * static_cast<std::size_t>(index < words.size() ? words[index] : otherwise);
}

void writeNode(ByteWriter& out, const ModelFileNode& node, std::size_t index,
               const ModelFileLayout& layout) {
    const bool isFirst = index == 0;
    out.zeros(zeroWordsOf(layout.zeroWordsBefore, index, 0));
    out.name(node.name);
    if (isFirst) {
        out.u32(node.rootExtraWord);
    }
    out.name(node.parentName);
    if (isFirst) {
        out.raw(node.rootExtraValues.data(), sizeof node.rootExtraValues);
    }
    writeCounted(out, node.textureIndices);
    out.raw(&node.transform, sizeof node.transform);
    writeCounted(out, node.vertices);
    writeCounted(out, node.texCoords);
    writeCounted(out, node.faces);
    if (node.keyFrames.empty()) {
        out.zeros(zeroWordsOf(layout.zeroWordsAfterFaces, index, 2));
    } else {
        writeCounted(out, node.keyFrames);
    }
}

}  // namespace

ModelFace modelFace(std::array<std::int16_t, 3> vertexIndices,
                    std::array<std::int16_t, 3> texCoordIndices, std::uint16_t textureIndex) {
    ModelFace face{};
    std::copy(vertexIndices.begin(), vertexIndices.end(), face.vertexIndices);
    std::copy(texCoordIndices.begin(), texCoordIndices.end(), face.texCoordIndices);
    face.textureIndex = textureIndex;
    return face;
}

std::vector<std::uint8_t> modelFileBytes(const ModelFile& model, const ModelFileLayout& layout) {
    ByteWriter out;
    out.raw(model.header.data(), model.header.size());
    out.i32(static_cast<std::int32_t>(model.textureNames.size()));
    for (const std::string& textureName : model.textureNames) {
        out.name(textureName);
    }
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        writeNode(out, model.nodes[i], i, layout);
    }
    out.zeros(kWordSize * static_cast<std::size_t>(layout.zeroWordsAtEnd));
    return out.bytes();
}

bool writeModelFile(const std::string& path, const ModelFile& model) {
    return writeFile(path, modelFileBytes(model));
}
