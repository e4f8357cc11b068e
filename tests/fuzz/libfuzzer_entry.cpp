// The libFuzzer entry of one fuzz program; ORVALIS_FUZZ_TARGET names the reader it drives.

#include <cstdio>
#include <cstdlib>

#include "fuzz_targets.h"

namespace {

const FuzzTarget& chosenTarget() {
    const FuzzTarget* target = findFuzzTarget(ORVALIS_FUZZ_TARGET);
    if (target == nullptr) {
        std::fprintf(stderr, "no fuzz target named %s\n", ORVALIS_FUZZ_TARGET);
        std::abort();
    }
    return *target;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzTarget& target = chosenTarget();
    target.entry(FuzzBytes(data, size));
    return 0;
}
