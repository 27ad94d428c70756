// The OpenGL 1.0 types and the constants this program passes, declared here so that no code
// above the platform layer needs a system GL header. The 1.1 additions are in
// unit_opengl_api_110_types_version_011.h; window-system handles are with the core group.
#pragma once

// NOTE: the published headers use __stdcall for every entry point on 32-bit Windows only; on
// x86-64 (Windows and Linux) there is one calling convention and the macro is empty.
#if defined(_WIN32) && !defined(_WIN64)
#define VANTREL_APIENTRY __stdcall
#else
#define VANTREL_APIENTRY
#endif

// Identical to the typedefs of the system headers, so a file may include both.
typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

// NOTE: the system headers define these as macros. A file that includes a system header first
// keeps its macros (same values); one that includes it later has the macros replace the names.
#ifndef GL_FALSE
inline constexpr GLboolean GL_FALSE = 0;
#endif
#ifndef GL_TRUE
inline constexpr GLboolean GL_TRUE = 1;
#endif
#ifndef GL_COLOR_BUFFER_BIT
inline constexpr GLbitfield GL_COLOR_BUFFER_BIT = 0x00004000;
#endif
#ifndef GL_POINTS
inline constexpr GLenum GL_POINTS = 0x0000;
#endif
#ifndef GL_LINES
inline constexpr GLenum GL_LINES = 0x0001;
#endif
#ifndef GL_QUADS
inline constexpr GLenum GL_QUADS = 0x0007;
#endif
#ifndef GL_FRONT
inline constexpr GLenum GL_FRONT = 0x0404;
#endif
#ifndef GL_BACK
inline constexpr GLenum GL_BACK = 0x0405;
#endif
#ifndef GL_NO_ERROR
inline constexpr GLenum GL_NO_ERROR = 0;
#endif
#ifndef GL_VENDOR
inline constexpr GLenum GL_VENDOR = 0x1F00;
#endif
#ifndef GL_RENDERER
inline constexpr GLenum GL_RENDERER = 0x1F01;
#endif
#ifndef GL_VERSION
inline constexpr GLenum GL_VERSION = 0x1F02;
#endif
#ifndef GL_EXTENSIONS
inline constexpr GLenum GL_EXTENSIONS = 0x1F03;
#endif
