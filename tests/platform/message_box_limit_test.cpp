// The boxes a scene load can repeat: a few of each caption, the rest on standard error only and
// counted when the load ends; outside a load every box shows.

#include <gtest/gtest.h>

#include <string>

#include "headless_test_platform.h"

namespace {

class MessageBoxLimitTest : public ::testing::Test {
  protected:
    void SetUp() override { usePlatform(headless); }

    void showBoxes(int count, const char* caption) {
        for (int i = 0; i < count; ++i) {
            const std::string text = "box " + std::to_string(i);
            EXPECT_EQ(limitedMessageBox(nullptr, text.c_str(), caption, win32::MB_OK), win32::IDOK);
        }
    }

    int shown(const std::string& caption) const {
        int count = 0;
        for (const auto& box : headless.messageBoxes) {
            count += box.caption == caption ? 1 : 0;
        }
        return count;
    }

    HeadlessTestPlatform headless;
};

TEST_F(MessageBoxLimitTest, ALoadShowsAFewBoxesOfEachCaptionAndCountsTheRest) {
    testing::internal::CaptureStderr();
    {
        const MessageBoxLimit limit;
        showBoxes(5, "Error");
        showBoxes(1, "Warning");
        showBoxes(1, "Error");
        EXPECT_EQ(shown("Error"), kShownBoxesPerCaption);
        EXPECT_EQ(shown("Warning"), 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: box 3\nError: box 4\nError: box 0\n3 more messages not shown\n");

    // The next load starts afresh; one that hides nothing says nothing.
    testing::internal::CaptureStderr();
    {
        const MessageBoxLimit limit;
        showBoxes(kShownBoxesPerCaption, "Error");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(shown("Error"), 2 * kShownBoxesPerCaption);

    // Outside a load every box shows.
    showBoxes(5, "Error");
    EXPECT_EQ(shown("Error"), 2 * kShownBoxesPerCaption + 5);
}

TEST_F(MessageBoxLimitTest, AQuestionNotShownAnswersAsEsc) {
    const MessageBoxLimit limit;
    showBoxes(kShownBoxesPerCaption, "Brannock GL");
    testing::internal::CaptureStderr();
    EXPECT_EQ(limitedMessageBox(nullptr, "Go on?", "Brannock GL", win32::MB_YESNO), win32::IDNO);
    testing::internal::GetCapturedStderr();
}

}  // namespace
