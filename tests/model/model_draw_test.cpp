#include <gtest/gtest.h>

#include <filesystem>

#include "formats/byte_writer.h"
#include "formats/image_writer.h"
#include "model_draw_fixture.h"
#include "scratch_folder.h"

namespace {

class ModelDraw : public ModelDrawTest {
  protected:
    std::vector<FeedbackPolygon> drawRecorded(Model& model, std::array<float, 9> placement) {
        GLint depthBefore = 0, depthAfter = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
        auto polygons = recordFeedback([&] {
            model.draw(placement[0], placement[1], placement[2], placement[3], placement[4],
                       placement[5], placement[6], placement[7], placement[8]);
        });
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
        EXPECT_EQ(depthAfter, depthBefore);
        Matrix4 after{};
        glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
        const Matrix4 identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        EXPECT_EQ(after, identity) << "the caller's matrix is left as found";
        return polygons;
    }

    GLuint solidTexture(std::array<GLubyte, 4> rgba) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return texture;
    }
};

}  // namespace

TEST_F(ModelDraw, OneNodeModelTransformsInOrder) {
    ModelFile file;
    file.nodes = {triangleNode("only", "", {1, 0, 0}, {0, 2, 0}, {0, 0, 4})};
    NodeTransform& t = file.nodes[0].transform;
    std::fill(std::begin(t.matrix), std::end(t.matrix), 0.0f);
    t.matrix[1] = t.matrix[3] = t.matrix[8] = 1;  // swaps x and y
    t.offset = {5, 5, 5};
    t.position = {7, 7, 7};
    t.rotationAngle = radiansFor(90);
    t.rotationAxis = {0, 0, 1};
    t.scale = {2, 1, 1};
    Model model = parsedModel(file);
    const ModelNode& node = model.nodes[0];

    const auto polygons = drawRecorded(model, {1, 2, 0.5f, 90, 90, 90, 1, 0.5f, 1});
    const Vector3 centre = model.centre;
    const Step toScene = chain({
        matrixOf(node),
        moveBy({-centre.x, -centre.y, -centre.z}),
        turnZ,
        moveBy({0, centre.y - model.maxBound.y, 0}),
        scaleBy(t.scale),
        scaleBy({1, -0.5f, 1}),
        turnZ,
        turnY,
        turnX,
        moveBy({1, -2, 0.5f}),
    });
    ASSERT_EQ(polygons.size(), 1u);
    expectFace(polygons[0], node, toScene, "one-node root");

    // The normal follows the third vertex, from the corners in stored order: (v2-v0) x (v1-v0).
    Vector3 normal;
    glGetFloatv(GL_CURRENT_NORMAL, &normal.x);
    expectNear(normal, normalize({-8, -4, -2}), 1e-6f, "normal");
}

TEST_F(ModelDraw, NodeTreeTransformsInOrder) {
    ModelFile file;
    file.nodes = {triangleNode("root", "", {0, 0, 0}, {1, 0, 0}, {0, 1, 1}),
                  triangleNode("arm", "root", {0, 0, 0}, {0, 1, 0}, {1, 0, 1}),
                  triangleNode("hand", "arm", {1, 1, 0}, {0, 1, 0}, {0, 0, 1})};
    NodeTransform& root = file.nodes[0].transform;
    root.matrix[0] = 0.5f;
    root.offset = {0.5f, 0, 0};
    root.position = {3, 3, 3};  // counts in the bounds only
    root.rotationAngle = radiansFor(90);
    root.rotationAxis = {1, 0, 0};
    root.scale = {1, 2, 1};
    NodeTransform& arm = file.nodes[1].transform;
    arm.offset = {0, 1, 0};
    arm.position = {1, 0, 0};
    arm.rotationAngle = 1;  // the key frames turn this node instead
    arm.rotationAxis = {0, 1, 0};
    file.nodes[1].keyFrames = {{0, {0, 0, kHalfRoot, kHalfRoot}}, {1000, {0, 0, 0, 1}}};
    NodeTransform& hand = file.nodes[2].transform;
    hand.offset = {0, 0, 1};
    hand.position = {0, 2, 0};
    hand.rotationAngle = radiansFor(90);
    hand.rotationAxis = {0, 0, 1};
    hand.scale = {0.5f, 0.5f, 0.5f};
    Model model = parsedModel(file);

    const auto polygons = drawRecorded(model, {0, 0, 0, 0, 0, 0, 1, 1, 1});
    const Vector3 centre = model.centre;
    const Step placement = scaleBy({1, -1, 1});
    const Step rootFrame = chain(
        {turnX, moveBy({-centre.x, -model.maxBound.y, -centre.z}), scaleBy(root.scale), placement});
    const Step armFrame = chain({turnZ, moveBy(arm.position), rootFrame});
    const Step handFrame = chain({turnZ, moveBy(hand.position), scaleBy(hand.scale), armFrame});
    ASSERT_EQ(polygons.size(), 3u);
    expectFace(polygons[0], model.nodes[0],
               chain({matrixOf(model.nodes[0]), moveBy(root.offset), rootFrame}), "root");
    expectFace(polygons[1], model.nodes[1], chain({moveBy(arm.offset), armFrame}), "child");
    expectFace(polygons[2], model.nodes[2], chain({moveBy(hand.offset), handFrame}), "grandchild");
    EXPECT_EQ(model.nodes[1].animTime, 100);
    EXPECT_EQ(model.nodes[2].animTime, 0);
}

TEST_F(ModelDraw, NodeAnglesTurnIntoDegreesByTheFactorOfTheFiles) {
    // Of 5000 radians, 180 / 3.14159 makes 286479.14 degrees and 180 / pi 286478.90: the quarter
    // of a degree between them shows in the matrix that the node leaves for its children.
    constexpr float kAngle = 5000;
    ModelFile file;
    file.nodes = {pointNode("root", ""), pointNode("arm", "root")};
    file.nodes[1].transform.rotationAngle = kAngle;
    file.nodes[1].transform.rotationAxis = {0, 0, 1};
    Model model = parsedModel(file);
    model.nodes[1].draw(false, {model.maxBound, model.minBound, model.centre});
    Matrix4 forChildren{};
    glGetFloatv(GL_MODELVIEW_MATRIX, forChildren.data());

    glLoadIdentity();
    glRotatef(static_cast<float>(kAngle * kDegreesPerRadian), 0, 0, 1);
    Matrix4 expected{};
    glGetFloatv(GL_MODELVIEW_MATRIX, expected.data());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(forChildren[i], expected[i], 1e-5f) << "element " << i;
    }
}

// One face per slot, side by side below y = 0 and centred in x, so that the root's placement only
// turns them upside down.
constexpr int kSlots = 6;
constexpr float kSlotWidth = 1.8f / kSlots;

float slotLeft(int slot) {
    return -0.9f + kSlotWidth * static_cast<float>(slot);
}

ModelFileNode slotNode(std::string name, std::string parentName,
                       std::vector<std::pair<int, std::uint16_t>> slotTextures) {
    ModelFileNode node;
    node.name = std::move(name);
    node.parentName = std::move(parentName);
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& [slot, textureIndex] : slotTextures) {
        const float x = slotLeft(slot);
        const auto first = static_cast<std::int16_t>(node.vertices.size());
        node.vertices.insert(node.vertices.end(),
                             {{x, 0, 0}, {x + kSlotWidth, 0, 0}, {x, -0.9f, 0}});
        node.faces.push_back(modelFace(
            {first, static_cast<std::int16_t>(first + 1), static_cast<std::int16_t>(first + 2)},
            {0, 1, 2}, textureIndex));
    }
    return node;
}

TEST_F(ModelDraw, EachFaceBindsAndBlendsOrAlphaTestsByItsTexture) {
    ModelFile file;
    file.textureNames = {"blue.bmp", "red.bmp", "green.tga"};
    file.nodes = {slotNode("n0", "", {{0, 0}, {1, 1}, {2, 2}, {3, 9}}),
                  slotNode("n1", "n0", {{4, 7}}), slotNode("n2", "n0", {{5, 0}})};
    file.nodes[0].textureIndices = {2, 0, 1};  // green TGA, blue BMP, red BMP
    file.nodes[1].textureIndices = {0, 2};
    Model model = parsedModel(file);
    model.textures = {solidTexture({0, 0, 255, 255}), solidTexture({255, 0, 0, 128}),
                      solidTexture({0, 255, 0, 128})};
    model.fromTga = {0, 0, 1};
    model.resolveNodeTextures();

    glClearColor(0.2f, 0.2f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    model.draw(0, 0, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "the last node has no texture entries";

    const auto seen = [&](int slot) {
        const double x = slotLeft(slot) + 0.05 - model.centre.x;
        return pixelAt(static_cast<int>((x + 1) * kWidth / 2),
                       static_cast<int>((0.05 + model.maxBound.y + 1) * kHeight / 2));
    };
    const auto near = [](std::array<GLubyte, 4> pixel, std::array<int, 3> rgb) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(pixel[c] - rgb[c]) > 8) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(near(seen(0), {51, 179, 51})) << "TGA: added with half its alpha";
    EXPECT_TRUE(near(seen(1), {0, 0, 255})) << "BMP after a TGA face: no blending";
    EXPECT_TRUE(near(seen(2), {51, 51, 51})) << "BMP with alpha 0.5: fails the alpha test";
    EXPECT_TRUE(near(seen(3), {51, 51, 51})) << "out of range: the previous face's entry";
    EXPECT_TRUE(near(seen(4), {0, 0, 255})) << "first face out of range: entry 0";
    EXPECT_FALSE(near(seen(5), {51, 51, 51})) << "no texture entries: drawn untextured";
}

TEST_F(ModelDraw, EachNodeIsDrawnOnceAndEveryDrawAdvancesItsClock) {
    ModelFile file;
    file.nodes = {pointNode("a", "b", {1, 0, 0}), pointNode("b", "a", {2, 0, 0})};
    file.nodes[0].vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    file.nodes[1].vertices = file.nodes[0].vertices;
    file.nodes[1].keyFrames = {{0, {0, 0, 0, 1}}, {5000, {0, 0, 0, 1}}};
    Model model = parsedModel(file);
    ASSERT_EQ(model.parentIndex, (std::vector<std::int32_t>{1, 0}));

    EXPECT_EQ(drawRecorded(model, {0, 0, 0, 0, 0, 0, 1, 1, 1}).size(), 2u);
    EXPECT_EQ(model.nodes[1].animTime, 100);
    for (int placement = 0; placement < 3; ++placement) {
        drawRecorded(model, {static_cast<float>(placement), 0, 0, 0, 0, 0, 1, 1, 1});
    }
    EXPECT_EQ(model.nodes[1].animTime, 400);

    Model empty;
    EXPECT_TRUE(drawRecorded(empty, {0, 0, 0, 0, 0, 0, 1, 1, 1}).empty());
}

// A model that names one missing TGA a thousand times looks for it and reports it once; every
// entry of its texture table is the one checkerboard.
TEST_F(ModelDraw, ANameRepeatedAThousandTimesLoadsOnce) {
    const ScratchFolder scratch;
    const std::filesystem::path& root = scratch.path();
    ModelFile file;
    file.textureNames = std::vector<std::string>(1000, "missing.tga");
    file.nodes = {pointNode("a", "")};
    const std::string path = (root / "model.omd").string();
    ASSERT_TRUE(writeModelFile(path, file));
    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad scene(textures);
    Model model;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(model.load(root.c_str(), path.c_str(), scene));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "File not found - " + root.string() + "\\data\\texture\\missing.tga\n");
    EXPECT_EQ(model.textures, std::vector<TextureName>(1000, model.textures[0]));
    glBindTexture(GL_TEXTURE_2D, model.textures[0]);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 128);
}

TEST_F(ModelDraw, LoadsTexturesAndResolvesNodeTables) {
    const std::filesystem::path root =
        std::filesystem::path(::testing::TempDir()) / "orvalis_model_load";
    std::filesystem::remove_all(root);
    ModelFile file;
    file.textureNames = {"missing.bmp", "glow.tga", "gone.tga"};
    file.nodes = {pointNode("a", "")};
    file.nodes[0].textureIndices = {1, 2, 0, 1};
    const std::string path = (root / "model.omd").string();
    ASSERT_TRUE(writeModelFile(path, file));
    const RgbaPicture glow{1, 1, {255, 255, 255, 128}};
    ASSERT_TRUE(writeFile((root / "data" / "texture" / "glow.tga").string(), tgaFile(glow)));

    TextureCapabilities textures = TextureCapabilities::ofCurrentContext();
    SceneLoad scene(textures);
    Model model;
    ASSERT_TRUE(model.load(root.c_str(), path.c_str(), scene));
    ASSERT_EQ(model.textures.size(), 3u);
    EXPECT_NE(model.textures[0], model.textures[1]);
    EXPECT_EQ(model.fromTga, (std::vector<std::uint8_t>{0, 1, 0}));
    const ModelNode& node = model.nodes[0];
    EXPECT_EQ(node.textures, (std::vector<GLuint>{model.textures[1], model.textures[2],
                                                  model.textures[0], model.textures[1]}));
    EXPECT_EQ(node.fromTga, (std::vector<std::uint8_t>{1, 0, 0, 1}));

    Model missing;
    testing::internal::CaptureStderr();
    const ReadResult notThere = missing.load(root.c_str(), (root / "nothing.omd").c_str(), scene);
    EXPECT_FALSE(notThere);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the caller decides";
    EXPECT_EQ(notThere.kind(), Failure::cannotOpen);
    EXPECT_EQ(missing.nodes.size(), 0u);
    EXPECT_EQ(missing.textureNames.size(), 0u);

    std::vector<std::uint8_t> cut = modelFileBytes(file);
    cut.resize(40);
    const std::string cutPath = (root / "cut.omd").string();
    ASSERT_TRUE(writeFile(cutPath, cut));
    Model damaged;
    testing::internal::CaptureStderr();
    const ReadResult cutShort = damaged.load(root.c_str(), cutPath.c_str(), scene);
    EXPECT_FALSE(cutShort);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "model texture list cut short - " + cutPath + "\n");
    EXPECT_EQ(cutShort.kind(), Failure::tooShort);
    EXPECT_EQ(damaged.textureNames.size(), 0u);
    EXPECT_TRUE(damaged.textures.empty());

    // What the parser left out of a model that loads is reported by the reader.
    file.nodes[0].faces.push_back(modelFace({0, 1, 3}, {0, 1, 2}));
    ASSERT_TRUE(writeFile(path, modelFileBytes(file)));
    testing::internal::CaptureStderr();
    SceneLoad reload(textures);
    EXPECT_TRUE(model.load(root.c_str(), path.c_str(), reload));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "model node 0: 1 of 2 faces skipped, indices out of range - " + path + "\n");
    EXPECT_EQ(model.nodes[0].faces.size(), 1u);
}
