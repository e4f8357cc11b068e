// Replays every input that once crashed a reader, filed by target in regressions/<target>/.

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_targets.h"
#include "io/host_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path kRegressions = ORVALIS_FUZZ_REGRESSIONS;

// Each input must come back from its reader; a sanitizer build also proves it stayed in bounds.
TEST(FuzzRegressions, EveryFiledInputIsReadSafely) {
    int replayed = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(kRegressions)) {
        const std::string name = folder.path().filename().string();
        const FuzzTarget* target = findFuzzTarget(name);
        ASSERT_NE(target, nullptr) << "regression folder of no fuzz target: " << name;
        for (const fs::directory_entry& input : fs::directory_iterator(folder.path())) {
            const Result<FileBytes> file = readHostFile(input.path().string());
            ASSERT_TRUE(file) << input.path();
            SCOPED_TRACE(input.path().string());
            target->entry(*file);
            ++replayed;
        }
    }
    RecordProperty("replayed", replayed);
}

}  // namespace
