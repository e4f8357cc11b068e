// orvalis-thumbnailer [-s SIZE] [--] SCENE PICTURE: draws a ground, world or model file with the
// viewer's own shell on the headless host, without a display, and writes it as a PNG picture SIZE
// pixels wide (256 unless told) and three quarters of that high, the whole scene seen from above at
// an angle; faces whose textures cannot be found in shaded greys. The picture goes into PICTURE
// itself, once complete: a thumbnail service may hold that file open to read it afterwards. File
// managers run it through orvalis.thumbnailer, on every scene file of a folder that is opened, from
// anywhere, GNOME's in a sandbox that shows it the scene file alone: so it ends within 10 seconds,
// holds at most 768 MB of data, and writes at most 40 lines on each of standard output and
// standard error. Exit status: 0 when the picture was written, and for -h, --help and --version;
// 1 when the scene cannot be read, is a world whose ground cannot be read, cannot be drawn in time
// or memory, or shows nothing but one colour, or the picture cannot be written, with the reason on
// standard error and PICTURE left as it was; 2 for wrong arguments, and for a PICTURE that is
// there but is not a regular file, or is SCENE.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/frame_picture.h"
#include "app/scene.h"
#include "app/thumbnail_view.h"
#include "app/window.h"
#include "formats/byte_writer.h"
#include "platform/emulated_win32.h"
#include "platform/headless_host.h"
#include "text/printable_text.h"

namespace {

constexpr char kUsageText[] =
    "Usage: orvalis-thumbnailer [-s SIZE] [--] SCENE PICTURE\n"
    "       orvalis-thumbnailer -h | --help | --version\n"
    "Draws the ground (.gnd), world (.rsw) or model file SCENE and writes it to PICTURE as a PNG\n"
    "SIZE pixels wide and three quarters of that high.\n"
    "\n"
    "  -s SIZE    the width of the picture, from 16 to 4096 pixels (default: 256)\n"
    "  -h, --help show this help\n"
    "  --version  show the version\n"
    "  --         ends the options: SCENE and PICTURE may begin with '-'\n";

constexpr char kProgram[] = "orvalis-thumbnailer";
constexpr int kDefaultSize = 256;

// The bounds of one run. The deadline holds for loading, framing and drawing; the environment may
// only shorten it (the tests do). The data limit leaves room, within 1 GB, for the code of the
// process and of Mesa's llvmpipe, which are not data; an address-space limit would not do, as
// llvmpipe reserves far more address space than it uses.
constexpr int kDeadlineMilliseconds = 10000;
constexpr char kDeadlineVariable[] = "ORVALIS_THUMBNAILER_DEADLINE_MS";
constexpr rlim_t kDataBytes = rlim_t{768} << 20;
// AddressSanitizer maps its shadow memory as it goes, as data: under it the limit is left out.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kDataLimited = false;
#elif defined(__has_feature)
constexpr bool kDataLimited = !__has_feature(address_sanitizer);
#else
constexpr bool kDataLimited = true;
#endif
// What a thumbnail's scene load may take on: a quarter of the viewer's texels (128 MiB of RGBA) and
// a third of its file bytes, so that the budgets leave the picture room inside the data limit.
constexpr LoadBudgets kThumbnailBudgets{std::uint64_t{32} << 20, std::uint64_t{16} << 20,
                                        std::uint64_t{128} << 20};
constexpr int kOutputLines = 40;
constexpr int kOutputLineLength = 400;
// A scene that sends more triangles than this is given up at once rather than at the deadline:
// llvmpipe draws some 250,000 of them a second on a two-core machine, one glBegin each.
constexpr std::size_t kDrawnTriangles = 4'000'000;

// ---- Output: at most kOutputLines lines on each of stdout and stderr, each cut to
// kOutputLineLength characters, then one line that tells how many more were left out. A damaged
// scene gives a line for each missing texture or model; a caller that never reads the pipe would
// otherwise block the program for good once the pipe is full.

struct CappedStream {
    int descriptor;
    int linesLeft = kOutputLines;
    int column = 0;
    long long linesLeftOut = 0;
};

CappedStream cappedOutput{STDOUT_FILENO};
CappedStream cappedError{STDERR_FILENO};

void writeAll(int descriptor, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // nobody reads it any more
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Passes on what fits under the cap and counts the lines past it. A write always succeeds: output
// that nobody reads is not the program's failure.
ssize_t writeCapped(void* cookie, const char* bytes, std::size_t size) {
    CappedStream& stream = *static_cast<CappedStream*>(cookie);
    std::string kept;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (stream.linesLeft == 0) {
            stream.linesLeftOut += stream.column == 0 ? 1 : 0;
            stream.column = c == '\n' ? 0 : stream.column + 1;
        } else if (c == '\n') {
            kept += c;
            stream.column = 0;
            --stream.linesLeft;
        } else if (stream.column++ < kOutputLineLength) {
            kept += c;
        }
    }
    writeAll(stream.descriptor, kept.data(), kept.size());
    return static_cast<ssize_t>(size);
}

void reportLeftOut(const CappedStream& stream) {
    if (stream.linesLeftOut > 0) {
        const std::string line = std::string(kProgram) + ": " +
                                 std::to_string(stream.linesLeftOut) + " more lines left out\n";
        writeAll(stream.descriptor, line.data(), line.size());
    }
}

void reportLeftOutAtExit() {
    std::fflush(stdout);
    std::fflush(stderr);
    reportLeftOut(cappedOutput);
    reportLeftOut(cappedError);
}

// Replaces C's stdout and stderr, which every part of the program writes through, by capped
// streams on the same descriptors.
void capOutput() {
    static constexpr cookie_io_functions_t kCapped{nullptr, writeCapped, nullptr, nullptr};
    FILE* output = fopencookie(&cappedOutput, "w", kCapped);
    FILE* error = fopencookie(&cappedError, "w", kCapped);
    if (output == nullptr || error == nullptr) {
        return;
    }
    std::setvbuf(output, nullptr, _IOLBF, BUFSIZ);
    std::setvbuf(error, nullptr, _IOLBF, BUFSIZ);
    stdout = output;
    stderr = error;
    std::atexit(reportLeftOutAtExit);
}

// ---- Time and memory.

std::string deadlineMessage;  // made before the timer starts: the handler only writes it

[[noreturn]] void endAtDeadline(int) {
    writeAll(STDERR_FILENO, deadlineMessage.data(), deadlineMessage.size());
    _exit(1);
}

void setDeadlineTimer(int milliseconds) {
    itimerval timer{};
    timer.it_value.tv_sec = milliseconds / 1000;
    timer.it_value.tv_usec = (milliseconds % 1000) * 1000;
    setitimer(ITIMER_REAL, &timer, nullptr);
}

// From here on the process ends with status 1, and the reason on standard error, once the
// deadline has passed, and cannot take more data memory than kDataBytes.
void boundRun(const std::string& scene) {
    const char* shorter = std::getenv(kDeadlineVariable);
    const int milliseconds =
        wholeNumberWithin(shorter != nullptr ? shorter : "", 1, kDeadlineMilliseconds)
            .value_or(kDeadlineMilliseconds);
    deadlineMessage = std::string(kProgram) + ": " + printableText(scene) +
                      " was not drawn within " + std::to_string(milliseconds) + " milliseconds\n";
    struct sigaction action {};
    action.sa_handler = endAtDeadline;
    sigaction(SIGALRM, &action, nullptr);
    setDeadlineTimer(milliseconds);
    const rlimit data{kDataBytes, kDataBytes};
    if (kDataLimited) {
        setrlimit(RLIMIT_DATA, &data);
    }
}

void stopDeadline() {
    setDeadlineTimer(0);
}

// ---- Arguments.

enum class Asked { picture, help, version };

struct Request {
    Asked asked = Asked::picture;
    int width = kDefaultSize;
    std::string scene;
    std::string picture;
};

// The request of the arguments; nothing when they are wrong. A SCENE or PICTURE that begins with
// '-' would be a mistyped option, unless the options were ended with "--".
std::optional<Request> readArguments(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    Request request;
    if (arguments.size() == 1 && (arguments[0] == "-h" || arguments[0] == "--help")) {
        request.asked = Asked::help;
        return request;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        request.asked = Asked::version;
        return request;
    }
    std::size_t first = 0;
    if (!arguments.empty() && arguments[0] == "-s") {
        const std::optional<int> size =
            arguments.size() > 1
                ? wholeNumberWithin(arguments[1], kSmallestPictureSide, kLargestPictureSide)
                : std::nullopt;
        if (!size) {
            return std::nullopt;
        }
        request.width = *size;
        first = 2;
    }
    const bool optionsEnded = first < arguments.size() && arguments[first] == "--";
    first += optionsEnded ? 1 : 0;
    if (arguments.size() - first != 2) {
        return std::nullopt;
    }
    for (std::size_t i = first; i < arguments.size(); ++i) {
        if (arguments[i].empty() || (!optionsEnded && arguments[i].front() == '-')) {
            return std::nullopt;
        }
    }
    request.scene = arguments[first];
    request.picture = arguments[first + 1];
    return request;
}

// Why the picture may not be written where it was asked to: a file that is not a regular one (a
// folder, a device, a pipe), or the scene itself. Nothing when it may; a path that cannot be
// looked at is left to the writing to refuse.
std::optional<std::string> pictureRefusal(const Request& request) {
    struct stat picture {};
    struct stat scene {};
    if (stat(request.picture.c_str(), &picture) != 0) {
        return std::nullopt;
    }
    if (!S_ISREG(picture.st_mode)) {
        return printableText(request.picture) + " is not a regular file";
    }
    if (stat(request.scene.c_str(), &scene) == 0 && scene.st_dev == picture.st_dev &&
        scene.st_ino == picture.st_ino) {
        return printableText(request.picture) + " is the scene itself";
    }
    return std::nullopt;
}

void reportFailure(const std::string& scene, const std::string& reason) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, printableText(scene).c_str(), reason.c_str());
}

// Why the loaded scene is not drawn: a world without its ground (a world file alone, as a
// sandbox shows it, has nothing to place its models on), or too many triangles to draw in time.
std::optional<std::string> undrawnScene(const AppState& app) {
    if (app.worldMode && app.world.ground.cells.empty()) {
        return "the world's ground cannot be read";
    }
    if (sceneTriangles(app) > kDrawnTriangles) {
        return "too many triangles to draw in time";
    }
    return std::nullopt;
}

// Draws the loaded scene whole into the window and gives it as a PNG file; nothing, with the
// reason on standard error, when it is not to be drawn or the frame is no picture of it; an empty
// file when the picture could not be encoded. Faces whose texture did not load are drawn in
// shaded greys.
std::optional<std::vector<std::uint8_t>> drawnPicture(const Request& request, int height) {
    if (const auto reason = undrawnScene(appState())) {
        reportFailure(request.scene, *reason);
        return std::nullopt;
    }
    shadeMissingTextures(showWholeScene(request.width, height));
    renderFrame();
    if (const auto fault = frameFault(request.width, height)) {
        reportFailure(request.scene, *fault);
        return std::nullopt;
    }
    return framePng(request.width, height);
}

// Loads the scene into a window of the picture's size and draws it whole, as a PNG file. Nothing
// when the window could not be opened, the scene not read or not drawn, whose reason is on
// standard error then; an empty file when the picture could not be encoded.
std::optional<std::vector<std::uint8_t>> thumbnail(const Request& request, int height) {
    AppState& app = appState();
    app.dataRoot = findDataRoot(request.scene);
    app.names = {request.scene};
    app.sceneMode = sceneModeOfAnyCase(request.scene);
    app.renderer = Renderer::batched;
    app.modelLogPath.clear();  // a thumbnail leaves no model log anywhere
    app.loadBudgets = kThumbnailBudgets;
    if (!openWindow("ORVALIS", request.width, height, 16, false)) {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> png;
    if (app.sceneRead) {
        png = drawnPicture(request, height);
    }
    closeWindow();
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    capOutput();
    signal(SIGPIPE, SIG_IGN);  // a caller that closed its end of a pipe does not end the run
    const std::optional<Request> request = readArguments(argc, argv);
    if (!request) {
        std::fputs(kUsageText, stderr);
        return 2;
    }
    if (request->asked == Asked::help) {
        std::fputs(kUsageText, stdout);
        return 0;
    }
    if (request->asked == Asked::version) {
        std::printf("%s %s\n", kProgram, ORVALIS_VERSION);
        return 0;
    }
    if (const auto refusal = pictureRefusal(*request)) {
        std::fprintf(stderr, "%s: %s\n", kProgram, refusal->c_str());
        return 2;
    }
    boundRun(request->scene);
    const int height = request->width * 3 / 4;
    std::optional<std::vector<std::uint8_t>> png;
    try {
        HeadlessHost host;
        EmulatedWin32 headless(host);
        usePlatform(headless);
        png = thumbnail(*request, height);
    } catch (const std::bad_alloc&) {
        reportFailure(request->scene, "out of memory");
        return 1;
    }
    stopDeadline();
    if (!png) {
        return 1;
    }
    if (png->empty() || !overwriteFile(request->picture, *png)) {
        std::fprintf(stderr, "%s: cannot write %s\n", kProgram,
                     printableText(request->picture).c_str());
        return 1;
    }
    return 0;
}
