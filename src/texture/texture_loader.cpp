#include "texture/texture_loader.h"

bool loadTexture(const char*, const char*, GLuint, std::uint8_t*) {
    return false;
}
