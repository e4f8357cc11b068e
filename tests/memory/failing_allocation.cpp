// The replacement lives in a file of its own: where the compiler sees these bodies beside a
// new-expression it takes the malloc and free inside them for a mismatched pair.

#include "failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local long allocationsUntilFailure = 0;  // 0: none fails

void* allocate(std::size_t size) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void armAllocationFailure(long n) {
    allocationsUntilFailure = n;
}

bool disarmAllocationFailure() {
    const bool failed = allocationsUntilFailure == 0;
    allocationsUntilFailure = 0;
    return failed;
}

// Every form of new and delete but the aligned ones is replaced, so that no block passes between
// this allocator and the one the program would have had (the sanitizers' among them). Only the
// throwing forms fail.

void* operator new(std::size_t size) {
    if (allocationsUntilFailure > 0 && --allocationsUntilFailure == 0) {
        throw std::bad_alloc();
    }
    if (void* block = allocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
