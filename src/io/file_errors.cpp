#include "io/file_errors.h"

#include <cstdio>

#include "io/input_limits.h"

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
    std::fprintf(stderr, "%.*s - %.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(path.size()), path.data());
}

ReadResult reported(ReadResult result, std::string_view path) {
    if (!result) {
        reportFileError(result.reason(), path);
    }
    return result;
}
