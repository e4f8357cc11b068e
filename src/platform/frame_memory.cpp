#include "platform/frame_memory.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int kKeptBytes = 64 << 20;

}  // namespace

void keepFreedMemoryBetweenFrames() {
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
#endif
}
