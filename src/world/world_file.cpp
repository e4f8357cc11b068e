#include "world/world_file.h"

#include <unordered_map>

#include "io/byte_cursor.h"
#include "io/file_errors.h"

namespace {

// The rest of a record after its name field; false, with nothing read, when the file ends inside
// the record.
bool readPlacement(ByteCursor& cursor, ModelInstance& instance) {
    if (cursor.remaining() < kWorldRecordSize - kNameFieldSize) {
        return false;
    }
    cursor.skip(kWorldPlacementOffset - kNameFieldSize);
    cursor.readRecords(&instance.position, 1);
    cursor.readRecords(&instance.angles, 1);
    cursor.readRecords(&instance.scale, 1);
    cursor.skip(kWorldRecordSize - kWorldPlacementOffset - kWorldPlacementSize);
    return true;
}

// Reads the records up to the end record or the end of the data, each model name given the index
// of its first appearance. The names are looked up in a hash table: a file of many records with
// many distinct names would otherwise take time quadratic in its size.
void readRecords(ByteCursor& cursor, WorldFile& world) {
    std::unordered_map<std::string, std::int32_t> indexOfName;
    std::string name;
    while (cursor.readName(name)) {
        if (name.empty()) {
            world.endRecordFound = true;
            return;
        }
        ModelInstance instance;
        if (!readPlacement(cursor, instance)) {
            return;
        }
        const auto next = static_cast<std::int32_t>(world.modelNames.size());
        const auto [entry, isNew] = indexOfName.try_emplace(name, next);
        if (isNew) {
            world.modelNames.push_back(name);
        }
        instance.modelIndex = entry->second;
        world.instances.push_back(instance);
    }
}

}  // namespace

static_assert(sizeof(Vector3) * 3 == kWorldPlacementSize);

Result<WorldFile> parseWorldFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kWorldHeaderSize) {
        return kWorldHeaderCutShort;
    }
    return catchingOutOfMemory([&]() -> Result<WorldFile> {
        ByteCursor cursor(bytes);
        WorldFile world;
        cursor.seek(kWorldGroundNameOffset);
        cursor.readName(world.groundName);
        cursor.seek(kWorldHeaderSize);
        readRecords(cursor, world);
        return world;
    });
}
