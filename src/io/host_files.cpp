#include "io/host_files.h"

#include <sys/stat.h>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string asciiLowered(std::string_view name) {
    std::string lowered(name);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), asciiLower);
    return lowered;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

#ifdef _WIN32

// Windows itself takes backslashes and ignores letter case: paths are used as they are.
std::string hostPath(std::string_view path) {
    return std::string(path);
}

struct FolderListings::Cache {};

FolderListings::FolderListings() = default;
FolderListings::~FolderListings() = default;

#else

// A folder's entries by their name in lower case; of names that differ only in case, the first
// listed.
using FolderListing = std::unordered_map<std::string, std::string>;

// A path resolved component by component: once a component is missing, the rest is kept as
// spelled.
struct ResolvedPath {
    std::string path;
    bool matching = true;
};

// The listings of the folders looked into (nothing for one that cannot be listed), and the
// folders resolved, each by its path.
struct FolderListings::Cache {
    std::unordered_map<std::string, std::optional<FolderListing> > listings;
    std::unordered_map<std::string, ResolvedPath> folders;
};

namespace {

thread_local FolderListings::Cache* currentListings = nullptr;

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// Gives `take` the name of each entry of the folder, until it says it has what it wants; false
// when the folder cannot be listed.
template <typename Take>
bool listFolder(const std::string& folder, Take take) {
    std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.empty() ? "." : folder.c_str()),
                                                ::closedir);
    if (!entries) {
        return false;
    }
    while (const dirent* entry = ::readdir(entries.get())) {
        if (take(entry->d_name)) {
            break;
        }
    }
    return true;
}

// The first entry of the folder whose name matches `component` ignoring ASCII case, if any.
std::optional<std::string> findIgnoringCase(const std::string& folder, std::string_view component) {
    std::optional<std::string> found;
    listFolder(folder, [&](const char* name) {
        if (equalIgnoringAsciiCase(name, component)) {
            found = name;
        }
        return found.has_value();
    });
    return found;
}

// The whole listing of the folder, or nothing when it cannot be listed.
std::optional<FolderListing> listingOf(const std::string& folder) {
    FolderListing listing;
    if (!listFolder(folder, [&](const char* name) {
            listing.emplace(asciiLowered(name), name);
            return false;
        })) {
        return std::nullopt;
    }
    return listing;
}

// The entry of a listing whose name matches `component` ignoring ASCII case, if any.
std::optional<std::string> matchIgnoringCase(const FolderListing& listing,
                                             std::string_view component) {
    const auto entry = listing.find(asciiLowered(component));
    return entry == listing.end() ? std::nullopt : std::optional(entry->second);
}

// The name of the entry of `folder` that `component` names: the one spelled so if there is one,
// else the one that matches it ignoring ASCII case.
std::optional<std::string> entryNamed(const std::string& folder, std::string_view component) {
    const std::string spelled = folder + std::string(component);
    if (currentListings == nullptr) {
        return exists(spelled) ? std::optional(std::string(component))
                               : findIgnoringCase(folder, component);
    }
    // Within a scope the folder's listing answers without a look at the disk, unless it holds the
    // name in another case only.
    auto [kept, added] = currentListings->listings.try_emplace(folder);
    if (added) {
        kept->second = listingOf(folder);
    }
    const std::optional<FolderListing>& listing = kept->second;
    auto match = listing ? matchIgnoringCase(*listing, component) : std::nullopt;
    if ((!listing || (match && *match != component)) && exists(spelled)) {
        return std::string(component);
    }
    return match;
}

// `folder` (empty, or ending in '/') followed by `component`, as it exists on disk.
ResolvedPath withComponent(ResolvedPath folder, std::string_view component) {
    if (folder.matching && !component.empty() && component != "." && component != "..") {
        if (auto entry = entryNamed(folder.path, component)) {
            return {folder.path + *entry, true};
        }
        folder.matching = false;
    }
    return {folder.path + std::string(component), folder.matching};
}

// A folder's path, spelled with '/' and ending in one (or empty), as it exists on disk.
ResolvedPath resolveFolder(std::string_view spelled) {
    ResolvedPath folder;
    if (spelled.starts_with('/')) {
        folder.path = "/";
        spelled.remove_prefix(1);
    }
    while (!spelled.empty()) {
        const std::size_t end = spelled.find('/');
        folder = withComponent(std::move(folder), spelled.substr(0, end));
        folder.path += '/';
        spelled.remove_prefix(end + 1);
    }
    return folder;
}

// Within a scope the files of one folder share its resolution.
ResolvedPath resolvedFolder(const std::string& spelled) {
    if (currentListings == nullptr) {
        return resolveFolder(spelled);
    }
    auto [kept, added] = currentListings->folders.try_emplace(spelled);
    if (added) {
        kept->second = resolveFolder(spelled);
    }
    return kept->second;
}

}  // namespace

FolderListings::FolderListings() {
    if (currentListings == nullptr) {
        own_ = std::make_unique<Cache>();
        currentListings = own_.get();
    }
}

FolderListings::~FolderListings() {
    if (own_) {
        currentListings = nullptr;
    }
}

std::string hostPath(std::string_view path) {
    std::string slashed(path);
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const std::size_t nameStart = slashed.rfind('/') + 1;  // 0 when there is no '/'
    return withComponent(resolvedFolder(slashed.substr(0, nameStart)),
                         std::string_view(slashed).substr(nameStart))
        .path;
}

#endif

std::FILE* openHostFile(std::string_view path, const char* mode) {
    return std::fopen(hostPath(path).c_str(), mode);
}

namespace {

MissingFileHook missingFileHook = nullptr;

}  // namespace

void setMissingFileHook(MissingFileHook hook) {
    missingFileHook = hook;
}

namespace {

using OpenFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// A size of 32 bits would take a file of 4 GiB and more for a small one.
static_assert(sizeof(decltype(stat::st_size)) >= 8, "file sizes need 64 bits");

// The file open for reading, without waiting: an open for reading waits for a writer on a FIFO,
// and on some devices for the device.
std::FILE* openWithoutWaiting(const std::string& path) {
#ifdef _WIN32
    return std::fopen(path.c_str(), "rb");  // there are no FIFOs here
#else
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr) {
        ::close(descriptor);
    }
    return file;
#endif
}

// Reads of a regular file wait for its bytes again, as a file opened in the ordinary way does.
bool readsWait(std::FILE* file) {
#ifdef _WIN32
    (void)file;
    return true;
#else
    const int descriptor = ::fileno(file);
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags != -1 && ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != -1;
#endif
}

struct RegularFile {
    ReadResult problem;
    OpenFile file{nullptr, std::fclose};
    std::uint64_t size = 0;
};

// The file open for reading, with its size; or why not: it cannot be opened; it is a folder (which
// opens on some hosts, but gives no bytes); or it is no regular file, and is refused before
// anything is read from it.
RegularFile openRegularFile(std::string_view path) {
    const std::string onHost = hostPath(path);
    RegularFile opened{{}, OpenFile(openWithoutWaiting(onHost), std::fclose)};
    struct stat info;
    if (!opened.file) {
        opened.problem = kCannotOpenFile;
        if ((errno == ENOENT || errno == ENOTDIR) && missingFileHook != nullptr) {
            missingFileHook(onHost);
        }
    } else if (::fstat(::fileno(opened.file.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
        opened.problem = kUnreadableFile;
    } else if (!S_ISREG(info.st_mode)) {
        opened.problem = kNotRegularFile;
    } else if (!readsWait(opened.file.get())) {
        opened.problem = kUnreadableFile;
    } else {
        opened.size = static_cast<std::uint64_t>(info.st_size);
    }
    return opened;
}

}  // namespace

ReadResult openingProblem(std::string_view path) {
    ReadResult problem = openRegularFile(path).problem;
    return problem.kind() == Failure::unreadable ? ReadResult() : problem;
}

bool hostFileReadable(std::string_view path) {
    return static_cast<bool>(openingProblem(path));
}

Result<FileBytes> readHostFile(std::string_view path, std::uint64_t limit) {
    const RegularFile opened = openRegularFile(path);
    if (!opened.problem) {
        return opened.problem;
    }
    if (opened.size > limit) {
        return kFileTooLarge;
    }
    FileBytes bytes(static_cast<std::size_t>(opened.size));
    if (!bytes.empty() &&
        std::fread(bytes.data(), 1, bytes.size(), opened.file.get()) != bytes.size()) {
        return kUnreadableFile;
    }
    return bytes;
}

Result<FileBytes> readHostFileStart(std::string_view path, std::size_t count) {
    const RegularFile opened = openRegularFile(path);
    if (!opened.problem) {
        return opened.problem;
    }
    FileBytes bytes(count);
    bytes.resize(std::fread(bytes.data(), 1, count, opened.file.get()));
    if (std::ferror(opened.file.get())) {
        return kUnreadableFile;
    }
    return bytes;
}
namespace {

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

// "..", and what Windows may read as "..": a component of only dots and spaces (Windows drops a
// component's trailing dots and spaces) with two dots or more.
bool climbs(std::string_view component) {
    return component.find_first_not_of(". ") == std::string_view::npos &&
           std::count(component.begin(), component.end(), '.') >= 2;
}

bool hasDriveLetter(std::string_view name) {
    return name.size() >= 2 && asciiLower(name[0]) >= 'a' && asciiLower(name[0]) <= 'z' &&
           name[1] == ':';
}

}  // namespace

bool staysBelowDataRoot(std::string_view name) {
    if ((!name.empty() && isPathSeparator(name[0])) || hasDriveLetter(name)) {
        return false;
    }
    while (!name.empty()) {
        const auto end = std::find_if(name.begin(), name.end(), isPathSeparator);
        const auto length = static_cast<std::size_t>(end - name.begin());
        if (climbs(name.substr(0, length))) {
            return false;
        }
        name.remove_prefix(std::min(length + 1, name.size()));
    }
    return true;
}

std::optional<std::string> composeDataPath(const char* format, std::string_view root,
                                           std::string_view name) {
    if (!staysBelowDataRoot(name)) {
        return std::nullopt;
    }
    const std::string rootText(root);
    const std::string nameText(name);
    const int length = std::snprintf(nullptr, 0, format, rootText.c_str(), nameText.c_str());
    if (length < 0 || static_cast<std::size_t>(length) > kMaxPathLength) {
        return std::nullopt;
    }
    std::string path(static_cast<std::size_t>(length), '\0');
    std::snprintf(path.data(), path.size() + 1, format, rootText.c_str(), nameText.c_str());
    return path;
}
