// screenshot <scene folder> <picture.png> [eyeX eyeY eyeZ lookX lookY lookZ]: runs the viewer's
// shell on the headless host in a scene folder (one with an orvalis.arg), draws frames from the
// start pose or the given one and saves the last as a 640 x 480 PNG. Its message boxes reach
// standard error.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/app_state.h"
#include "app/argument_file.h"
#include "app/frame_picture.h"
#include "app/scene.h"
#include "app/window.h"
#include "formats/byte_writer.h"
#include "platform/emulated_win32.h"
#include "platform/headless_host.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// Enough draws to set the sails and crystals turning away from their first pose.
constexpr int kFrames = 24;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 9) {
        std::fputs(
            "usage: screenshot <scene folder> <picture.png> "
            "[eyeX eyeY eyeZ lookX lookY lookZ]\n",
            stderr);
        return 2;
    }
    const std::filesystem::path picture = std::filesystem::absolute(argv[2]);
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error) {
        std::fprintf(stderr, "Cannot enter %s\n", argv[1]);
        return 1;
    }
    HeadlessHost host;
    EmulatedWin32 headless(host);
    usePlatform(headless);
    if (!readArgumentFile() || !openWindow("ORVALIS", kWidth, kHeight, 16, false)) {
        return 1;
    }
    float pose[6] = {0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 6 && argc == 9; ++i) {
        pose[i] = std::strtof(argv[3 + i], nullptr);
    }
    appState().camera.setCamera(pose[0], pose[1], pose[2], pose[3], pose[4], pose[5], 0, 1, 0);
    for (int frame = 0; frame < kFrames; ++frame) {
        renderFrame();
    }
    const std::vector<std::uint8_t> png = framePng(kWidth, kHeight);
    const bool written = !png.empty() && writeFile(picture.string(), png);
    closeWindow();
    if (!written) {
        std::fprintf(stderr, "Cannot write %s\n", picture.c_str());
        return 1;
    }
    return 0;
}
