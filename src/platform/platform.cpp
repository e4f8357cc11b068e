#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
Platform* currentPlatform = nullptr;
}

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
    platform().setWindowText(window, title);
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
