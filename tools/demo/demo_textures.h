#pragma once
// The demo scene's textures, painted from noise: ground textures (24- and 8-bit BMP) and model
// textures (BMP whose magenta areas the alpha test cuts away, and 32-bit TGA with alpha for the
// additively blended glows). Each has the name the data files use for it, which differs in letter
// case from its file on disk, and its file's place below the texture folder.

#include <cstdint>
#include <string>
#include <vector>

struct DemoTexture {
    std::string dataName;  // as the ground and model files name it: backslashes, another case
    std::string diskPath;  // below data/texture, with '/'
};

namespace demo_texture {
inline const DemoTexture grass{"Terrain\\Grass.bmp", "terrain/grass.bmp"};
inline const DemoTexture meadow{"TERRAIN\\Meadow.BMP", "terrain/meadow.bmp"};
inline const DemoTexture rock{"Terrain\\ROCK.bmp", "terrain/rock.bmp"};
inline const DemoTexture dirt{"terrain\\Dirt.BMP", "terrain/dirt.bmp"};
inline const DemoTexture sand{"Terrain\\SAND.bmp", "terrain/sand.bmp"};
inline const DemoTexture snow{"Terrain\\Snow.bmp", "terrain/snow.bmp"};
inline const DemoTexture water{"Terrain\\Water.BMP", "terrain/water.bmp"};
inline const DemoTexture bark{"Models\\Bark.bmp", "models/bark.bmp"};
inline const DemoTexture pine{"MODELS\\Pine.bmp", "models/pine.bmp"};
inline const DemoTexture plaster{"Models\\Plaster.BMP", "models/plaster.bmp"};
inline const DemoTexture roof{"Models\\ROOF.bmp", "models/roof.bmp"};
inline const DemoTexture window{"Models\\Window.TGA", "models/window.tga"};
inline const DemoTexture sail{"models\\Sail.bmp", "models/sail.bmp"};
inline const DemoTexture crystal{"Models\\Crystal.tga", "models/crystal.tga"};
}  // namespace demo_texture

struct DemoTextureFile {
    std::string diskPath;
    std::vector<std::uint8_t> bytes;
};

// Every texture file of the demo.
std::vector<DemoTextureFile> demoTextureFiles();
