#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formats/world_writer.h"
#include "io/byte_cursor.h"
#include "world/world_file.h"

// Every prefix of a file whose skipped bytes are not zero and whose names fill their 40-byte
// fields: shorter than the header gives nothing; else the records wholly inside it are kept, and
// only the whole file has its end record.
TEST(WorldFile, EveryCutKeepsTheWholeRecordsBeforeIt) {
    const std::string fullName(40, 'a');
    WorldFileDescription world;
    world.groundName = std::string(40, 'g');
    world.unusedName = "not read";
    world.filler = 0x7F;
    world.placements = {{fullName}, {"b"}, {fullName}};
    const std::vector<std::int32_t> indices = {0, 1, 0};
    const std::vector<std::uint8_t> bytes = worldFileBytes(world);
    const std::size_t count = world.placements.size();
    ASSERT_EQ(bytes.size(), kWorldHeaderSize + count * kWorldRecordSize + kNameFieldSize);

    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        SCOPED_TRACE(length);
        const auto file = parseWorldFile(std::span(bytes).first(length));
        ASSERT_EQ(static_cast<bool>(file), length >= kWorldHeaderSize);
        if (!file) {
            continue;
        }
        EXPECT_EQ(file->groundName, world.groundName);
        EXPECT_EQ(file->endRecordFound, length == bytes.size());
        const std::size_t whole = std::min((length - kWorldHeaderSize) / kWorldRecordSize, count);
        ASSERT_EQ(file->instances.size(), whole);
        EXPECT_EQ(file->modelNames.size(), std::min<std::size_t>(whole, 2));
        for (std::size_t i = 0; i < whole; ++i) {
            ASSERT_EQ(file->instances[i].modelIndex, indices[i]);
            EXPECT_EQ(file->modelNames[indices[i]], world.placements[i].modelName);
        }
    }
}
