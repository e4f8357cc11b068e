#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl_host.h"

namespace {

class TranslatingHost : public SdlHost {
  public:
    using SdlHost::translate;
};

// SDL's dummy video driver makes windows without a display, so events can name a real window id.
class SdlTranslate : public ::testing::Test {
  protected:
    void SetUp() override {
        // The driver is taken only when the hint names it too.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        ASSERT_EQ(SDL_VideoInit("dummy"), 0) << SDL_GetError();
        window_ = SDL_CreateWindow("translate", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
        }
        SDL_VideoQuit();
        SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    }

    std::vector<WindowMessage> translated(const SDL_Event& event) {
        std::vector<WindowMessage> messages;
        host_.translate(event, messages);
        return messages;
    }

    SDL_Event key(std::uint32_t type, SDL_Keycode sym, std::uint16_t mod = KMOD_NONE) const {
        SDL_Event event{};
        event.key.type = type;
        event.key.windowID = SDL_GetWindowID(window_);
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        return event;
    }

    SDL_Event windowEvent(SDL_WindowEventID change, int data1 = 0, int data2 = 0) const {
        SDL_Event event{};
        event.window.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(window_);
        event.window.event = change;
        event.window.data1 = data1;
        event.window.data2 = data2;
        return event;
    }

    // The single message an event gives, or a failure.
    WindowMessage only(const SDL_Event& event) {
        const auto messages = translated(event);
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? WindowMessage{} : messages.front();
    }

    SDL_Window* window_ = nullptr;
    TranslatingHost host_;
};

TEST_F(SdlTranslate, KeysGiveTheirVirtualKeyOnTheirWindow) {
    struct Case {
        SDL_Keycode sym;
        int virtualKey;
    };
    const Case cases[] = {{SDLK_a, 'A'},
                          {SDLK_w, 'W'},
                          {SDLK_UP, win32::VK_UP},
                          {SDLK_DOWN, win32::VK_DOWN},
                          {SDLK_LEFT, win32::VK_LEFT},
                          {SDLK_RIGHT, win32::VK_RIGHT},
                          {SDLK_F1, win32::VK_F1},
                          {SDLK_F2, win32::VK_F2},
                          {SDLK_F3, win32::VK_F3},
                          {SDLK_ESCAPE, win32::VK_ESCAPE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.virtualKey);
        const WindowMessage down = only(key(SDL_KEYDOWN, c.sym));
        EXPECT_EQ(down.window, window_);
        EXPECT_EQ(down.message, win32::WM_KEYDOWN);
        EXPECT_EQ(down.wParam, static_cast<std::uintptr_t>(c.virtualKey));
        const WindowMessage up = only(key(SDL_KEYUP, c.sym));
        EXPECT_EQ(up.message, win32::WM_KEYUP);
        EXPECT_EQ(up.wParam, static_cast<std::uintptr_t>(c.virtualKey));
    }
}

TEST_F(SdlTranslate, F10AndKeysWithAltHeldAreSystemKeys) {
    EXPECT_EQ(only(key(SDL_KEYDOWN, SDLK_F10)).message, win32::WM_SYSKEYDOWN);
    EXPECT_EQ(only(key(SDL_KEYDOWN, SDLK_F10)).wParam, static_cast<std::uintptr_t>(win32::VK_F10));
    EXPECT_EQ(only(key(SDL_KEYUP, SDLK_F10)).message, win32::WM_SYSKEYUP);
    for (const std::uint16_t alt : {KMOD_LALT, KMOD_RALT}) {
        const WindowMessage down = only(key(SDL_KEYDOWN, SDLK_a, alt));
        EXPECT_EQ(down.message, win32::WM_SYSKEYDOWN);
        EXPECT_EQ(down.wParam, static_cast<std::uintptr_t>('A'));
        EXPECT_EQ(only(key(SDL_KEYUP, SDLK_a, alt)).message, win32::WM_SYSKEYUP);
    }
    // Other modifiers leave a key an ordinary one.
    EXPECT_EQ(only(key(SDL_KEYDOWN, SDLK_a, KMOD_LSHIFT | KMOD_CTRL)).message, win32::WM_KEYDOWN);
}

TEST_F(SdlTranslate, KeysWithoutAVirtualKeyAndEventsOfNoWindowGiveNothing) {
    EXPECT_TRUE(translated(key(SDL_KEYDOWN, SDLK_KP_ENTER)).empty());
    SDL_Event elsewhere = key(SDL_KEYDOWN, SDLK_a);
    elsewhere.key.windowID = SDL_GetWindowID(window_) + 1000;
    EXPECT_TRUE(translated(elsewhere).empty());
    SDL_Event gone = windowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    EXPECT_TRUE(translated(gone).empty());
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    EXPECT_TRUE(translated(motion).empty());
}

TEST_F(SdlTranslate, ClosingAWindowClosesItAndQuittingClosesEveryWindow) {
    const WindowMessage close = only(windowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ(close.window, window_);
    EXPECT_EQ(close.message, win32::WM_CLOSE);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const WindowMessage all = only(quit);
    EXPECT_EQ(all.window, nullptr);
    EXPECT_EQ(all.message, win32::WM_CLOSE);
}

TEST_F(SdlTranslate, ActivationFollowsFocusAndMinimisedStaysInTheHighWordUntilRestored) {
    const auto activation = [&](SDL_WindowEventID change) {
        const WindowMessage message = only(windowEvent(change));
        EXPECT_EQ(message.window, window_);
        EXPECT_EQ(message.message, win32::WM_ACTIVATE);
        return std::pair{lowWord(message.wParam), highWord(message.wParam)};
    };
    using State = std::pair<std::uint16_t, std::uint16_t>;
    EXPECT_EQ(activation(SDL_WINDOWEVENT_FOCUS_LOST), State(win32::WA_INACTIVE, 0));
    EXPECT_EQ(activation(SDL_WINDOWEVENT_FOCUS_GAINED), State(win32::WA_ACTIVE, 0));
    EXPECT_EQ(activation(SDL_WINDOWEVENT_MINIMIZED), State(win32::WA_INACTIVE, 1));
    // Focus may come back before the window is restored: it is still minimised.
    EXPECT_EQ(activation(SDL_WINDOWEVENT_FOCUS_GAINED), State(win32::WA_ACTIVE, 1));
    EXPECT_EQ(activation(SDL_WINDOWEVENT_RESTORED), State(win32::WA_ACTIVE, 0));
    EXPECT_EQ(activation(SDL_WINDOWEVENT_MINIMIZED), State(win32::WA_INACTIVE, 1));
    EXPECT_EQ(activation(SDL_WINDOWEVENT_MAXIMIZED), State(win32::WA_ACTIVE, 0));
}

TEST_F(SdlTranslate, ResizePacksWidthLowAndHeightHigh) {
    const WindowMessage size = only(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1280, 720));
    EXPECT_EQ(size.window, window_);
    EXPECT_EQ(size.message, win32::WM_SIZE);
    EXPECT_EQ(size.wParam, 0u);
    EXPECT_EQ(lowWord(static_cast<std::uintptr_t>(size.lParam)), 1280);
    EXPECT_EQ(highWord(static_cast<std::uintptr_t>(size.lParam)), 720);
    // The window was moved, not resized: nothing for the window procedure.
    EXPECT_TRUE(translated(windowEvent(SDL_WINDOWEVENT_MOVED, 10, 20)).empty());
}

}  // namespace
