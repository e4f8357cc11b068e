// orvalis-write-demo FOLDER: writes the demo scene into the folder (rewriting its files), ready for
// the viewer to be started in FOLDER/world, FOLDER/ground or FOLDER/model.

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "demo/demo_scene.h"
#include "text/printable_text.h"

namespace {

constexpr char kUsage[] =
    "Usage: orvalis-write-demo [--] FOLDER\n"
    "       orvalis-write-demo -h | --help | --version\n"
    "Writes the demo scene into FOLDER: a valley with a village and some 300 models below\n"
    "FOLDER/GameData/data, and an orvalis.arg in FOLDER/world, FOLDER/ground and FOLDER/model.\n";

int usageError(const std::string& error) {
    std::fprintf(stderr, "orvalis-write-demo: %s\n%s", printableText(error).c_str(), kUsage);
    return 2;
}

// The folder is the one argument; before "--", one that begins with '-' is an option.
int run(std::span<const std::string_view> arguments) {
    for (const std::string_view argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "-h" || argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--version") {
            std::printf("orvalis-write-demo %s\n", ORVALIS_VERSION);
            return 0;
        }
    }
    std::vector<std::string_view> folders;
    bool optionsEnded = false;
    for (const std::string_view argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.starts_with('-')) {
            return usageError("unknown option " + std::string(argument) +
                              " (a folder whose name begins with '-' follows --)");
        } else {
            folders.push_back(argument);
        }
    }
    if (folders.size() != 1) {
        return usageError(folders.empty() ? "no folder given" : "more than one folder");
    }
    return writeDemoScene(std::string(folders.front())) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return run(arguments);
}
