#pragma once
// The Windows values and records that the platform layer speaks: message codes, virtual keys,
// styles, message-box flags and answers, display and pixel-format records. Every backend takes and
// returns these, so the window procedure and the shell read the same on every host. On Windows,
// <windows.h> defines the same names as macros: only the few files that need it include it, after
// this one, and the Win32 backend checks that the values agree.

#include <cstdint>

#if defined(_WIN32) && defined(WM_SIZE)
#error "<windows.h> must come after win32_types.h: its macros take the names of the values here"
#endif

using InstanceHandle = void*;
using WindowHandle = void*;
using DeviceContextHandle = void*;
using RenderingContextHandle = void*;

using WindowProcedure = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

namespace win32 {

// Messages.
inline constexpr std::uint32_t WM_SIZE = 0x0005;
inline constexpr std::uint32_t WM_ACTIVATE = 0x0006;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;

// System commands.
inline constexpr std::uintptr_t SC_SCREENSAVE = 0xF140;
inline constexpr std::uintptr_t SC_MONITORPOWER = 0xF170;
inline constexpr std::uintptr_t SC_CLOSE = 0xF060;

// WM_ACTIVATE low word.
inline constexpr std::uint16_t WA_INACTIVE = 0;
inline constexpr std::uint16_t WA_ACTIVE = 1;

// Virtual-key codes.
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F12 = 0x7B;
inline constexpr int VK_NUMPAD0 = 0x60;

// Window class and window styles.
inline constexpr std::uint32_t CS_VREDRAW = 0x0001;
inline constexpr std::uint32_t CS_HREDRAW = 0x0002;
inline constexpr std::uint32_t CS_OWNDC = 0x0020;
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000;  // a frame the user can drag
inline constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
inline constexpr std::uint32_t WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
inline constexpr int SW_SHOW = 5;

// Display modes.
inline constexpr std::uint32_t DM_BITSPERPEL = 0x00040000;
inline constexpr std::uint32_t DM_PELSWIDTH = 0x00080000;
inline constexpr std::uint32_t DM_PELSHEIGHT = 0x00100000;
inline constexpr std::uint32_t CDS_FULLSCREEN = 0x00000004;
inline constexpr std::int32_t DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr std::int32_t DISP_CHANGE_BADMODE = -2;

// Message boxes.
inline constexpr std::uint32_t MB_OK = 0x00000000;
inline constexpr std::uint32_t MB_YESNO = 0x00000004;
inline constexpr std::uint32_t MB_ICONSTOP = 0x00000010;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x00000030;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x00000040;
inline constexpr std::uint32_t MB_TYPEMASK = 0x0000000F;
inline constexpr std::uint32_t MB_ICONMASK = 0x000000F0;
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Pixel formats.
inline constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x00000001;
inline constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x00000004;
inline constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x00000020;
inline constexpr std::uint8_t PFD_TYPE_RGBA = 0;
inline constexpr std::uint8_t PFD_MAIN_PLANE = 0;

}  // namespace win32

struct WindowClass {
    std::uint32_t style = 0;
    WindowProcedure procedure = nullptr;
    InstanceHandle instance = nullptr;
    const char* className = nullptr;  // icon IDI_WINLOGO, cursor IDC_ARROW, no brush, no menu
};

struct DisplayMode {
    std::uint32_t fields = 0;
    std::uint32_t bitsPerPel = 0;
    std::uint32_t pelsWidth = 0;
    std::uint32_t pelsHeight = 0;
};

struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct CursorPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct WindowMessage {
    WindowHandle window = nullptr;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// The 40-byte PIXELFORMATDESCRIPTOR, member for member.
struct PixelFormatDescriptor {
    std::uint16_t nSize = 0;
    std::uint16_t nVersion = 0;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = 0;
    std::uint8_t cColorBits = 0;
    std::uint8_t cRedBits = 0, cRedShift = 0, cGreenBits = 0, cGreenShift = 0;
    std::uint8_t cBlueBits = 0, cBlueShift = 0, cAlphaBits = 0, cAlphaShift = 0;
    std::uint8_t cAccumBits = 0, cAccumRedBits = 0, cAccumGreenBits = 0, cAccumBlueBits = 0;
    std::uint8_t cAccumAlphaBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t cAuxBuffers = 0;
    std::uint8_t iLayerType = 0;
    std::uint8_t bReserved = 0;
    std::uint32_t dwLayerMask = 0;
    std::uint32_t dwVisibleMask = 0;
    std::uint32_t dwDamageMask = 0;
};
static_assert(sizeof(PixelFormatDescriptor) == 40);

inline std::uint16_t lowWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
inline std::uint16_t highWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}
inline std::intptr_t makeLong(std::uint16_t low, std::uint16_t high) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(high) << 16) | low);
}
