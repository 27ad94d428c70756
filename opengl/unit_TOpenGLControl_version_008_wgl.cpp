// The WGL binding of TOpenGLControl: the GDI pixel-format calls, SwapBuffers, and the
// context calls of the paint cycle and teardown as opengl32.dll's own exports, bound when the
// program is loaded. Window creation goes through the core group's variables instead.
// Pairs with unit_TOpenGLControl_version_008_glx.cpp.
#include <cstddef>

#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"
#include "platform/platform_last_error.h"

// After our headers: windows.h #defines LoadLibrary, which names a member of the library group.
#include "platform/win32_toolkit.h"

namespace {

// Our descriptor is the system's structure field for field, so it is handed over as it is.
static_assert(sizeof(TPixelFormatDescriptor) == sizeof(PIXELFORMATDESCRIPTOR));
static_assert(offsetof(TPixelFormatDescriptor, dwFlags) ==
              offsetof(PIXELFORMATDESCRIPTOR, dwFlags));
static_assert(offsetof(TPixelFormatDescriptor, cColorBits) ==
              offsetof(PIXELFORMATDESCRIPTOR, cColorBits));
static_assert(offsetof(TPixelFormatDescriptor, cAlphaBits) ==
              offsetof(PIXELFORMATDESCRIPTOR, cAlphaBits));
static_assert(offsetof(TPixelFormatDescriptor, iLayerType) ==
              offsetof(PIXELFORMATDESCRIPTOR, iLayerType));
static_assert(offsetof(TPixelFormatDescriptor, dwDamageMask) ==
              offsetof(PIXELFORMATDESCRIPTOR, dwDamageMask));
static_assert(pfdDoubleBuffer == PFD_DOUBLEBUFFER && pfdDrawToWindow == PFD_DRAW_TO_WINDOW &&
              pfdSupportOpenGL == PFD_SUPPORT_OPENGL && pfdGenericFormat == PFD_GENERIC_FORMAT &&
              pfdGenericAccelerated == PFD_GENERIC_ACCELERATED);

HGLRC renderingContextWgl(TRenderingContext ParaRC) {
  return reinterpret_cast<HGLRC>(ParaRC);
}

class TOpenGLWindowSystemWgl final : public TOpenGLWindowSystem {
public:
  TDeviceContext GetDC(TWinControl& ParaControl) override {
    // CS_OWNDC: this is the window's private device context, the same one every paint gets.
    return reinterpret_cast<TDeviceContext>(::GetDC(WindowHandleWin32(ParaControl.Handle())));
  }

  int32_t DescribePixelFormat(TDeviceContext ParaDC, int32_t ParaFormat, uint32_t ParaSize,
                              TPixelFormatDescriptor* ParaDescriptor) override {
    return ::DescribePixelFormat(DeviceContextWin32(ParaDC), ParaFormat, ParaSize,
                                 reinterpret_cast<PIXELFORMATDESCRIPTOR*>(ParaDescriptor));
  }

  int32_t ChoosePixelFormat(TDeviceContext ParaDC,
                            const TPixelFormatDescriptor& ParaDescriptor) override {
    return ::ChoosePixelFormat(DeviceContextWin32(ParaDC),
                               reinterpret_cast<const PIXELFORMATDESCRIPTOR*>(&ParaDescriptor));
  }

  bool SetPixelFormat(TDeviceContext ParaDC, int32_t ParaFormat,
                      const TPixelFormatDescriptor& ParaDescriptor) override {
    return ::SetPixelFormat(DeviceContextWin32(ParaDC), ParaFormat,
                            reinterpret_cast<const PIXELFORMATDESCRIPTOR*>(&ParaDescriptor)) !=
           FALSE;
  }

  bool SwapBuffers(TDeviceContext ParaDC) override {
    return ::SwapBuffers(DeviceContextWin32(ParaDC)) != FALSE;
  }

  // A core entry point the library did not have is a failed call, as the system reports a
  // missing procedure: the window then runs on without a context.
  TRenderingContext CreateContextThroughVariable(TDeviceContext ParaDC) override {
    if (TOpenGLAPIWindowsCore::wglCreateContext == nullptr) {
      SetPlatformLastError(platform_error_proc_not_found);
      return 0;
    }
    return reinterpret_cast<TRenderingContext>(
        TOpenGLAPIWindowsCore::wglCreateContext(DeviceContextWin32(ParaDC)));
  }

  bool MakeCurrentThroughVariable(TDeviceContext ParaDC, TRenderingContext ParaRC) override {
    if (TOpenGLAPIWindowsCore::wglMakeCurrent == nullptr) {
      SetPlatformLastError(platform_error_proc_not_found);
      return false;
    }
    return TOpenGLAPIWindowsCore::wglMakeCurrent(DeviceContextWin32(ParaDC),
                                                 renderingContextWgl(ParaRC)) != FALSE;
  }

  void SwapIntervalThroughVariable(int32_t ParaInterval) override {
    TOpenGLAPIWindowsExtensions::wglSwapIntervalEXT(ParaInterval);
  }

  // The four below are opengl32.dll's exports as the import library binds them, not the
  // variables of the core group.
  TRenderingContext GetCurrentContext() override {
    return reinterpret_cast<TRenderingContext>(::wglGetCurrentContext());
  }

  TDeviceContext GetCurrentDC() override {
    return reinterpret_cast<TDeviceContext>(::wglGetCurrentDC());
  }

  bool MakeCurrent(TDeviceContext ParaDC, TRenderingContext ParaRC) override {
    return ::wglMakeCurrent(DeviceContextWin32(ParaDC), renderingContextWgl(ParaRC)) != FALSE;
  }

  bool DeleteContext(TRenderingContext ParaRC) override {
    return ::wglDeleteContext(renderingContextWgl(ParaRC)) != FALSE;
  }

  void ShowMessage(const std::string& ParaText) override { ShowMessageBox(ParaText); }

  uint32_t LastError() override { return PlatformLastError(); }
};

TOpenGLWindowSystemWgl gWindowSystemWgl;

} // namespace

TOpenGLWindowSystem* OpenGLWindowSystem = &gWindowSystemWgl;

void PrepareOpenGLWindowSystem() {
  // Nothing to prepare: which renderer serves a window follows from its pixel format.
}
