#include "ground/ground_file.h"

#include "io/byte_cursor.h"
#include "io/file_errors.h"

namespace {

// Where a run of records lies in the file.
struct Section {
    std::size_t offset = 0;
    std::size_t count = 0;
};

struct GroundLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    Section textures;
    Section blocks;
    Section surfaces;
    Section cells;
};

// Steps over `count` records of `recordSize` bytes, or says why they are not all there.
ReadResult stepOverSection(ByteCursor& cursor, std::int64_t count, std::size_t recordSize,
                           std::string_view what, Section& section) {
    if (count < 0) {
        return {kGroundNegativeCount, {what}};
    }
    if (!cursor.fits(count, recordSize)) {
        return {kGroundRecordsCutShort, {what}};
    }
    section = {cursor.position(), static_cast<std::size_t>(count)};
    cursor.skip(section.count * recordSize);
    return {};
}

// Reads a count field and the padding after it, then steps over its records.
ReadResult stepOverCountedSection(ByteCursor& cursor, std::size_t padding, std::size_t recordSize,
                                  std::string_view what, Section& section) {
    std::int32_t count = 0;
    if (!cursor.readI32(count) || !cursor.skip(padding)) {
        return {kGroundCountCutShort, {what}};
    }
    return stepOverSection(cursor, count, recordSize, what, section);
}

Result<GroundLayout> locateSections(std::span<const std::uint8_t> bytes) {
    ByteCursor cursor(bytes);
    GroundLayout layout;
    std::int32_t textureCount = 0;
    if (!cursor.skip(6) || !cursor.readI32(layout.width) || !cursor.readI32(layout.height) ||
        !cursor.skip(4) || !cursor.readI32(textureCount) || !cursor.skip(4)) {
        return kGroundHeaderCutShort;
    }
    if (layout.width < 0 || layout.height < 0) {
        return kGroundNegativeSize;
    }
    const std::int64_t cellCount = std::int64_t{layout.width} * layout.height;
    // Each section is stepped over only when the ones before it are whole.
    ReadResult step = stepOverSection(cursor, textureCount, kGroundTextureEntrySize,
                                      "texture entries", layout.textures);
    if (step) {
        step = stepOverCountedSection(cursor, kGroundBlockCountPadding, sizeof(GroundBlock),
                                      "blocks", layout.blocks);
    }
    if (step) {
        step =
            stepOverCountedSection(cursor, 0, sizeof(GroundSurface), "surfaces", layout.surfaces);
    }
    if (step) {
        step = stepOverSection(cursor, cellCount, sizeof(GroundCell), "cells", layout.cells);
    }
    if (!step) {
        return step;
    }
    return layout;
}

// Copies a section that the layout has found whole.
template <typename Record>
std::vector<Record> copySection(std::span<const std::uint8_t> bytes, Section section) {
    std::vector<Record> records(section.count);
    ByteCursor cursor(bytes.subspan(section.offset));
    cursor.readRecords(records.data(), records.size());
    return records;
}

std::vector<std::string> textureNames(std::span<const std::uint8_t> bytes, Section section) {
    std::vector<std::string> names;
    names.reserve(section.count);
    for (std::size_t i = 0; i < section.count; ++i) {
        names.push_back(nameFromField(bytes.data() + section.offset + i * kGroundTextureEntrySize));
    }
    return names;
}

GroundFile groundFile(std::span<const std::uint8_t> bytes, const GroundLayout& layout) {
    GroundFile ground;
    ground.width = layout.width;
    ground.height = layout.height;
    ground.textureNames = textureNames(bytes, layout.textures);
    ground.blocks = copySection<GroundBlock>(bytes, layout.blocks);
    ground.surfaces = copySection<GroundSurface>(bytes, layout.surfaces);
    ground.cells = copySection<GroundCell>(bytes, layout.cells);
    return ground;
}

}  // namespace

Result<GroundFile> parseGroundFile(std::span<const std::uint8_t> bytes) {
    return catchingOutOfMemory([&]() -> Result<GroundFile> {
        const Result<GroundLayout> layout = locateSections(bytes);
        if (!layout) {
            return layout.result();
        }
        return groundFile(bytes, *layout);
    });
}
