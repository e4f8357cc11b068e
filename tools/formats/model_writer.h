#pragma once
// Writes model files from a description: the header, the texture list, the node records with
// their key frames, and the zero words that the reader's continuation check meets between them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/model_records.h"

// The identity matrix, scale 1, no offset, position or rotation.
NodeTransform identityTransform();

struct ModelFileNode {
    std::string name;
    std::string parentName;
    std::uint32_t rootExtraWord = 0;                  // written for the first node only
    std::array<std::uint32_t, 10> rootExtraValues{};  // likewise
    std::vector<std::int32_t> textureIndices;
    NodeTransform transform = identityTransform();
    std::vector<Vector3> vertices;
    std::vector<ModelTexCoord> texCoords;
    std::vector<ModelFace> faces;
    std::vector<KeyFrame> keyFrames;
    // Zero words before the record: one is allowed, the record then starts at the next word.
    int zeroWordsBefore = 0;
    // After the faces of a node without key frames: one zero word (the next word must not be
    // zero), or two, which the check consumes together.
    int zeroWordsAfterFaces = 2;
};

struct ModelFileDescription {
    std::array<std::uint8_t, 31> header{};
    std::vector<std::string> textureNames;
    std::vector<ModelFileNode> nodes;
    int zeroWordsAtEnd = 2;  // two end the node list
};

ModelFace modelFace(std::array<std::int16_t, 3> vertexIndices,
                    std::array<std::int16_t, 3> texCoordIndices, std::uint16_t textureIndex = 0);

std::vector<std::uint8_t> modelFileBytes(const ModelFileDescription& model);
bool writeModelFile(const std::string& path, const ModelFileDescription& model);
