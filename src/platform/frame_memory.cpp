#include "platform/frame_memory.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int kKeptBytes = 64 << 20;
// Blocks up to this size come from the heap, as they do once glibc has raised its own threshold;
// setting the kept memory stops glibc raising it, and larger blocks would each be mapped anew.
constexpr int kLargestHeapBlock = 32 << 20;

}  // namespace

void keepFreedMemoryBetweenFrames() {
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
#endif
}
