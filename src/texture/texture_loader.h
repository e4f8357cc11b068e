#pragma once
// Turns a texture named in a data file into the image of a GL texture the caller created.

#include <cstdint>

#include "texture/texture_capabilities.h"

// A GL texture name (GLuint), for the headers that keep GL out.
using TextureName = std::uint32_t;

// Loads "<dataRoot>\data\texture\<textureName>" into `texture`: BMP files (by the name's last three
// characters, "bmp" or "BMP") get alpha from a near-magenta colour key, TGA files ("tga" or "TGA")
// keep their own alpha. `fromTga`, when given, receives 0 for a BMP and 1 for a TGA texture. A file
// larger than kMaxDataFileBytes, and an image wider or taller than the capabilities' largest
// texture side or with more pixels than its file can describe, fail as a file that cannot be read.
// When memory runs out, one line "Out of memory - <textureName>" goes to standard error; false.
bool loadTexture(const char* dataRoot, const char* textureName, TextureName texture,
                 TextureCapabilities& capabilities, std::uint8_t* fromTga = nullptr);
