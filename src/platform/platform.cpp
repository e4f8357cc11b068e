#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

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
