#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/argument_file.h"
#include "shell_test.h"
#include "without_waiting.h"

namespace {

using ArgumentFileReading = ShellTest;

TEST_F(ArgumentFileReading, FillsTheStateFromTheCurrentDirectory) {
    writeArgumentFile("data\nfirst.gnd\nsecond.omd\n");
    ASSERT_TRUE(readArgumentFile());
    EXPECT_EQ(appState().dataRoot, "data");
    EXPECT_EQ(appState().names, (std::vector<std::string>{"first.gnd", "second.omd"}));
    EXPECT_TRUE(headless.messageBoxes.empty());
}

// Only the start of the file can matter, and only the start is read.
TEST_F(ArgumentFileReading, AFileOfATebibyteReadsLikeItsStart) {
    writeArgumentFile("data\nfirst.gnd\n");
    if (!folder.extend("orvalis.arg", std::uint64_t{1} << 40)) {
        GTEST_SKIP() << "the file system cannot make a sparse file of 1 TiB";
    }
    ASSERT_TRUE(readArgumentFile());
    EXPECT_EQ(appState().dataRoot, "data");
    ASSERT_EQ(appState().names.size(), kMaxNames);
    EXPECT_EQ(appState().names.front(), "first.gnd");
    EXPECT_EQ(appState().names.back(), "");  // 1023 zeros, ending at the first
}

TEST_F(ArgumentFileReading, EachFailureShowsItsMessage) {
    struct Case {
        const char* contents;  // null: no file
        std::string directory;
        const char* message;
    };
    const Case cases[] = {
        {nullptr, "", "Can't open orvalis.arg"},
        {"", "", "Can't read orvalis.arg"},
        {"data\n", "", "No file named in orvalis.arg"},
        {"data\nx.gnd\n", std::string(1020, 'd'), "Can't open orvalis.arg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ScratchFolder scratch;
        headless.currentDirectory = c.directory.empty() ? scratch.string() : c.directory;
        headless.messageBoxes.clear();
        if (c.contents != nullptr) {
            scratch.writeText("orvalis.arg", c.contents);
        }
        EXPECT_FALSE(readArgumentFile());
        ASSERT_EQ(headless.messageBoxes.size(), 1u);
        EXPECT_EQ(headless.messageBoxes[0].text, c.message);
        EXPECT_EQ(headless.messageBoxes[0].caption, "Error");
        EXPECT_EQ(headless.messageBoxes[0].type, win32::MB_OK);
        EXPECT_EQ(headless.messageBoxes[0].owner, nullptr);
    }
}

// A FIFO in its place is not waited on: it is a file that cannot be opened.
TEST_F(ArgumentFileReading, AFifoIsNotWaitedOn) {
    const std::filesystem::path fifo = folder.path() / "orvalis.arg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(withoutWaiting(fifo, [] { return static_cast<bool>(readArgumentFile()); }), false);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Can't open orvalis.arg");
}

TEST_F(ArgumentFileReading, ADirectoryThatCannotBeHadCountsAsNoFile) {
    writeArgumentFile("data\nx.gnd\n");
    headless.failOperation(Operation::GetCurrentDirectoryA);
    EXPECT_FALSE(readArgumentFile());
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Can't open orvalis.arg");
}

// A named folder's file is read without the current directory, and its relative paths start in
// that folder: the scene loads from anywhere as it would with the folder current.
TEST_F(ArgumentFileReading, ANamedFolderHoldsTheFileAndTheStartOfItsRelativePaths) {
    const ScratchFolder scene;
    scene.writeText("orvalis.arg", "..\\GameData\nmaps\\a.gnd\n/games/b.rsw\n\n");
    headless.failOperation(Operation::GetCurrentDirectoryA);
    ASSERT_TRUE(readArgumentFile(scene.string()));
    EXPECT_EQ(appState().dataRoot, scene.string() + "\\..\\GameData");
    EXPECT_EQ(appState().names,
              (std::vector<std::string>{scene.string() + "\\maps\\a.gnd", "/games/b.rsw", ""}));
    EXPECT_TRUE(headless.messageBoxes.empty());

    EXPECT_FALSE(readArgumentFile((scene.path() / "missing").string()));
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "Can't open orvalis.arg");
}

}  // namespace
