#include <gtest/gtest.h>

#include "app/argument_file.h"
#include "app/scene.h"

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

}  // namespace
