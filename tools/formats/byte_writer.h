#pragma once
// A little-endian byte buffer that the file writers build their files in, and the file output they
// share.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class ByteWriter {
  public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value) { append(&value, sizeof value); }
    void i16(std::int16_t value) { append(&value, sizeof value); }
    void u32(std::uint32_t value) { append(&value, sizeof value); }
    void i32(std::int32_t value) { append(&value, sizeof value); }
    void f32(float value) { append(&value, sizeof value); }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void raw(const void* data, std::size_t count) { append(data, count); }
    void raw(const std::vector<std::uint8_t>& data) { append(data.data(), data.size()); }
    // A name in a 40-byte field: the text, then zeros; a 40-character name fills it with no zero.
    void name(std::string_view text);

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

  private:
    void append(const void* data, std::size_t count) {
        const auto* first = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), first, first + count);
    }

    std::vector<std::uint8_t> bytes_;
};

// Writes the bytes to a file, creating the folders on the way; false when it cannot.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Writes the bytes into the file at `path` itself, cut to their length, or into a new file there:
// whoever holds the file open reads the new bytes. False when it cannot; the folder must exist.
bool overwriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
