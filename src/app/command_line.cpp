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
    "Usage: orvalis [--windowed] [--data ROOT] [--log FILE] SCENE\n"
    "       orvalis --output PICTURE [--size WxH] [--eye X,Y,Z] [--look-at X,Y,Z] SCENE\n"
    "       orvalis --help | --version\n"
    "Shows a ground (.gnd), world (.rsw) or model file. Without arguments, shows the scene that\n"
    "orvalis.arg in the current folder names.\n"
    "\n"
    "  --windowed   start in a window, without asking about fullscreen (F1 still switches)\n"
    "  --data ROOT  the folder below which data/texture, data/model and the grounds lie\n"
    "               (default: the nearest folder above SCENE that holds a data folder)\n"
    "  --log FILE   where a world's model log goes\n"
    "               (default: $XDG_STATE_HOME/orvalis/sortie.txt)\n"
    "  --output PICTURE  draw SCENE once, without a window, into the PNG file PICTURE\n"
    "  --size WxH        the picture's size (default: 640x480)\n"
    "  --eye X,Y,Z       where the picture is seen from (default: 0,0,1)\n"
    "  --look-at X,Y,Z   the point it looks at (default: 0,0,0)\n"
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
    const auto side = wholeText<int>(text);
    if (!side || *side < kSmallestPictureSide || *side > kLargestPictureSide) {
        return std::nullopt;
    }
    return side;
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
    bool pictureOptions = false;
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
        } else if (const auto picture = optionValue("--output", arguments, i)) {
            if (picture->empty()) {
                return usageError("--output needs a file");
            }
            line.output = *picture;
        } else if (const auto size = optionValue("--size", arguments, i)) {
            if (!readPictureSize(*size, line)) {
                return usageError("--size needs WIDTHxHEIGHT, each side from 16 to 4096");
            }
            pictureOptions = true;
        } else if (const auto eye = optionValue("--eye", arguments, i)) {
            line.eye = point(*eye);
            if (!line.eye) {
                return usageError("--eye needs X,Y,Z");
            }
            pictureOptions = true;
        } else if (const auto lookAt = optionValue("--look-at", arguments, i)) {
            line.lookAt = point(*lookAt);
            if (!line.lookAt) {
                return usageError("--look-at needs X,Y,Z");
            }
            pictureOptions = true;
        } else {
            return usageError("unknown option " + std::string(argument));
        }
    }
    if (line.scene.empty()) {
        return arguments.empty() ? line : usageError("no scene file given");
    }
    line.action = CommandLine::Action::showScene;
    return checkedPictureLine(std::move(line), pictureOptions);
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
