#include "app/command_line.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "io/host_files.h"

namespace fs = std::filesystem;

const char kUsage[] =
    "Usage: orvalis [--windowed] [--data ROOT] [--log FILE] SCENE\n"
    "       orvalis --help | --version\n"
    "Shows a ground (.gnd), world (.rsw) or model file. Without arguments, shows the scene that\n"
    "orvalis.arg in the current folder names.\n"
    "\n"
    "  --windowed   start in a window, without asking about fullscreen (F1 still switches)\n"
    "  --data ROOT  the folder below which data/texture, data/model and the grounds lie\n"
    "               (default: the nearest folder above SCENE that holds a data folder)\n"
    "  --log FILE   where a world's model log goes\n"
    "               (default: $XDG_STATE_HOME/orvalis/sortie.txt)\n"
    "  --help       show this help\n"
    "  --version    show the version\n";

namespace {

CommandLine usageError(std::string error) {
    CommandLine wrong;
    wrong.action = CommandLine::Action::usageError;
    wrong.error = std::move(error);
    return wrong;
}

// An option's value: "--name VALUE" or "--name=VALUE"; nothing when `argument` is another option.
std::optional<std::string_view> optionValue(std::string_view name,
                                            std::span<const std::string_view> arguments,
                                            std::size_t& index) {
    const std::string_view argument = arguments[index];
    if (argument == name) {
        if (index + 1 == arguments.size()) {
            return std::string_view();
        }
        return arguments[++index];
    }
    if (argument.starts_with(name) && argument.size() > name.size() &&
        argument[name.size()] == '=') {
        return argument.substr(name.size() + 1);
    }
    return std::nullopt;
}

bool holdsDataFolder(const fs::path& folder) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (equalIgnoringAsciiCase(entry.path().filename().string(), "data") &&
            entry.is_directory(error)) {
            return true;
        }
    }
    return false;
}

}  // namespace

CommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!option) {
            if (!line.scene.empty()) {
                return usageError("more than one scene: " + line.scene + ", " +
                                  std::string(argument));
            }
            line.scene = argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "--version") {
            CommandLine asked;
            asked.action =
                argument == "--help" ? CommandLine::Action::help : CommandLine::Action::version;
            return asked;
        } else if (argument == "--windowed") {
            line.windowed = true;
        } else if (const auto root = optionValue("--data", arguments, i)) {
            if (root->empty()) {
                return usageError("--data needs a folder");
            }
            line.dataRoot = *root;
        } else if (const auto log = optionValue("--log", arguments, i)) {
            if (log->empty()) {
                return usageError("--log needs a file");
            }
            line.logPath = *log;
        } else {
            return usageError("unknown option " + std::string(argument));
        }
    }
    if (line.scene.empty()) {
        return arguments.empty() ? line : usageError("no scene file given");
    }
    line.action = CommandLine::Action::showScene;
    return line;
}

std::string findDataRoot(std::string_view scenePath) {
    std::error_code error;
    const fs::path sceneFolder = fs::absolute(fs::path(scenePath), error).parent_path();
    for (fs::path folder = sceneFolder; !folder.empty(); folder = folder.parent_path()) {
        if (holdsDataFolder(folder)) {
            return folder.string();
        }
        if (folder == folder.parent_path()) {
            break;
        }
    }
    return sceneFolder.string();
}

std::string defaultLogPath() {
    fs::path base;
#ifdef _WIN32
    const char* localAppData = std::getenv("LOCALAPPDATA");
    if (localAppData == nullptr || *localAppData == '\0') {
        return {};
    }
    base = localAppData;
#else
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (stateHome != nullptr && fs::path(stateHome).is_absolute()) {
        base = stateHome;
    } else if (home != nullptr && *home != '\0') {
        base = fs::path(home) / ".local" / "state";
    } else {
        return {};
    }
#endif
    return (base / "orvalis" / "sortie.txt").string();
}
