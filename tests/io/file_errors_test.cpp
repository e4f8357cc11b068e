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

}  // namespace
