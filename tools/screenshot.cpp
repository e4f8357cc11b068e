// screenshot <scene folder> <picture.png> [eyeX eyeY eyeZ lookX lookY lookZ]: runs the viewer's
// shell on the headless host on the scene of a folder's orvalis.arg, as the viewer would with that
// folder current (a world's model log is written there too), draws frames from the start pose or
// the given one and saves the last as a 640 x 480 PNG. Its message boxes reach standard error.

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
#include "world/world.h"

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
    const std::filesystem::path folder = argv[1];
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "No folder %s\n", argv[1]);
        return 1;
    }
    HeadlessHost host;
    EmulatedWin32 headless(host);
    usePlatform(headless);
    appState().modelLogPath = (folder / kModelLogName).string();
    if (!readArgumentFile(folder.string()) || !openWindow("ORVALIS", kWidth, kHeight, 16, false)) {
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
    const bool written = !png.empty() && writeFile(argv[2], png);
    closeWindow();
    if (!written) {
        std::fprintf(stderr, "Cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
