#include "text/printable_text.h"

#include <cstdint>

namespace {

void appendEscape(std::string& out, std::uint8_t byte) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xf];
}

bool isContinuation(std::uint8_t byte) {
    return (byte & 0xc0) == 0x80;
}

// The length of the well-formed UTF-8 sequence of two to four bytes at the start of `text`, or 0.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<std::uint8_t>(text[0]);
    const std::size_t length = lead >= 0xf0 && lead <= 0xf4   ? 4
                               : lead >= 0xe0 && lead <= 0xef ? 3
                               : lead >= 0xc2 && lead <= 0xdf ? 2
                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(static_cast<std::uint8_t>(text[k]))) {
            return 0;
        }
    }
    return length;
}

bool isC0OrDelete(std::uint8_t byte) {
    return byte < 0x20 || byte == 0x7f;
}

bool isC1(std::uint8_t byte) {
    return byte >= 0x80 && byte <= 0x9f;
}

}  // namespace

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<std::uint8_t>(text[0]);
        const std::size_t sequence = utf8SequenceLength(text);
        std::size_t taken = 1;
        if (sequence == 2 && byte == 0xc2 && isC1(static_cast<std::uint8_t>(text[1]))) {
            appendEscape(out, byte);
            appendEscape(out, static_cast<std::uint8_t>(text[1]));
            taken = 2;
        } else if (sequence != 0) {
            out.append(text.substr(0, sequence));
            taken = sequence;
        } else if (isC0OrDelete(byte) || isC1(byte)) {
            appendEscape(out, byte);
        } else {
            out += text[0];
        }
        text.remove_prefix(taken);
    }
    return out;
}
