#pragma once
// OpenGL 1.1 and GLU, with the few extension values the texture code names.

#ifdef _WIN32
// The Windows GL headers want three names of <windows.h>, which the viewer's code keeps out: its
// macros would take the names of the Windows values in win32_types.h.
#define APIENTRY __stdcall
#define CALLBACK __stdcall
#define WINGDIAPI __declspec(dllimport)
#endif
#include <GL/gl.h>
#include <GL/glu.h>
#ifdef _WIN32
#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#endif

#ifndef GL_COMPRESSED_ALPHA_ARB
#define GL_COMPRESSED_ALPHA_ARB 0x84E9
#define GL_COMPRESSED_LUMINANCE_ARB 0x84EA
#define GL_COMPRESSED_RGB_ARB 0x84ED
#define GL_COMPRESSED_RGBA_ARB 0x84EE
#endif
