#include "demo/demo_models.h"

#include <cmath>

#include "demo/demo_noise.h"
#include "demo/demo_textures.h"

namespace {

constexpr float kPi = 3.14159265f;

// A point `height` above the model's ground, in the file's coordinates where up is -y.
Vector3 at(float x, float height, float z) {
    return {x, -height, z};
}

struct TexturePoint {
    float u;
    float v;  // 0 at the picture's top
};

// Adds faces to a node, each corner with its own vertex and texture coordinates.
class MeshBuilder {
  public:
    explicit MeshBuilder(ModelFileNode& node) : node_(node) {}

    void triangle(Vector3 a, Vector3 b, Vector3 c, TexturePoint ta, TexturePoint tb,
                  TexturePoint tc, std::uint16_t entry = 0) {
        const auto first = static_cast<std::int16_t>(node_.vertices.size());
        const std::pair<Vector3, TexturePoint> corners[] = {{a, ta}, {b, tb}, {c, tc}};
        for (const auto& [vertex, texture] : corners) {
            node_.vertices.push_back(vertex);
            node_.texCoords.push_back({0, texture.u, texture.v});
        }
        node_.faces.push_back(modelFace(
            {first, static_cast<std::int16_t>(first + 1), static_cast<std::int16_t>(first + 2)},
            {first, static_cast<std::int16_t>(first + 1), static_cast<std::int16_t>(first + 2)},
            entry));
    }

    // Corners in order around the quad, the picture's top edge from a to b; (u, v) spans are the
    // texture repeats across and down.
    void quad(Vector3 a, Vector3 b, Vector3 c, Vector3 d, float uSpan = 1, float vSpan = 1,
              std::uint16_t entry = 0) {
        triangle(a, b, c, {0, 0}, {uSpan, 0}, {uSpan, vSpan}, entry);
        triangle(a, c, d, {0, 0}, {uSpan, vSpan}, {0, vSpan}, entry);
    }

  private:
    ModelFileNode& node_;
};

ModelFileNode node(std::string name, std::string parentName, std::vector<std::int32_t> textures) {
    ModelFileNode made;
    made.name = std::move(name);
    made.parentName = std::move(parentName);
    made.textureIndices = std::move(textures);
    return made;
}

Vector3 onCircle(float radius, float angle, float height) {
    return at(radius * std::cos(angle), height, radius * std::sin(angle));
}

// The sides of a ring of `sides` faces between two circles, the picture wrapped once around.
void ringSides(MeshBuilder& mesh, int sides, float bottomRadius, float bottomHeight,
               float topRadius, float topHeight, float vSpan) {
    for (int side = 0; side < sides; ++side) {
        const float a0 = 2 * kPi * side / sides;
        const float a1 = 2 * kPi * (side + 1) / sides;
        mesh.quad(onCircle(topRadius, a0, topHeight), onCircle(topRadius, a1, topHeight),
                  onCircle(bottomRadius, a1, bottomHeight),
                  onCircle(bottomRadius, a0, bottomHeight), 1, vSpan);
    }
}

// A cone of `sides` faces from a circle up (or down) to its apex.
void cone(MeshBuilder& mesh, int sides, float radius, float baseHeight, float apexHeight) {
    for (int side = 0; side < sides; ++side) {
        const float a0 = 2 * kPi * side / sides;
        const float a1 = 2 * kPi * (side + 1) / sides;
        mesh.triangle(at(0, apexHeight, 0), onCircle(radius, a0, baseHeight),
                      onCircle(radius, a1, baseHeight), {0.5f, 0}, {0, 1}, {1, 1});
    }
}

// Rotation about z by `angle` radians as a quaternion (w the scalar part).
Quaternion turnAboutZ(float angle) {
    return {0, 0, std::sin(angle / 2), std::cos(angle / 2)};
}

Quaternion turnAboutUp(float angle) {
    return {0, std::sin(angle / 2), 0, std::cos(angle / 2)};
}

// One turn in four quarter steps, `quarter` clock units each; the last key frame equals the first.
std::vector<KeyFrame> fullTurn(std::int32_t quarter, Quaternion (*turn)(float)) {
    std::vector<KeyFrame> frames;
    for (int step = 0; step <= 4; ++step) {
        frames.push_back({step * quarter, turn(step * kPi / 2)});
    }
    return frames;
}

}  // namespace

ModelFile pineModel() {
    using namespace demo_texture;
    ModelFile model;
    model.textureNames = {bark.dataName, pine.dataName};
    ModelFileNode trunk = node("trunk", "", {0});
    MeshBuilder trunkMesh(trunk);
    ringSides(trunkMesh, 4, 1.6f, 0, 1.1f, 16, 2);
    ModelFileNode crown = node("crown", "trunk", {1});
    MeshBuilder crownMesh(crown);
    for (int plane = 0; plane < 3; ++plane) {
        const float angle = plane * kPi / 3;
        const float dx = 12 * std::cos(angle);
        const float dz = 12 * std::sin(angle);
        crownMesh.quad(at(-dx, 42, -dz), at(dx, 42, dz), at(dx, 5, dz), at(-dx, 5, -dz));
    }
    model.nodes = {trunk, crown};
    return model;
}

ModelFile boulderModel() {
    ModelFile model;
    model.textureNames = {"TERRAIN\\Rock.BMP"};
    ModelFileNode rock = node("boulder", "", {0});
    MeshBuilder mesh(rock);
    // A lumpy dome: rings of a sphere pushed in and out by noise, the lowest ring on the ground.
    constexpr int kRings = 4;
    constexpr int kSides = 7;
    const auto point = [](int ring, int side) {
        const float polar = kPi / 2 * ring / kRings;
        const float angle = 2 * kPi * side / kSides + ring * 0.4f;
        const float radius = 6 * (0.75f + 0.5f * latticeValue(ring, side % kSides, 113));
        return Vector3{radius * std::cos(polar) * std::cos(angle),
                       -4.5f * std::sin(polar) * radius / 6,
                       radius * std::cos(polar) * std::sin(angle)};
    };
    for (int ring = 0; ring < kRings; ++ring) {
        for (int side = 0; side < kSides; ++side) {
            const Vector3 top = ring + 1 == kRings ? at(0, 5.5f, 0) : point(ring + 1, side);
            mesh.triangle(point(ring, side), point(ring, side + 1), top, {0, 1}, {0.5f, 1},
                          {0.25f, 0});
            if (ring + 1 < kRings) {
                mesh.triangle(point(ring, side + 1), point(ring + 1, side + 1), top, {0.5f, 1},
                              {0.5f, 0}, {0.25f, 0});
            }
        }
    }
    model.nodes = {rock};
    return model;
}

ModelFile houseModel() {
    using namespace demo_texture;
    ModelFile model;
    model.textureNames = {plaster.dataName, roof.dataName, window.dataName};
    constexpr float kHalfWidth = 12;
    constexpr float kHalfDepth = 8;
    constexpr float kEaves = 13;
    constexpr float kRidge = 22;

    ModelFileNode walls = node("walls", "", {0});
    MeshBuilder wallMesh(walls);
    const Vector3 ground[4] = {at(-kHalfWidth, 0, -kHalfDepth), at(kHalfWidth, 0, -kHalfDepth),
                               at(kHalfWidth, 0, kHalfDepth), at(-kHalfWidth, 0, kHalfDepth)};
    for (int side = 0; side < 4; ++side) {
        const Vector3 a = ground[side];
        const Vector3 b = ground[(side + 1) % 4];
        const Vector3 aTop{a.x, -kEaves, a.z};
        const Vector3 bTop{b.x, -kEaves, b.z};
        wallMesh.quad(aTop, bTop, b, a, side % 2 == 0 ? 2 : 1.5f, 1);
    }
    for (float x : {-kHalfWidth, kHalfWidth}) {
        wallMesh.triangle(at(x, kEaves, -kHalfDepth), at(x, kEaves, kHalfDepth), at(x, kRidge, 0),
                          {0, 0.5f}, {1, 0.5f}, {0.5f, 0});
    }

    ModelFileNode roof = node("roof", "walls", {1});
    MeshBuilder roofMesh(roof);
    constexpr float kOverhang = 1.5f;
    for (float side : {-1.0f, 1.0f}) {
        roofMesh.quad(at(-kHalfWidth - kOverhang, kRidge + 0.5f, 0),
                      at(kHalfWidth + kOverhang, kRidge + 0.5f, 0),
                      at(kHalfWidth + kOverhang, kEaves - 1, side * (kHalfDepth + kOverhang)),
                      at(-kHalfWidth - kOverhang, kEaves - 1, side * (kHalfDepth + kOverhang)), 3,
                      1.5f);
    }

    // Just off the walls, so the glow is drawn over them and not hidden in them.
    ModelFileNode windows = node("windows", "walls", {2});
    MeshBuilder windowMesh(windows);
    constexpr float kOut = 0.2f;
    for (float side : {-1.0f, 1.0f}) {
        const float z = side * (kHalfDepth + kOut);
        for (float x : {-6.5f, 6.5f}) {
            windowMesh.quad(at(x - 2.5f, 10, z), at(x + 2.5f, 10, z), at(x + 2.5f, 5, z),
                            at(x - 2.5f, 5, z));
        }
        const float endX = side * (kHalfWidth + kOut);
        windowMesh.quad(at(endX, 10.5f, -2.5f), at(endX, 10.5f, 2.5f), at(endX, 5.5f, 2.5f),
                        at(endX, 5.5f, -2.5f));
    }
    model.nodes = {walls, roof, windows};
    return model;
}

ModelFile windmillModel(float scale) {
    using namespace demo_texture;
    ModelFile model;
    model.textureNames = {plaster.dataName, roof.dataName, sail.dataName};
    constexpr float kTowerTop = 36;

    ModelFileNode tower = node("tower", "", {0});
    tower.transform.scale = {scale, scale, scale};
    MeshBuilder towerMesh(tower);
    ringSides(towerMesh, 8, 8.5f, 0, 5.5f, kTowerTop, 3);

    ModelFileNode cap = node("cap", "tower", {1});
    MeshBuilder capMesh(cap);
    cone(capMesh, 8, 7.5f, kTowerTop - 1, kTowerTop + 11);

    // The sails turn about the hub, in front of the cap: the node's position is the hub, and
    // its key frames turn it about z.
    ModelFileNode sails = node("sails", "cap", {2});
    sails.transform.position = at(0, kTowerTop + 1, -8.5f);
    sails.keyFrames = fullTurn(12000, turnAboutZ);
    MeshBuilder sailMesh(sails);
    for (int blade = 0; blade < 4; ++blade) {
        const float angle = blade * kPi / 2;
        const auto onBlade = [&](float across, float along) {
            return Vector3{across * std::cos(angle) - along * std::sin(angle),
                           across * std::sin(angle) + along * std::cos(angle), 0};
        };
        sailMesh.quad(onBlade(-1, 26), onBlade(7, 26), onBlade(7, 2), onBlade(-1, 2));
    }
    model.nodes = {tower, cap, sails};
    return model;
}

ModelFile crystalModel() {
    ModelFile model;
    model.textureNames = {demo_texture::crystal.dataName};
    ModelFileNode cluster = node("cluster", "", {0});
    cluster.keyFrames = fullTurn(6000, turnAboutUp);
    MeshBuilder mesh(cluster);
    // Three six-sided bipyramids, the big one upright, two leaning out from its foot.
    struct Spike {
        float radius;
        float length;
        float lean;  // radians from upright
        float heading;
    };
    for (const Spike spike :
         {Spike{3.2f, 26, 0, 0}, Spike{2, 15, 0.5f, 0.6f}, Spike{1.8f, 13, 0.55f, 3.4f}}) {
        const auto place = [&](float across, float height, float angle) {
            const float x = across * std::cos(angle);
            const float z = across * std::sin(angle);
            // Lean toward the heading: tilt the (x, height) plane of that direction.
            const float outward = x * std::cos(spike.heading) + z * std::sin(spike.heading);
            const float sideways = -x * std::sin(spike.heading) + z * std::cos(spike.heading);
            const float leanedOut = outward * std::cos(spike.lean) + height * std::sin(spike.lean);
            const float leanedUp = -outward * std::sin(spike.lean) + height * std::cos(spike.lean);
            return at(leanedOut * std::cos(spike.heading) - sideways * std::sin(spike.heading),
                      leanedUp,
                      leanedOut * std::sin(spike.heading) + sideways * std::cos(spike.heading));
        };
        constexpr int kSides = 6;
        for (int side = 0; side < kSides; ++side) {
            const float a0 = 2 * kPi * side / kSides;
            const float a1 = 2 * kPi * (side + 1) / kSides;
            const float shoulder = spike.length * 0.2f;
            const float waist = spike.length * 0.7f;
            mesh.triangle(place(0, 0, 0), place(spike.radius, shoulder, a0),
                          place(spike.radius, shoulder, a1), {0.5f, 1}, {0, 0.8f}, {1, 0.8f});
            mesh.quad(place(spike.radius, waist, a0), place(spike.radius, waist, a1),
                      place(spike.radius, shoulder, a1), place(spike.radius, shoulder, a0), 1,
                      0.6f);
            mesh.triangle(place(0, spike.length, 0), place(spike.radius, waist, a0),
                          place(spike.radius, waist, a1), {0.5f, 0}, {0, 0.3f}, {1, 0.3f});
        }
    }
    model.nodes = {cluster};
    return model;
}
