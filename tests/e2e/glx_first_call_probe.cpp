// Preloaded into the real game by the trace test: at the game's first GLX call it writes to
// standard error which GLX vendor and renderer the environment asks for at that moment, then
// forwards every call to the real function. libglvnd and Mesa decide at that first call.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void noteFirstCall(const char* ParaName) {
  static bool noted = false;
  if (noted) {
    return;
  }
  noted = true;
  const char* vendor = std::getenv("__GLX_VENDOR_LIBRARY_NAME");
  const char* software = std::getenv("LIBGL_ALWAYS_SOFTWARE");
  std::fprintf(stderr, "first GLX call %s: __GLX_VENDOR_LIBRARY_NAME=%s LIBGL_ALWAYS_SOFTWARE=%s\n",
               ParaName, vendor != nullptr ? vendor : "(unset)",
               software != nullptr ? software : "(unset)");
}

template <typename TFunction> TFunction next(const char* ParaName) {
  return reinterpret_cast<TFunction>(dlsym(RTLD_NEXT, ParaName));
}

} // namespace

using TProcedure = void (*)();

// The GLX functions the game calls itself, by their calling convention (see forwarding_libgl.cpp).
#define PROBE(Result, Name, Parameters, Arguments)                                                 \
  PROBE_EXPORT Result Name Parameters {                                                            \
    noteFirstCall(#Name);                                                                          \
    static const auto function = next<Result(*) Parameters>(#Name);                                \
    return function Arguments;                                                                     \
  }

PROBE(void**, glXChooseFBConfig, (void* d, int s, const int* a, int* n), (d, s, a, n))
PROBE(int, glXGetFBConfigAttrib, (void* d, void* c, int a, int* v), (d, c, a, v))
PROBE(void**, glXGetFBConfigs, (void* d, int s, int* n), (d, s, n))
PROBE(void*, glXGetVisualFromFBConfig, (void* d, void* c), (d, c))
PROBE(const char*, glXQueryExtensionsString, (void* d, int s), (d, s))
PROBE(TProcedure, glXGetProcAddressARB, (const unsigned char* n), (n))
PROBE(int, glXMakeCurrent, (void* d, unsigned long w, void* c), (d, w, c))
PROBE(void*, glXGetCurrentContext, (), ())
PROBE(unsigned long, glXGetCurrentDrawable, (), ())
PROBE(void, glXSwapBuffers, (void* d, unsigned long w), (d, w))
PROBE(void, glXDestroyContext, (void* d, void* c), (d, c))
