#pragma once
// The contents of a world file, apart from GL: its records, what the reader parses and the file
// writer writes.
// The file, all little-endian:
//   46 bytes skipped, the ground's 40-byte name field, a 40-byte field not used, 176 bytes
//   skipped; from offset 302 the model records of 252 bytes each, up to an end record: a name
//   field whose first byte is 0. Nothing after the end record's name field is read.
// A model record: the model's 40-byte name field, 120 bytes skipped, nine float32 at offset 160
// (position, rotation angles in degrees, scale, each x, y, z), 56 bytes skipped.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/read_result.h"
#include "view/vector3.h"

inline constexpr std::size_t kWorldGroundNameOffset = 46;
inline constexpr std::size_t kWorldHeaderSize = 302;
inline constexpr std::size_t kWorldRecordSize = 252;
inline constexpr std::size_t kWorldPlacementOffset = 160;  // within a record
inline constexpr std::size_t kWorldPlacementSize = 36;

// One placement of a model, in the world file's order.
struct ModelInstance {
    std::int32_t modelIndex = 0;  // into the world's models and loaded
    Vector3 position;
    Vector3 angles;  // degrees about x, y and z
    Vector3 scale;

    bool operator==(const ModelInstance&) const = default;
};

struct WorldFile {
    std::string groundName;
    std::vector<ModelInstance> instances;  // modelIndex counts into modelNames
    std::vector<std::string> modelNames;   // the distinct names, in order of first appearance
    // False when the file ends before its end record; the records before the cut that are
    // whole are kept.
    bool endRecordFound = false;

    bool operator==(const WorldFile&) const = default;
};

// The texts of the world reader, each a line on standard error about the world file: "%s" is a
// name the world gives, or the longest path.
inline constexpr FailureText kWorldCannotOpen{Failure::cannotOpen, Channel::standardError,
                                              "Cannot open the world file"};
inline constexpr FailureText kWorldHeaderCutShort{Failure::tooShort, Channel::standardError,
                                                  "The world file is shorter than its header"};
inline constexpr FailureText kWorldEndRecordMissing{Failure::tooShort, Channel::standardError,
                                                    "The world file ends before its end record"};
inline constexpr FailureText kWorldNameOutsideDataRoot{Failure::cannotOpen, Channel::standardError,
                                                       "Cannot find %s below the data root"};
inline constexpr FailureText kWorldPathTooLong{Failure::tooLarge, Channel::standardError,
                                               "The path of %s is longer than %s characters"};
inline constexpr FailureText kWorldCannotCreateLog{Failure::cannotOpen, Channel::standardError,
                                                   "Cannot create the model log"};

// Parses a whole world file; one shorter than its header is damaged. Names compare byte for byte,
// so names that differ only in letter case are distinct models. Memory that runs out gives
// kOutOfMemory.
Result<WorldFile> parseWorldFile(std::span<const std::uint8_t> bytes);
