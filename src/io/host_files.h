#pragma once
// Host file access. Data files name their paths with backslashes and in whatever letter case their
// author typed; on a host whose separator is '/' each '\' becomes '/', and a path component that
// does not exist as spelled takes the directory entry whose name matches it ignoring ASCII case.
// Names are bytes and are never re-encoded. Every file the viewer reads or writes goes through
// here. Only regular files are read: a FIFO, socket or device is refused without waiting on it.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/file_texts.h"
#include "io/input_limits.h"
#include "io/read_result.h"

// The longest path the viewer composes: 511 characters (a 512-byte buffer on the original host).
inline constexpr std::size_t kMaxPathLength = 511;

std::string hostPath(std::string_view path);

// While one lives, each folder that a path goes through is listed once, and its listing and the
// folder's place on disk are kept: a scene that names thousands of missing files below one folder
// then costs one listing of it, not one per name, and a name found as spelled needs no look at the
// disk. It is scoped to one scene load, since a folder may change between loads (F1 loads the
// scene again, and should see the files as they are then); outside a scope every path is resolved
// afresh. Within one, a file added to a folder already listed is found only as spelled. Scopes
// nest: an inner one uses the outer one's listings. Only the thread that made it uses it. On
// Windows, whose paths are used as they are, it does nothing.
class FolderListings {
  public:
    FolderListings();
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

    struct Cache;

  private:
    std::unique_ptr<Cache> own_;  // null when an outer scope's listings are used
};

// Whether two names are the same ignoring the letter case of ASCII letters; other bytes must match.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);
// The name with its ASCII letters in lower case; other bytes as they are.
std::string asciiLowered(std::string_view name);

// A data file's bytes.
using FileBytes = std::vector<std::uint8_t>;

// The whole file, or why there are none: it could not be opened (kCannotOpenFile); it opened but
// could not be read whole, a folder or a read that failed (kUnreadableFile); it is a FIFO, socket
// or device, refused at once (kNotRegularFile); or it is larger than `limit` bytes, refused before
// anything is read or allocated (kFileTooLarge).
Result<FileBytes> readHostFile(std::string_view path, std::uint64_t limit = kMaxDataFileBytes);

// The file's first `count` bytes (all of it when it is shorter), or why there are none, as
// readHostFile tells it: a file of any size costs at most `count` bytes.
Result<FileBytes> readHostFileStart(std::string_view path, std::size_t count);

// Whether the file can be opened for reading: it exists, may be opened, and is no FIFO, socket or
// device (a folder opens on some hosts).
bool hostFileReadable(std::string_view path);
// What keeps the file from being read, as far as opening it tells: read when it opens as a regular
// file or a folder, else kCannotOpenFile or kNotRegularFile.
ReadResult openingProblem(std::string_view path);

// Called with the host path of every file that a read did not find (neither it nor a folder on its
// way exists), before the read reports its failure. None by default; the viewer's --verbose sets
// one. Only the thread that reads scenes sets it, before it reads.
using MissingFileHook = void (*)(const std::string& hostPath);
void setMissingFileHook(MissingFileHook hook);

// For writing: `mode` as fopen takes it.
std::FILE* openHostFile(std::string_view path, const char* mode);

// Whether a name that a data file gives stays below the data root: it is not absolute (no leading
// '/' or '\\', no drive letter as in "C:") and climbs no folder. Any ".." component is refused,
// even one that would stay inside ("a\\..\\b.bmp"), and so is any component of dots and spaces
// with two dots or more, which Windows reads as "..". Other names, "." among them, stay.
bool staysBelowDataRoot(std::string_view name);

// printf-style path composition with a data root and one name, e.g. "%s\\data\\texture\\%s";
// nothing when the name does not stay below the data root, or when the result is longer than
// kMaxPathLength.
std::optional<std::string> composeDataPath(const char* format, std::string_view root,
                                           std::string_view name);
