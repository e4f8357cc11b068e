#pragma once
// The tests' double over any platform: messages, key states, the cursor, clock readings,
// message-box answers, missing GL entry points and the current directory come from a script the
// test sets; any operation can be told to fail; calls, message boxes, titles and cursor moves are
// recorded. Every other operation goes to the platform beneath.

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

// The operations by the names of their Windows calls.
enum class Operation {
#define PLATFORM_OPERATION_NAME(result, name, parameters, windowsName) windowsName,
    PLATFORM_OPERATIONS(PLATFORM_OPERATION_NAME)
#undef PLATFORM_OPERATION_NAME
};
inline constexpr std::size_t kOperationCount =
    static_cast<std::size_t>(Operation::GetCurrentDirectoryA) + 1;

const char* operationName(Operation operation);

class ScriptedPlatform : public Platform {
  public:
    struct MessageBoxRecord {
        WindowHandle owner;
        std::string text;
        std::string caption;
        std::uint32_t type;
    };

    explicit ScriptedPlatform(Platform& beneath);

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
    std::deque<int> messageBoxAnswers;   // without one, the default button answers (OK or Yes)
    std::set<std::string> missingProcs;  // names getProcAddress does not find
    std::string currentDirectory;        // empty: the answer of the platform beneath

    // Makes the operation fail `times` times (-1: for good) once it has succeeded `succeedFirst`
    // times. A failing operation does nothing and gives its failure value: null, false, 0, or
    // DISP_CHANGE_BADMODE.
    void failOperation(Operation operation, int times = -1, int succeedFirst = 0);

    // Runs at every operation once it is recorded, so that a test can act in the middle of a run:
    // let time pass while a message box shows, say.
    std::function<void(Operation)> onCall;

    // --- Records --------------------------------------------------------------------------------
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<std::string> titles;  // creation titles and every SetWindowTextA
    int cursorVisibility = 0;         // ShowCursor's counter
    std::vector<CursorPoint> cursorMoves;

    // The calls made since the start or the last clearCalls: a count of each operation, and the
    // latest kRecentCalls in order, oldest first.
    static constexpr std::size_t kRecentCalls = 64;
    std::size_t callCount(Operation operation) const;
    const std::deque<Operation>& recentCalls() const { return recent_; }
    void clearCalls();

    WindowHandle latestWindow() const;
    std::string windowTitle(WindowHandle window) const;
    std::size_t liveWindowCount() const { return windows_.size(); }
    bool displayModeChanged() const { return displayModeChanged_; }

    // --- Platform -------------------------------------------------------------------------------
    PLATFORM_OPERATIONS(PLATFORM_OVERRIDE)

  private:
    struct Failure {
        int succeedFirst = 0;
        int times = 0;
    };

    bool called(Operation operation);  // records the call; true when it is to fail

    Platform& beneath_;
    std::array<std::size_t, kOperationCount> counts_{};
    std::deque<Operation> recent_;
    std::array<Failure, kOperationCount> failures_{};
    std::vector<std::pair<WindowHandle, std::string>> windows_;  // the live ones, oldest first
    std::deque<std::vector<WindowMessage>> script_;
    bool batchOpen_ = false;
    bool quitPosted_ = false;
    int quitCode_ = 0;
    bool displayModeChanged_ = false;
    std::uint32_t clock_ = 0;
};
