#include "scripted_platform.h"

#include <gtest/gtest.h>

#include "headless_test_platform.h"

namespace {

TEST(ScriptedPlatform, CountsEveryCallButKeepsOnlyTheLatestInOrder) {
    HeadlessTestPlatform scripted;
    for (int i = 0; i < 1000; ++i) {
        scripted.getKeyState('W');
    }
    scripted.getFocus();
    EXPECT_EQ(scripted.callCount(Operation::GetKeyState), 1000u);
    EXPECT_EQ(scripted.callCount(Operation::GetFocus), 1u);
    ASSERT_EQ(scripted.recentCalls().size(), ScriptedPlatform::kRecentCalls);
    EXPECT_EQ(scripted.recentCalls().front(), Operation::GetKeyState);
    EXPECT_EQ(scripted.recentCalls().back(), Operation::GetFocus);
    EXPECT_STREQ(operationName(Operation::GetFocus), "GetFocus");

    scripted.clearCalls();
    EXPECT_EQ(scripted.callCount(Operation::GetKeyState), 0u);
    EXPECT_TRUE(scripted.recentCalls().empty());
}

}  // namespace
