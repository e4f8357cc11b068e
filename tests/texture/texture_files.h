#pragma once
// Shared by the texture tests: a data root in a fresh temporary folder to write image files into,
// pictures built from pixel lists, and TGA files and pixels as the decoder gives them. No GL: the
// decoders' tests run on Windows too.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/image_writer.h"
#include "scratch_folder.h"
#include "texture/tga_reader.h"

using Pixel = std::array<std::uint8_t, 4>;

// The side limit that tests without GL give the decoders: GL_MAX_TEXTURE_SIZE of a common driver.
inline constexpr std::int32_t kTextureSide = 16384;

// A data root in a scratch folder, with its data/texture folder; removed at the end.
class TextureFolder {
  public:
    TextureFolder();

    std::string root() const { return scratch_.string(); }
    // Writes data/texture/<name> and returns the path a loader composes for it.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    // Makes data/texture/<name> `size` bytes long, sparse where the file system can; false when
    // it cannot.
    bool extend(const std::string& name, std::uint64_t size) const;

  private:
    ScratchFolder scratch_;
};

// Rows in the order given, each pixel R, G, B, A.
RgbaPicture pictureOf(std::int32_t width, std::int32_t height, const std::vector<Pixel>& pixels);

// A picture of varied colours, so that a wrong row, column or channel shows.
RgbaPicture patternPicture(std::int32_t width, std::int32_t height);

// A TGA file of the layout whose pixel data is `pixelData` as it stands.
std::vector<std::uint8_t> rawTga(std::int32_t width, std::int32_t height, TgaLayout layout,
                                 std::vector<std::uint8_t> pixelData);

// The picture's bytes as the TGA decoder gives them: R, G, B, and A for 32 bits.
std::vector<std::uint8_t> expectedPixels(const RgbaPicture& picture, int bitsPerPixel);

// The decoded pixels the image holds; none when it holds none.
std::vector<std::uint8_t> pixelsOf(const TgaImage& image);
