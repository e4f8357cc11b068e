#pragma once
// Host file access. Data files name their paths with backslashes and in whatever letter case their
// author typed; on a host whose separator is '/' each '\' becomes '/', and a path component that
// does not exist as spelled takes the directory entry whose name matches it ignoring ASCII case.
// Names are bytes and are never re-encoded. Every file the viewer reads or writes goes through
// here.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/input_limits.h"

// The longest path the viewer composes: 511 characters (a 512-byte buffer on the original host).
inline constexpr std::size_t kMaxPathLength = 511;

std::string hostPath(std::string_view path);

// Whether two names are the same ignoring the letter case of ASCII letters; other bytes must match.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// A data file's bytes, or why there are none: it could not be opened; it opened but could not be
// read whole (a folder, or a read that failed); or it was larger than allowed.
struct HostFile {
    enum class Problem { none, cannotOpen, unreadable, tooLarge };
    Problem problem = Problem::cannotOpen;
    std::vector<std::uint8_t> bytes;

    explicit operator bool() const { return problem == Problem::none; }
};

// The whole file. One larger than `limit` bytes is refused before anything is read or allocated.
HostFile readHostFile(std::string_view path, std::uint64_t limit = kMaxDataFileBytes);

// The file's first `count` bytes (all of it when it is shorter), or nothing when it cannot be
// opened or read: a file of any size costs at most `count` bytes.
std::optional<std::vector<std::uint8_t>> readHostFileStart(std::string_view path,
                                                           std::size_t count);

// Whether the file can be opened for reading.
bool hostFileReadable(std::string_view path);

std::FILE* openHostFile(std::string_view path, const char* mode);

// printf-style path composition with a data root and one name, e.g. "%s\\data\\texture\\%s";
// nothing when the result is longer than kMaxPathLength.
std::optional<std::string> composeDataPath(const char* format, std::string_view root,
                                           std::string_view name);
