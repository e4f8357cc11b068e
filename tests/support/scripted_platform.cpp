#include "scripted_platform.h"

#include <algorithm>

const char* operationName(Operation operation) {
    static constexpr const char* kNames[] = {
#define PLATFORM_OPERATION_TEXT(result, name, parameters, windowsName) #windowsName,
        PLATFORM_OPERATIONS(PLATFORM_OPERATION_TEXT)
#undef PLATFORM_OPERATION_TEXT
    };
    return kNames[static_cast<std::size_t>(operation)];
}

ScriptedPlatform::ScriptedPlatform(Platform& beneath) : beneath_(beneath) {}

void ScriptedPlatform::queueMessages(std::vector<WindowMessage> batch) {
    script_.push_back(std::move(batch));
}

void ScriptedPlatform::queueKeyPress(int virtualKey) {
    const auto key = static_cast<std::uintptr_t>(virtualKey);
    queueMessages({{nullptr, win32::WM_KEYDOWN, key, 0}});
    queueMessages({{nullptr, win32::WM_KEYUP, key, 0}});
}

void ScriptedPlatform::advanceClock(std::uint32_t milliseconds) {
    clock_ += milliseconds;
}

void ScriptedPlatform::failOperation(Operation operation, int times, int succeedFirst) {
    failures_[static_cast<std::size_t>(operation)] = {succeedFirst, times};
}

std::size_t ScriptedPlatform::callCount(Operation operation) const {
    return counts_[static_cast<std::size_t>(operation)];
}

void ScriptedPlatform::clearCalls() {
    counts_ = {};
    recent_.clear();
}

WindowHandle ScriptedPlatform::latestWindow() const {
    return windows_.empty() ? nullptr : windows_.back().first;
}

std::string ScriptedPlatform::windowTitle(WindowHandle window) const {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&](const auto& live) { return live.first == window; });
    return found == windows_.end() ? std::string() : found->second;
}

bool ScriptedPlatform::called(Operation operation) {
    const auto index = static_cast<std::size_t>(operation);
    ++counts_[index];
    recent_.push_back(operation);
    if (recent_.size() > kRecentCalls) {
        recent_.pop_front();
    }
    if (onCall) {
        onCall(operation);
    }
    Failure& failure = failures_[index];
    if (failure.times == 0) {
        return false;
    }
    if (failure.succeedFirst > 0) {
        --failure.succeedFirst;
        return false;
    }
    if (failure.times > 0) {
        --failure.times;
    }
    return true;
}

InstanceHandle ScriptedPlatform::getModuleHandle() {
    return called(Operation::GetModuleHandleA) ? nullptr : beneath_.getModuleHandle();
}

bool ScriptedPlatform::registerClass(const WindowClass& windowClass) {
    return !called(Operation::RegisterClassA) && beneath_.registerClass(windowClass);
}

bool ScriptedPlatform::unregisterClass(const char* className, InstanceHandle instance) {
    return !called(Operation::UnregisterClassA) && beneath_.unregisterClass(className, instance);
}

std::int32_t ScriptedPlatform::changeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) {
    if (called(Operation::ChangeDisplaySettingsA)) {
        return win32::DISP_CHANGE_BADMODE;
    }
    const std::int32_t result = beneath_.changeDisplaySettings(mode, flags);
    if (result == win32::DISP_CHANGE_SUCCESSFUL) {
        displayModeChanged_ = mode != nullptr;
    }
    return result;
}

int ScriptedPlatform::showCursor(bool show) {
    if (called(Operation::ShowCursor)) {
        return 0;
    }
    cursorVisibility = beneath_.showCursor(show);
    return cursorVisibility;
}

bool ScriptedPlatform::adjustWindowRectEx(WindowRect& rect, std::uint32_t style, bool menu,
                                          std::uint32_t exStyle) {
    return !called(Operation::AdjustWindowRectEx) &&
           beneath_.adjustWindowRectEx(rect, style, menu, exStyle);
}

WindowHandle ScriptedPlatform::createWindowEx(std::uint32_t exStyle, const char* className,
                                              const char* title, std::uint32_t style, int x, int y,
                                              int width, int height, InstanceHandle instance) {
    if (called(Operation::CreateWindowExA)) {
        return nullptr;
    }
    const WindowHandle window =
        beneath_.createWindowEx(exStyle, className, title, style, x, y, width, height, instance);
    if (window != nullptr) {
        windows_.emplace_back(window, title != nullptr ? title : "");
        titles.push_back(windows_.back().second);
    }
    return window;
}

bool ScriptedPlatform::destroyWindow(WindowHandle window) {
    if (called(Operation::DestroyWindow) || !beneath_.destroyWindow(window)) {
        return false;
    }
    std::erase_if(windows_, [&](const auto& live) { return live.first == window; });
    return true;
}

bool ScriptedPlatform::showWindow(WindowHandle window, int command) {
    return !called(Operation::ShowWindow) && beneath_.showWindow(window, command);
}

bool ScriptedPlatform::setForegroundWindow(WindowHandle window) {
    return !called(Operation::SetForegroundWindow) && beneath_.setForegroundWindow(window);
}

WindowHandle ScriptedPlatform::setFocus(WindowHandle window) {
    return called(Operation::SetFocus) ? nullptr : beneath_.setFocus(window);
}

WindowHandle ScriptedPlatform::getFocus() {
    return called(Operation::GetFocus) ? nullptr : beneath_.getFocus();
}

bool ScriptedPlatform::setWindowText(WindowHandle window, const char* text) {
    if (called(Operation::SetWindowTextA) || !beneath_.setWindowText(window, text)) {
        return false;
    }
    for (auto& [live, title] : windows_) {
        if (live == window) {
            title = text;
        }
    }
    titles.emplace_back(text);
    return true;
}

DeviceContextHandle ScriptedPlatform::getDC(WindowHandle window) {
    return called(Operation::GetDC) ? nullptr : beneath_.getDC(window);
}

bool ScriptedPlatform::releaseDC(WindowHandle window, DeviceContextHandle dc) {
    return !called(Operation::ReleaseDC) && beneath_.releaseDC(window, dc);
}

int ScriptedPlatform::choosePixelFormat(DeviceContextHandle dc,
                                        const PixelFormatDescriptor& request) {
    return called(Operation::ChoosePixelFormat) ? 0 : beneath_.choosePixelFormat(dc, request);
}

bool ScriptedPlatform::setPixelFormat(DeviceContextHandle dc, int format,
                                      const PixelFormatDescriptor& request) {
    return !called(Operation::SetPixelFormat) && beneath_.setPixelFormat(dc, format, request);
}

RenderingContextHandle ScriptedPlatform::createContext(DeviceContextHandle dc) {
    return called(Operation::wglCreateContext) ? nullptr : beneath_.createContext(dc);
}

bool ScriptedPlatform::makeCurrent(DeviceContextHandle dc, RenderingContextHandle context) {
    return !called(Operation::wglMakeCurrent) && beneath_.makeCurrent(dc, context);
}

bool ScriptedPlatform::deleteContext(RenderingContextHandle context) {
    return !called(Operation::wglDeleteContext) && beneath_.deleteContext(context);
}

bool ScriptedPlatform::swapBuffers(DeviceContextHandle dc) {
    return !called(Operation::SwapBuffers) && beneath_.swapBuffers(dc);
}

void* ScriptedPlatform::getProcAddress(const char* name) {
    if (called(Operation::wglGetProcAddress) || missingProcs.count(name) != 0) {
        return nullptr;
    }
    return beneath_.getProcAddress(name);
}

bool ScriptedPlatform::peekMessage(WindowMessage& message) {
    if (called(Operation::PeekMessageA)) {
        return false;
    }
    if (!batchOpen_) {
        if (script_.empty()) {
            // The script is used up: the loop ends as if the window had been closed.
            message = WindowMessage{nullptr, win32::WM_QUIT,
                                    static_cast<std::uintptr_t>(quitPosted_ ? quitCode_ : 0), 0};
            quitPosted_ = false;
            return true;
        }
        batchOpen_ = true;
    }
    if (!script_.front().empty()) {
        message = script_.front().front();
        script_.front().erase(script_.front().begin());
        if (message.window == nullptr) {
            message.window = latestWindow();
        }
        return true;
    }
    if (quitPosted_) {
        quitPosted_ = false;
        message = WindowMessage{nullptr, win32::WM_QUIT, static_cast<std::uintptr_t>(quitCode_), 0};
        return true;
    }
    // This pass's batch is done: the queue is empty until the next pass opens the next batch.
    script_.pop_front();
    batchOpen_ = false;
    return false;
}

bool ScriptedPlatform::translateMessage(const WindowMessage& message) {
    return !called(Operation::TranslateMessage) && beneath_.translateMessage(message);
}

std::intptr_t ScriptedPlatform::dispatchMessage(const WindowMessage& message) {
    return called(Operation::DispatchMessageA) ? 0 : beneath_.dispatchMessage(message);
}

std::intptr_t ScriptedPlatform::defWindowProc(WindowHandle window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
    return called(Operation::DefWindowProcA)
               ? 0
               : beneath_.defWindowProc(window, message, wParam, lParam);
}

void ScriptedPlatform::postQuitMessage(int exitCode) {
    // The script is the message queue: the quit comes from it.
    if (!called(Operation::PostQuitMessage)) {
        quitPosted_ = true;
        quitCode_ = exitCode;
    }
}

int ScriptedPlatform::messageBox(WindowHandle owner, const char* text, const char* caption,
                                 std::uint32_t type) {
    if (called(Operation::MessageBoxA)) {
        return 0;
    }
    messageBoxes.push_back({owner, text, caption, type});
    if (messageBoxAnswers.empty()) {
        return (type & win32::MB_TYPEMASK) == win32::MB_YESNO ? win32::IDYES : win32::IDOK;
    }
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

bool ScriptedPlatform::getCursorPos(CursorPoint& point) {
    if (called(Operation::GetCursorPos)) {
        return false;
    }
    point = cursor;
    return true;
}

bool ScriptedPlatform::setCursorPos(int x, int y) {
    if (called(Operation::SetCursorPos)) {
        return false;
    }
    cursor = {x, y};
    cursorMoves.push_back(cursor);
    return true;
}

std::int16_t ScriptedPlatform::getKeyState(int virtualKey) {
    if (called(Operation::GetKeyState)) {
        return 0;
    }
    return keyStates[static_cast<std::size_t>(virtualKey) & 0xFF];
}

std::uint32_t ScriptedPlatform::timeGetTime() {
    if (called(Operation::timeGetTime)) {
        return 0;
    }
    if (!clockReadings.empty()) {
        clock_ = clockReadings.front();
        clockReadings.pop_front();
    } else {
        clock_ += clockStep;
    }
    return clock_;
}

std::uint32_t ScriptedPlatform::getCurrentDirectory(std::uint32_t bufferSize, char* buffer) {
    if (called(Operation::GetCurrentDirectoryA)) {
        return 0;
    }
    if (currentDirectory.empty()) {
        return beneath_.getCurrentDirectory(bufferSize, buffer);
    }
    return answerCurrentDirectory(currentDirectory, bufferSize, buffer);
}
