#pragma once
// Names come from files anyone may have made: before one reaches a terminal, a log or a window
// title, its control characters are written as escapes, so that a name can neither drive a
// terminal nor forge a line of its own.

#include <string>
#include <string_view>

// `text` with every control character written as \xNN: the bytes 0x00 to 0x1F and 0x7F, and the
// C1 controls U+0080 to U+009F, both as UTF-8 (C2 80 to C2 9F) and as single bytes 0x80 to 0x9F
// outside a valid UTF-8 sequence. Every other byte, a backslash or a legacy code page's letter
// included, is kept as it is.
std::string printableText(std::string_view text);
