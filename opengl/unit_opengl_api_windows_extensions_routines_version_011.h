// The window-system extension group: the swap-control entry points, reached through the
// window system's own address query. It needs a current rendering context, so the view control
// initializes it only after making its context current; without one the group fails.
//
// clang-format off
// Per platform (the system's own names and signatures):
//   address query       wglGetProcAddress (opengl32.dll)   glXGetProcAddressARB (libGL.so.1)
//   set swap interval   wglSwapIntervalEXT(interval)       glXSwapIntervalMESA(interval)
//   get swap interval   wglGetSwapIntervalEXT()            glXGetSwapIntervalMESA()
// clang-format on
// NOTE: glXGetProcAddressARB answers non-null for any name, so on GLX the two swap entry points
// count as found only when the current display's GLX extension string lists
// GLX_MESA_swap_control; otherwise their variables are left null. Xvfb does not list it.
//
// Each platform's ..._wgl.cpp / ..._glx.cpp defines only its own variables. Shared code sets
// the swap interval through SetSwapInterval(), which calls this platform's entry point.
#pragma once

#include "opengl/unit_opengl_api_110_routines_version_011.h"

#include <cstdint>

using TWGLProc = intptr_t(VANTREL_APIENTRY*)(); // PROC
using TGLXProc = void (*)();                    // __GLXextFuncPtr

class TOpenGLAPIWindowsExtensions : public TOpenGLAPIVersion110 {
public:
  static bool IsInitialized() { return mInitialized; }
  // Initializes the 1.1 group (and with it every group before) first when it is not.
  static bool Initialize();

  // wglSwapIntervalEXT / glXSwapIntervalMESA through the variable; true when the system
  // accepted the interval. Only valid after Initialize() has returned true.
  static bool SetSwapInterval(int ParaInterval);

  // Windows build only (unit_opengl_api_windows_extensions_routines_version_011_wgl.cpp).
  static TWGLProc(VANTREL_APIENTRY* wglGetProcAddress)(const char* lpszProc);
  static TWGLBool(VANTREL_APIENTRY* wglSwapIntervalEXT)(int interval);
  static int(VANTREL_APIENTRY* wglGetSwapIntervalEXT)();

  // Linux build only (unit_opengl_api_windows_extensions_routines_version_011_glx.cpp).
  static TGLXProc (*glXGetProcAddressARB)(const GLubyte* procName);
  static int (*glXSwapIntervalMESA)(unsigned int interval);
  static int (*glXGetSwapIntervalMESA)();

protected:
  static inline bool mInitialized = false;

private:
  // The address query, then the two swap entry points through it; true when all three were
  // found. Defined by the backend file.
  static bool LookUpEntryPoints();
};
