// Writes the seed corpus of every fuzz target: one small file per variant the writers can make,
// into <folder>/<target>/. Usage: fuzz_seeds FOLDER

#include <cstdio>
#include <string>
#include <vector>

#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/model_writer.h"
#include "formats/world_writer.h"
#include "fuzz_targets.h"
#include "texture/tga_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Small, so that mutations stay cheap; an odd width gives every row padding.
constexpr std::int32_t kSeedWidth = 5;
constexpr std::int32_t kSeedHeight = 3;

class SeedFolder {
  public:
    explicit SeedFolder(std::string root) : root_(std::move(root)) {}

    void write(const std::string& target, const std::string& name, const Bytes& bytes) {
        if (!writeFile(root_ + "/" + target + "/" + name, bytes)) {
            std::fprintf(stderr, "cannot write the seed %s/%s\n", target.c_str(), name.c_str());
            failed_ = true;
        }
    }
    bool failed() const { return failed_; }

  private:
    std::string root_;
    bool failed_ = false;
};

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void writeArgumentSeeds(SeedFolder& seeds) {
    seeds.write("argument_file", "ground", textBytes("C:\\game\nmap.gnd\n"));
    seeds.write("argument_file", "world_crlf", textBytes("C:\\game\r\nworld.rsw\r\nmodel.omd"));
    seeds.write("argument_file", "long_line", textBytes(std::string(1100, 'r') + "\nx.gnd\n"));
    std::string manyNames = "root\n";
    for (int i = 0; i < 55; ++i) {
        manyNames += "m" + std::to_string(i) + ".omd\n";
    }
    seeds.write("argument_file", "many_names", textBytes(manyNames));
}

// Values 0 to `count` - 1 in a pattern with repeats, so that RLE data has runs and literal
// stretches.
BmpPicture indexedPicture(std::uint32_t count) {
    BmpPicture picture{kSeedWidth, kSeedHeight, {}, {}};
    for (std::int32_t i = 0; i < kSeedWidth * kSeedHeight; ++i) {
        picture.values.push_back(static_cast<std::uint32_t>(i < 4 ? 1 : i * 7) % count);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 255 / (count - 1));
        picture.colourTable.push_back({level, static_cast<std::uint8_t>(255 - level), 0x40});
    }
    return picture;
}

BmpPicture packedPicture(std::uint32_t valueMask) {
    BmpPicture picture{kSeedWidth, kSeedHeight, {}, {}};
    for (std::int32_t i = 0; i < kSeedWidth * kSeedHeight; ++i) {
        picture.values.push_back((0x9E3779B9u * static_cast<std::uint32_t>(i + 1)) & valueMask);
    }
    return picture;
}

struct BmpFormat {
    const char* name;
    std::uint16_t bitCount;
    BmpCompression compression;
    std::array<std::uint32_t, 3> masks;
};

constexpr BmpFormat kBmpFormats[] = {
    {"1bit", 1, BmpCompression::rgb, {}},
    {"4bit", 4, BmpCompression::rgb, {}},
    {"8bit", 8, BmpCompression::rgb, {}},
    {"16bit", 16, BmpCompression::rgb, {}},
    {"24bit", 24, BmpCompression::rgb, {}},
    {"32bit", 32, BmpCompression::rgb, {}},
    {"rle8", 8, BmpCompression::rle8, {}},
    {"rle4", 4, BmpCompression::rle4, {}},
    {"565", 16, BmpCompression::bitfields, {0xF800, 0x07E0, 0x001F}},
    {"masks32", 32, BmpCompression::bitfields, {0x3FF00000, 0x000FFC00, 0x000003FF}},
};

BmpPicture bmpPictureFor(const BmpFormat& format) {
    if (format.bitCount <= 8) {
        return indexedPicture(1u << format.bitCount);
    }
    return packedPicture(format.bitCount == 16   ? 0xFFFF
                         : format.bitCount == 24 ? 0xFFFFFF
                                                 : 0xFFFFFFFF);
}

// The core header knows neither compression nor masks.
bool coreHeaderCan(const BmpFormat& format) {
    return format.compression == BmpCompression::rgb && format.bitCount != 16 &&
           format.bitCount != 32;
}

void writeBmpSeeds(SeedFolder& seeds) {
    for (const BmpFormat& format : kBmpFormats) {
        const BmpPicture picture = bmpPictureFor(format);
        BmpLayout layout;
        layout.bitCount = format.bitCount;
        layout.compression = format.compression;
        layout.masks = format.masks;
        const std::string name = format.name;
        seeds.write("bmp", name, bmpFile(picture, layout));
        BmpLayout variant = layout;
        variant.fileHeader = false;
        seeds.write("bmp", name + "_bare", bmpFile(picture, variant));
        variant = layout;
        variant.topDown = true;
        seeds.write("bmp", name + "_top_down", bmpFile(picture, variant));
        variant = layout;
        variant.gap = 6;
        seeds.write("bmp", name + "_gap", bmpFile(picture, variant));
        variant = layout;
        variant.headerSize = 108;
        seeds.write("bmp", name + "_v4_header", bmpFile(picture, variant));
        if (!picture.colourTable.empty()) {
            BmpPicture shortTable = picture;
            shortTable.colourTable.resize(shortTable.colourTable.size() / 2);
            variant = layout;
            variant.coloursUsed = static_cast<std::uint32_t>(shortTable.colourTable.size());
            seeds.write("bmp", name + "_colours_used", bmpFile(shortTable, variant));
        }
        if (coreHeaderCan(format)) {
            variant = layout;
            variant.headerSize = 12;
            seeds.write("bmp", name + "_core", bmpFile(picture, variant));
        }
    }
}

RgbaPicture rgbaPicture() {
    RgbaPicture picture{kSeedWidth, kSeedHeight, {}};
    for (std::int32_t i = 0; i < kSeedWidth * kSeedHeight; ++i) {
        const auto value = static_cast<std::uint8_t>(i < 6 ? 0x80 : i * 37);
        picture.rgba.insert(picture.rgba.end(), {value, static_cast<std::uint8_t>(value ^ 0x5A),
                                                 static_cast<std::uint8_t>(255 - value), 200});
    }
    return picture;
}

Bytes withFlagByte(std::uint32_t flags, const Bytes& file) {
    Bytes input{tgaFlagByte(flags)};
    input.insert(input.end(), file.begin(), file.end());
    return input;
}

void writeTgaSeeds(SeedFolder& seeds) {
    struct TgaFormat {
        const char* name;
        std::uint8_t imageType;
        std::uint8_t bitsPerPixel;
        std::uint32_t flags;
    };
    constexpr TgaFormat formats[] = {
        {"rgb", 2, 24, TGA_NO_UPLOAD},
        {"rgba", 2, 32, TGA_NO_UPLOAD | TGA_FREE_PIXELS},
        {"luminance", 3, 8, TGA_LUMINANCE | TGA_4BIT},
        {"alpha", 3, 8, TGA_ALPHA | TGA_NO_MIPMAPS},
        {"rle_rgb", 10, 24, TGA_COMPRESSED},
        {"rle_rgba", 10, 32, TGA_NO_UPLOAD},
    };
    const RgbaPicture picture = rgbaPicture();
    for (const TgaFormat& format : formats) {
        TgaLayout layout;
        layout.imageType = format.imageType;
        layout.bitsPerPixel = format.bitsPerPixel;
        const std::string name = format.name;
        seeds.write("tga", name, withFlagByte(format.flags, tgaFile(picture, layout)));
        layout.id = "seed";
        layout.colourMapLength = 2;
        seeds.write("tga", name + "_id_colour_map",
                    withFlagByte(format.flags, tgaFile(picture, layout)));
    }
}

void writeGroundSeeds(SeedFolder& seeds) {
    seeds.write("ground", "flat", groundFileBytes(flatGround(2, 2, "grass.bmp")));
    seeds.write("ground", "flat_filled", groundFileBytes(flatGround(1, 3, "sand.tga"), 0xFF));
    GroundFile terraced = terracedGround(4, 3, {"rock.bmp", "moss.tga"});
    terraced.blocks.emplace_back();
    seeds.write("ground", "terraced_with_block", groundFileBytes(terraced));
    seeds.write("ground", "terraced_bare", groundFileBytes(terracedGround(3, 2, {})));
}

ModelFileNode triangleNode(std::string name, std::string parentName) {
    ModelFileNode node;
    node.name = std::move(name);
    node.parentName = std::move(parentName);
    node.textureIndices = {0};
    node.vertices = {{0, 0, 0}, {4, 0, 0}, {0, 4, 1}};
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
    return node;
}

void writeModelSeeds(SeedFolder& seeds) {
    ModelFile single;
    single.textureNames = {"wood.bmp"};
    single.nodes = {triangleNode("body", "")};
    seeds.write("model", "single", modelFileBytes(single));

    ModelFile animated;
    animated.textureNames = {"wood.bmp", "leaf.tga"};
    animated.nodes = {triangleNode("trunk", ""), triangleNode("crown", "trunk")};
    animated.nodes[0].rootExtraWord = 7;
    animated.nodes[1].textureIndices = {1, 0};
    animated.nodes[1].keyFrames = {{0, {0, 0, 0, 1}}, {300, {0, 0.7071f, 0, 0.7071f}}};
    ModelFileLayout oneZeroWordBefore;
    oneZeroWordBefore.zeroWordsBefore = {0, 1};
    seeds.write("model", "animated", modelFileBytes(animated, oneZeroWordBefore));

    ModelFile oneZeroWord = animated;
    oneZeroWord.nodes.push_back(triangleNode("branch", "crown"));
    ModelFileLayout oneZeroWordAfter = oneZeroWordBefore;
    oneZeroWordAfter.zeroWordsAfterFaces = {1};
    seeds.write("model", "one_zero_word", modelFileBytes(oneZeroWord, oneZeroWordAfter));
}

void writeWorldSeeds(SeedFolder& seeds) {
    WorldFileDescription world;
    world.groundName = "field.gnd";
    world.unusedName = "field.gat";
    world.placements = {{"tree.omd", {10, 0, -20}, {0, 90, 0}},
                        {"house.omd", {-30, 2, 5}, {0, 0, 0}, {2, 2, 2}},
                        {"tree.omd", {40, 0, 40}, {0, 45, 0}},
                        {"TREE.omd", {0, 0, 0}, {10, 20, 30}, {1, 0.5f, 1}}};
    seeds.write("world", "placements", worldFileBytes(world));
    world.filler = 0xFF;
    seeds.write("world", "filled", worldFileBytes(world));
    world.endRecord = false;
    seeds.write("world", "no_end_record", worldFileBytes(world));
    world.placements.clear();
    seeds.write("world", "no_placements", worldFileBytes(world));
}

// A thumbnail input: a byte that chooses the scene's kind, then its file; a world's size comes
// first, and its model after it.
Bytes thumbnailInput(std::uint8_t kind, const Bytes& file, const Bytes& model = {}) {
    Bytes input{kind};
    if (kind == 2) {
        const auto size = static_cast<std::uint32_t>(file.size());
        for (int i = 0; i < 4; ++i) {
            input.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
        }
    }
    input.insert(input.end(), file.begin(), file.end());
    input.insert(input.end(), model.begin(), model.end());
    return input;
}

void writeThumbnailSeeds(SeedFolder& seeds) {
    GroundFile hills = terracedGround(4, 3, {});
    hills.cells[5].heights[2] = -300;
    seeds.write("thumbnail", "ground", thumbnailInput(0, groundFileBytes(hills)));
    ModelFile tree;
    tree.nodes = {triangleNode("trunk", ""), triangleNode("crown", "trunk"),
                  triangleNode("leaf", "crown")};
    tree.nodes[2].transform.position = {200, 150, 0};
    tree.nodes[1].keyFrames = {{0, {0, 0, 0, 1}}, {300, {0, 0.7071f, 0, 0.7071f}}};
    seeds.write("thumbnail", "model", thumbnailInput(1, modelFileBytes(tree)));
    WorldFileDescription world{"scene.gnd", "", {}};
    for (int i = 0; i < 6; ++i) {
        const auto step = static_cast<float>(i);
        world.placements.push_back(
            {"scene.omd", {40 * step, step, -30 * step}, {15 * step, 60 * step, 0}, {1, step, 2}});
    }
    seeds.write("thumbnail", "world",
                thumbnailInput(2, worldFileBytes(world), modelFileBytes(tree)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    SeedFolder seeds(argv[1]);
    writeArgumentSeeds(seeds);
    writeBmpSeeds(seeds);
    writeTgaSeeds(seeds);
    writeGroundSeeds(seeds);
    writeModelSeeds(seeds);
    writeWorldSeeds(seeds);
    writeThumbnailSeeds(seeds);
    return seeds.failed() ? 1 : 0;
}
