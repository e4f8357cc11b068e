// Names from files reach window titles, message boxes and the boxes' lines on standard error with
// their control characters escaped; texts without any arrive byte for byte.

#include <gtest/gtest.h>

#include <string>

#include "headless_test_platform.h"
#include "platform/emulated_win32.h"
#include "platform/headless_host.h"

namespace {

// The headless host, noting the last box it was asked to show.
class BoxHost : public HeadlessHost {
  public:
    std::string text;
    std::string caption;

    int messageBox(Surface owner, const char* boxText, const char* boxCaption,
                   std::uint32_t type) override {
        text = boxText;
        caption = boxCaption;
        return HeadlessHost::messageBox(owner, boxText, boxCaption, type);
    }
};

TEST(PrintableOutput, ProgressTitlesEscapeTheNamesTheyCarry) {
    HeadlessTestPlatform headless;
    usePlatform(headless);
    WindowClass windowClass;
    windowClass.className = "Titled";
    windowClass.procedure = [](WindowHandle, std::uint32_t, std::uintptr_t,
                               std::intptr_t) -> std::intptr_t { return 0; };
    ASSERT_TRUE(headless.registerClass(windowClass));
    const WindowHandle window =
        headless.createWindowEx(0, "Titled", "ORVALIS", 0, 0, 0, 64, 48, nullptr);
    ASSERT_NE(window, nullptr);
    const char* format = "Orvalis : Loading Models (%d\\%d) : %s";
    setWindowTitle(window, format, 1, 2, "forest\\pine.omd");
    setWindowTitle(window, format, 2, 2, "\x1b]0;owned\x07\npine\x9b.omd");
    ASSERT_EQ(headless.titles.size(), 3u);
    EXPECT_EQ(headless.titles[1], "Orvalis : Loading Models (1\\2) : forest\\pine.omd");
    EXPECT_EQ(headless.titles[2],
              "Orvalis : Loading Models (2\\2) : \\x1b]0;owned\\x07\\x0apine\\x9b.omd");
}

TEST(PrintableOutput, BoxesKeepTheirLineBreaksAndEscapeOtherControlCharacters) {
    BoxHost host;
    EmulatedWin32 services(host);
    const char* question =
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
        "Instead?";
    testing::internal::CaptureStderr();
    services.messageBox(nullptr, question, "Brannock GL", win32::MB_YESNO);
    EXPECT_EQ(host.text, question);
    EXPECT_EQ(host.caption, "Brannock GL");

    services.messageBox(nullptr, "Failed to open DIB file a\x1b[2J.bmp.\r\nnext\tline\n",
                        "Err\x7for", win32::MB_OK);
    EXPECT_EQ(host.text, "Failed to open DIB file a\\x1b[2J.bmp.\r\nnext\\x09line\n");
    EXPECT_EQ(host.caption, "Err\\x7for");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Brannock GL: The Requested Fullscreen Mode Is Not Supported By Your Video Card. "
              "Use Windowed Mode Instead?\n"
              "Err\\x7for: Failed to open DIB file a\\x1b[2J.bmp. next\\x09line\n");
}

}  // namespace
