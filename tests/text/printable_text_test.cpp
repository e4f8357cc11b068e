#include <gtest/gtest.h>

#include <string>

#include "text/printable_text.h"

namespace {

using namespace std::string_literals;

TEST(PrintableText, ControlCharactersAreEscapedAndEverythingElseKept) {
    // C0, DEL, and a NUL inside the text.
    EXPECT_EQ(printableText("a\x1b[2Jb\n1 999 forged.omd\x7f"s + '\0' + "z"),
              "a\\x1b[2Jb\\x0a1 999 forged.omd\\x7f\\x00z");
    // C1 as UTF-8 (CSI is U+009B) and as a lone byte.
    EXPECT_EQ(printableText("x\xc2\x9b"
                            "31my\x9b"
                            "0m"),
              "x\\xc2\\x9b31my\\x9b0m");
    // Letters of UTF-8 and of a legacy code page, and the backslashes of data paths, stay.
    EXPECT_EQ(printableText("data\\texture\\\xc3\xa9t\xc3\xa9.bmp"),
              "data\\texture\\\xc3\xa9t\xc3\xa9.bmp");
    EXPECT_EQ(printableText("\xb5\xe7\xbb\xfa.bmp"), "\xb5\xe7\xbb\xfa.bmp");
    EXPECT_EQ(printableText("\xe2\x82\xac \xf0\x9f\x8c\xb2"), "\xe2\x82\xac \xf0\x9f\x8c\xb2");
    // A sequence cut short is bytes on their own.
    EXPECT_EQ(printableText("\xe2\x82"), "\xe2\\x82");
    EXPECT_EQ(printableText(""), "");
}

}  // namespace
