#include "shell_test.h"

#include <algorithm>

#include "app/window.h"
#include "formats/ground_writer.h"
#include "formats/model_writer.h"

void ShellTest::SetUp() {
    usePlatform(headless);
    appState() = AppState{};
    headless.currentDirectory = folder.string();
    appState().modelLogPath = (folder.path() / kModelLogName).string();
}

void ShellTest::TearDown() {
    if (appState().window != nullptr) {
        closeWindow();
    }
    appState() = AppState{};
}

std::string ShellTest::useGroundScene() {
    const std::string path = (folder.path() / "scene.gnd").string();
    EXPECT_TRUE(writeGroundFile(path, flatGround(2, 2, "none.bmp")));
    appState().dataRoot = folder.string();
    appState().names = {path};
    return path;
}

std::string ShellTest::useModelScene(int nameCount) {
    ModelFile model;
    ModelFileNode node;
    node.name = "root";
    node.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
    model.nodes = {node};
    const std::string path = (folder.path() / "scene.omd").string();
    EXPECT_TRUE(writeModelFile(path, model));
    appState().dataRoot = folder.string();
    appState().names.assign(static_cast<std::size_t>(nameCount), "other.omd");
    appState().names.front() = path;
    return path;
}

void ShellTest::writeArgumentFile(const std::string& text) const {
    folder.writeText("orvalis.arg", text);
}

int ShellTest::boxesCaptioned(const std::string& caption) const {
    return static_cast<int>(std::count_if(headless.messageBoxes.begin(),
                                          headless.messageBoxes.end(),
                                          [&](const auto& box) { return box.caption == caption; }));
}
