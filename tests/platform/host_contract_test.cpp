// Every verb of host.h against every host that runs here: the headless one, the null one (the
// template), and SDL. The SDL instance needs a display of its own and a person at it, played by
// xdotool and xwininfo: it runs as the CTest host_contract_sdl, under its own Xvfb, and is skipped
// elsewhere. The checks that read the same over the Platform operations (platform_contract.h) run
// through the emulated services here and on the Win32 backend under Wine.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/emulated_win32.h"
#include "platform/headless_host.h"
#include "platform/null_host.h"
#include "platform/sdl_host.h"
#include "platform_contract.h"

namespace {

// What a command prints on standard output.
std::string outputOf(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, read);
        }
        ::pclose(pipe);
    }
    return output;
}

bool eventually(const std::function<bool()>& condition) {
    for (int tries = 0; tries < 40; ++tries) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Each harness holds a host and says what the test needs beyond its verbs: whether it makes
// surfaces, and what a person at its screen sees and does. A host nobody can see has nobody at it.

// A host that nobody sees and nobody sits at; it is always there.
struct UnseenHarness {
    static constexpr bool kHasAPerson = false;

    static std::string unavailable() { return ""; }
    static std::optional<bool> cursorShown() { return std::nullopt; }
    static platform_contract::ShownColour shownColour() { return nullptr; }
};

// Also what the GL tests stand on: without a display its tests fail, they are not skipped.
struct HeadlessHarness : UnseenHarness {
    static constexpr const char* kName = "Headless";
    static constexpr bool kMakesSurfaces = true;

    // Its boxes are answered by their default button, as Enter would.
    static bool answerNextBox(const char*, bool) { return true; }
    std::vector<Host::DisplaySize> screenSizes() { return host.offeredModes; }

    HeadlessHost host;
};

struct NullHarness : UnseenHarness {
    static constexpr const char* kName = "Null";
    static constexpr bool kMakesSurfaces = false;

    // No box can be shown: each answers as Esc would.
    static bool answerNextBox(const char*, bool) { return false; }
    static std::vector<Host::DisplaySize> screenSizes() { return {}; }

    NullHost host;
};

class SdlHarness {
  public:
    static constexpr const char* kName = "Sdl";
    static constexpr bool kMakesSurfaces = true;
    static constexpr bool kHasAPerson = true;

    ~SdlHarness() {
        if (answering_.joinable()) {
            answering_.join();
        }
    }

    std::string unavailable() {
        if (std::getenv("ORVALIS_SDL_CONTRACT") == nullptr) {
            return "needs a display of its own: ctest -R host_contract_sdl";
        }
        return host.videoReady() ? "" : "SDL cannot open the display";
    }

    // Presses Enter (or Esc) on the box of this caption once it shows.
    bool answerNextBox(const char* caption, bool enter) {
        if (answering_.joinable()) {
            answering_.join();
        }
        const std::string command =
            std::string("for try in $(seq 100); do box=$(xwininfo -root -tree | awk -v title='\"") +
            caption + "\": (' 'index($0, title) { print $1; exit }'); [ -n \"$box\" ] && break; " +
            "sleep 0.1; done; xdotool windowfocus $box; sleep 0.3; xdotool key " +
            (enter ? "Return" : "Escape");
        answering_ = std::thread([command] { outputOf(command); });
        return enter;
    }

    // The size of the Xvfb screen it runs on.
    std::vector<Host::DisplaySize> screenSizes() {
        Host::DisplaySize size;
        const std::string info = outputOf("xdpyinfo");
        const auto at = info.find("dimensions:");
        if (at == std::string::npos ||
            std::sscanf(info.c_str() + at, "dimensions: %dx%d", &size.width, &size.height) != 2) {
            ADD_FAILURE() << "no screen size in xdpyinfo";
        }
        return {size};
    }

    // The X window of a surface just made, found by its title.
    void made(Host::Surface surface, const char* title) {
        const std::string found =
            outputOf(std::string("xdotool search --name '^") + title + "$' | head -n 1");
        ids_[surface] = found.empty() ? "0" : found.substr(0, found.size() - 1);
    }
    std::string xWindow(Host::Surface surface) { return ids_[surface]; }

    // What another client of the display reads of the window.
    std::string seenTitle(Host::Surface surface) {
        const std::string line = outputOf("xprop -id " + xWindow(surface) + " WM_NAME");
        const auto open = line.find('"');
        const auto close = line.rfind('"');
        return open == close ? "" : line.substr(open + 1, close - open - 1);
    }
    bool seenViewable(Host::Surface surface) {
        return outputOf("xwininfo -id " + xWindow(surface)).find("IsViewable") != std::string::npos;
    }
    bool hasFocus(Host::Surface surface) {
        return outputOf("xdotool getwindowfocus") == xWindow(surface) + "\n";
    }
    // Whether `upper` lies above `lower` among the screen's windows.
    bool above(Host::Surface upper, Host::Surface lower) {
        // xwininfo lists the root's children from the top of the stack down, in hex.
        const std::string stack = outputOf("xwininfo -root -children");
        const auto hex = [this](Host::Surface surface) {
            char id[32];
            std::snprintf(id, sizeof id, "0x%lx ", std::stoul(xWindow(surface)));
            return std::string(id);
        };
        const auto upperAt = stack.find(hex(upper));
        const auto lowerAt = stack.find(hex(lower));
        return upperAt != std::string::npos && lowerAt != std::string::npos && upperAt < lowerAt;
    }
    static std::optional<bool> cursorShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }
    // The colour at the middle of the contract's window, as the screen shows it.
    static platform_contract::ShownColour shownColour() {
        return [] {
            char command[256];
            std::snprintf(
                command, sizeof command,
                "import -window \"$(xdotool search --name '^%s$' | head -n 1)\" "
                "-crop 1x1+%d+%d -depth 8 txt:- | sed -n 's/.*#\\([0-9A-F]\\{6\\}\\).*/\\1/p'",
                platform_contract::kWindowTitle, platform_contract::kWidth / 2,
                platform_contract::kHeight / 2);
            const unsigned long rgb = std::strtoul(outputOf(command).c_str(), nullptr, 16);
            return platform_contract::Colour{static_cast<int>(rgb >> 16),
                                             static_cast<int>(rgb >> 8 & 0xFF),
                                             static_cast<int>(rgb & 0xFF)};
        };
    }
    // A person's keys, on the window that has the keyboard.
    static void keys(const std::string& xdotoolArguments) {
        outputOf("xdotool " + xdotoolArguments);
    }

    SdlHost host;

  private:
    std::thread answering_;
    std::map<Host::Surface, std::string> ids_;
};

template <typename Harness>
class HostContract : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const std::string why = harness.unavailable(); !why.empty()) {
            GTEST_SKIP() << why;
        }
    }

    // A surface for the test, destroyed with the fixture; skips hosts that make none.
    Host::Surface surface(const char* title, int x = 0, int y = 0, int width = 160,
                          int height = 120) {
        const Host::Surface made = host().createSurface(title, x, y, width, height, {});
        if (made != nullptr) {
            surfaces_.push_back(made);
            if constexpr (Harness::kHasAPerson) {
                harness.made(made, title);
            }
        }
        return made;
    }
    void destroy(Host::Surface made) {
        surfaces_.erase(std::find(surfaces_.begin(), surfaces_.end(), made));
        host().destroySurface(made);
    }
    void TearDown() override {
        for (const Host::Surface made : surfaces_) {
            host().destroySurface(made);
        }
    }

    Host& host() { return harness.host; }

    std::vector<WindowMessage> takeEvents() {
        std::vector<WindowMessage> events;
        host().takeEvents(events);
        return events;
    }

    Harness harness;

  private:
    std::vector<Host::Surface> surfaces_;
};

struct HarnessName {
    template <typename Harness>
    static std::string GetName(int) {
        return Harness::kName;
    }
};

using Harnesses = ::testing::Types<HeadlessHarness, NullHarness, SdlHarness>;
TYPED_TEST_SUITE(HostContract, Harnesses, HarnessName);

TYPED_TEST(HostContract, CreateSurfaceMakesAHiddenSurfaceOrSaysWhyNot) {
    ::testing::internal::CaptureStderr();
    const Host::Surface made = this->surface("Orvalis contract");
    const std::string said = ::testing::internal::GetCapturedStderr();
    if constexpr (!TypeParam::kMakesSurfaces) {
        EXPECT_EQ(made, nullptr);
        EXPECT_FALSE(said.empty());
    } else {
        ASSERT_NE(made, nullptr) << said;
        if constexpr (TypeParam::kHasAPerson) {
            EXPECT_FALSE(this->harness.seenViewable(made));
            EXPECT_EQ(this->harness.seenTitle(made), "Orvalis contract");
        }
    }
}

// createSurface's drawable, createContext, makeCurrent, deleteContext, swapBuffers and
// procAddress, as the window's device and rendering contexts use them.
TYPED_TEST(HostContract, ASurfaceDrawsWithOpenGlAndShowsIt) {
    EmulatedWin32 services(this->host());
    if constexpr (TypeParam::kMakesSurfaces) {
        platform_contract::expectAWindowDrawsWithOpenGlAndShowsIt(services,
                                                                  TypeParam::shownColour());
    } else {
        // Without a surface there is no context, and nothing to find in one; releasing the
        // current context still succeeds.
        EXPECT_EQ(this->host().createContext(nullptr), nullptr);
        EXPECT_TRUE(this->host().makeCurrent(nullptr, nullptr));
        EXPECT_EQ(this->host().procAddress("glGenTextures"), nullptr);
    }
}

TYPED_TEST(HostContract, ShowMakesTheSurfaceVisibleAndSetTitleShowsTheTitleAtOnce) {
    if constexpr (!TypeParam::kHasAPerson) {
        GTEST_SKIP() << "nobody sees this host's surfaces";
    } else {
        const Host::Surface shown = this->surface("Orvalis");
        ASSERT_NE(shown, nullptr);
        this->host().show(shown);
        EXPECT_TRUE(eventually([&] { return this->harness.seenViewable(shown); }));
        // Read by another client at once, with no event taken since.
        this->host().setTitle(shown, "Orvalis : Loading Ground");
        EXPECT_EQ(this->harness.seenTitle(shown), "Orvalis : Loading Ground");
    }
}

TYPED_TEST(HostContract, RaiseAndFocusPutTheSurfaceOnTopWithTheKeyboard) {
    if constexpr (!TypeParam::kHasAPerson) {
        GTEST_SKIP() << "nobody sees this host's surfaces";
    } else {
        const Host::Surface first = this->surface("First", 0, 0);
        const Host::Surface second = this->surface("Second", 40, 40);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        this->host().show(first);
        this->host().show(second);
        ASSERT_TRUE(eventually([&] { return this->harness.seenViewable(second); }));
        for (const auto& [top, other] : {std::pair{first, second}, std::pair{second, first}}) {
            this->host().raise(top);
            this->host().focus(top);
            EXPECT_TRUE(eventually([&] { return this->harness.above(top, other); }));
            EXPECT_TRUE(eventually([&] { return this->harness.hasFocus(top); }));
        }
    }
}

TYPED_TEST(HostContract, DisplayModesHoldTheScreensSizes) {
    const std::vector<Host::DisplaySize> modes = this->host().displayModes();
    const std::vector<Host::DisplaySize> screens = this->harness.screenSizes();
    EXPECT_EQ(modes.empty(), screens.empty());
    for (const Host::DisplaySize& screen : screens) {
        EXPECT_TRUE(std::any_of(modes.begin(), modes.end(),
                                [&](const Host::DisplaySize& mode) {
                                    return mode.width == screen.width &&
                                           mode.height == screen.height;
                                }))
            << screen.width << " x " << screen.height;
    }
}

// takeEvents appends the messages of what a person does, in order, to what the list holds; a
// destroyed surface's events stop; keyHeld reads the keyboard as it is.
TYPED_TEST(HostContract, EventsBecomeWindowMessagesInOrderAndStopWithTheirSurface) {
    std::vector<WindowMessage> events{{nullptr, win32::WM_QUIT, 0, 0}};
    if constexpr (!TypeParam::kHasAPerson) {
        this->host().takeEvents(events);
        EXPECT_EQ(events.size(), 1u);  // no event comes, and what was there stays
        EXPECT_FALSE(this->host().keyHeld('W'));
    } else {
        const Host::Surface gone = this->surface("Gone", 0, 0);
        const Host::Surface kept = this->surface("Kept", 200, 0);
        ASSERT_NE(gone, nullptr);
        ASSERT_NE(kept, nullptr);
        for (const Host::Surface made : {gone, kept}) {
            this->host().show(made);
            this->host().focus(made);
            ASSERT_TRUE(eventually([&] { return this->harness.hasFocus(made); }));
            TypeParam::keys("key Escape");
        }
        // Keys typed into the surface that goes are not taken before it goes.
        this->destroy(gone);
        this->host().takeEvents(events);
        const auto ofGone = [&](const WindowMessage& event) { return event.window == gone; };
        EXPECT_TRUE(std::none_of(events.begin(), events.end(), ofGone));
        EXPECT_EQ(events.front().message, win32::WM_QUIT);
        const auto keyOfKept = [&](std::uint32_t message) {
            return std::find_if(events.begin(), events.end(), [&](const WindowMessage& event) {
                return event.window == kept && event.message == message &&
                       event.wParam == win32::VK_ESCAPE;
            });
        };
        EXPECT_LT(keyOfKept(win32::WM_KEYDOWN), keyOfKept(win32::WM_KEYUP));
        ASSERT_NE(keyOfKept(win32::WM_KEYUP), events.end());

        // F10 and keys held with Alt are system keys; a held key is held until it is let go.
        TypeParam::keys("keydown w");
        events = this->takeEvents();
        EXPECT_TRUE(this->host().keyHeld('W'));
        TypeParam::keys("keyup w key F10 keydown alt key w keyup alt");
        const std::vector<WindowMessage> keys = this->takeEvents();
        EXPECT_FALSE(this->host().keyHeld('W'));
        std::vector<std::pair<std::uint32_t, std::uintptr_t>> taken;
        for (const WindowMessage& event : keys) {
            // Alt's own messages aside: whether its release is a system key is the host's affair.
            if (event.window == kept && event.message != win32::WM_ACTIVATE &&
                event.wParam != 0x12) {
                taken.emplace_back(event.message, event.wParam);
            }
        }
        const std::vector<std::pair<std::uint32_t, std::uintptr_t>> expected = {
            {win32::WM_KEYUP, 'W'},
            {win32::WM_SYSKEYDOWN, win32::VK_F10},
            {win32::WM_SYSKEYUP, win32::VK_F10},
            {win32::WM_SYSKEYDOWN, 'W'},
            {win32::WM_SYSKEYUP, 'W'}};
        EXPECT_EQ(taken, expected);

        // A size the window system gives it; then the program is asked from outside to end.
        TypeParam::keys("windowsize " + this->harness.xWindow(kept) + " 300 200");
        std::vector<WindowMessage> later;
        EXPECT_TRUE(eventually([&] {
            this->host().takeEvents(later);
            return std::any_of(later.begin(), later.end(), [&](const WindowMessage& event) {
                return event.window == kept && event.message == win32::WM_SIZE &&
                       event.lParam == makeLong(300, 200);
            });
        }));
        later.clear();
        struct sigaction termination {};
        sigaction(SIGTERM, nullptr, &termination);
        ASSERT_NE(termination.sa_handler, SIG_DFL) << "SDL takes no termination request";
        std::raise(SIGTERM);
        EXPECT_TRUE(eventually([&] {
            this->host().takeEvents(later);
            return std::any_of(later.begin(), later.end(), [](const WindowMessage& event) {
                return event.window == nullptr && event.message == win32::WM_CLOSE;
            });
        }));
    }
}

TYPED_TEST(HostContract, AMessageBoxAnswersWithTheButtonPressed) {
    const Host::Surface owner = TypeParam::kMakesSurfaces ? this->surface("Owner") : nullptr;
    for (const bool enter : {true, false}) {
        SCOPED_TRACE(enter ? "Enter" : "Esc");
        // A caption of each box's own, so that a box that goes is not taken for the next.
        const std::string question = std::string("Question ") + (enter ? "Enter" : "Esc");
        const bool pressedEnter = this->harness.answerNextBox(question.c_str(), enter);
        EXPECT_EQ(this->host().messageBox(owner, "Go on?", question.c_str(),
                                          win32::MB_YESNO | win32::MB_ICONEXCLAMATION),
                  pressedEnter ? win32::IDYES : win32::IDNO);
        const std::string notice = std::string("Notice ") + (enter ? "Enter" : "Esc");
        this->harness.answerNextBox(notice.c_str(), enter);
        EXPECT_EQ(this->host().messageBox(nullptr, "Done.", notice.c_str(),
                                          win32::MB_OK | win32::MB_ICONSTOP),
                  win32::IDOK);
    }
}

TYPED_TEST(HostContract, TheCursorIsReadWhereItWasPutAndTheClockCounts) {
    EmulatedWin32 services(this->host());
    usePlatform(services);
    if constexpr (std::is_same_v<TypeParam, NullHarness>) {
        CursorPoint point;
        EXPECT_FALSE(this->host().warpCursor(1, 2));
        EXPECT_FALSE(this->host().readCursor(point));
    } else {
        platform_contract::expectTheCursorGoesWhereItIsPut(services);
    }
    platform_contract::expectTheClockCountsMilliseconds(services);
    this->host().showCursor(false);
    EXPECT_NE(TypeParam::cursorShown(), std::optional{true});
    this->host().showCursor(true);
    EXPECT_NE(TypeParam::cursorShown(), std::optional{false});
}

}  // namespace
