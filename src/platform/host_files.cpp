#include "platform/host_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

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

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
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

std::optional<std::vector<std::uint8_t>> readHostFile(std::string_view path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openHostFile(path, "rb"), std::fclose);
    if (!file) {
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
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

void reportFileError(std::string_view what, std::string_view path) {
    std::fprintf(stderr, "%.*s - %.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(path.size()), path.data());
}

std::string workingDirectory() {
    char directory[4096];
    return ::getcwd(directory, sizeof directory) ? std::string(directory) : std::string();
}
