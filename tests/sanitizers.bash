# The sanitizers' options for the tests of build-sanitize/: leaks count as errors, except the
# allocations Mesa keeps for the life of the process (lsan.supp), and the first error ends the
# program with its stack. scripts/test sources this; source it to run those tests yourself.
suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
unset suppressions
