#pragma once
// Turns a texture named in a data file into the image of a GL texture the caller created.

#include <cstdint>

#include "texture/scene_load.h"

// Loads "<dataRoot>\data\texture\<textureName>" into `texture`: BMP files (by the name's last three
// characters, "bmp" or "BMP") get alpha from a near-magenta colour key, TGA files ("tga" or "TGA")
// keep their own alpha. `fromTga`, when given, receives 0 for a BMP and 1 for a TGA texture. A file
// larger than kMaxDataFileBytes, and an image wider or taller than the capabilities' largest
// texture side, with more pixels than its file can describe or than what is left of the scene's
// texture budget, fail as a file that cannot be read. When memory runs out, one line
// "Out of memory - <textureName>" goes to standard error, and the result is kOutOfMemory.
// A file that the scene loaded before, under any name that reaches it, is not read again:
// `texture` and `fromTga` become those of its first load, and so does the result. Every TGA that
// cannot be read shows the scene's one checkerboard, whose name `texture` then becomes.
ReadResult loadTexture(const char* dataRoot, const char* textureName, TextureName& texture,
                       SceneLoad& scene, std::uint8_t* fromTga = nullptr);

// The loader's own text, besides those of the BMP and TGA readers and of the file reads.
inline constexpr FailureText kUnknownTextureType{Failure::unsupported, Channel::messageBox,
                                                 "Unknown texture type"};
