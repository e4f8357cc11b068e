#include "platform/headless_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "headless_test_platform.h"

namespace {

TEST(HeadlessHost, WithoutADisplayItAnswersForItself) {
    HeadlessHost host;
    ASSERT_TRUE(host.warpCursor(320, 240));
    CursorPoint cursor;
    ASSERT_TRUE(host.readCursor(cursor));
    EXPECT_EQ(cursor.x, 320);
    EXPECT_EQ(cursor.y, 240);
    EXPECT_FALSE(host.keyHeld('W'));
    EXPECT_EQ(host.messageBox(nullptr, "Go on?", "Question", win32::MB_YESNO), win32::IDYES);
    EXPECT_EQ(host.messageBox(nullptr, "Done.", "ERROR", win32::MB_OK | win32::MB_ICONSTOP),
              win32::IDOK);
    std::vector<WindowMessage> events;
    host.takeEvents(events);
    EXPECT_TRUE(events.empty());
    const auto modes = host.displayModes();
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].width, 640);
    EXPECT_EQ(modes[1].height, 768);

    // The clock is the system's: it goes on by itself.
    const std::uint32_t before = host.milliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(static_cast<std::uint32_t>(host.milliseconds() - before), 20u);
}

}  // namespace
