#include "texture/scene_load.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "io/file_errors.h"

namespace {

// The path with '/' separators, "." and ".." resolved as text, and ASCII letters in lower case.
std::string uniformPath(std::string_view path) {
    std::string slashed(path);
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return asciiLowered(std::filesystem::path(slashed).lexically_normal().generic_string());
}

}  // namespace

std::string fileIdentity(std::string_view path) {
    const std::string host = hostPath(path);
#ifndef _WIN32
    struct stat info;
    if (::stat(host.c_str(), &info) == 0) {
        return "inode " + std::to_string(info.st_dev) + ' ' + std::to_string(info.st_ino);
    }
#endif
    return "path " + uniformPath(host);
}

const SceneTexture* SceneLoad::texture(const std::string& key) const {
    const auto found = textures_.find(key);
    return found == textures_.end() ? nullptr : &found->second;
}

const SceneTexture& SceneLoad::rememberTexture(const std::string& key,
                                               const SceneTexture& texture) {
    return textures_.emplace(key, texture).first->second;
}

void SceneLoad::spendTexels(std::uint64_t texels) {
    texelsSpent_ += std::min(texels, budgets_.texturePixels - texelsSpent_);
}

Result<FileBytes> SceneLoad::readDataFile(std::string_view path, const FailureText& cannotOpen) {
    const std::uint64_t left = budgets_.dataFileBytes - fileBytesSpent_;
    Result<FileBytes> file = readHostFile(path, std::min(kMaxDataFileBytes, left));
    if (file) {
        fileBytesSpent_ += file->size();
        return file;
    }
    if (file.kind() == Failure::tooLarge && left < kMaxDataFileBytes) {
        return kFilesOverBudget;
    }
    return unreadFileResult(file.result(), cannotOpen);
}
