// A program of the parsers and decoders alone: it links orvalis_parsing and nothing that draws.
// It runs the file it is given through every one of them and ends with 0 (1 when the file cannot
// be opened), so that its link, and its run without GL, SDL or EGL, show that they need none.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <string_view>
#include <vector>

#include "app/argument_file.h"
#include "ground/ground_file.h"
#include "model/model_file.h"
#include "texture/bmp_reader.h"
#include "texture/tga_reader.h"
#include "world/world_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::ifstream stream(argv[1], std::ios::binary);
    if (!stream) {
        return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), {}};
    const std::span<const std::uint8_t> file = bytes;
    constexpr std::int32_t kMaxSide = 4096;
    static_cast<void>(parseArgumentFile(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    static_cast<void>(parseGroundFile(file));
    static_cast<void>(parseModelFile(file));
    static_cast<void>(parseWorldFile(file));
    static_cast<void>(decodeDib(file, kMaxSide));
    TgaImage image;
    static_cast<void>(decodeTga(file, image, 0, kMaxSide));
    return 0;
}
