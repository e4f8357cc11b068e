#pragma once
// Writes world files from a description: the ground's name, the model records with their
// placements, and the end record. For tests, the demo scene and benchmarks.

#include <cstdint>
#include <string>
#include <vector>

#include "view/vector3.h"

struct WorldPlacement {
    std::string modelName;
    Vector3 position{};
    Vector3 angles{};  // degrees
    Vector3 scale{1, 1, 1};
};

struct WorldFileDescription {
    std::string groundName;
    std::string unusedName;  // the name field after the ground's, which the reader ignores
    std::vector<WorldPlacement> placements;
    std::uint8_t filler = 0;  // every skipped byte, the end record's after its first
    bool endRecord = true;    // false: the file ends after the last record
};

std::vector<std::uint8_t> worldFileBytes(const WorldFileDescription& world);
bool writeWorldFile(const std::string& path, const WorldFileDescription& world);
