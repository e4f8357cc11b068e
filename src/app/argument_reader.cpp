// orvalis.arg read from the current directory, or a folder named, into the application state, its
// failures shown; argument_file.cpp parses it.
#include "app/argument_file.h"

#include <filesystem>

#include "app/app_state.h"
#include "io/file_errors.h"
#include "io/host_files.h"
#include "io/input_limits.h"
#include "platform/platform.h"

namespace {

constexpr std::size_t kDirectoryBuffer = 1024;

void showArgumentError(const char* text) {
    platform().messageBox(nullptr, text, "Error", win32::MB_OK);
}

// The path of orvalis.arg in the folder, or in the current directory when none is named, if the
// directory can be had and the path fits in 1024 bytes.
std::optional<std::string> argumentFilePath(std::string_view folder) {
    std::string directory(folder);
    if (directory.empty()) {
        char current[kDirectoryBuffer];
        const std::uint32_t length = platform().getCurrentDirectory(sizeof current, current);
        directory.assign(current, length < sizeof current ? length : 0);
    }
    static constexpr std::string_view kFileName = "\\orvalis.arg";
    if (directory.empty() || directory.size() + kFileName.size() >= kDirectoryBuffer) {
        return std::nullopt;
    }
    return directory + std::string(kFileName);
}

// A relative path of a named folder's argument file starts in that folder; in the current
// directory's, it stays as written.
std::string placedIn(std::string_view folder, std::string path) {
    const bool relative = !path.empty() && path.front() != '/' && path.front() != '\\' &&
                          std::filesystem::path(path).is_relative();
    return folder.empty() || !relative ? path : std::string(folder) + "\\" + path;
}

ReadResult readArguments(std::string_view folder) {
    const std::optional<std::string> path = argumentFilePath(folder);
    if (!path) {
        return kArgumentFileCannotOpen;
    }
    const Result<FileBytes> bytes = readHostFileStart(*path, kArgumentFileReadBytes);
    if (!bytes) {
        return bytes.result().toldAs(kArgumentFileCannotOpen);
    }
    auto parsed = parseArgumentFile(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (parsed.kind() == Failure::outOfMemory) {
        // Told as when memory runs out anywhere else in the read.
        reportFileError(kOutOfMemory.text, "orvalis.arg");
        return kArgumentFileOutOfMemory;
    }
    if (!parsed) {
        return parsed.result();
    }
    if (parsed->names.empty()) {
        return kArgumentFileNamesNoFile;
    }
    AppState& app = appState();
    app.dataRoot = placedIn(folder, std::move(parsed->dataRoot));
    app.names.clear();
    for (std::string& name : parsed->names) {
        app.names.push_back(placedIn(folder, std::move(name)));
    }
    return {};
}

}  // namespace

ReadResult readArgumentFile(std::string_view folder) {
    const ReadResult result = failingWhenMemoryRunsOut(
        "orvalis.arg", [folder] { return readArguments(folder); },
        [] { return ReadResult(kArgumentFileOutOfMemory); });
    if (!result) {
        showArgumentError(result.reason().c_str());
    }
    return result;
}
