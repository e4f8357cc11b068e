#include "io/file_errors.h"

#include <cstdio>
#include <optional>
#include <set>
#include <utility>

#include "text/printable_text.h"

namespace {

// The lines of the current load, while there is one.
std::optional<std::set<std::pair<std::string, std::string>, std::less<>>> reportedThisLoad;

// False when the line was already written in this load; else notes it.
bool firstTimeThisLoad(std::string_view what, std::string_view path) {
    return !reportedThisLoad || reportedThisLoad->emplace(what, path).second;
}

}  // namespace

ReadResult unreadFileResult(const ReadResult& unread, const FailureText& cannotOpen) {
    if (unread.kind() == Failure::cannotOpen || unread.kind() == Failure::unreadable) {
        return unread.toldAs(cannotOpen);
    }
    return unread;
}

void reportFileError(std::string_view what, std::string_view path) {
    try {
        if (firstTimeThisLoad(what, path)) {
            std::fprintf(stderr, "%s - %s\n", printableText(what).c_str(),
                         printableText(path).c_str());
        }
    } catch (const std::bad_alloc&) {
        // Too little memory left to escape the names: the line says so without them.
        std::fprintf(stderr, "%s\n", kOutOfMemory.text.data());
    }
}

FileErrorsOncePerLoad::FileErrorsOncePerLoad() {
    reportedThisLoad.emplace();
}

FileErrorsOncePerLoad::~FileErrorsOncePerLoad() {
    reportedThisLoad.reset();
}

namespace {

// Out at once, so that a viewer ended by a signal has still told it.
void printStandardOutputLine(std::string_view what, std::string_view path) {
    try {
        std::printf("%s - %s\n", printableText(what).c_str(), printableText(path).c_str());
    } catch (const std::bad_alloc&) {
        // Too little memory left to escape the names: the line says so without them.
        std::printf("%s\n", kOutOfMemory.text.data());
    }
    std::fflush(stdout);
}

}  // namespace

ReadResult reported(ReadResult result, std::string_view path) {
    if (!result && result.channel() == Channel::standardOutput) {
        printStandardOutputLine(result.reason(), path);
    } else if (!result && result.channel() == Channel::standardError) {
        reportFileError(result.reason(), path);
    }
    return result;
}
