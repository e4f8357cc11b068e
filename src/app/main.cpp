// The viewer's entry: the platform backend of the host, then the program itself. On Windows the
// backend is the system's own calls; elsewhere the emulated Windows services on the SDL2 desktop.

#include "app/viewer.h"

#ifdef _WIN32
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32_platform.h"
// After our headers: its macros bear the names of the values in win32_types.h.
#include <windows.h>

// Needs windows.h before it.
#include <shellapi.h>

namespace {

// `text` in the ANSI code page, each character it lacks as '?', and whether there was one. Where
// that code page is UTF-8 it lacks none (and Windows takes no question about it).
std::string inAnsiCodePage(const std::wstring& text, bool& lossy) {
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaultUsed = FALSE;
    BOOL* const askDefault = utf8 ? nullptr : &defaultUsed;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, text.c_str(), -1, nullptr, 0, nullptr, askDefault);
    std::string converted(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.c_str(), -1, converted.data(), size, nullptr,
                        askDefault);
    converted.pop_back();
    lossy = size <= 0 || defaultUsed;
    return converted;
}

// The file's short (8.3) path, whose names the ANSI code page can spell; empty when the file is
// not there or its volume keeps no short names.
std::wstring shortPath(const std::wstring& path) {
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    std::wstring shortened(size, L'\0');
    if (size == 0 || GetShortPathNameW(path.c_str(), shortened.data(), size) + 1 != size) {
        return {};
    }
    shortened.pop_back();
    return shortened;
}

// An argument in the ANSI code page, as the file layer opens paths with fopen. A file whose name
// has characters beyond that code page is named by its short path; failing that, those characters
// are '?' and the file is not found.
std::string ansiArgument(const std::wstring& argument) {
    bool lossy = false;
    std::string converted = inAnsiCodePage(argument, lossy);
    const std::wstring shortened = lossy ? shortPath(argument) : std::wstring();
    if (!shortened.empty()) {
        std::string shortConverted = inAnsiCodePage(shortened, lossy);
        if (!lossy) {
            return shortConverted;
        }
    }
    return converted;
}

// The arguments after the program's name, from the wide command line: what Explorer passes for a
// file dropped on the program or opened with it.
std::vector<std::string> commandLineArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> converted;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        converted.push_back(ansiArgument(arguments[i]));
    }
    LocalFree(arguments);
    return converted;
}

bool hasHandle(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A GUI program has no console of its own: the help, the version and the errors go to the console
// it was started from, when there is one, unless they were sent elsewhere (a file, a pipe).
// Whether standard error now reaches someone: else notes are shown in boxes.
bool writeToParentConsole() {
    const bool outputSent = hasHandle(STD_OUTPUT_HANDLE);
    const bool errorSent = hasHandle(STD_ERROR_HANDLE);
    if ((outputSent && errorSent) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return errorSent;
    }
    if (!outputSent) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!errorSent) {
        std::freopen("CONOUT$", "w", stderr);
    }
    return true;
}

}  // namespace

// The instance handles, command line and show command are not used: the wide command line is read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const bool terminal = writeToParentConsole();
    Win32Platform windows;
    usePlatform(windows);
    const std::vector<std::string> arguments = commandLineArguments();
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    return runCommandLine(views, Desktop{[] { return true; }, terminal});
}
#else
#include <unistd.h>

#include <string_view>
#include <vector>

#include "platform/emulated_win32.h"
#include "platform/sdl_host.h"

// The display is only taken on when the first window opens: --help and --version need none. A
// file manager starts the viewer with standard error going nowhere that the user sees.
int main(int argc, char** argv) {
    SdlHost desktop;
    EmulatedWin32 services(desktop);
    usePlatform(services);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const Desktop thisDesktop{[&desktop] { return desktop.videoReady(); },
                              ::isatty(STDERR_FILENO) == 1};
    return runCommandLine(arguments, thisDesktop);
}
#endif
