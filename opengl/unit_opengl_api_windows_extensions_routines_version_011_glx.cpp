// The extension group on Linux: glXGetProcAddressARB from libGL.so.1, then the
// GLX_MESA_swap_control entry points through it, trusted only when the display lists the
// extension. Pairs with unit_opengl_api_windows_extensions_routines_version_011_wgl.cpp.
#include "opengl/opengl_entry_point_lookup.h"
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

// The system declarations, only to hold ours against them.
#include <GL/glx.h>

#include <cstring>
#include <string_view>
#include <type_traits>

TGLXProc (*TOpenGLAPIWindowsExtensions::glXGetProcAddressARB)(const GLubyte*) = nullptr;
int (*TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA)(unsigned int) = nullptr;
int (*TOpenGLAPIWindowsExtensions::glXGetSwapIntervalMESA)() = nullptr;

static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsExtensions::glXGetProcAddressARB),
                             decltype(&::glXGetProcAddressARB)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA),
                             PFNGLXSWAPINTERVALMESAPROC>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsExtensions::glXGetSwapIntervalMESA),
                             PFNGLXGETSWAPINTERVALMESAPROC>);

namespace {

// The GLX queries the extension check needs; looked up afresh by every check, like the group.
struct TExtensionQueriesGlx {
  TGLXDisplay (*mGetCurrentDisplay)() = nullptr;
  int (*mQueryContext)(TGLXDisplay, TGLXContext, int, int*) = nullptr;
  const char* (*mQueryExtensionsString)(TGLXDisplay, int) = nullptr;
};

template <typename TFunction> void lookUpGlx(TFunction& ParaVariable, const char* ParaName) {
  ParaVariable = reinterpret_cast<TFunction>(
      PlatformModuleSymbol(TOpenGLAPILibrary::mLibraryHandle, ParaName));
}

bool listsExtensionGlx(std::string_view ParaExtensions, std::string_view ParaName) {
  size_t start = 0;
  while (start < ParaExtensions.size()) {
    size_t end = ParaExtensions.find(' ', start);
    if (end == std::string_view::npos) {
      end = ParaExtensions.size();
    }
    if (ParaExtensions.substr(start, end - start) == ParaName) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// True when the display of the current context lists GLX_MESA_swap_control for the context's
// screen; false without a current context.
bool swapControlListedGlx() {
  TExtensionQueriesGlx queries;
  lookUpGlx(queries.mGetCurrentDisplay, "glXGetCurrentDisplay");
  lookUpGlx(queries.mQueryContext, "glXQueryContext");
  lookUpGlx(queries.mQueryExtensionsString, "glXQueryExtensionsString");
  if (queries.mGetCurrentDisplay == nullptr || queries.mQueryContext == nullptr ||
      queries.mQueryExtensionsString == nullptr) {
    return false;
  }
  const TGLXDisplay display = queries.mGetCurrentDisplay();
  const TGLXContext context = TOpenGLAPIWindowsCore::glXGetCurrentContext();
  if (display == nullptr || context == nullptr) {
    return false;
  }
  int screen = 0;
  if (queries.mQueryContext(display, context, GLX_SCREEN, &screen) != Success) {
    return false;
  }
  const char* extensions = queries.mQueryExtensionsString(display, screen);
  return extensions != nullptr && listsExtensionGlx(extensions, "GLX_MESA_swap_control");
}

} // namespace

bool TOpenGLAPIWindowsExtensions::LookUpEntryPoints() {
  lookUpGlx(glXGetProcAddressARB, "glXGetProcAddressARB");
  if (glXGetProcAddressARB == nullptr) {
    return false;
  }
  TGLXProc swapInterval =
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA"));
  TGLXProc getSwapInterval =
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXGetSwapIntervalMESA"));
  if (!swapControlListedGlx()) {
    swapInterval = nullptr;
    getSwapInterval = nullptr;
  }
  glXSwapIntervalMESA = reinterpret_cast<decltype(glXSwapIntervalMESA)>(swapInterval);
  glXGetSwapIntervalMESA = reinterpret_cast<decltype(glXGetSwapIntervalMESA)>(getSwapInterval);
  return glXSwapIntervalMESA != nullptr && glXGetSwapIntervalMESA != nullptr;
}

bool TOpenGLAPIWindowsExtensions::SetSwapInterval(int ParaInterval) {
  // NOTE: GLX_MESA_swap_control answers 0 on success, unlike WGL's TRUE.
  return glXSwapIntervalMESA(static_cast<unsigned int>(ParaInterval)) == 0;
}
