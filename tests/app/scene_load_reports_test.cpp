// What a scene load tells about a hostile scene: however often its files name the same broken
// texture, each line once and only a few boxes, the rest counted when the load ends.

#include <gtest/gtest.h>

#include <string>

#include "app/window.h"
#include "formats/model_writer.h"
#include "io/input_limits.h"
#include "shell_test.h"

namespace {

using SceneLoadReportsTest = ShellTest;

TEST_F(SceneLoadReportsTest, EachLineOnceAndAFewBoxesPerLoad) {
    const std::string scene = useModelScene();
    folder.writeText("data/texture/huge.bmp", "BM");
    ASSERT_TRUE(folder.extend("data/texture/huge.bmp", kMaxDataFileBytes + 1));
    ModelFileNode node;
    node.name = "root";
    node.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    node.texCoords = {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    node.faces = {modelFace({0, 1, 2}, {0, 1, 2})};
    ModelFile model;
    model.nodes = {node};
    model.textureNames = {"huge.bmp", "a.xyz", "b.xyz", "huge.bmp", "c.xyz", "d.xyz", "e.xyz"};
    ASSERT_TRUE(writeModelFile(scene, model));

    testing::internal::CaptureStderr();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, false), 1);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxesCaptioned("Error"), kShownBoxesPerCaption);
    const std::string hugeLine =
        std::string(kFileTooLarge.text) + " - " + folder.string() + "\\data\\texture\\huge.bmp\n";
    EXPECT_EQ(errors.find(hugeLine), errors.rfind(hugeLine)) << errors;
    EXPECT_NE(errors.find(hugeLine), std::string::npos) << errors;
    EXPECT_TRUE(
        errors.ends_with("Error: Unknown texture type\nError: Unknown texture type\n"
                         "2 more messages not shown\n"))
        << errors;
}

}  // namespace
