#pragma once
// A fresh, empty folder for one test, removed when the test ends.

#include <cstdint>
#include <filesystem>
#include <string>

class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string string() const { return path_.string(); }
    // Writes a text file below the folder, creating sub-folders; returns its path.
    std::filesystem::path writeText(const std::string& relative, const std::string& text) const;
    // Makes the file below the folder `size` bytes long after its text, without writing the rest:
    // on most file systems a sparse file. False when the file system cannot make one that size.
    bool extend(const std::string& relative, std::uint64_t size) const;

  private:
    std::filesystem::path path_;
};

// Runs with the current directory set to a folder and puts the old one back at the end.
class CurrentDirectory {
  public:
    explicit CurrentDirectory(const std::filesystem::path& folder);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};
