#pragma once
// A bounds-checked little-endian reader over bytes held in memory. Every read either delivers all
// it was asked for and advances, or delivers nothing, leaves the position unchanged and returns
// false: no reader can see a byte past the end of its data.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "records are copied as stored");

// Every name in the data files is a zero-terminated string in a 40-byte field.
inline constexpr std::size_t kNameFieldSize = 40;

// The name is the bytes up to the first zero, or all 40 when the field has none.
std::string nameFromField(const std::uint8_t* field);

class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t position() const { return position_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - position_; }
    bool atEnd() const { return position_ == data_.size(); }

    bool seek(std::size_t position);
    bool skip(std::size_t count);
    bool readBytes(void* out, std::size_t count);

    bool readU8(std::uint8_t& value) { return readScalar(value); }
    bool readU16(std::uint16_t& value) { return readScalar(value); }
    bool readI16(std::int16_t& value) { return readScalar(value); }
    bool readU32(std::uint32_t& value) { return readScalar(value); }
    bool readI32(std::int32_t& value) { return readScalar(value); }
    bool readF32(float& value) { return readScalar(value); }
    bool readName(std::string& name);

    // Whether `count` records of `recordSize` bytes fit in what is left (no overflow).
    bool fits(std::int64_t count, std::size_t recordSize) const;

    // Reads `count` records laid out in the file exactly as in memory.
    template <typename Record>
    bool readRecords(Record* out, std::size_t count) {
        static_assert(std::is_trivially_copyable_v<Record>);
        if (!fits(static_cast<std::int64_t>(count), sizeof(Record))) {
            return false;
        }
        return readBytes(out, count * sizeof(Record));
    }

    // The bytes from the position on, without advancing.
    std::span<const std::uint8_t> rest() const { return data_.subspan(position_); }

  private:
    template <typename Scalar>
    bool readScalar(Scalar& value) {
        return readBytes(&value, sizeof value);
    }

    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};
