#include "formats/byte_writer.h"

#include <filesystem>
#include <fstream>
#include <string>

void ByteWriter::name(std::string_view text) {
    constexpr std::size_t kField = 40;
    const std::size_t length = text.size() < kField ? text.size() : kField;
    append(text.data(), length);
    zeros(kField - length);
}

// Closed before its state is asked: the last bytes may only fail to reach the disk on closing.
bool overwriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path target(path);
    std::error_code error;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    return overwriteFile(path, bytes);
}
