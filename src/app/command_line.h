#pragma once
// The command line: none at all starts the viewer as it always started, from orvalis.arg in the
// current folder; a scene file given on it is shown without any argument file.
//
//   orvalis                                  reads orvalis.arg in the current folder
//   orvalis [--windowed] [--data ROOT] [--log FILE] [--verbose] [--renderer NAME] SCENE
//   orvalis --output PICTURE [--size WxH] [--eye X,Y,Z] [--look-at X,Y,Z] [--data ROOT] SCENE
//   orvalis -h | --help | -v | --version

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/scene.h"
#include "view/vector3.h"

struct CommandLine {
    enum class Action {
        argumentFile,  // no arguments: orvalis.arg in the current folder
        showScene,     // a scene file
        writePicture,  // a scene file drawn once, without a window, into the picture `output`
        help,
        version,
        usageError,  // `error` says what is wrong
    };
    Action action = Action::argumentFile;
    bool windowed = false;
    bool verbose = false;  // the data root and every data file not found go to standard error
    std::string dataRoot;  // empty: found from the scene's folder
    std::string logPath;   // empty: the default place of the model log
    Renderer renderer = Renderer::batched;
    std::string scene;
    std::string error;

    // The picture of --output: its size, and the camera's pose when not the start pose.
    std::string output;
    int width = 640;
    int height = 480;
    std::optional<Vector3> eye;
    std::optional<Vector3> lookAt;
};

// The sides that --size allows, in pixels; the thumbnailer's -s keeps to them too.
inline constexpr int kSmallestPictureSide = 16;
inline constexpr int kLargestPictureSide = 4096;

// The whole number that is all of `text`, when it lies from `lowest` to `highest`.
std::optional<int> wholeNumberWithin(std::string_view text, int lowest, int highest);

// Reads the arguments after the program's name. An option's value is the next argument or follows
// '='; "--" ends the options, so a scene's name may begin with '-'. Before it, any argument that
// begins with '-' is an option, and one not known is refused.
CommandLine parseCommandLine(std::span<const std::string_view> arguments);

extern const char kUsage[];

// The nearest folder, from the scene's own folder upward, that holds a folder named "data" in any
// letter case; nothing when there is none.
std::optional<std::string> dataRootAbove(std::string_view scenePath);

// The data root of a scene file: dataRootAbove, failing that the scene's own folder.
std::string findDataRoot(std::string_view scenePath);

// Where a world's model log goes when the command line names no file: $XDG_STATE_HOME/orvalis/
// sortie.txt, ~/.local/state/orvalis/sortie.txt when that is not set (or not absolute), and
// %LOCALAPPDATA%\orvalis\sortie.txt on Windows. Empty when no such place is known.
std::string defaultLogPath();
