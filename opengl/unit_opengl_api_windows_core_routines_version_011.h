// The window-system core group: the five rendering-context entry points of WGL (Windows) or
// GLX (Linux). One header for both; each platform's ..._wgl.cpp / ..._glx.cpp defines and
// fills only its own variables, so code naming the other platform's variables fails to link.
//
// clang-format off
// Entry points per platform (same roles, the system's own names and signatures):
//   create a context   wglCreateContext(dc)          glXCreateNewContext(dpy, config, type,
//                                                                        share, direct)
//   make it current    wglMakeCurrent(dc, context)   glXMakeCurrent(dpy, drawable, context)
//   current context    wglGetCurrentContext()        glXGetCurrentContext()
//   current surface    wglGetCurrentDC()             glXGetCurrentDrawable()
//   delete a context   wglDeleteContext(context)     glXDestroyContext(dpy, context)
// clang-format on
// All five are looked up by name in the loaded system library.
#pragma once

#include "opengl/unit_opengl_api_100_types_version_011.h"
#include "opengl/unit_opengl_api_library_version_011.h"

// NOTE: these are the system's own handle types, declared the way windows.h (STRICT) and
// Xlib/glx.h declare them, so backends pass system handles without casts. The reserved-looking
// struct names are the system headers' names, not ours.
struct HDC__;
struct HGLRC__;
using TWGLDeviceContext = HDC__*;      // HDC
using TWGLRenderingContext = HGLRC__*; // HGLRC
using TWGLBool = int;                  // BOOL

struct _XDisplay;
struct __GLXFBConfigRec;
struct __GLXcontextRec;
using TGLXDisplay = _XDisplay*;         // Display*
using TGLXFBConfig = __GLXFBConfigRec*; // GLXFBConfig
using TGLXContext = __GLXcontextRec*;   // GLXContext
using TGLXDrawable = unsigned long;     // GLXDrawable (an X resource id)
using TGLXBool = int;                   // Bool

class TOpenGLAPIWindowsCore : public TOpenGLAPILibrary {
public:
  static bool IsInitialized() { return mInitialized; }
  static bool Initialize();

  // Windows build only (unit_opengl_api_windows_core_routines_version_011_wgl.cpp).
  static TWGLRenderingContext(VANTREL_APIENTRY* wglCreateContext)(TWGLDeviceContext hdc);
  static TWGLBool(VANTREL_APIENTRY* wglMakeCurrent)(TWGLDeviceContext hdc,
                                                    TWGLRenderingContext hglrc);
  static TWGLRenderingContext(VANTREL_APIENTRY* wglGetCurrentContext)();
  static TWGLDeviceContext(VANTREL_APIENTRY* wglGetCurrentDC)();
  static TWGLBool(VANTREL_APIENTRY* wglDeleteContext)(TWGLRenderingContext hglrc);

  // Linux build only (unit_opengl_api_windows_core_routines_version_011_glx.cpp).
  static TGLXContext (*glXCreateNewContext)(TGLXDisplay dpy, TGLXFBConfig config, int render_type,
                                            TGLXContext share_list, TGLXBool direct);
  static TGLXBool (*glXMakeCurrent)(TGLXDisplay dpy, TGLXDrawable drawable, TGLXContext ctx);
  static TGLXContext (*glXGetCurrentContext)();
  static TGLXDrawable (*glXGetCurrentDrawable)();
  static void (*glXDestroyContext)(TGLXDisplay dpy, TGLXContext ctx);

protected:
  static inline bool mInitialized = false;

private:
  // This platform's five lookups; true when all were found. Defined by the backend file.
  static bool LookUpEntryPoints();
};
