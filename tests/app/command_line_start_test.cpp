// A start with a scene on the command line, on the headless backend: what it says before the scene
// loads, and its exit codes when no window can be had.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "io/host_files.h"
#include "shell_test.h"

namespace {

class CommandLineStartTest : public ShellTest {
  protected:
    void TearDown() override {
        setMissingFileHook(nullptr);
        ShellTest::TearDown();
    }

    // Runs the viewer on the arguments; Esc ends it once its window is there. Gives the exit code
    // and keeps what it wrote on standard error in `errors`.
    int run(std::vector<std::string_view> arguments, bool terminal = true, bool display = true) {
        headless.queueMessages({{nullptr, win32::WM_KEYDOWN, win32::VK_ESCAPE, 0}});
        const Desktop desktop{[display] { return display; }, terminal};
        testing::internal::CaptureStderr();
        const int code = runCommandLine(arguments, desktop);
        errors = testing::internal::GetCapturedStderr();
        return code;
    }

    bool said(const std::string& text) const { return errors.find(text) != std::string::npos; }

    std::string errors;
};

TEST_F(CommandLineStartTest, NoDisplayOrNoWindowEndsWithOneButTheArgumentFileStartWithZero) {
    const std::string scene = useGroundScene();
    EXPECT_EQ(run({"--windowed", scene}, true, false), 1);
    EXPECT_EQ(headless.callCount(Operation::RegisterClassA), 0u);

    headless.failOperation(Operation::CreateWindowExA);
    EXPECT_EQ(run({"--windowed", "--data", folder.string(), scene}), 1);
    EXPECT_EQ(boxesCaptioned("ERROR"), 1);

    writeArgumentFile(folder.string() + "\n" + scene + "\n");
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(boxesCaptioned("ERROR"), 2);
}

TEST_F(CommandLineStartTest,
       WithoutADataFolderItSaysWhereFilesAreLookedUpInABoxWhenNoTerminalSees) {
    const std::string scene = useGroundScene();
    const std::string lookedUp = "looked up in " + folder.string() + "/data/texture and ";

    EXPECT_EQ(run({"--windowed", scene}, true), 0);
    EXPECT_TRUE(said("orvalis: No folder above " + scene + " holds a data folder. ")) << errors;
    EXPECT_TRUE(said(lookedUp)) << errors;
    EXPECT_TRUE(said("--data ROOT")) << errors;
    EXPECT_TRUE(headless.messageBoxes.empty());

    // The box comes before the window, in place of the line.
    headless.clearCalls();
    EXPECT_EQ(run({"--windowed", scene}, false), 0);
    ASSERT_EQ(boxesCaptioned("Orvalis"), 1);
    EXPECT_NE(headless.messageBoxes.front().text.find(lookedUp), std::string::npos);
    const auto& calls = headless.recentCalls();
    EXPECT_LT(std::find(calls.begin(), calls.end(), Operation::MessageBoxA),
              std::find(calls.begin(), calls.end(), Operation::RegisterClassA));
    EXPECT_FALSE(said("No folder above")) << errors;

    // With --data, or a data folder above the scene, nothing is said.
    EXPECT_EQ(run({"--windowed", "--data", folder.string(), scene}, false), 0);
    std::filesystem::create_directory(folder.path() / "Data");
    EXPECT_EQ(run({"--windowed", scene}, false), 0);
    EXPECT_EQ(boxesCaptioned("Orvalis"), 1);
    EXPECT_EQ(errors, "");
}

TEST_F(CommandLineStartTest, VerboseTellsTheDataRootAndEveryFileNotFound) {
    const std::string scene = useGroundScene();
    EXPECT_EQ(run({"--windowed", "--data", folder.string(), scene}), 0);
    EXPECT_FALSE(said("not found")) << errors;

    EXPECT_EQ(run({"--windowed", "--verbose", "--data", folder.string(), scene}), 0);
    EXPECT_TRUE(said("orvalis: data root: " + folder.string() + "\n")) << errors;
    EXPECT_TRUE(said("orvalis: not found: " + folder.string() + "/data/texture/none.bmp\n"))
        << errors;
}

}  // namespace
