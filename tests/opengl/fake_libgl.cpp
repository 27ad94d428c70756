// A stand-in for libGL.so.1 in the entry-point group tests: exports every OpenGL 1.1 command
// and the GLX names the groups look up, each of which a build can leave out with
// -DFAKE_GL_OMIT_<name>. FakeGLSetCurrent makes a context "current" for the extension check.
#include <cstring>

#define FAKE_GL_EXPORT extern "C" __attribute__((visibility("default")))

// The OpenGL commands are never called by the group tests; only their presence matters.
#define FAKE_GL_COMMAND(Name)                                                                      \
  FAKE_GL_EXPORT void Name() {}
#include "tests/opengl/fake_libgl_commands.inc"

namespace {
void* CurrentDisplay = nullptr;
int CurrentContext = 0;
const char* Extensions = "";
int LastSwapInterval = -1;
} // namespace

FAKE_GL_EXPORT void FakeGLSetCurrent(void* ParaDisplay, const char* ParaExtensions) {
  CurrentDisplay = ParaDisplay;
  Extensions = ParaExtensions;
}
FAKE_GL_EXPORT int FakeGLLastSwapInterval() {
  return LastSwapInterval;
}

#ifndef FAKE_GL_OMIT_glXCreateNewContext
FAKE_GL_EXPORT void* glXCreateNewContext(void*, void*, int, void*, int) {
  return nullptr;
}
#endif
#ifndef FAKE_GL_OMIT_glXMakeCurrent
FAKE_GL_EXPORT int glXMakeCurrent(void*, unsigned long, void*) {
  return 0;
}
#endif
#ifndef FAKE_GL_OMIT_glXGetCurrentContext
FAKE_GL_EXPORT void* glXGetCurrentContext() {
  return CurrentDisplay != nullptr ? &CurrentContext : nullptr;
}
#endif
#ifndef FAKE_GL_OMIT_glXGetCurrentDrawable
FAKE_GL_EXPORT unsigned long glXGetCurrentDrawable() {
  return 0;
}
#endif
#ifndef FAKE_GL_OMIT_glXDestroyContext
FAKE_GL_EXPORT void glXDestroyContext(void*, void*) {}
#endif
#ifndef FAKE_GL_OMIT_glXGetCurrentDisplay
FAKE_GL_EXPORT void* glXGetCurrentDisplay() {
  return CurrentDisplay;
}
#endif
#ifndef FAKE_GL_OMIT_glXQueryContext
FAKE_GL_EXPORT int glXQueryContext(void*, void*, int, int* ParaValue) {
  *ParaValue = 0;
  return 0;
}
#endif
#ifndef FAKE_GL_OMIT_glXQueryExtensionsString
FAKE_GL_EXPORT const char* glXQueryExtensionsString(void*, int) {
  return Extensions;
}
#endif
#ifndef FAKE_GL_OMIT_glXGetProcAddressARB
namespace {
void unknownEntryPoint() {}
int swapIntervalMesa(unsigned int ParaInterval) {
  LastSwapInterval = static_cast<int>(ParaInterval);
  return 0;
}
int getSwapIntervalMesa() {
  return LastSwapInterval;
}
} // namespace

// Like Mesa's, it answers for any name at all.
FAKE_GL_EXPORT void (*glXGetProcAddressARB(const unsigned char* ParaName))() {
  const char* name = reinterpret_cast<const char*>(ParaName);
  if (std::strcmp(name, "glXSwapIntervalMESA") == 0) {
    return reinterpret_cast<void (*)()>(&swapIntervalMesa);
  }
  if (std::strcmp(name, "glXGetSwapIntervalMESA") == 0) {
    return reinterpret_cast<void (*)()>(&getSwapIntervalMesa);
  }
  return &unknownEntryPoint;
}
#endif
