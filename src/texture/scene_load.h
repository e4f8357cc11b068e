#pragma once
// What one load of a scene shares among its readers: the driver's texture capabilities, every
// texture file already loaded (so a file named again, by any spelling, costs nothing twice), and
// the scene's budgets of decoded texels and of model and ground file bytes. The shell makes one
// for each scene set-up; it dies with the load, since its GL names belong to that load's context.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "io/host_files.h"
#include "io/read_result.h"
#include "texture/texture_capabilities.h"

// A GL texture name (GLuint), for the headers that keep GL out.
using TextureName = std::uint32_t;

// What one scene load may take on. Real maps use a few hundred textures of 256 x 256 or 512 x 512
// texels and model and ground files of a few MiB: they stay far inside.
struct LoadBudgets {
    // Decoded texels of all the scene's textures: 96 Mi texels are 384 MiB of RGBA, 384 textures
    // of 512 x 512. GL holds them with their mipmap levels, and may hold them twice.
    std::uint64_t texturePixels = std::uint64_t{96} << 20;
    // Decoded texels of one texture, 4096 x 4096: while it is uploaded, its pixels are held several
    // times over (the RGBA rows, the mipmap levels, GL's copy).
    std::uint64_t texturePixelsEach = std::uint64_t{16} << 20;
    // Bytes of all the scene's model and ground files together; their records take about as much
    // memory again.
    std::uint64_t dataFileBytes = std::uint64_t{384} << 20;
};

inline constexpr FailureText kFilesOverBudget{
    Failure::overBudget, Channel::standardError,
    "The scene's model and ground files pass their budget"};

// Which file a path names, whatever its spelling: on a host with inodes the device and inode of the
// file that hostPath finds; on Windows, and for a file that does not exist, the path with its
// separators, "." and ".." components and ASCII letter case made uniform.
std::string fileIdentity(std::string_view path);

// A texture as its first load left it.
struct SceneTexture {
    TextureName name = 0;
    std::optional<std::uint8_t> fromTga;  // none for a texture that was not read: no kind to tell
    ReadResult read = kCannotOpenFile;    // how its load ended
};

class SceneLoad {
  public:
    explicit SceneLoad(TextureCapabilities& capabilities, LoadBudgets budgets = {})
        : capabilities_(capabilities), budgets_(budgets) {}

    TextureCapabilities& capabilities() { return capabilities_; }

    // The texture loaded under `key`, if any.
    const SceneTexture* texture(const std::string& key) const;
    // Remembers the texture under `key`; gives the one remembered there.
    const SceneTexture& rememberTexture(const std::string& key, const SceneTexture& texture);

    // The one checkerboard that every TGA that cannot be read shows: the first one's GL name.
    std::optional<TextureName> checkerboard() const { return checkerboard_; }
    void rememberCheckerboard(TextureName name) { checkerboard_ = name; }

    // The texels the next texture may decode to: what is left of the budget, and no more than
    // one texture may have. And their spending.
    std::uint64_t texelsForNextTexture() const {
        return std::min(budgets_.texturePixels - texelsSpent_, budgets_.texturePixelsEach);
    }
    void spendTexels(std::uint64_t texels);

    // Reads a model or ground file whole, counting its bytes against the budget; else why there
    // are no bytes, as unreadFileResult tells it with `cannotOpen`, or kFilesOverBudget when the
    // file is larger than what is left of the budget.
    Result<FileBytes> readDataFile(std::string_view path, const FailureText& cannotOpen);

  private:
    TextureCapabilities& capabilities_;
    LoadBudgets budgets_;
    std::map<std::string, SceneTexture, std::less<>> textures_;
    std::optional<TextureName> checkerboard_;
    std::uint64_t texelsSpent_ = 0;
    std::uint64_t fileBytesSpent_ = 0;
};
