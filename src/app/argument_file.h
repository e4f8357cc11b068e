#pragma once
// The argument file orvalis.arg in the current directory: its first line names the data root, each
// following line one file. Only the first file decides what is shown.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ArgumentFile {
    std::string dataRoot;
    std::vector<std::string> names;  // at most kMaxNames; later lines are ignored
};

// Splits the file's text into lines of at most 1023 characters each (a longer line continues as the
// next one), removing a trailing line break and nothing else. A CR LF break counts as one "\n", as
// a text-mode read gives it, also for the 1023-character limit. Nothing when the text is empty.
std::optional<ArgumentFile> parseArgumentFile(std::string_view fileText);

// Reads orvalis.arg from the current directory into the application state; only its first
// kArgumentFileReadBytes, which hold every line that counts, are read. On failure it shows the
// message box ("Can't open orvalis.arg", "Can't read orvalis.arg", "No file named in orvalis.arg")
// and gives false; when memory runs out, "Out of memory - orvalis.arg" on standard error first.
bool readArgumentFile();
