#include "io/byte_cursor.h"

std::string nameFromField(const std::uint8_t* field) {
    const void* zero = std::memchr(field, 0, kNameFieldSize);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - field)
             : kNameFieldSize;
    return std::string(reinterpret_cast<const char*>(field), length);
}

bool ByteCursor::seek(std::size_t position) {
    if (position > data_.size()) {
        return false;
    }
    position_ = position;
    return true;
}

bool ByteCursor::skip(std::size_t count) {
    if (count > remaining()) {
        return false;
    }
    position_ += count;
    return true;
}

bool ByteCursor::readBytes(void* out, std::size_t count) {
    if (count > remaining()) {
        return false;
    }
    if (count != 0) {
        std::memcpy(out, data_.data() + position_, count);
    }
    position_ += count;
    return true;
}

bool ByteCursor::readName(std::string& name) {
    if (remaining() < kNameFieldSize) {
        return false;
    }
    name = nameFromField(data_.data() + position_);
    position_ += kNameFieldSize;
    return true;
}

bool ByteCursor::fits(std::int64_t count, std::size_t recordSize) const {
    if (count < 0) {
        return false;
    }
    if (recordSize == 0) {
        return true;
    }
    return static_cast<std::uint64_t>(count) <= remaining() / recordSize;
}
