#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "text/printable_text.h"

namespace {

Platform* currentPlatform = nullptr;

// The boxes of the current MessageBoxLimit: how many of each caption were shown, how many not.
struct LimitedBoxes {
    bool active = false;
    std::map<std::string, int, std::less<>> shown;
    long notShown = 0;
};
LimitedBoxes limitedBoxes;

// The title setWindowTitle set last, and on which window.
WindowHandle lastTitledWindow = nullptr;
std::string lastTitle;

}  // namespace

Platform& platform() {
    if (currentPlatform == nullptr) {
        std::fputs("No platform backend selected\n", stderr);
        std::abort();
    }
    return *currentPlatform;
}

void usePlatform(Platform& backend) {
    currentPlatform = &backend;
}

void setWindowTitle(WindowHandle window, const char* format, ...) {
    if (window == nullptr) {
        return;
    }
    char title[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(title, sizeof title, format, arguments);
    va_end(arguments);
    lastTitledWindow = window;
    lastTitle = printableText(title);
    platform().setWindowText(window, lastTitle.c_str());
}

std::string lastWindowTitle(WindowHandle window) {
    return window == lastTitledWindow ? lastTitle : std::string();
}

std::uint32_t answerCurrentDirectory(std::string_view directory, std::uint32_t bufferSize,
                                     char* buffer) {
    if (directory.empty()) {
        return 0;
    }
    if (directory.size() + 1 > bufferSize) {
        return static_cast<std::uint32_t>(directory.size() + 1);
    }
    std::memcpy(buffer, directory.data(), directory.size());
    buffer[directory.size()] = '\0';
    return static_cast<std::uint32_t>(directory.size());
}

std::string messageBoxLine(const char* caption, const char* text) {
    // A break at the very end only ends the text; "\r\n" is one break, as on Windows.
    std::string body(text);
    for (const char ending : {'\n', '\r'}) {
        if (body.ends_with(ending)) {
            body.pop_back();
        }
    }
    std::string line = std::string(caption) + ": ";
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body.compare(i, 2, "\r\n") != 0) {
            line += body[i] == '\n' || body[i] == '\r' ? ' ' : body[i];
        }
    }
    return printableText(line);
}

void writeMessageBoxLine(const char* caption, const char* text) {
    std::fprintf(stderr, "%s\n", messageBoxLine(caption, text).c_str());
    std::fflush(stderr);
}

std::string printableBoxText(std::string_view text) {
    std::string printable;
    for (;;) {
        const std::size_t lineEnd = text.find_first_of("\r\n");
        printable += printableText(text.substr(0, lineEnd));
        if (lineEnd == std::string_view::npos) {
            return printable;
        }
        printable += text[lineEnd];
        text.remove_prefix(lineEnd + 1);
    }
}

int closedBoxAnswer(std::uint32_t type) {
    return (type & win32::MB_TYPEMASK) == win32::MB_YESNO ? win32::IDNO : win32::IDOK;
}

MessageBoxLimit::MessageBoxLimit() {
    limitedBoxes = LimitedBoxes{};
    limitedBoxes.active = true;
}

MessageBoxLimit::~MessageBoxLimit() {
    if (limitedBoxes.notShown > 0) {
        std::fprintf(stderr, "%ld more messages not shown\n", limitedBoxes.notShown);
        std::fflush(stderr);
    }
    limitedBoxes = LimitedBoxes{};
}

int limitedMessageBox(WindowHandle owner, const char* text, const char* caption,
                      std::uint32_t type) {
    if (limitedBoxes.active) {
        int& shown = limitedBoxes.shown[caption];
        if (shown == kShownBoxesPerCaption) {
            ++limitedBoxes.notShown;
            writeMessageBoxLine(caption, text);
            return closedBoxAnswer(type);
        }
        ++shown;
    }
    return platform().messageBox(owner, text, caption, type);
}
