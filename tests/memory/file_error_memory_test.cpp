// A line "<what> - <path>" whose writing runs out of memory still ends in a line, and throws
// nothing: it is often written because memory ran out.

#include <gtest/gtest.h>

#include <string>

#include "failing_allocation.h"
#include "io/file_errors.h"

namespace {

TEST(FileErrorMemory, EachFailingAllocationStillGivesOneLine) {
    const FileErrorsOncePerLoad load;
    for (long n = 1;; ++n) {
        const std::string path = "model\\" + std::to_string(n) + ".omd";
        testing::internal::CaptureStderr();
        armAllocationFailure(n);
        reportFileError(kOutOfMemory.text, path);
        const bool failed = disarmAllocationFailure();
        const std::string line = testing::internal::GetCapturedStderr();
        if (!failed) {
            EXPECT_EQ(line, "Out of memory - " + path + "\n");
            EXPECT_GT(n, 1);
            return;
        }
        EXPECT_EQ(line, "Out of memory\n") << "allocation " << n;
    }
}

}  // namespace
