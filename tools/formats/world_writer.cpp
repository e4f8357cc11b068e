#include "formats/world_writer.h"

#include "formats/byte_writer.h"
#include "io/byte_cursor.h"
#include "world/world_file.h"

namespace {

void fill(ByteWriter& out, std::size_t count, std::uint8_t filler) {
    out.raw(std::vector<std::uint8_t>(count, filler));
}

void writeVector(ByteWriter& out, Vector3 v) {
    out.f32(v.x);
    out.f32(v.y);
    out.f32(v.z);
}

void writeRecord(ByteWriter& out, const WorldPlacement& placement, std::uint8_t filler) {
    out.name(placement.modelName);
    fill(out, kWorldPlacementOffset - kNameFieldSize, filler);
    writeVector(out, placement.position);
    writeVector(out, placement.angles);
    writeVector(out, placement.scale);
    fill(out, kWorldRecordSize - kWorldPlacementOffset - kWorldPlacementSize, filler);
}

}  // namespace

std::vector<std::uint8_t> worldFileBytes(const WorldFileDescription& world) {
    ByteWriter out;
    fill(out, kWorldGroundNameOffset, world.filler);
    out.name(world.groundName);
    out.name(world.unusedName);
    fill(out, kWorldHeaderSize - out.size(), world.filler);
    for (const WorldPlacement& placement : world.placements) {
        writeRecord(out, placement, world.filler);
    }
    if (world.endRecord) {
        out.u8(0);
        fill(out, kNameFieldSize - 1, world.filler);
    }
    return out.bytes();
}

bool writeWorldFile(const std::string& path, const WorldFileDescription& world) {
    return writeFile(path, worldFileBytes(world));
}
