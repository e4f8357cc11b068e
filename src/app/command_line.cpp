#include "app/command_line.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "io/host_files.h"

namespace fs = std::filesystem;

const char kUsage[] =
    "Usage: orvalis [--windowed] [--data ROOT] [--log FILE] [--verbose] SCENE\n"
    "       orvalis -h | --help | -v | --version\n"
    "Shows a ground (.gnd), world (.rsw) or model file. Without arguments, shows the scene that\n"
    "orvalis.arg in the current folder names.\n"
    "\n"
    "  --windowed     start in a window, without asking about fullscreen (F1 still switches)\n"
    "  --data ROOT    the folder below which data/texture, data/model and the grounds lie\n"
    "                 (default: the nearest folder above SCENE that holds a data folder,\n"
    "                 else SCENE's own folder)\n"
    "  --log FILE     where a world's model log goes\n"
    "                 (default: $XDG_STATE_HOME/orvalis/sortie.txt)\n"
    "  --verbose      tell the data root and every data file that is not found\n"
    "  -h, --help     show this help\n"
    "  -v, --version  show the version\n"
    "\n"
    "Keys:\n"
    "  mouse                  turn the view\n"
    "  W / Up, S / Down       fly forward, backward\n"
    "  A / Left, D / Right    move sideways\n"
    "  F1                     switch between fullscreen and a window (the scene loads again)\n"
    "  F2                     switch the fog\n"
    "  F3                     back to the start position\n"
    "  Esc                    quit\n";

namespace {

CommandLine usageError(std::string error) {
    CommandLine wrong;
    wrong.action = CommandLine::Action::usageError;
    wrong.error = std::move(error);
    return wrong;
}

// The options, each by its names. A new one is a line in one of these tables.
struct Answer {
    std::string_view shortName;
    std::string_view longName;
    CommandLine::Action action;
};
constexpr Answer kAnswers[] = {{"-h", "--help", CommandLine::Action::help},
                               {"-v", "--version", CommandLine::Action::version}};

struct Switch {
    std::string_view name;
    bool CommandLine::*field;
};
constexpr Switch kSwitches[] = {{"--windowed", &CommandLine::windowed},
                                {"--verbose", &CommandLine::verbose}};

struct ValueOption {
    std::string_view name;
    std::string CommandLine::*field;
    const char* missing;  // the error when the value is missing or empty
};
const ValueOption kValueOptions[] = {{"--data", &CommandLine::dataRoot, "--data needs a folder"},
                                     {"--log", &CommandLine::logPath, "--log needs a file"}};

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

// Takes the option at `index` (and its value) into `line`; false, with `line` a usage error, when
// it is not known or its value is missing.
bool takeOption(std::span<const std::string_view> arguments, std::size_t& index,
                CommandLine& line) {
    const std::string_view argument = arguments[index];
    for (const Switch& option : kSwitches) {
        if (argument == option.name) {
            line.*option.field = true;
            return true;
        }
    }
    for (const ValueOption& option : kValueOptions) {
        if (const auto value = optionValue(option.name, arguments, index)) {
            if (value->empty()) {
                line = usageError(option.missing);
                return false;
            }
            line.*option.field = *value;
            return true;
        }
    }
    line = usageError("unknown option " + std::string(argument));
    return false;
}

std::optional<CommandLine::Action> answerAsked(std::string_view argument) {
    for (const Answer& answer : kAnswers) {
        if (argument == answer.shortName || argument == answer.longName) {
            return answer.action;
        }
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
    // --help and --version answer whatever else is there.
    for (const std::string_view argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (const auto action = answerAsked(argument)) {
            CommandLine asked;
            asked.action = *action;
            return asked;
        }
    }
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.starts_with('-')) {
            if (!takeOption(arguments, i, line)) {
                return line;
            }
        } else if (!line.scene.empty()) {
            return usageError("more than one scene: " + line.scene + ", " + std::string(argument));
        } else {
            line.scene = argument;
        }
    }
    if (line.scene.empty()) {
        return arguments.empty() ? line : usageError("no scene file given");
    }
    line.action = CommandLine::Action::showScene;
    return line;
}

std::optional<std::string> dataRootAbove(std::string_view scenePath) {
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
    return std::nullopt;
}

std::string findDataRoot(std::string_view scenePath) {
    if (auto root = dataRootAbove(scenePath)) {
        return *std::move(root);
    }
    std::error_code error;
    return fs::absolute(fs::path(scenePath), error).parent_path().string();
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
