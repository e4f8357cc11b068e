#include "app/command_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "io/host_files.h"

namespace fs = std::filesystem;

const char kUsage[] =
    "Usage: orvalis [--windowed] [--data ROOT] [--log FILE] [--verbose] [--renderer NAME] SCENE\n"
    "       orvalis --output PICTURE [--size WxH] [--eye X,Y,Z] [--look-at X,Y,Z] SCENE\n"
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
    "  --renderer NAME  how frames are drawn: batched (the default), from vertex arrays, many\n"
    "                 times faster on large worlds; or immediate, one call per vertex as the\n"
    "                 viewer draws when started without arguments. Both draw the same picture\n"
    "  --output PICTURE  draw SCENE once, without a window, into the PNG file PICTURE\n"
    "  --size WxH        the picture's size (default: 640x480)\n"
    "  --eye X,Y,Z       where the picture is seen from (default: 0,0,1)\n"
    "  --look-at X,Y,Z   the point it looks at (default: 0,0,0)\n"
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
    "  F12                    save the frame as a picture in the pictures folder\n"
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
                                     {"--log", &CommandLine::logPath, "--log needs a file"},
                                     {"--output", &CommandLine::output, "--output needs a file"}};

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

// The number that is all of `text`.
template <typename Number>
std::optional<Number> wholeText(std::string_view text) {
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

std::optional<int> pictureSide(std::string_view text) {
    return wholeNumberWithin(text, kSmallestPictureSide, kLargestPictureSide);
}

// "WIDTHxHEIGHT" into the line's picture size.
bool readPictureSize(std::string_view text, CommandLine& line) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) {
        return false;
    }
    const auto width = pictureSide(text.substr(0, cross));
    const auto height = pictureSide(text.substr(cross + 1));
    if (!width || !height) {
        return false;
    }
    line.width = *width;
    line.height = *height;
    return true;
}

// "X,Y,Z": three finite numbers.
std::optional<Vector3> point(std::string_view text) {
    float coordinates[3];
    for (int axis = 0; axis < 3; ++axis) {
        const std::size_t comma = axis < 2 ? text.find(',') : text.size();
        const auto coordinate = wholeText<float>(text.substr(0, comma));
        if (comma == std::string_view::npos || !coordinate || !std::isfinite(*coordinate)) {
            return std::nullopt;
        }
        coordinates[axis] = *coordinate;
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return Vector3{coordinates[0], coordinates[1], coordinates[2]};
}

// The picture's options make sense together: they come with --output, and the view has a
// direction that is not straight up or down, which the camera's up vector (the y axis) cannot
// turn about.
CommandLine checkedPictureLine(CommandLine line, bool pictureOptions) {
    if (line.output.empty()) {
        return pictureOptions ? usageError("--size, --eye and --look-at go with --output") : line;
    }
    const Vector3 eye = line.eye.value_or(Vector3{0, 0, 1});
    const Vector3 lookAt = line.lookAt.value_or(Vector3{0, 0, 0});
    if (eye.x == lookAt.x && eye.z == lookAt.z) {
        return usageError("--eye and --look-at lie on one vertical line");
    }
    line.action = CommandLine::Action::writePicture;
    return line;
}

bool readEye(std::string_view text, CommandLine& line) {
    line.eye = point(text);
    return line.eye.has_value();
}

bool readLookAt(std::string_view text, CommandLine& line) {
    line.lookAt = point(text);
    return line.lookAt.has_value();
}

bool readRenderer(std::string_view text, CommandLine& line) {
    if (text != "immediate" && text != "batched") {
        return false;
    }
    line.renderer = text == "batched" ? Renderer::batched : Renderer::immediate;
    return true;
}

// The options whose value is read by a function of its own: the picture's view, and the renderer.
struct ReadOption {
    std::string_view name;
    bool (*read)(std::string_view text, CommandLine& line);
    const char* wrong;  // the error when the value cannot be read
    bool ofPicture;     // goes with --output only
};
constexpr ReadOption kReadOptions[] = {
    {"--size", readPictureSize, "--size needs WIDTHxHEIGHT, each side from 16 to 4096", true},
    {"--eye", readEye, "--eye needs X,Y,Z", true},
    {"--look-at", readLookAt, "--look-at needs X,Y,Z", true},
    {"--renderer", readRenderer, "--renderer needs immediate or batched", false}};

// Takes the option at `index` (and its value) into `line`, telling whether it was one of the
// picture's view; false, with `line` a usage error, when it is not known or its value is missing.
bool takeOption(std::span<const std::string_view> arguments, std::size_t& index, CommandLine& line,
                bool& pictureOption) {
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
    for (const ReadOption& option : kReadOptions) {
        if (const auto value = optionValue(option.name, arguments, index)) {
            if (!option.read(*value, line)) {
                line = usageError(option.wrong);
                return false;
            }
            pictureOption = pictureOption || option.ofPicture;
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
    bool pictureOptions = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.starts_with('-')) {
            if (!takeOption(arguments, i, line, pictureOptions)) {
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
    return checkedPictureLine(std::move(line), pictureOptions);
}

std::optional<int> wholeNumberWithin(std::string_view text, int lowest, int highest) {
    const auto number = wholeText<int>(text);
    if (!number || *number < lowest || *number > highest) {
        return std::nullopt;
    }
    return number;
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
