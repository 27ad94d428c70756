// A stand-in for libGL.so.1 that the game's OpenGL fault tests put in its place: it forwards
// every GLX function the game binds when it is loaded to the real GLX library, and lacks what
// its build leaves out. FORWARDING_LIBGL_WITHOUT_CORE: no glXCreateNewContext, so the context
// entry points cannot be resolved. FORWARDING_LIBGL_WITHOUT_110: the whole GLX core, the
// OpenGL 1.0 commands as traps (they must never be called) and none of 1.1.
// FORWARDING_LIBGL_FAILING: everything, but the call that VANTREL_LIBGL_FAIL names
// ("glXMakeCurrent:12") is refused by the X server with that error code.
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// The GLX types by their calling convention only: the GLX headers would declare the OpenGL
// commands that this library's traps define with other signatures.
using GLXFBConfig = void*;
using GLXContext = void*;
using GLXDrawable = unsigned long;
using XVisualInfo = void;
using GLubyte = unsigned char;
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
FORWARD(const char*, glXQueryExtensionsString, (Display * d, int s), (d, s))
FORWARD(void, glXSwapBuffers, (Display * d, GLXDrawable w), (d, w))

#ifdef FORWARDING_LIBGL_FAILING
namespace {

// Whether VANTREL_LIBGL_FAIL names this call; if so, a request that the server refuses with
// the named core error code is sent (the error reaches the client's handler at its next sync),
// as a GLX request of the call itself would be refused.
bool refusedForwarding(const char* ParaName, Display* ParaDisplay) {
  const char* setting = std::getenv("VANTREL_LIBGL_FAIL");
  const size_t length = std::strlen(ParaName);
  if (setting == nullptr || std::strncmp(setting, ParaName, length) != 0 ||
      setting[length] != ':') {
    return false;
  }
  // Each releases the resource None, which no client has: the error of that resource's kind.
  switch (std::atoi(setting + length + 1)) {
  case BadPixmap:
    XFreePixmap(ParaDisplay, None);
    return true;
  case BadCursor:
    XFreeCursor(ParaDisplay, None);
    return true;
  case BadFont:
    XUnloadFont(ParaDisplay, None);
    return true;
  case BadColor:
    XFreeColormap(ParaDisplay, None);
    return true;
  default:
    std::fprintf(stderr, "forwarding libGL: no request is refused with %s\n", setting);
    std::abort();
  }
}

} // namespace

// The two context calls of window creation, refused on request.
FORWARD_EXPORT Bool glXMakeCurrent(Display* d, GLXDrawable w, GLXContext c) {
  static const auto function = real<Bool (*)(Display*, GLXDrawable, GLXContext)>(__func__);
  return refusedForwarding(__func__, d) ? False : function(d, w, c);
}

FORWARD_EXPORT GLXContext glXCreateNewContext(Display* d, GLXFBConfig c, int t, GLXContext s,
                                              Bool direct) {
  static const auto function =
      real<GLXContext (*)(Display*, GLXFBConfig, int, GLXContext, Bool)>(__func__);
  return refusedForwarding(__func__, d) ? nullptr : function(d, c, t, s, direct);
}
#else
FORWARD(Bool, glXMakeCurrent, (Display * d, GLXDrawable w, GLXContext c), (d, w, c))
#ifndef FORWARDING_LIBGL_WITHOUT_CORE
FORWARD(GLXContext, glXCreateNewContext,
        (Display * d, GLXFBConfig c, int t, GLXContext s, Bool direct), (d, c, t, s, direct))
#endif
#endif

#ifdef FORWARDING_LIBGL_WITHOUT_110
#define OPENGL_ENTRY_POINT(Class, Name)                                                            \
  FORWARD_EXPORT void Name() {                                                                     \
    std::fprintf(stderr, "forwarding libGL: %s called\n", #Name);                                  \
    std::abort();                                                                                  \
  }
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#endif
