// The viewer's entry: the platform backend of the host, then the program itself. On Windows the
// backend is the system's own calls; elsewhere the emulated Windows services on the SDL2 desktop.

#include "app/viewer.h"

#ifdef _WIN32
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

// An argument in the ANSI code page, as the file layer opens paths with fopen. A character that
// code page lacks becomes '?', and a file of that name is then not found.
std::string ansiArgument(const wchar_t* argument) {
    const int size = WideCharToMultiByte(CP_ACP, 0, argument, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, argument, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();
    return text;
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
void writeToParentConsole() {
    const bool outputSent = hasHandle(STD_OUTPUT_HANDLE);
    const bool errorSent = hasHandle(STD_ERROR_HANDLE);
    if ((outputSent && errorSent) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (!outputSent) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!errorSent) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

}  // namespace

// The instance handles, command line and show command are not used: the wide command line is read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    writeToParentConsole();
    Win32Platform windows;
    usePlatform(windows);
    const std::vector<std::string> arguments = commandLineArguments();
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    return runCommandLine(views);
}
#else
#include <string_view>
#include <vector>

#include "platform/emulated_win32.h"
#include "platform/sdl_host.h"

// The display is only taken on when the first window opens: --help and --version need none.
int main(int argc, char** argv) {
    SdlHost desktop;
    EmulatedWin32 services(desktop);
    usePlatform(services);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return runCommandLine(arguments);
}
#endif
