#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/argument_file.h"
#include "app/scene.h"
#include "shell_test.h"
#include "without_waiting.h"

namespace {

TEST(ArgumentFileText, LinesLoseTheirLineBreakAndNothingElse) {
    auto parsed = parseArgumentFile("C:\\game\na.rsw\nb.gnd\nc.omd\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->dataRoot, "C:\\game");
    EXPECT_EQ(parsed->names, (std::vector<std::string>{"a.rsw", "b.gnd", "c.omd"}));

    // The last line keeps every character without a line break; Windows line ends work.
    parsed = parseArgumentFile("root\r\na.rsw\r\nb.gnd\r\nx.rsw");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->dataRoot, "root");
    EXPECT_EQ(parsed->names, (std::vector<std::string>{"a.rsw", "b.gnd", "x.rsw"}));

    // A blank line in the middle is an empty name that counts.
    parsed = parseArgumentFile("root\na\n\nb\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->names, (std::vector<std::string>{"a", "", "b"}));

    EXPECT_FALSE(parseArgumentFile(""));
    parsed = parseArgumentFile("root only");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->dataRoot, "root only");
    EXPECT_TRUE(parsed->names.empty());
}

TEST(ArgumentFileText, LongLinesAndManyNamesStayWithinTheTable) {
    std::string text = "root\n";
    for (int i = 0; i < 60; ++i) {
        text += "name" + std::to_string(i) + "\n";
    }
    auto parsed = parseArgumentFile(text);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->names.size(), kMaxNames);
    EXPECT_EQ(parsed->names.back(), "name49");

    // A line longer than a read takes continues as the next name.
    parsed = parseArgumentFile("root\n" + std::string(1500, 'x') + "\n");
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->names.size(), 2u);
    EXPECT_EQ(parsed->names[0].size(), 1023u);
    EXPECT_EQ(parsed->names[1].size(), 477u);
}

// A line ends at its first NUL, so the scene's kind comes from the name that is opened.
TEST(ArgumentFileText, LinesEndAtTheirFirstNul) {
    using namespace std::string_literals;
    const auto parsed = parseArgumentFile("root\0\\elsewhere\nvalley.gnd\0.rsw\r\n\0b.omd\nc\0\0"s);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->dataRoot, "root");
    EXPECT_EQ(parsed->names, (std::vector<std::string>{"valley.gnd", "", "c"}));
    EXPECT_EQ(sceneModeOf(parsed->names.front()), SceneMode::ground);
}

std::string withCrLf(const std::string& lfText) {
    std::string crlf;
    for (const char c : lfText) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return crlf;
}

// A file written with CR LF breaks reads as its LF twin, also where a line fills or overfills a
// read of 1023 characters.
TEST(ArgumentFileText, CrLfBreaksReadAsTheirLfTwin) {
    std::vector<std::string> lines = {"", "r", "name.rsw"};
    for (std::size_t length = 1021; length <= 1024; ++length) {
        lines.push_back(std::string(length, 'a' + char(length % 26)));
    }
    for (const std::string& root : lines) {
        for (const std::string& name : lines) {
            for (const char* last : {"", "\n", "\nlast", "\n\nlast\n"}) {
                const std::string lf = root + "\n" + name + last;
                const auto fromLf = parseArgumentFile(lf);
                const auto fromCrLf = parseArgumentFile(withCrLf(lf));
                ASSERT_TRUE(fromLf && fromCrLf);
                EXPECT_EQ(fromCrLf->dataRoot, fromLf->dataRoot)
                    << root.size() << " " << name.size();
                EXPECT_EQ(fromCrLf->names, fromLf->names) << root.size() << " " << name.size();
            }
        }
    }
}

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
