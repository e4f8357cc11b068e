#pragma once
// The headless backend: real OpenGL rendering (EGL on Mesa's surfaceless platform, a pbuffer the
// size of each window) with no display. Windows are records; messages, key states, the cursor, the
// clock and message-box answers come from a script the caller sets; any operation can be told to
// fail; every call, message box and title is recorded.

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

class HeadlessPlatform : public Platform {
  public:
    struct Window;
    struct Context;

    struct MessageBoxRecord {
        WindowHandle owner;
        std::string text;
        std::string caption;
        std::uint32_t type;
    };

    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // --- Script ---------------------------------------------------------------------------------
    // Each batch is handed out by peekMessage in one pass of the main loop; between batches
    // peekMessage reports an empty queue once, so the loop draws a frame. When the script is used
    // up peekMessage delivers WM_QUIT, so a scripted loop always ends. A message whose window is
    // null goes to the most recently created window.
    void queueMessages(std::vector<WindowMessage> batch);
    void queueKeyPress(int virtualKey);  // WM_KEYDOWN, then WM_KEYUP in the next pass

    // timeGetTime consumes the scripted readings first; after them each reading is clockStep
    // milliseconds after the one before (0: the last one repeats).
    std::deque<std::uint32_t> clockReadings;
    std::uint32_t clockStep = 0;
    void advanceClock(std::uint32_t milliseconds);  // time passes between two readings
    CursorPoint cursor{320, 240};
    std::array<std::int16_t, 256> keyStates{};
    std::deque<int> messageBoxAnswers;  // without one, the default button answers (OK or Yes)
    std::vector<std::pair<int, int>> displayModes{{640, 480}, {1024, 768}};
    std::set<std::string> missingProcs;  // names getProcAddress does not find
    std::string currentDirectory;        // empty: the process's own

    // Makes the named operation (its Windows name, e.g. "CreateWindowExA") fail `times` times
    // (-1: for good) once it has succeeded `succeedFirst` times.
    void failOperation(const std::string& name, int times = -1, int succeedFirst = 0);

    // Runs at every operation (its Windows name) once it is recorded, so that a test can act in the
    // middle of a run: let time pass while a message box shows, say.
    std::function<void(const std::string& operation)> onCall;

    // --- Records --------------------------------------------------------------------------------
    std::vector<std::string> calls;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<std::string> titles;  // creation titles and every SetWindowTextA
    int cursorVisibility = 0;         // ShowCursor's counter
    std::vector<CursorPoint> cursorMoves;

    Window* findWindow(WindowHandle handle) const;
    WindowHandle latestWindow() const;
    std::string windowTitle(WindowHandle handle) const;
    std::size_t liveWindowCount() const;
    bool displayModeChanged() const { return displayChanged_; }

    // --- Platform -------------------------------------------------------------------------------
    InstanceHandle getModuleHandle() override;
    bool registerClass(const WindowClass& windowClass) override;
    bool unregisterClass(const char* className, InstanceHandle instance) override;
    std::int32_t changeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) override;
    int showCursor(bool show) override;
    bool adjustWindowRectEx(WindowRect& rect, std::uint32_t style, bool menu,
                            std::uint32_t exStyle) override;
    WindowHandle createWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                                std::uint32_t style, int x, int y, int width, int height,
                                InstanceHandle instance) override;
    bool destroyWindow(WindowHandle window) override;
    bool showWindow(WindowHandle window, int command) override;
    bool setForegroundWindow(WindowHandle window) override;
    WindowHandle setFocus(WindowHandle window) override;
    WindowHandle getFocus() override;
    bool setWindowText(WindowHandle window, const char* text) override;
    DeviceContextHandle getDC(WindowHandle window) override;
    bool releaseDC(WindowHandle window, DeviceContextHandle dc) override;
    int choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& request) override;
    bool setPixelFormat(DeviceContextHandle dc, int format,
                        const PixelFormatDescriptor& request) override;
    RenderingContextHandle createContext(DeviceContextHandle dc) override;
    bool makeCurrent(DeviceContextHandle dc, RenderingContextHandle context) override;
    bool deleteContext(RenderingContextHandle context) override;
    bool swapBuffers(DeviceContextHandle dc) override;
    void* getProcAddress(const char* name) override;
    bool peekMessage(WindowMessage& message) override;
    bool translateMessage(const WindowMessage& message) override;
    std::intptr_t dispatchMessage(const WindowMessage& message) override;
    std::intptr_t defWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
    void postQuitMessage(int exitCode) override;
    int messageBox(WindowHandle owner, const char* text, const char* caption,
                   std::uint32_t type) override;
    bool getCursorPos(CursorPoint& point) override;
    bool setCursorPos(int x, int y) override;
    std::int16_t getKeyState(int virtualKey) override;
    std::uint32_t timeGetTime() override;
    std::uint32_t getCurrentDirectory(std::uint32_t bufferSize, char* buffer) override;

  private:
    bool called(const char* name);  // records the call; true when it is to fail
    Window* windowOfDc(DeviceContextHandle dc) const;

    struct Failure {
        int succeedFirst;
        int times;
    };
    std::map<std::string, Failure> failures_;
    std::map<std::string, WindowProcedure> classes_;
    std::vector<std::unique_ptr<Window>> windows_;  // destroyed ones stay, so handles stay unique
    std::vector<std::unique_ptr<Context>> contexts_;
    std::deque<std::vector<WindowMessage>> script_;
    bool batchOpen_ = false;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    bool displayChanged_ = false;
    std::uint32_t clock_ = 0;
    WindowHandle focus_ = nullptr;
    int instanceToken_ = 0;
};
