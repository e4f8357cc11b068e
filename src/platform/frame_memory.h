#pragma once
// Memory between frames. The GL driver takes the buffers of each frame it draws from the heap and
// frees them when the frame is done. The C library then gives the freed top of the heap back to
// the system, and the next frame takes it again page by page, each page faulted in and zeroed:
// about 4,000 pages a frame of the demo world through vertex arrays, a cost as large as the
// drawing itself.

// Lets the process keep up to 64 MiB of freed memory at the top of its heap for the frames that
// follow, and take blocks of up to 32 MiB from the heap, where the C library allows it (glibc);
// elsewhere it does nothing.
void keepFreedMemoryBetweenFrames();
