#include "ground/ground_file.h"

#include <optional>

#include "io/byte_cursor.h"

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
bool stepOverSection(ByteCursor& cursor, std::int64_t count, std::size_t recordSize,
                     const std::string& what, Section& section, std::string& error) {
    if (count < 0) {
        error = "Negative number of " + what;
        return false;
    }
    if (!cursor.fits(count, recordSize)) {
        error = "The " + what + " run past the end of the file";
        return false;
    }
    section = {cursor.position(), static_cast<std::size_t>(count)};
    cursor.skip(section.count * recordSize);
    return true;
}

// Reads a count field and the padding after it, then steps over its records.
bool stepOverCountedSection(ByteCursor& cursor, std::size_t padding, std::size_t recordSize,
                            const std::string& what, Section& section, std::string& error) {
    std::int32_t count = 0;
    if (!cursor.readI32(count) || !cursor.skip(padding)) {
        error = "The file ends before the number of " + what;
        return false;
    }
    return stepOverSection(cursor, count, recordSize, what, section, error);
}

std::optional<GroundLayout> locateSections(std::span<const std::uint8_t> bytes,
                                           std::string& error) {
    ByteCursor cursor(bytes);
    GroundLayout layout;
    std::int32_t textureCount = 0;
    if (!cursor.skip(6) || !cursor.readI32(layout.width) || !cursor.readI32(layout.height) ||
        !cursor.skip(4) || !cursor.readI32(textureCount) || !cursor.skip(4)) {
        error = "The file is shorter than a ground header";
        return std::nullopt;
    }
    if (layout.width < 0 || layout.height < 0) {
        error = "Negative ground size";
        return std::nullopt;
    }
    const std::int64_t cellCount = std::int64_t{layout.width} * layout.height;
    if (!stepOverSection(cursor, textureCount, kGroundTextureEntrySize, "texture entries",
                         layout.textures, error) ||
        !stepOverCountedSection(cursor, kGroundBlockCountPadding, sizeof(GroundBlock), "blocks",
                                layout.blocks, error) ||
        !stepOverCountedSection(cursor, 0, sizeof(GroundSurface), "surfaces", layout.surfaces,
                                error) ||
        !stepOverSection(cursor, cellCount, sizeof(GroundCell), "cells", layout.cells, error)) {
        return std::nullopt;
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

}  // namespace

Parsed<GroundFile> parseGroundFile(std::span<const std::uint8_t> bytes) {
    std::string error;
    const auto layout = locateSections(bytes, error);
    if (!layout) {
        return Damaged{error};
    }
    GroundFile ground;
    ground.width = layout->width;
    ground.height = layout->height;
    ground.textureNames = textureNames(bytes, layout->textures);
    ground.blocks = copySection<GroundBlock>(bytes, layout->blocks);
    ground.surfaces = copySection<GroundSurface>(bytes, layout->surfaces);
    ground.cells = copySection<GroundCell>(bytes, layout->cells);
    return ground;
}
