#include "formats/byte_writer.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

void ByteWriter::name(std::string_view text) {
    constexpr std::size_t kField = 40;
    const std::size_t length = text.size() < kField ? text.size() : kField;
    append(text.data(), length);
    zeros(kField - length);
}

namespace {

// Closed before its state is asked: the last bytes may only fail to reach the disk on closing.
bool writeBytes(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// A name beside `target`, random so that two writers at the same moment pick different ones.
std::filesystem::path temporarySibling(const std::filesystem::path& target) {
    std::random_device random;
    const unsigned long long tag = (static_cast<unsigned long long>(random()) << 32) | random();
    std::filesystem::path name = target;
    return name += "." + std::to_string(tag) + ".part";
}

}  // namespace

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    return writeBytes(target, bytes);
}

bool replaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path temporary = temporarySibling(path);
    std::error_code error;
    if (writeBytes(temporary, bytes)) {
        std::filesystem::rename(temporary, path, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(temporary, error);
    return false;
}
