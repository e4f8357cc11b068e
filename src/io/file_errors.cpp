#include "io/file_errors.h"

#include <cstdio>
#include <optional>
#include <set>
#include <utility>

#include "io/input_limits.h"
#include "text/printable_text.h"

namespace {

// The lines of the current load, while there is one.
std::optional<std::set<std::pair<std::string, std::string>, std::less<>>> reportedThisLoad;

// False when the line was already written in this load; else notes it.
bool firstTimeThisLoad(std::string_view what, std::string_view path) {
    return !reportedThisLoad || reportedThisLoad->emplace(what, path).second;
}

}  // namespace

ReadResult unreadFileResult(const HostFile& file, std::string cannotOpen) {
    if (file.problem == HostFile::Problem::cannotOpen) {
        return CannotOpen{std::move(cannotOpen)};
    }
    if (file.problem == HostFile::Problem::tooLarge) {
        return Damaged{kFileTooLarge};
    }
    if (file.problem == HostFile::Problem::notRegular) {
        return Damaged{kNotRegularFile};
    }
    return Damaged{std::move(cannotOpen)};
}

void reportFileError(std::string_view what, std::string_view path) {
    try {
        if (firstTimeThisLoad(what, path)) {
            std::fprintf(stderr, "%s - %s\n", printableText(what).c_str(),
                         printableText(path).c_str());
        }
    } catch (const std::bad_alloc&) {
        // Too little memory left to escape the names: the line says so without them.
        std::fprintf(stderr, "%s\n", kOutOfMemory);
    }
}

FileErrorsOncePerLoad::FileErrorsOncePerLoad() {
    reportedThisLoad.emplace();
}

FileErrorsOncePerLoad::~FileErrorsOncePerLoad() {
    reportedThisLoad.reset();
}

ReadResult reported(ReadResult result, std::string_view path) {
    if (!result) {
        reportFileError(result.reason(), path);
    }
    return result;
}
