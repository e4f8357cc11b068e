#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <fstream>

#include "app/argument_file.h"
#include "app/viewer.h"
#include "app/window.h"
#include "demo/demo_scene.h"
#include "platform/gl.h"
#include "shell_test.h"

// Present only under AddressSanitizer: empties its quarantine of freed memory and gives it back.
extern "C" void __sanitizer_purge_allocator() __attribute__((weak));

namespace {

// Resident memory of the process in bytes, once the allocator has given back the free memory it
// holds: glibc keeps freed chunks scattered through its heap, AddressSanitizer keeps them in a
// quarantine before they can be used again. Either way only memory in use counts.
std::size_t residentBytes() {
    if (__sanitizer_purge_allocator != nullptr) {
        __sanitizer_purge_allocator();
    } else {
        malloc_trim(0);
    }
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

using SceneReload = ShellTest;

TEST_F(SceneReload, FiftyReloadsOfTheDemoWorldKeepMemoryAndGlClean) {
    ASSERT_TRUE(writeDemoScene(folder.string()));
    ASSERT_TRUE(readArgumentFile((folder.path() / "world").string()));
    AppState& app = appState();
    ASSERT_EQ(openWindow("ORVALIS", 640, 480, 16, true), 1);

    std::size_t afterFirst = 0;
    std::size_t afterLast = 0;
    for (int reload = 1; reload <= 50; ++reload) {
        SCOPED_TRACE(reload);
        windowProc(app.window, win32::WM_KEYDOWN, win32::VK_F1, 0);
        windowProc(app.window, win32::WM_KEYUP, win32::VK_F1, 0);
        ASSERT_TRUE(handleControlKeys());
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        ASSERT_EQ(app.world.models.size(), 6u);
        // Read after every reload: what was freed goes back before the next load, which then
        // reuses it as a program without a quarantine would.
        afterLast = residentBytes();
        if (reload == 1) {
            afterFirst = afterLast;
        }
    }
    EXPECT_LE(afterLast, afterFirst + afterFirst / 10)
        << afterLast / 1024 << " kB after the last reload, " << afterFirst / 1024
        << " kB after the first";
    EXPECT_EQ(headless.liveWindowCount(), 1u);
}

}  // namespace
