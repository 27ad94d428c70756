// A stand-in for libGL.so.1 that the game's OpenGL fault tests put in its place: it forwards
// every GLX function the game binds when it is loaded to the real GLX library, and lacks what
// its build leaves out. FORWARDING_LIBGL_WITHOUT_CORE: no glXCreateNewContext, so the context
// entry points cannot be resolved. FORWARDING_LIBGL_WITHOUT_110: the whole GLX core, the
// OpenGL 1.0 commands as traps (they must never be called) and none of 1.1.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#define FORWARD_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The real implementation, kept private so that a lookup in this library finds only what it
// exports itself.
void* realGlx() {
  static void* library = [] {
    void* handle = dlopen("libGLX.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      std::fprintf(stderr, "forwarding libGL: %s\n", dlerror());
      std::abort();
    }
    return handle;
  }();
  return library;
}

template <typename TFunction> TFunction real(const char* ParaName) {
  void* address = dlsym(realGlx(), ParaName);
  if (address == nullptr) {
    std::fprintf(stderr, "forwarding libGL: no %s\n", ParaName);
    std::abort();
  }
  return reinterpret_cast<TFunction>(address);
}

} // namespace

// The GLX types by their calling convention only: the system headers would declare the OpenGL
// commands that this library's traps define with other signatures.
using Display = void;
using GLXFBConfig = void*;
using GLXContext = void*;
using GLXDrawable = unsigned long;
using XVisualInfo = void;
using GLubyte = unsigned char;
using Bool = int;
using TProcedure = void (*)();

#define FORWARD(Result, Name, Parameters, Arguments)                                               \
  FORWARD_EXPORT Result Name Parameters {                                                          \
    static const auto function = real<Result(*) Parameters>(#Name);                                \
    return function Arguments;                                                                     \
  }

FORWARD(GLXFBConfig*, glXChooseFBConfig, (Display * d, int s, const int* a, int* n), (d, s, a, n))
FORWARD(void, glXDestroyContext, (Display * d, GLXContext c), (d, c))
FORWARD(GLXContext, glXGetCurrentContext, (), ())
FORWARD(GLXDrawable, glXGetCurrentDrawable, (), ())
FORWARD(int, glXGetFBConfigAttrib, (Display * d, GLXFBConfig c, int a, int* v), (d, c, a, v))
FORWARD(GLXFBConfig*, glXGetFBConfigs, (Display * d, int s, int* n), (d, s, n))
FORWARD(TProcedure, glXGetProcAddressARB, (const GLubyte* n), (n))
FORWARD(XVisualInfo*, glXGetVisualFromFBConfig, (Display * d, GLXFBConfig c), (d, c))
FORWARD(Bool, glXMakeCurrent, (Display * d, GLXDrawable w, GLXContext c), (d, w, c))
FORWARD(const char*, glXQueryExtensionsString, (Display * d, int s), (d, s))
FORWARD(void, glXSwapBuffers, (Display * d, GLXDrawable w), (d, w))

#ifndef FORWARDING_LIBGL_WITHOUT_CORE
FORWARD(GLXContext, glXCreateNewContext,
        (Display * d, GLXFBConfig c, int t, GLXContext s, Bool direct), (d, c, t, s, direct))
#endif

#ifdef FORWARDING_LIBGL_WITHOUT_110
#define OPENGL_ENTRY_POINT(Class, Name)                                                            \
  FORWARD_EXPORT void Name() {                                                                     \
    std::fprintf(stderr, "forwarding libGL: %s called\n", #Name);                                  \
    std::abort();                                                                                  \
  }
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#endif
