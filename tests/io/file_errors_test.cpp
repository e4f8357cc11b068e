// The "<what> - <path>" lines: their control characters escaped, and within one scene load each
// line once however often a file asks for it.

#include "io/file_errors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string reportedLines(void (*report)()) {
    testing::internal::CaptureStderr();
    report();
    return testing::internal::GetCapturedStderr();
}

TEST(FileErrors, LinesEscapeControlCharactersAndKeepOrdinaryNames) {
    EXPECT_EQ(reportedLines([] {
                  reportFileError("File too large", "data\\texture\\wall.bmp");
                  reportFileError("Can't open", "a\x1b[31m\nforged - line\x9b");
              }),
              "File too large - data\\texture\\wall.bmp\n"
              "Can't open - a\\x1b[31m\\x0aforged - line\\x9b\n");
}

void reportEachTwice() {
    for (int i = 0; i < 2; ++i) {
        reportFileError("Can't open", "a.omd");
        reportFileError("Can't open", "b.omd");
        reportFileError("Out of memory", "a.omd");
    }
}

TEST(FileErrors, ALoadWritesEachLineOnceAndTheNextLoadAgain) {
    const std::string once = "Can't open - a.omd\nCan't open - b.omd\nOut of memory - a.omd\n";
    for (int load = 0; load < 2; ++load) {
        EXPECT_EQ(reportedLines([] {
                      const FileErrorsOncePerLoad scope;
                      reportEachTwice();
                  }),
                  once);
    }
    // Outside a load nothing is remembered.
    EXPECT_EQ(reportedLines(reportEachTwice), once + once);
}

// A result's line goes to its channel; a message box is left to the reader, and a file that was
// read says nothing.
TEST(FileErrors, EachFailureIsToldOnItsChannel) {
    const FailureText toStandardOutput{Failure::cannotOpen, Channel::standardOutput, "Not found"};
    const FailureText inABox{Failure::unsupported, Channel::messageBox, "Unknown %s format."};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(reported(toStandardOutput, "a\x1b.tga").kind(), Failure::cannotOpen);
    EXPECT_EQ(reported(kFileTooLarge, "b.omd").kind(), Failure::tooLarge);
    const ReadResult boxed = reported({inABox, {"DIB"}}, "c.bmp");
    reported(ReadResult(), "d.gnd");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "The file is larger than 256 MiB - b.omd\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Not found - a\\x1b.tga\n");
    EXPECT_EQ(boxed.reason(), "Unknown DIB format.");

    // A reader that tells a failure to open in its own words keeps the kind, and leaves refusals
    // as they are.
    const FailureText own{Failure::cannotOpen, Channel::standardError, "Cannot open the ground"};
    const ReadResult unreadable = unreadFileResult(kUnreadableFile, own);
    EXPECT_EQ(unreadable.kind(), Failure::unreadable);
    EXPECT_EQ(unreadable.reason(), "Cannot open the ground");
    EXPECT_EQ(unreadFileResult(kNotRegularFile, own).reason(), "Not a regular file");
}

}  // namespace
