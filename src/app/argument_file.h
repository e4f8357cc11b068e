#pragma once
// The argument file orvalis.arg, in the current directory or a folder named: its first line names
// the data root, each following line one file. Only the first file decides what is shown.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/read_result.h"

// The most file names kept; later lines are ignored.
inline constexpr std::size_t kMaxNames = 50;

struct ArgumentFile {
    std::string dataRoot;
    std::vector<std::string> names;  // at most kMaxNames; later lines are ignored
};

// The texts of the argument file, each shown in a message box (caption "Error").
inline constexpr FailureText kArgumentFileCannotOpen{Failure::cannotOpen, Channel::messageBox,
                                                     "Can't open orvalis.arg"};
inline constexpr FailureText kArgumentFileEmpty{Failure::tooShort, Channel::messageBox,
                                                "Can't read orvalis.arg"};
inline constexpr FailureText kArgumentFileNamesNoFile{Failure::tooShort, Channel::messageBox,
                                                      "No file named in orvalis.arg"};
// Memory that ran out while the file was read shows the text of an empty one.
inline constexpr FailureText kArgumentFileOutOfMemory{Failure::outOfMemory, Channel::messageBox,
                                                      kArgumentFileEmpty.text};

// Splits the file's text into lines of at most 1023 characters each (a longer line continues as the
// next one), removing a trailing line break; a line ends at its first NUL. A CR LF break counts as
// one "\n", as a text-mode read gives it, also for the 1023-character limit. Empty text is
// kArgumentFileEmpty.
Result<ArgumentFile> parseArgumentFile(std::string_view fileText);

// Reads orvalis.arg from `folder`, the current directory when empty, into the application state.
// The data root and the names that the file of a named folder gives as relative paths start in
// that folder, so that the scene loads as it would with the folder current. Only its first
// kArgumentFileReadBytes, which hold every line that counts, are read. A failure's reason is the
// text of the message box it shows ("Can't open orvalis.arg", "Can't read orvalis.arg", "No file
// named in orvalis.arg"); when memory runs out, "Out of memory - orvalis.arg" goes to standard
// error first.
ReadResult readArgumentFile(std::string_view folder = {});
