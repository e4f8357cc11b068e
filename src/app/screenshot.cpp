#include "app/screenshot.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "app/frame_picture.h"
#include "platform/gl.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPicturesVariable[] = "XDG_PICTURES_DIR";
// Past this many pictures in one second the name is taken to be blocked for another reason.
constexpr int kNamesPerSecond = 100;

std::optional<fs::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || !fs::path(value).is_absolute()) {
        return std::nullopt;
    }
    return fs::path(value);
}

// The pictures folder of user-dirs.dirs: a line XDG_PICTURES_DIR="$HOME/..." or "/...".
std::optional<fs::path> userDirsPictures(const fs::path& home) {
    const fs::path config = absoluteVariable("XDG_CONFIG_HOME").value_or(home / ".config");
    std::ifstream dirs(config / "user-dirs.dirs");
    const std::string prefix = std::string(kPicturesVariable) + "=\"";
    for (std::string line; std::getline(dirs, line);) {
        if (!line.starts_with(prefix) || !line.ends_with('"')) {
            continue;
        }
        std::string_view folder(line);
        folder = folder.substr(prefix.size(), folder.size() - prefix.size() - 1);
        if (folder.starts_with("$HOME")) {
            return home / fs::path(folder.substr(5)).relative_path();
        }
        if (fs::path(folder).is_absolute()) {
            return fs::path(folder);
        }
    }
    return std::nullopt;
}

// The frame is read from the back buffer, where it was drawn: the main loop swaps twice a frame, so
// the back buffer holds it again whether a swap copies or exchanges the buffers. The front buffer
// of a window is not read back on every driver (Mesa's software one gives black).
std::vector<std::uint8_t> shownFramePng() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return framePng(viewport[2], viewport[3]);
}

// The first name of this second that no file has yet.
std::optional<fs::path> freeName(const fs::path& folder, const std::tm& when) {
    std::error_code error;
    for (int number = 1; number <= kNamesPerSecond; ++number) {
        const fs::path picture = folder / screenshotName(when, number);
        if (!fs::exists(picture, error) && !error) {
            return picture;
        }
    }
    return std::nullopt;
}

}  // namespace

fs::path screenshotFolder() {
    if (const auto pictures = absoluteVariable(kPicturesVariable)) {
        return *pictures / "Orvalis";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        return {};
    }
    return userDirsPictures(home).value_or(fs::path(home) / "Pictures") / "Orvalis";
}

std::string screenshotName(const std::tm& when, int number) {
    char name[64];
    const std::size_t length = std::strftime(name, sizeof name, "orvalis-%Y-%m-%d-%H-%M-%S", &when);
    std::string full(name, length);
    if (number > 1) {
        full += "-" + std::to_string(number);
    }
    return full + ".png";
}

std::string saveScreenshot() {
    const fs::path folder = screenshotFolder();
    std::error_code error;
    if (!folder.empty()) {
        fs::create_directories(folder, error);
    }
    if (folder.empty() || error) {
        return "Screenshot not saved: no pictures folder";
    }
    const std::vector<std::uint8_t> png = shownFramePng();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto picture = freeName(folder, local);
    if (png.empty() || !picture || !writePictureFile(picture->string(), png, "wbx")) {
        return "Screenshot not saved in " + folder.string();
    }
    return "Screenshot saved: " + picture->string();
}
