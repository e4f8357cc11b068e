#include "formats/png_writer.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kWindow = 32768;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 48;  // candidates tried per position: enough for pictures, and quick

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Deflate packs values from the lowest bit up, and Huffman codes from their highest bit.
class BitWriter {
  public:
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bit((value >> i) & 1);
        }
    }
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) {
            bit((value >> i) & 1);
        }
    }
    std::vector<std::uint8_t> finish() {
        if (used_ > 0) {
            bytes_.push_back(current_);
        }
        return std::move(bytes_);
    }

  private:
    void bit(std::uint32_t value) {
        current_ |= static_cast<std::uint8_t>(value << used_);
        if (++used_ == 8) {
            bytes_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }

    std::vector<std::uint8_t> bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// A literal/length symbol under the fixed codes.
void fixedSymbol(BitWriter& out, int symbol) {
    if (symbol < 144) {
        out.code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        out.code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        out.code(symbol - 256, 7);
    } else {
        out.code(0xC0 + symbol - 280, 8);
    }
}

// The last table entry whose base is not above `value`.
template <std::size_t N>
int tableSlot(const std::array<int, N>& bases, int value) {
    int slot = 0;
    while (slot + 1 < static_cast<int>(N) && bases[slot + 1] <= value) {
        ++slot;
    }
    return slot;
}

void match(BitWriter& out, int length, int distance) {
    const int lengthSlot = tableSlot(kLengthBase, length);
    fixedSymbol(out, 257 + lengthSlot);
    out.bits(length - kLengthBase[lengthSlot], kLengthExtra[lengthSlot]);
    const int distanceSlot = tableSlot(kDistanceBase, distance);
    out.code(distanceSlot, 5);
    out.bits(distance - kDistanceBase[distanceSlot], kDistanceExtra[distanceSlot]);
}

std::uint32_t hashAt(const std::uint8_t* p) {
    return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & ((1u << kHashBits) - 1);
}

std::vector<std::uint8_t> deflateFixed(const std::vector<std::uint8_t>& data) {
    BitWriter out;
    out.bits(1, 1);  // the final block
    out.bits(1, 2);  // fixed Huffman codes
    const int size = static_cast<int>(data.size());
    std::vector<int> head(1u << kHashBits, -1);
    std::vector<int> previous(data.size(), -1);
    const auto remember = [&](int position) {
        if (position + kMinMatch <= size) {
            const std::uint32_t hash = hashAt(&data[position]);
            previous[position] = head[hash];
            head[hash] = position;
        }
    };
    int position = 0;
    while (position < size) {
        int bestLength = 0;
        int bestDistance = 0;
        if (position + kMinMatch <= size) {
            const int limit = std::min(kMaxMatch, size - position);
            int candidate = head[hashAt(&data[position])];
            for (int tries = 0;
                 candidate >= 0 && position - candidate <= kWindow && tries < kMaxChain;
                 ++tries, candidate = previous[candidate]) {
                int length = 0;
                while (length < limit && data[candidate + length] == data[position + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = position - candidate;
                }
            }
        }
        if (bestLength >= kMinMatch) {
            match(out, bestLength, bestDistance);
            for (int i = 0; i < bestLength; ++i) {
                remember(position + i);
            }
            position += bestLength;
        } else {
            fixedSymbol(out, data[position]);
            remember(position);
            ++position;
        }
    }
    fixedSymbol(out, 256);  // end of block
    return out.finish();
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

void bigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void chunk(std::vector<std::uint8_t>& out, const char type[5],
           const std::vector<std::uint8_t>& body) {
    bigEndian(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    bigEndian(out, crc32(out.data() + start, out.size() - start));
}

std::uint8_t paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return static_cast<std::uint8_t>(left);
    }
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Row filters 0 to 4 (none, sub, up, average, Paeth); each row takes the one whose bytes, read as
// signed, sum smallest, the usual guess at what compresses best.
std::vector<std::uint8_t> filteredRows(int width, int height,
                                       const std::vector<std::uint8_t>& rgb) {
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> out;
    const std::vector<std::uint8_t> zeros(stride, 0);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* line = rgb.data() + row * stride;
        const std::uint8_t* above = row > 0 ? line - stride : zeros.data();
        std::array<std::vector<std::uint8_t>, 5> candidates;
        for (int filter = 0; filter < 5; ++filter) {
            candidates[filter].push_back(static_cast<std::uint8_t>(filter));
            for (std::size_t i = 0; i < stride; ++i) {
                const int left = i >= 3 ? line[i - 3] : 0;
                const int upLeft = i >= 3 ? above[i - 3] : 0;
                const int predictors[5] = {0, left, above[i], (left + above[i]) / 2,
                                           paeth(left, above[i], upLeft)};
                candidates[filter].push_back(
                    static_cast<std::uint8_t>(line[i] - predictors[filter]));
            }
        }
        const auto cost = [](const std::vector<std::uint8_t>& bytes) {
            long sum = 0;
            for (std::size_t i = 1; i < bytes.size(); ++i) {
                sum += std::abs(static_cast<std::int8_t>(bytes[i]));
            }
            return sum;
        };
        const auto* best = &candidates[0];
        for (const auto& candidate : candidates) {
            if (cost(candidate) < cost(*best)) {
                best = &candidate;
            }
        }
        out.insert(out.end(), best->begin(), best->end());
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    const std::vector<std::uint8_t> deflated = deflateFixed(data);
    out.insert(out.end(), deflated.begin(), deflated.end());
    bigEndian(out, adler32(data));
    return out;
}

std::vector<std::uint8_t> pngFile(int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    bigEndian(header, static_cast<std::uint32_t>(width));
    bigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filters, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", zlibCompress(filteredRows(width, height, rgb)));
    chunk(out, "IEND", {});
    return out;
}
