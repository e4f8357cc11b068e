#include "scratch_folder.h"

#include <fstream>
#include <random>
#include <stdexcept>

// A folder of a random name that did not exist before, on every host (there is no mkdtemp on
// Windows).
ScratchFolder::ScratchFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("orvalis-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch folder");
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::writeText(const std::string& relative,
                                               const std::string& text) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

bool ScratchFolder::extend(const std::string& relative, std::uint64_t size) const {
    std::error_code error;
    std::filesystem::resize_file(path_ / relative, size, error);
    return !error;
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}
