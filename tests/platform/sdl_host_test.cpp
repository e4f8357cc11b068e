#include <SDL2/SDL_keycode.h>
#include <gtest/gtest.h>

#include "platform/sdl_host.h"

namespace {

TEST(SdlKeys, KeypadDigitsAreArrowsWithNumLockOffAndNumpadKeysWithItOn) {
    EXPECT_EQ(virtualKeyOf(SDLK_KP_8, false), win32::VK_UP);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_2, false), win32::VK_DOWN);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_4, false), win32::VK_LEFT);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_6, false), win32::VK_RIGHT);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_5, false), 0);

    EXPECT_EQ(virtualKeyOf(SDLK_KP_0, true), 0x60);  // VK_NUMPAD0
    EXPECT_EQ(virtualKeyOf(SDLK_KP_1, true), 0x61);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_8, true), 0x68);
    EXPECT_EQ(virtualKeyOf(SDLK_KP_9, true), 0x69);

    // The other keys do not depend on NumLock.
    for (const bool numLock : {false, true}) {
        EXPECT_EQ(virtualKeyOf(SDLK_UP, numLock), win32::VK_UP);
        EXPECT_EQ(virtualKeyOf(SDLK_w, numLock), 'W');
        EXPECT_EQ(virtualKeyOf(SDLK_7, numLock), '7');
        EXPECT_EQ(virtualKeyOf(SDLK_F3, numLock), win32::VK_F3);
        EXPECT_EQ(virtualKeyOf(SDLK_KP_ENTER, numLock), 0);
    }
}

}  // namespace
