#include "demo/demo_scene.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "demo/demo_models.h"
#include "demo/demo_terrain.h"
#include "demo/demo_textures.h"
#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/world_writer.h"

namespace {

const std::string kGroundName = "Maps\\VALLEY.gnd";
const std::string kGroundDiskPath = "maps/valley.gnd";
const std::string kWorldDiskPath = "maps/valley.rsw";

enum ModelKind { windmill, house, ruins, pine, boulder, crystal };

// The models the world places, in the order in which it names them first; the third is missing.
struct DemoModel {
    std::string dataName;  // as the world file names it
    std::string diskPath;  // below data/model, empty for the missing one
};

const std::vector<DemoModel>& demoWorldModels() {
    static const std::vector<DemoModel> models = {
        {"VILLAGE\\Windmill.omd", "village/windmill.omd"},
        {"Village\\House.omd", "village/house.omd"},
        {"Village\\Ruins.omd", ""},
        {"Forest\\PINE.omd", "forest/pine.omd"},
        {"Forest\\Boulder.OMD", "forest/boulder.omd"},
        {"Mesa\\crystal.omd", "mesa/crystal.omd"},
    };
    return models;
}

// The village green, where the path from the start leads.
constexpr float kVillageX = 700;
constexpr float kVillageY = 860;

// A small deterministic generator, so the scene is the same on every machine.
class Random {
  public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    float between(float low, float high) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return low + (high - low) * static_cast<float>(state_ & 0xffffff) / float(0x1000000);
    }

  private:
    std::uint32_t state_;
};

struct Spot {
    float x;
    float y;
};

float distance(Spot a, Spot b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

class PlacementList {
  public:
    explicit PlacementList(const DemoTerrain& terrain) : terrain_(terrain) {}

    // A model standing on the ground at (x, y): the world's origin is the ground's centre, and
    // a placement's y is the ground's height there, so the model's bottom meets the ground.
    void place(ModelKind kind, Spot spot, Vector3 angles, float scale) {
        const float half = terrain_.extent() / 2;
        placements_.push_back({demoWorldModels()[kind].dataName,
                               {spot.x - half, terrain_.heightAt(spot.x, spot.y), spot.y - half},
                               angles,
                               {scale, scale, scale}});
        spots_.push_back(spot);
    }

    bool clearOf(Spot spot, float room) const {
        for (const Spot& taken : spots_) {
            if (distance(spot, taken) < room) {
                return false;
            }
        }
        return true;
    }

    // Up to `count` spots drawn at random where `fits` accepts them and nothing stands within
    // `room`; each goes to `placeOne`.
    void scatter(Random& random, int count, float room, const std::function<bool(Spot)>& fits,
                 const std::function<void(Spot)>& placeOne) {
        const float margin = 60;
        for (int attempt = 0, placed = 0; placed < count && attempt < count * 200; ++attempt) {
            const Spot spot{random.between(margin, terrain_.extent() - margin),
                            random.between(margin, terrain_.extent() - margin)};
            if (fits(spot) && clearOf(spot, room)) {
                placeOne(spot);
                ++placed;
            }
        }
    }

    std::vector<WorldPlacement> placements() const { return placements_; }

  private:
    const DemoTerrain& terrain_;
    std::vector<WorldPlacement> placements_;
    std::vector<Spot> spots_;
};

bool inVillage(Spot spot) {
    return distance(spot, {kVillageX, kVillageY}) < 130;
}

// Near the start and ahead of it, where a tree would fill the first view.
bool inFirstView(Spot spot) {
    return spot.y > 600 && distance(spot, {640, 640}) < 240;
}

void placeVillage(PlacementList& list, Random& random, const DemoTerrain& terrain) {
    // Mills in sight of the start, their sails toward it, and one on the hill behind.
    list.place(windmill, {752, 905}, {0, -15, 0}, 1);
    list.place(windmill, {395, 985}, {0, 25, 0}, 0.9f);
    list.place(windmill, {365, 430}, {0, 160, 0}, 1.1f);
    list.scatter(
        random, 11, 34,
        [&](Spot spot) {
            // Not so near the start that a house fills the first view.
            return inVillage(spot) && terrain.terrainAt(spot.x, spot.y) == Terrain::grass &&
                   distance(spot, {kVillageX, kVillageY}) > 40 && spot.y > 810;
        },
        [&](Spot spot) {
            const float facing = 90 * std::floor(random.between(0, 4)) + random.between(-8, 8);
            list.place(house, spot, {0, facing, 0}, random.between(0.85f, 1.15f));
        });
    list.scatter(
        random, 6, 40,
        [&](Spot spot) { return terrain.terrainAt(spot.x, spot.y) == Terrain::grass; },
        [&](Spot spot) {
            list.place(ruins, spot, {0, random.between(0, 360), 0}, 1);
        });
}

void placeNature(PlacementList& list, Random& random, const DemoTerrain& terrain) {
    list.scatter(
        random, 230, 9,
        [&](Spot spot) {
            const Terrain kind = terrain.terrainAt(spot.x, spot.y);
            const float chance = kind == Terrain::meadow  ? 0.95f
                                 : kind == Terrain::grass ? 0.12f
                                 : kind == Terrain::rock  ? 0.05f
                                                          : 0.0f;
            return !inVillage(spot) && !inFirstView(spot) && terrain.tierAt(spot.x, spot.y) < 2 &&
                   random.between(0, 1) < chance;
        },
        [&](Spot spot) {
            list.place(pine, spot,
                       {random.between(-4, 4), random.between(0, 360), random.between(-4, 4)},
                       random.between(0.7f, 1.5f));
        });
    list.scatter(
        random, 45, 12,
        [&](Spot spot) {
            const Terrain kind = terrain.terrainAt(spot.x, spot.y);
            return !inVillage(spot) && kind != Terrain::water && kind != Terrain::dirt &&
                   kind != Terrain::snow;
        },
        [&](Spot spot) {
            list.place(boulder, spot,
                       {random.between(-15, 15), random.between(0, 360), random.between(-15, 15)},
                       random.between(0.5f, 1.8f));
        });
}

// Crystals at the foot of the mesa's cliffs, where the rock behind them is dark enough for their
// glow to show.
void placeCrystals(PlacementList& list, Random& random, const DemoTerrain& terrain) {
    for (float x = 420; x < 920; x += random.between(14, 34)) {
        for (float y = 880; y < 1120; y += 2) {
            const int below = terrain.tierAt(x, y);
            if (terrain.tierAt(x, y + 8) > below && list.clearOf({x, y}, 10)) {
                list.place(
                    crystal, {x, y},
                    {random.between(-10, 10), random.between(0, 360), random.between(-10, 10)},
                    random.between(0.8f, 1.5f));
                break;
            }
        }
    }
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, bool& ok) {
    if (!writeFile(path, bytes)) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        ok = false;
    }
}

void writeText(const std::string& path, const std::string& text, bool& ok) {
    writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()), ok);
}

// An argument file as a Windows user writes it: CR LF line ends, backslashes.
std::string argumentFile(const std::string& sceneName) {
    return "..\\GameData\r\n..\\GameData\\" + sceneName + "\r\n";
}

WorldFileDescription demoWorld(const DemoTerrain& terrain) {
    Random random(20240607);
    PlacementList list(terrain);
    placeVillage(list, random, terrain);
    placeCrystals(list, random, terrain);
    placeNature(list, random, terrain);
    return {kGroundName, "", list.placements()};
}

}  // namespace

bool writeDemoScene(const std::string& folder) {
    bool ok = true;
    const std::string data = folder + "/GameData/data/";
    for (const DemoTextureFile& texture : demoTextureFiles()) {
        writeBytes(data + "texture/" + texture.diskPath, texture.bytes, ok);
    }
    const DemoTerrain terrain = demoTerrain();
    writeBytes(data + kGroundDiskPath, groundFileBytes(terrain.ground), ok);
    writeBytes(data + kWorldDiskPath, worldFileBytes(demoWorld(terrain)), ok);

    const ModelFile models[] = {windmillModel(), houseModel(),   {},
                                pineModel(),     boulderModel(), crystalModel()};
    for (std::size_t kind = 0; kind < demoWorldModels().size(); ++kind) {
        if (!demoWorldModels()[kind].diskPath.empty()) {
            writeBytes(data + "model/" + demoWorldModels()[kind].diskPath,
                       modelFileBytes(models[kind]), ok);
        }
    }
    // Small enough to stand whole in the model view, sails turning.
    writeBytes(data + "model/village/showcase.omd", modelFileBytes(windmillModel(0.6f)), ok);

    writeText(folder + "/world/orvalis.arg", argumentFile("DATA\\Maps\\Valley.RSW"), ok);
    writeText(folder + "/ground/orvalis.arg", argumentFile("data\\MAPS\\valley.GND"), ok);
    writeText(folder + "/model/orvalis.arg", argumentFile("Data\\Model\\Village\\Showcase.OMD"),
              ok);
    return ok;
}
