#pragma once
// This test program's operator new fails on request: once armed with n, the n-th allocation
// through operator new on the arming thread throws std::bad_alloc, and only that one.

void armAllocationFailure(long n);
// Disarms; gives whether the armed allocation was reached and failed.
bool disarmAllocationFailure();
