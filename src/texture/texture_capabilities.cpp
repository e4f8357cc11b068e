#include "texture/texture_capabilities.h"

#include "platform/gl.h"

TextureCapabilities TextureCapabilities::ofCurrentContext() {
    TextureCapabilities capabilities;
    capabilities.readMaxTextureSide();
    return capabilities;
}

void TextureCapabilities::readMaxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    maxTextureSide_ = side;
}
