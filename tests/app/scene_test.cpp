#include <gtest/gtest.h>

#include <filesystem>

#include "app/scene.h"
#include "app/window.h"
#include "formats/byte_writer.h"
#include "formats/ground_writer.h"
#include "formats/image_writer.h"
#include "formats/world_writer.h"
#include "platform/gl.h"
#include "shell_test.h"

namespace {

TEST(SceneMode, ChosenByTheExactCaseOfTheLastThreeCharacters) {
    EXPECT_EQ(sceneModeOf("a.gnd"), SceneMode::ground);
    EXPECT_EQ(sceneModeOf("A.GND"), SceneMode::ground);
    EXPECT_EQ(sceneModeOf("gnd"), SceneMode::ground);
    EXPECT_EQ(sceneModeOf("a.Gnd"), SceneMode::model);
    EXPECT_EQ(sceneModeOf("b.rsw"), SceneMode::world);
    EXPECT_EQ(sceneModeOf("B.RSW"), SceneMode::world);
    EXPECT_EQ(sceneModeOf("xrsw"), SceneMode::world);
    EXPECT_EQ(sceneModeOf("b.Rsw"), SceneMode::model);
    EXPECT_EQ(sceneModeOf("nd"), SceneMode::model);
    EXPECT_EQ(sceneModeOf(""), SceneMode::model);
}

TEST(SceneMode, OnACommandLineByTheEndingInAnyLetterCase) {
    EXPECT_EQ(sceneModeOfAnyCase("Valley.Gnd"), SceneMode::ground);
    EXPECT_EQ(sceneModeOfAnyCase("x.rSW"), SceneMode::world);
    EXPECT_EQ(sceneModeOfAnyCase("m.OMD"), SceneMode::model);
    EXPECT_EQ(sceneModeOfAnyCase("d"), SceneMode::model);
}

using SceneTest = ShellTest;

// Where the current model-view matrix puts a point.
Vector3 transformed(Vector3 p) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

void expectPoint(Vector3 actual, Vector3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

TEST_F(SceneTest, SetUpFixesClearDepthFogAndHints) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    EXPECT_TRUE(appState().groundMode);
    EXPECT_FALSE(appState().worldMode);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<GLfloat>(clear, clear + 4), (std::vector<GLfloat>{1, 1, 1, 0}));
    GLint value;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    for (GLenum off : {GL_LIGHTING, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE}) {
        EXPECT_FALSE(glIsEnabled(off)) << off;
    }
    glGetIntegerv(GL_FOG_MODE, &value);
    EXPECT_EQ(value, GL_EXP2);
    GLfloat fog[4];
    glGetFloatv(GL_FOG_COLOR, fog);
    EXPECT_EQ(std::vector<GLfloat>(fog, fog + 4), (std::vector<GLfloat>{1, 1, 1, 1}));
    glGetFloatv(GL_FOG_DENSITY, fog);
    EXPECT_FLOAT_EQ(fog[0], 0.002f);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    GLdouble depth;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_DOUBLE_EQ(depth, 1.0);
}

TEST_F(SceneTest, GroundSceneOriginLiesBelowTheCameraWithZMirrored) {
    useGroundScene();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    appState().camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    renderFrame();
    expectPoint(transformed({0, 0, 0}), {0, -50, -1});
    expectPoint(transformed({0, 0, 1}), {0, -50, -2});
    // The frame is cleared to white and swapped.
    GLubyte pixel[4];
    glReadPixels(320, 400, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(headless.callCount(Operation::SwapBuffers), 1u);
}

TEST_F(SceneTest, ModelSceneMakesOneModelPerNameLoadsTheFirstAndPutsIt101UnitsAhead) {
    useModelScene(3);
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    ASSERT_EQ(appState().models.size(), 3u);
    EXPECT_EQ(appState().models[0].nodes.size(), 1u);
    EXPECT_EQ(appState().models[1].nodes.size(), 0u);
    EXPECT_EQ(appState().models[2].nodes.size(), 0u);
    EXPECT_FALSE(appState().groundMode || appState().worldMode);
    appState().camera.setCamera(0, 0, 1, 0, 0, 0, 0, 1, 0);
    renderFrame();
    expectPoint(transformed({0, 0, 0}), {0, 0, -101});
    expectPoint(transformed({0, 0, 1}), {0, 0, -102});

    // A second set-up makes a new array and loads the first model again.
    closeWindow();
    ASSERT_EQ(openWindow("again", 640, 480, 16, false), 1);
    EXPECT_EQ(appState().models.size(), 3u);
    EXPECT_EQ(appState().models[0].nodes.size(), 1u);
    EXPECT_TRUE(headless.messageBoxes.empty());
}

TEST_F(SceneTest, AWorldShowsItsProgressInTheWindowTitle) {
    ASSERT_TRUE(
        writeGroundFile((folder.path() / "data" / "g.gnd").string(), flatGround(2, 2, "none.bmp")));
    WorldFileDescription world;
    world.groundName = "g.gnd";
    world.placements = {{"m1"}, {"m2"}};
    const std::string path = (folder.path() / "scene.rsw").string();
    ASSERT_TRUE(writeWorldFile(path, world));
    appState().dataRoot = folder.string();
    appState().names = {path};
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    EXPECT_EQ(headless.titles,
              (std::vector<std::string>{
                  "ORVALIS", "Orvalis : Loading Ground", "Orvalis : Loading Models (1\\2) : m1",
                  "Orvalis : Loading Models (2\\2) : m2", "Orvalis : Displaying"}));
    EXPECT_TRUE(headless.messageBoxes.empty());
}

// Each set-up loads the scene within the budgets the shell keeps, into a SceneLoad of its own: two
// names of one texture share it, one past the budget is left out, and a second set-up loads them
// again into its new context.
TEST_F(SceneTest, EachSetUpLoadsItsTexturesOnceWithinTheShellsBudgets) {
    const std::filesystem::path textures = folder.path() / "data" / "texture";
    ASSERT_TRUE(
        writeFile((textures / "small.bmp").string(), bmpFile(BmpPicture{2, 2, {1, 2, 3, 4}, {}})));
    ASSERT_TRUE(writeFile((textures / "large.bmp").string(),
                          bmpFile(BmpPicture{4, 4, std::vector<std::uint32_t>(16), {}})));
    GroundFile ground = flatGround(2, 2, "small.bmp");
    ground.textureNames = {"small.bmp", "SMALL.BMP", "large.bmp"};
    const std::string path = (folder.path() / "scene.gnd").string();
    ASSERT_TRUE(writeGroundFile(path, ground));
    appState().dataRoot = folder.string();
    appState().names = {path};
    appState().loadBudgets.texturePixels = 10;
    for (const char* title : {"ORVALIS", "again"}) {
        testing::internal::CaptureStderr();
        ASSERT_EQ(openWindow(title, 640, 480, 16, false), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "The image passes the scene's texture budget - " + folder.string() +
                      "\\data\\texture\\large.bmp\n");
        const std::vector<GLuint>& names = appState().ground.textures;
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(names[1], names[0]);
        glBindTexture(GL_TEXTURE_2D, names[0]);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 2) << title;
        glBindTexture(GL_TEXTURE_2D, names[2]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 0) << title;
        closeWindow();
    }
}

TEST_F(SceneTest, ASceneFileThatDidNotLoadIsShownAndTheEmptySceneDrawn) {
    const std::pair<std::string, std::string> cases[] = {
        {"missing.omd", "Can't open "}, {"missing.gnd", "Can't open "},
        {"missing.rsw", "Can't open "}, {"damaged.gnd", "Can't read "},
        {"damaged.omd", "Can't read "}, {"damaged.rsw", "Can't read "},
        {"folder.omd", "Can't read "},  // it opens, but holds no bytes to read
    };
    folder.writeText("damaged.gnd", "not a ground");
    folder.writeText("damaged.omd", "not a model");
    folder.writeText("damaged.rsw", "not a world");
    std::filesystem::create_directory(folder.path() / "folder.omd");
    for (const auto& [name, failure] : cases) {
        SCOPED_TRACE(name);
        const std::string path = (folder.path() / name).string();
        const std::string message = failure + path;
        appState() = AppState{};
        appState().dataRoot = folder.string();
        appState().names = {path};
        appState().modelLogPath = (folder.path() / kModelLogName).string();
        headless.messageBoxes.clear();
        ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
        ASSERT_EQ(headless.messageBoxes.size(), 1u);
        EXPECT_EQ(headless.messageBoxes[0].text, message);
        EXPECT_EQ(headless.messageBoxes[0].caption, "Error");
        EXPECT_EQ(headless.messageBoxes[0].type, win32::MB_OK);
        renderFrame();  // draws nothing, without touching a model that has no nodes
        GLubyte pixel[4];
        glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[1], 255);
        closeWindow();
    }
}

}  // namespace
