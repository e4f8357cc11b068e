#include "io/host_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

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

#else

#include <dirent.h>

namespace {

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `directory` whose name matches `component` ignoring ASCII case, if any.
std::optional<std::string> findEntryIgnoringCase(const std::string& directory,
                                                 std::string_view component) {
    std::unique_ptr<DIR, int (*)(DIR*)> listing(
        ::opendir(directory.empty() ? "." : directory.c_str()), ::closedir);
    if (!listing) {
        return std::nullopt;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        if (equalIgnoringAsciiCase(entry->d_name, component)) {
            return std::string(entry->d_name);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string hostPath(std::string_view path) {
    std::string slashed(path);
    std::replace(slashed.begin(), slashed.end(), '\\', '/');

    std::string resolved;
    std::size_t start = 0;
    if (!slashed.empty() && slashed[0] == '/') {
        resolved = "/";
        start = 1;
    }
    bool matching = true;  // once a component is missing, the rest is kept as spelled
    while (start <= slashed.size()) {
        std::size_t end = slashed.find('/', start);
        if (end == std::string::npos) {
            end = slashed.size();
        }
        const std::string_view component = std::string_view(slashed).substr(start, end - start);
        std::string candidate = resolved + std::string(component);
        if (matching && !component.empty() && component != "." && component != ".." &&
            !exists(candidate)) {
            if (auto entry = findEntryIgnoringCase(resolved, component)) {
                candidate = resolved + *entry;
            } else {
                matching = false;
            }
        }
        resolved = std::move(candidate);
        if (end == slashed.size()) {
            break;
        }
        resolved += '/';
        start = end + 1;
    }
    return resolved;
}

#endif

std::FILE* openHostFile(std::string_view path, const char* mode) {
    return std::fopen(hostPath(path).c_str(), mode);
}

bool hostFileReadable(std::string_view path) {
    std::FILE* file = openHostFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

namespace {

using OpenFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// A size of 32 bits would take a file of 4 GiB and more for a small one.
static_assert(sizeof(decltype(stat::st_size)) >= 8, "file sizes need 64 bits");

struct RegularFile {
    HostFile::Problem problem = HostFile::Problem::none;
    OpenFile file{nullptr, std::fclose};
    std::uint64_t size = 0;
};

// The file open for reading, with its size; or why not: it cannot be opened, or it is no regular
// file (a folder opens on some hosts, but gives no bytes).
RegularFile openRegularFile(std::string_view path) {
    RegularFile opened{HostFile::Problem::none, OpenFile(openHostFile(path, "rb"), std::fclose)};
    struct stat info;
    if (!opened.file) {
        opened.problem = HostFile::Problem::cannotOpen;
    } else if (::fstat(::fileno(opened.file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
        opened.problem = HostFile::Problem::unreadable;
    } else {
        opened.size = static_cast<std::uint64_t>(info.st_size);
    }
    return opened;
}

}  // namespace

HostFile readHostFile(std::string_view path, std::uint64_t limit) {
    const RegularFile opened = openRegularFile(path);
    if (opened.problem != HostFile::Problem::none) {
        return {opened.problem, {}};
    }
    if (opened.size > limit) {
        return {HostFile::Problem::tooLarge, {}};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(opened.size));
    if (!bytes.empty() &&
        std::fread(bytes.data(), 1, bytes.size(), opened.file.get()) != bytes.size()) {
        return {HostFile::Problem::unreadable, {}};
    }
    return {HostFile::Problem::none, std::move(bytes)};
}

std::optional<std::vector<std::uint8_t>> readHostFileStart(std::string_view path,
                                                           std::size_t count) {
    const RegularFile opened = openRegularFile(path);
    if (opened.problem != HostFile::Problem::none) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(count);
    bytes.resize(std::fread(bytes.data(), 1, count, opened.file.get()));
    if (std::ferror(opened.file.get())) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> composeDataPath(const char* format, std::string_view root,
                                           std::string_view name) {
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
