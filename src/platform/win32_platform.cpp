#include "platform/win32_platform.h"

#include <bit>
#include <string>

#include "text/printable_text.h"

// The values of win32_types.h, taken before <windows.h> turns their names into macros, so that they
// can be checked against Windows' own below.
// clang-format off
#define WIN32_VALUES(X) \
    X(WM_SIZE) X(WM_ACTIVATE) X(WM_CLOSE) X(WM_QUIT) X(WM_KEYDOWN) X(WM_KEYUP) X(WM_CHAR) \
    X(WM_SYSKEYDOWN) X(WM_SYSKEYUP) X(WM_SYSCOMMAND) X(SC_SCREENSAVE) X(SC_MONITORPOWER) \
    X(SC_CLOSE) X(WA_INACTIVE) X(WA_ACTIVE) X(VK_ESCAPE) X(VK_LEFT) X(VK_UP) X(VK_RIGHT) \
    X(VK_DOWN) X(VK_F1) X(VK_F2) X(VK_F3) X(VK_F10) X(VK_F12) X(CS_VREDRAW) X(CS_HREDRAW) X(CS_OWNDC) \
    X(WS_POPUP) X(WS_CLIPSIBLINGS) X(WS_CLIPCHILDREN) X(WS_OVERLAPPEDWINDOW) X(WS_EX_WINDOWEDGE) \
    X(WS_EX_APPWINDOW) X(SW_SHOW) X(DM_BITSPERPEL) X(DM_PELSWIDTH) X(DM_PELSHEIGHT) \
    X(CDS_FULLSCREEN) X(DISP_CHANGE_SUCCESSFUL) X(DISP_CHANGE_BADMODE) X(MB_OK) X(MB_YESNO) \
    X(MB_ICONSTOP) X(MB_ICONEXCLAMATION) X(MB_ICONINFORMATION) X(MB_TYPEMASK) X(MB_ICONMASK) \
    X(IDOK) X(IDYES) X(IDNO) X(PFD_DOUBLEBUFFER) X(PFD_DRAW_TO_WINDOW) X(PFD_SUPPORT_OPENGL) \
    X(PFD_TYPE_RGBA) X(PFD_MAIN_PLANE) X(VK_NUMPAD0) X(WS_THICKFRAME)
// clang-format on
#define TAKE_OUR_VALUE(name) constexpr auto our_##name = win32::name;
namespace {
WIN32_VALUES(TAKE_OUR_VALUE)
}
#undef TAKE_OUR_VALUE

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After <windows.h>, whose types it uses.
#include <mmsystem.h>

#define EQUALS_WINDOWS_VALUE(name) static_assert(our_##name == name, #name);
WIN32_VALUES(EQUALS_WINDOWS_VALUE)
#undef EQUALS_WINDOWS_VALUE
#undef WIN32_VALUES

static_assert(sizeof(PixelFormatDescriptor) == sizeof(PIXELFORMATDESCRIPTOR));

namespace {

// The procedure Windows calls for every window of our classes. The window keeps the backend that
// made it, handed over with its creation and stored at WM_NCCREATE; the backend's table gives the
// procedure its class was registered with. The one message that comes before, WM_GETMINMAXINFO,
// gets the default answer, which is what the class procedure would give it too.
LRESULT CALLBACK forwardToClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    const auto* backend =
        reinterpret_cast<const Win32Platform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    char className[256];
    if (backend != nullptr && GetClassNameA(window, className, sizeof className) > 0) {
        if (const WindowProcedure procedure = backend->classProcedure(className)) {
            return procedure(window, message, wParam, lParam);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND asWindow(WindowHandle window) {
    return static_cast<HWND>(window);
}

HDC asDeviceContext(DeviceContextHandle dc) {
    return static_cast<HDC>(dc);
}

MSG asMsg(const WindowMessage& message) {
    MSG msg{};
    msg.hwnd = asWindow(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    return msg;
}

}  // namespace

WindowProcedure Win32Platform::classProcedure(const std::string& className) const {
    const auto found = classProcedures_.find(className);
    return found != classProcedures_.end() ? found->second : nullptr;
}

InstanceHandle Win32Platform::getModuleHandle() {
    return GetModuleHandleA(nullptr);
}

bool Win32Platform::registerClass(const WindowClass& windowClass) {
    WNDCLASSA native{};
    native.style = windowClass.style;
    native.lpfnWndProc = forwardToClassProcedure;
    native.hInstance = static_cast<HINSTANCE>(windowClass.instance);
    native.hIcon = LoadIcon(nullptr, IDI_WINLOGO);
    native.hCursor = LoadCursor(nullptr, IDC_ARROW);
    native.lpszClassName = windowClass.className;
    if (RegisterClassA(&native) == 0) {
        return false;
    }
    classProcedures_[windowClass.className] = windowClass.procedure;
    return true;
}

bool Win32Platform::unregisterClass(const char* className, InstanceHandle instance) {
    if (!UnregisterClassA(className, static_cast<HINSTANCE>(instance))) {
        return false;
    }
    classProcedures_.erase(className);
    return true;
}

std::int32_t Win32Platform::changeDisplaySettings(const DisplayMode* mode, std::uint32_t flags) {
    if (mode == nullptr) {
        return ChangeDisplaySettingsA(nullptr, flags);
    }
    DEVMODEA native{};
    native.dmSize = sizeof native;
    native.dmFields = mode->fields;
    native.dmBitsPerPel = mode->bitsPerPel;
    native.dmPelsWidth = mode->pelsWidth;
    native.dmPelsHeight = mode->pelsHeight;
    return ChangeDisplaySettingsA(&native, flags);
}

int Win32Platform::showCursor(bool show) {
    return ShowCursor(show);
}

bool Win32Platform::adjustWindowRectEx(WindowRect& rect, std::uint32_t style, bool menu,
                                       std::uint32_t exStyle) {
    RECT native{rect.left, rect.top, rect.right, rect.bottom};
    if (!AdjustWindowRectEx(&native, style, menu, exStyle)) {
        return false;
    }
    rect = WindowRect{native.left, native.top, native.right, native.bottom};
    return true;
}

WindowHandle Win32Platform::createWindowEx(std::uint32_t exStyle, const char* className,
                                           const char* title, std::uint32_t style, int x, int y,
                                           int width, int height, InstanceHandle instance) {
    // The window's procedure finds this backend, and so its class's procedure, through the
    // creation parameter.
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                           static_cast<HINSTANCE>(instance), this);
}

bool Win32Platform::destroyWindow(WindowHandle window) {
    return DestroyWindow(asWindow(window));
}

bool Win32Platform::showWindow(WindowHandle window, int command) {
    return ShowWindow(asWindow(window), command);
}

bool Win32Platform::setForegroundWindow(WindowHandle window) {
    return SetForegroundWindow(asWindow(window));
}

WindowHandle Win32Platform::setFocus(WindowHandle window) {
    return SetFocus(asWindow(window));
}

WindowHandle Win32Platform::getFocus() {
    return GetFocus();
}

bool Win32Platform::setWindowText(WindowHandle window, const char* text) {
    if (!SetWindowTextA(asWindow(window), text)) {
        return false;
    }
    // A title shown while a scene loads must reach the screen before the loading goes on. Windows
    // paints it at once; Wine's X11 driver buffers it until the thread next waits for input, so
    // wait, for no time at all.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    return true;
}

DeviceContextHandle Win32Platform::getDC(WindowHandle window) {
    return GetDC(asWindow(window));
}

bool Win32Platform::releaseDC(WindowHandle window, DeviceContextHandle dc) {
    return ReleaseDC(asWindow(window), asDeviceContext(dc)) == 1;
}

int Win32Platform::choosePixelFormat(DeviceContextHandle dc, const PixelFormatDescriptor& request) {
    const auto native = std::bit_cast<PIXELFORMATDESCRIPTOR>(request);
    return ChoosePixelFormat(asDeviceContext(dc), &native);
}

bool Win32Platform::setPixelFormat(DeviceContextHandle dc, int format,
                                   const PixelFormatDescriptor& request) {
    const auto native = std::bit_cast<PIXELFORMATDESCRIPTOR>(request);
    return SetPixelFormat(asDeviceContext(dc), format, &native);
}

RenderingContextHandle Win32Platform::createContext(DeviceContextHandle dc) {
    return wglCreateContext(asDeviceContext(dc));
}

bool Win32Platform::makeCurrent(DeviceContextHandle dc, RenderingContextHandle context) {
    return wglMakeCurrent(asDeviceContext(dc), static_cast<HGLRC>(context));
}

bool Win32Platform::deleteContext(RenderingContextHandle context) {
    return wglDeleteContext(static_cast<HGLRC>(context));
}

bool Win32Platform::swapBuffers(DeviceContextHandle dc) {
    return SwapBuffers(asDeviceContext(dc));
}

void* Win32Platform::getProcAddress(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

bool Win32Platform::peekMessage(WindowMessage& message) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    message = WindowMessage{msg.hwnd, msg.message, msg.wParam, msg.lParam};
    return true;
}

bool Win32Platform::translateMessage(const WindowMessage& message) {
    const MSG msg = asMsg(message);
    return TranslateMessage(&msg);
}

std::intptr_t Win32Platform::dispatchMessage(const WindowMessage& message) {
    const MSG msg = asMsg(message);
    return DispatchMessageA(&msg);
}

std::intptr_t Win32Platform::defWindowProc(WindowHandle window, std::uint32_t message,
                                           std::uintptr_t wParam, std::intptr_t lParam) {
    return DefWindowProcA(asWindow(window), message, wParam, lParam);
}

void Win32Platform::postQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

int Win32Platform::messageBox(WindowHandle owner, const char* text, const char* caption,
                              std::uint32_t type) {
    return MessageBoxA(asWindow(owner), printableBoxText(text).c_str(),
                       printableText(caption).c_str(), type);
}

bool Win32Platform::getCursorPos(CursorPoint& point) {
    POINT native;
    if (!GetCursorPos(&native)) {
        return false;
    }
    point = CursorPoint{native.x, native.y};
    return true;
}

bool Win32Platform::setCursorPos(int x, int y) {
    return SetCursorPos(x, y);
}

std::int16_t Win32Platform::getKeyState(int virtualKey) {
    return GetKeyState(virtualKey);
}

std::uint32_t Win32Platform::timeGetTime() {
    return ::timeGetTime();
}

std::uint32_t Win32Platform::getCurrentDirectory(std::uint32_t bufferSize, char* buffer) {
    return GetCurrentDirectoryA(bufferSize, buffer);
}
