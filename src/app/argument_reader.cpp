// orvalis.arg read from the current directory into the application state, its failures shown;
// argument_file.cpp parses it.
#include "app/argument_file.h"

#include "app/app_state.h"
#include "io/file_errors.h"
#include "io/host_files.h"
#include "io/input_limits.h"
#include "platform/platform.h"

namespace {

constexpr char kCannotOpen[] = "Can't open orvalis.arg";
constexpr std::size_t kDirectoryBuffer = 1024;

void showArgumentError(const char* text) {
    platform().messageBox(nullptr, text, "Error", win32::MB_OK);
}

// The path of orvalis.arg in the current directory, if the directory can be had and the path fits
// in 1024 bytes.
std::optional<std::string> argumentFilePath() {
    char directory[kDirectoryBuffer];
    const std::uint32_t length = platform().getCurrentDirectory(sizeof directory, directory);
    static constexpr std::string_view kFileName = "\\orvalis.arg";
    if (length == 0 || length + kFileName.size() >= sizeof directory) {
        return std::nullopt;
    }
    return std::string(directory, length) + std::string(kFileName);
}

ReadResult readArguments() {
    const std::optional<std::string> path = argumentFilePath();
    const auto bytes = path ? readHostFileStart(*path, kArgumentFileReadBytes) : std::nullopt;
    if (!bytes) {
        return CannotOpen{kCannotOpen};
    }
    auto parsed = parseArgumentFile(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!parsed) {
        return parsed.result();
    }
    if (parsed->names.empty()) {
        return Damaged{"No file named in orvalis.arg"};
    }
    AppState& app = appState();
    app.dataRoot = std::move(parsed->dataRoot);
    app.names = std::move(parsed->names);
    return {};
}

}  // namespace

ReadResult readArgumentFile() {
    const ReadResult result = failingWhenMemoryRunsOut(
        "orvalis.arg", readArguments, [] { return ReadResult(Damaged{kCannotReadArgumentFile}); });
    if (!result) {
        showArgumentError(result.reason().c_str());
    }
    return result;
}
