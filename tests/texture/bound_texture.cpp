#include "bound_texture.h"

std::vector<GLubyte> boundTexels(GLenum format, int components, int level) {
    const GLint width = boundLevelParameter(GL_TEXTURE_WIDTH, level);
    const GLint height = boundLevelParameter(GL_TEXTURE_HEIGHT, level);
    std::vector<GLubyte> texels(static_cast<std::size_t>(width) * height * components);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

GLint boundLevelParameter(GLenum parameter, int level) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}
