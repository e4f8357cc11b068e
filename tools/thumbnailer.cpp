// orvalis-thumbnailer [-s SIZE] SCENE PICTURE: draws a ground, world or model file with the
// viewer's own shell on the headless host, without a display, and writes it as a PNG picture SIZE
// pixels wide (256 unless told) and three quarters of that high, the whole scene seen from above at
// an angle. File managers run it through orvalis.thumbnailer. Exit status: 0 when the picture was
// written; 1 when the scene cannot be read or the picture cannot be written, with the reason on
// standard error and no picture left; 2 for wrong arguments.

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/scene.h"
#include "app/thumbnail_view.h"
#include "app/window.h"
#include "formats/byte_writer.h"
#include "formats/png_writer.h"
#include "platform/emulated_win32.h"
#include "platform/headless_host.h"

namespace {

constexpr char kUsageText[] =
    "Usage: orvalis-thumbnailer [-s SIZE] SCENE PICTURE\n"
    "Draws the ground (.gnd), world (.rsw) or model file SCENE and writes it to PICTURE as a PNG\n"
    "SIZE pixels wide and three quarters of that high.\n"
    "\n"
    "  -s SIZE  the width of the picture, from 16 to 4096 pixels (default: 256)\n";

constexpr int kDefaultSize = 256;
constexpr int kSmallestSize = 16;
constexpr int kLargestSize = 4096;

struct Request {
    int width = kDefaultSize;
    std::string scene;
    std::string picture;
};

// A whole number of pixels within the sizes a thumbnail may have.
std::optional<int> pictureSize(std::string_view text) {
    int size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc() || end != text.data() + text.size() || size < kSmallestSize ||
        size > kLargestSize) {
        return std::nullopt;
    }
    return size;
}

std::optional<Request> readArguments(int argc, char** argv) {
    Request request;
    int first = 1;
    if (argc > 1 && std::string_view(argv[1]) == "-s") {
        const std::optional<int> size = argc > 2 ? pictureSize(argv[2]) : std::nullopt;
        if (!size) {
            return std::nullopt;
        }
        request.width = *size;
        first = 3;
    }
    if (argc - first != 2 || *argv[first] == '\0' || *argv[first + 1] == '\0') {
        return std::nullopt;
    }
    request.scene = argv[first];
    request.picture = argv[first + 1];
    return request;
}

// Loads the scene into a window of the picture's size and draws it whole, as a PNG file. Nothing
// when the window could not be opened or the scene not read, whose reason is on standard error
// then; an empty file when the picture could not be encoded.
std::optional<std::vector<std::uint8_t>> thumbnail(const Request& request, int height) {
    AppState& app = appState();
    app.dataRoot = findDataRoot(request.scene);
    app.names = {request.scene};
    app.modelLogPath.clear();  // a thumbnail leaves no model log anywhere
    if (!openWindow("ORVALIS", request.width, height, 16, false)) {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> png;
    if (app.sceneRead) {
        showWholeScene(request.width, height);
        renderFrame();
        png = framePng(request.width, height);
    }
    closeWindow();
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Request> request = readArguments(argc, argv);
    if (!request) {
        std::fputs(kUsageText, stderr);
        return 2;
    }
    const int height = request->width * 3 / 4;
    HeadlessHost host;
    EmulatedWin32 headless(host);
    usePlatform(headless);
    const std::optional<std::vector<std::uint8_t>> png = thumbnail(*request, height);
    if (!png) {
        return 1;
    }
    if (png->empty() || !replaceFile(request->picture, *png)) {
        std::fprintf(stderr, "orvalis-thumbnailer: cannot write %s\n", request->picture.c_str());
        return 1;
    }
    return 0;
}
