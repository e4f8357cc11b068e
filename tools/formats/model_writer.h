#pragma once
// Writes model files from their records: the header, the texture list, the node records with
// their key frames, and the zero words that the reader's continuation check meets between them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/model_records.h"

// Where the zero words of the continuation check go; a node past the end of a list has the
// default.
struct ModelFileLayout {
    // Zero words before a node's record (default none): one is allowed, the record then starts
    // at the next word.
    std::vector<int> zeroWordsBefore;
    // After the faces of a node without key frames (default two): one zero word (the next word
    // must not be zero), or two, which the check consumes together.
    std::vector<int> zeroWordsAfterFaces;
    int zeroWordsAtEnd = 2;  // two end the node list
};

ModelFace modelFace(std::array<std::int16_t, 3> vertexIndices,
                    std::array<std::int16_t, 3> texCoordIndices, std::uint16_t textureIndex = 0);

std::vector<std::uint8_t> modelFileBytes(const ModelFile& model,
                                         const ModelFileLayout& layout = {});
bool writeModelFile(const std::string& path, const ModelFile& model);
