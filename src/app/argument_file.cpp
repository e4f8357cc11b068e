#include "app/argument_file.h"

#include "io/file_errors.h"
#include "io/input_limits.h"

namespace {

constexpr std::size_t kLineBuffer = 1024;  // each read takes at most 1023 characters
// The root line and every name that counts, each read with a CR LF break, lie within what is read.
static_assert((1 + kMaxNames) * kLineBuffer <= kArgumentFileReadBytes);

// The next line as a buffered line read gives it: up to and including a line break, at most 1023
// characters.
std::string_view takeLine(std::string_view& text) {
    std::size_t length = text.find('\n');
    length = (length == std::string_view::npos) ? text.size() : length + 1;
    if (length > kLineBuffer - 1) {
        length = kLineBuffer - 1;
    }
    const std::string_view line = text.substr(0, length);
    text.remove_prefix(length);
    return line;
}

// The line without its line break, ending at its first NUL: what is kept is what a
// zero-terminated string holds, so a name's ending and the file it opens are the same bytes.
std::string lineText(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    return std::string(line.substr(0, line.find('\0')));
}

// A CR LF line break reads as a lone LF, as a text-mode read gives it, before the lines are cut:
// a line then holds the same characters whichever break its file uses.
std::string withLfLineBreaks(std::string_view text) {
    std::string lf;
    lf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lf += text[i];
        }
    }
    return lf;
}

}  // namespace

Result<ArgumentFile> parseArgumentFile(std::string_view fileText) {
    if (fileText.empty()) {
        return kArgumentFileEmpty;
    }
    return catchingOutOfMemory([&]() -> Result<ArgumentFile> {
        const std::string lfText = withLfLineBreaks(fileText);
        std::string_view text = lfText;
        ArgumentFile parsed;
        parsed.dataRoot = lineText(takeLine(text));
        while (!text.empty()) {
            std::string name = lineText(takeLine(text));
            if (parsed.names.size() < kMaxNames) {
                parsed.names.push_back(std::move(name));
            }
        }
        return parsed;
    });
}
