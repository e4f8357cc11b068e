#include "app/window.h"

#include "app/app_state.h"
#include "app/scene.h"
#include "platform/gl.h"
#include "platform/platform.h"

namespace {

void showOpenError(const char* text) {
    platform().messageBox(nullptr, text, "ERROR", win32::MB_OK | win32::MB_ICONEXCLAMATION);
}

void showShutdownError(const char* text) {
    platform().messageBox(nullptr, text, "SHUTDOWN ERROR",
                          win32::MB_OK | win32::MB_ICONINFORMATION);
}

// Every failure once the window exists releases what was made, then tells the user.
int failOpening(const char* text) {
    closeWindow();
    showOpenError(text);
    return 0;
}

void fillPixelFormatRequest(PixelFormatDescriptor& request, std::int32_t bits) {
    request = PixelFormatDescriptor{};
    request.nSize = sizeof(PixelFormatDescriptor);
    request.nVersion = 1;
    request.dwFlags =
        win32::PFD_DRAW_TO_WINDOW | win32::PFD_SUPPORT_OPENGL | win32::PFD_DOUBLEBUFFER;
    request.iPixelType = win32::PFD_TYPE_RGBA;
    request.cColorBits = static_cast<std::uint8_t>(bits);
    request.cDepthBits = 16;
    request.iLayerType = win32::PFD_MAIN_PLANE;
}

bool registerWindowClass(InstanceHandle instance) {
    WindowClass windowClass;
    windowClass.style = win32::CS_HREDRAW | win32::CS_VREDRAW | win32::CS_OWNDC;
    windowClass.procedure = windowProc;
    windowClass.instance = instance;
    windowClass.className = kWindowClassName;
    return platform().registerClass(windowClass);
}

// Switches the display for a fullscreen window; when the display refuses, asks whether to go on
// windowed. False when the user declines (the program then ends).
bool enterFullscreenOrAsk(AppState& app, std::int32_t width, std::int32_t height,
                          std::int32_t bits) {
    DisplayMode mode;
    mode.pelsWidth = static_cast<std::uint32_t>(width);
    mode.pelsHeight = static_cast<std::uint32_t>(height);
    mode.bitsPerPel = static_cast<std::uint32_t>(bits);
    mode.fields = win32::DM_BITSPERPEL | win32::DM_PELSWIDTH | win32::DM_PELSHEIGHT;
    if (platform().changeDisplaySettings(&mode, win32::CDS_FULLSCREEN) ==
        win32::DISP_CHANGE_SUCCESSFUL) {
        return true;
    }
    const int answer = platform().messageBox(
        nullptr,
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
        "Instead?",
        "Brannock GL", win32::MB_YESNO | win32::MB_ICONEXCLAMATION);
    if (answer == win32::IDYES) {
        app.fullscreen = false;
        return true;
    }
    platform().messageBox(nullptr, "Program Will Now Close.", "ERROR",
                          win32::MB_OK | win32::MB_ICONSTOP);
    return false;
}

bool isControlKey(std::uintptr_t virtualKey) {
    return virtualKey == win32::VK_ESCAPE || virtualKey == win32::VK_F1 ||
           virtualKey == win32::VK_F2 || virtualKey == win32::VK_F3 || virtualKey == win32::VK_F12;
}

// Esc counts only while the window is active: a press made while it is minimised, or still waiting
// when it is minimised, is dropped, so that it never ends the program on restore.
void notePress(AppState& app, std::uintptr_t virtualKey) {
    if (isControlKey(virtualKey) && (virtualKey != win32::VK_ESCAPE || app.active)) {
        app.pendingPresses.set(virtualKey);
    }
}

}  // namespace

int openWindow(const char* title, std::int32_t width, std::int32_t height, std::int32_t bits,
               bool fullscreen) {
    AppState& app = appState();
    app.fullscreen = fullscreen;
    WindowRect rect{0, 0, width, height};
    app.instance = platform().getModuleHandle();

    if (!registerWindowClass(app.instance)) {
        showOpenError("Failed To Register The Window Class.");
        return 0;
    }
    if (app.fullscreen && !enterFullscreenOrAsk(app, width, height, bits)) {
        return 0;
    }
    std::uint32_t style = win32::WS_OVERLAPPEDWINDOW;
    std::uint32_t exStyle = win32::WS_EX_APPWINDOW | win32::WS_EX_WINDOWEDGE;
    if (app.fullscreen) {
        platform().showCursor(false);
        style = win32::WS_POPUP;
        exStyle = win32::WS_EX_APPWINDOW;
    }

    platform().adjustWindowRectEx(rect, style, false, exStyle);
    app.window = platform().createWindowEx(
        exStyle, kWindowClassName, title, style | win32::WS_CLIPSIBLINGS | win32::WS_CLIPCHILDREN,
        0, 0, rect.right - rect.left, rect.bottom - rect.top, app.instance);
    if (app.window == nullptr) {
        return failOpening("Window Creation Error.");
    }
    if (!app.pixelFormatFilled) {
        fillPixelFormatRequest(app.pixelFormat, bits);
        app.pixelFormatFilled = true;
    }
    app.deviceContext = platform().getDC(app.window);
    if (app.deviceContext == nullptr) {
        return failOpening("Can't Create A GL Device Context.");
    }
    const int format = platform().choosePixelFormat(app.deviceContext, app.pixelFormat);
    if (format == 0) {
        return failOpening("Can't Find A Suitable PixelFormat.");
    }
    if (!platform().setPixelFormat(app.deviceContext, format, app.pixelFormat)) {
        return failOpening("Can't Set The PixelFormat.");
    }
    app.renderingContext = platform().createContext(app.deviceContext);
    if (app.renderingContext == nullptr) {
        return failOpening("Can't Create A GL Rendering Context.");
    }
    if (!platform().makeCurrent(app.deviceContext, app.renderingContext)) {
        return failOpening("Can't Activate The GL Rendering Context.");
    }

    platform().showWindow(app.window, win32::SW_SHOW);
    platform().setForegroundWindow(app.window);
    platform().setFocus(app.window);
    resizeViewport(width, height);
    setupScene();
    return 1;
}

void closeWindow() {
    AppState& app = appState();
    if (app.fullscreen) {
        platform().changeDisplaySettings(nullptr, 0);
        platform().showCursor(true);
    }
    // Every handle is cleared once released, so a later failure path never releases it again.
    if (app.renderingContext != nullptr) {
        if (!platform().makeCurrent(nullptr, nullptr)) {
            showShutdownError("Release Of DC And RC Failed.");
        }
        if (!platform().deleteContext(app.renderingContext)) {
            showShutdownError("Release Rendering Context Failed.");
        }
        app.renderingContext = nullptr;
    }
    if (app.deviceContext != nullptr) {
        if (!platform().releaseDC(app.window, app.deviceContext)) {
            showShutdownError("Release Device Context Failed.");
        }
        app.deviceContext = nullptr;
    }
    if (app.window != nullptr) {
        if (!platform().destroyWindow(app.window)) {
            showShutdownError("Could Not Release hWnd.");
        }
        app.window = nullptr;
    }
    if (!platform().unregisterClass(kWindowClassName, app.instance)) {
        showShutdownError("Could Not Unregister Class.");
        app.instance = nullptr;
    }
}

std::intptr_t windowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
    AppState& app = appState();
    switch (message) {
        case win32::WM_ACTIVATE:
            app.active = highWord(wParam) == 0;
            if (!app.active) {
                app.pendingPresses.reset(win32::VK_ESCAPE);
            }
            return 0;
        case win32::WM_SYSCOMMAND:
            if (wParam == win32::SC_SCREENSAVE || wParam == win32::SC_MONITORPOWER) {
                return 0;
            }
            break;
        case win32::WM_CLOSE:
            platform().postQuitMessage(0);
            return 0;
        case win32::WM_KEYDOWN:
            app.keys[wParam & 0xFF] = 1;
            notePress(app, wParam & 0xFF);
            return 0;
        case win32::WM_KEYUP:
            app.keys[wParam & 0xFF] = 0;
            return 0;
        case win32::WM_SIZE:
            resizeViewport(lowWord(static_cast<std::uintptr_t>(lParam)),
                           highWord(static_cast<std::uintptr_t>(lParam)));
            return 0;
        default:
            break;
    }
    return platform().defWindowProc(window, message, wParam, lParam);
}

void resizeViewport(std::int32_t width, std::int32_t height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    applyPerspective(static_cast<double>(width) / static_cast<double>(height), 10.0, 10000.0);
}

void applyPerspective(double aspect, double nearPlane, double farPlane) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
