#pragma once
// Read-back of the bound GL texture, for the texture tests that upload.

#include <vector>

#include "platform/gl.h"

// Level `level` of the bound texture, as `format` bytes.
std::vector<GLubyte> boundTexels(GLenum format, int components, int level = 0);
GLint boundLevelParameter(GLenum parameter, int level = 0);
