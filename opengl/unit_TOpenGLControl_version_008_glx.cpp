// The GLX binding of TOpenGLControl: what stands for each WGL/GDI call on an X display.
// A pixel format is a framebuffer configuration of the screen, numbered from 1 in the order
// glXGetFBConfigs gives them; a device context is the window's drawable record of the Xlib
// toolkit backend. Pairs with unit_TOpenGLControl_version_008_wgl.cpp.
#include <GL/glx.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"
#include "platform/platform_last_error.h"
#include "platform/x11_toolkit.h"

namespace {

// Win32 error numbers, so the "GetLastError: " box reads alike on both platforms.
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInvalidPixelFormat = 2000;

#ifndef GLX_RENDERER_ACCELERATED_MESA
constexpr int GLX_RENDERER_ACCELERATED_MESA = 0x8186;
#endif

using TQueryRendererIntegerMESA = Bool (*)(Display*, int, int, int, unsigned int*);

// The screen's framebuffer configurations, the pixel formats in their order. Fetched once per
// connection and kept with it (the connection frees the list): the list stays the same while
// the connection is open, and fetching it again for each of several hundred formats cost tens
// of milliseconds of every start-up.
GLXFBConfig* framebufferConfigsGlx(Display* ParaDisplay, int& ParaCount) {
  TX11Connection& connection = ConnectionX11();
  if (connection.mFramebufferConfigs == nullptr) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(ParaDisplay, connection.mScreen, &count);
    connection.mFramebufferConfigs = configs;
    connection.mFramebufferConfigCount = configs != nullptr ? count : 0;
  }
  ParaCount = connection.mFramebufferConfigCount;
  return static_cast<GLXFBConfig*>(connection.mFramebufferConfigs);
}

int attributeGlx(Display* ParaDisplay, GLXFBConfig ParaConfig, int ParaAttribute) {
  int value = 0;
  if (glXGetFBConfigAttrib(ParaDisplay, ParaConfig, ParaAttribute, &value) != Success) {
    return 0;
  }
  return value;
}

bool extensionListedGlx(Display* ParaDisplay, const char* ParaName) {
  const char* extensions = glXQueryExtensionsString(ParaDisplay, ScreenX11());
  if (extensions == nullptr) {
    return false;
  }
  const size_t length = std::strlen(ParaName);
  for (const char* at = std::strstr(extensions, ParaName); at != nullptr;
       at = std::strstr(at + 1, ParaName)) {
    const bool startsWord = at == extensions || at[-1] == ' ';
    const bool endsWord = at[length] == '\0' || at[length] == ' ';
    if (startsWord && endsWord) {
      return true;
    }
  }
  return false;
}

// Whether Mesa's software rasterizer serves the display: the renderer says it is not
// accelerated. Without GLX_MESA_query_renderer the formats count as accelerated. Asked once
// per connection; the answer is kept with it.
bool softwareRendererGlx(Display* ParaDisplay) {
  TX11Connection& connection = ConnectionX11();
  if (connection.mSoftwareRenderer < 0) {
    connection.mSoftwareRenderer = 0;
    if (extensionListedGlx(ParaDisplay, "GLX_MESA_query_renderer")) {
      auto query = reinterpret_cast<TQueryRendererIntegerMESA>(
          glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXQueryRendererIntegerMESA")));
      unsigned int accelerated = 1;
      if (query != nullptr &&
          query(ParaDisplay, connection.mScreen, 0, GLX_RENDERER_ACCELERATED_MESA, &accelerated)) {
        connection.mSoftwareRenderer = accelerated == 0 ? 1 : 0;
      }
    }
  }
  return connection.mSoftwareRenderer == 1;
}

uint8_t shiftOfMaskGlx(unsigned long ParaMask) {
  uint8_t shift = 0;
  while (ParaMask != 0 && (ParaMask & 1u) == 0) {
    ParaMask >>= 1;
    ++shift;
  }
  return shift;
}

uint8_t byteGlx(int ParaValue) {
  return static_cast<uint8_t>(ParaValue < 0 ? 0 : ParaValue > 255 ? 255 : ParaValue);
}

void describeConfigGlx(Display* ParaDisplay, GLXFBConfig ParaConfig,
                       TPixelFormatDescriptor& ParaDescriptor) {
  ParaDescriptor = TPixelFormatDescriptor{};
  ParaDescriptor.nSize = sizeof(TPixelFormatDescriptor);
  ParaDescriptor.nVersion = 1;
  uint32_t flags = pfdSupportOpenGL;
  XVisualInfo* visual = glXGetVisualFromFBConfig(ParaDisplay, ParaConfig);
  const bool windowDrawable =
      (attributeGlx(ParaDisplay, ParaConfig, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0;
  // A window needs a TrueColor visual here (no colormap games for RGBA rendering).
  if (windowDrawable && visual != nullptr && visual->c_class == TrueColor) {
    flags |= pfdDrawToWindow;
  }
  if (attributeGlx(ParaDisplay, ParaConfig, GLX_DOUBLEBUFFER) != 0) {
    flags |= pfdDoubleBuffer;
  }
  if (softwareRendererGlx(ParaDisplay)) {
    flags |= pfdGenericFormat;
  }
  ParaDescriptor.dwFlags = flags;
  ParaDescriptor.iPixelType =
      (attributeGlx(ParaDisplay, ParaConfig, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0
          ? pfdTypeRGBA
          : pfdTypeColorIndex;
  ParaDescriptor.cColorBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_BUFFER_SIZE));
  ParaDescriptor.cRedBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_RED_SIZE));
  ParaDescriptor.cGreenBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_GREEN_SIZE));
  ParaDescriptor.cBlueBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_BLUE_SIZE));
  ParaDescriptor.cAlphaBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_ALPHA_SIZE));
  if (visual != nullptr) {
    ParaDescriptor.cRedShift = shiftOfMaskGlx(visual->red_mask);
    ParaDescriptor.cGreenShift = shiftOfMaskGlx(visual->green_mask);
    ParaDescriptor.cBlueShift = shiftOfMaskGlx(visual->blue_mask);
  }
  const int accumRed = attributeGlx(ParaDisplay, ParaConfig, GLX_ACCUM_RED_SIZE);
  const int accumGreen = attributeGlx(ParaDisplay, ParaConfig, GLX_ACCUM_GREEN_SIZE);
  const int accumBlue = attributeGlx(ParaDisplay, ParaConfig, GLX_ACCUM_BLUE_SIZE);
  const int accumAlpha = attributeGlx(ParaDisplay, ParaConfig, GLX_ACCUM_ALPHA_SIZE);
  ParaDescriptor.cAccumBits = byteGlx(accumRed + accumGreen + accumBlue + accumAlpha);
  ParaDescriptor.cAccumRedBits = byteGlx(accumRed);
  ParaDescriptor.cAccumGreenBits = byteGlx(accumGreen);
  ParaDescriptor.cAccumBlueBits = byteGlx(accumBlue);
  ParaDescriptor.cAccumAlphaBits = byteGlx(accumAlpha);
  ParaDescriptor.cDepthBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_DEPTH_SIZE));
  ParaDescriptor.cStencilBits = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_STENCIL_SIZE));
  ParaDescriptor.cAuxBuffers = byteGlx(attributeGlx(ParaDisplay, ParaConfig, GLX_AUX_BUFFERS));
  ParaDescriptor.iLayerType = pfdMainPlane;
  if (visual != nullptr) {
    XFree(visual);
  }
}

class TOpenGLWindowSystemGlx final : public TOpenGLWindowSystem {
public:
  TDeviceContext GetDC(TWinControl& ParaControl) override { return ParaControl.GetDC(); }

  int32_t DescribePixelFormat(TDeviceContext ParaDC, int32_t ParaFormat, uint32_t ParaSize,
                              TPixelFormatDescriptor* ParaDescriptor) override {
    if (ParaDC == 0) {
      SetPlatformLastError(kErrorInvalidParameter);
      return 0;
    }
    Display* display = DeviceContextX11(ParaDC)->mDisplay;
    int count = 0;
    GLXFBConfig* configs = framebufferConfigsGlx(display, count);
    if (configs == nullptr || ParaFormat < 1 || ParaFormat > count) {
      SetPlatformLastError(kErrorInvalidParameter);
      return 0;
    }
    if (ParaDescriptor != nullptr && ParaSize >= sizeof(TPixelFormatDescriptor)) {
      describeConfigGlx(display, configs[ParaFormat - 1], *ParaDescriptor);
    }
    return count;
  }

  int32_t ChoosePixelFormat(TDeviceContext ParaDC,
                            const TPixelFormatDescriptor& ParaDescriptor) override {
    if (ParaDC == 0) {
      SetPlatformLastError(kErrorInvalidParameter);
      return 0;
    }
    Display* display = DeviceContextX11(ParaDC)->mDisplay;
    const uint32_t flags = ParaDescriptor.dwFlags;
    int attributes[] = {GLX_DRAWABLE_TYPE,
                        (flags & pfdDrawToWindow) != 0 ? GLX_WINDOW_BIT : 0,
                        GLX_RENDER_TYPE,
                        ParaDescriptor.iPixelType == pfdTypeRGBA ? GLX_RGBA_BIT
                                                                 : GLX_COLOR_INDEX_BIT,
                        GLX_DOUBLEBUFFER,
                        (flags & pfdDoubleBuffer) != 0 ? True : False,
                        GLX_BUFFER_SIZE,
                        ParaDescriptor.cColorBits,
                        GLX_ALPHA_SIZE,
                        ParaDescriptor.cAlphaBits,
                        GLX_DEPTH_SIZE,
                        ParaDescriptor.cDepthBits,
                        GLX_STENCIL_SIZE,
                        ParaDescriptor.cStencilBits,
                        GLX_AUX_BUFFERS,
                        ParaDescriptor.cAuxBuffers,
                        None};
    int chosenCount = 0;
    GLXFBConfig* chosen = glXChooseFBConfig(display, ScreenX11(), attributes, &chosenCount);
    if (chosen == nullptr || chosenCount == 0) {
      if (chosen != nullptr) {
        XFree(chosen);
      }
      SetPlatformLastError(kErrorInvalidPixelFormat);
      return 0;
    }
    // Back to the number of that configuration in glXGetFBConfigs' order.
    const int wantedId = attributeGlx(display, chosen[0], GLX_FBCONFIG_ID);
    XFree(chosen);
    int count = 0;
    GLXFBConfig* configs = framebufferConfigsGlx(display, count);
    int32_t number = 0;
    for (int index = 0; index < count && number == 0; ++index) {
      if (attributeGlx(display, configs[index], GLX_FBCONFIG_ID) == wantedId) {
        number = index + 1;
      }
    }
    if (number == 0) {
      SetPlatformLastError(kErrorInvalidPixelFormat);
    }
    return number;
  }

  bool SetPixelFormat(TDeviceContext ParaDC, int32_t ParaFormat,
                      const TPixelFormatDescriptor& /*ParaDescriptor*/) override {
    if (ParaDC == 0) {
      SetPlatformLastError(kErrorInvalidParameter);
      return false;
    }
    TX11DeviceContext& dc = *DeviceContextX11(ParaDC);
    // As on Win32, a window's pixel format is set once.
    if (dc.mPixelFormat != 0) {
      if (dc.mPixelFormat == ParaFormat) {
        return true;
      }
      SetPlatformLastError(kErrorInvalidPixelFormat);
      return false;
    }
    int count = 0;
    GLXFBConfig* configs = framebufferConfigsGlx(dc.mDisplay, count);
    if (configs == nullptr || ParaFormat < 1 || ParaFormat > count) {
      SetPlatformLastError(kErrorInvalidPixelFormat);
      return false;
    }
    GLXFBConfig config = configs[ParaFormat - 1];
    XVisualInfo* visual = glXGetVisualFromFBConfig(dc.mDisplay, config);
    if (visual == nullptr) {
      SetPlatformLastError(kErrorInvalidPixelFormat);
      return false;
    }
    XWindowAttributes current{};
    XGetWindowAttributes(dc.mDisplay, dc.mWindow, &current);
    bool done = true;
    if (current.visual == nullptr || current.visual->visualid != visual->visualid) {
      done = RecreateWindowWithVisualX11(dc, visual->visual, visual->depth);
    }
    XFree(visual);
    if (done) {
      dc.mPixelFormat = ParaFormat;
      dc.mFramebufferConfig = config;
    }
    return done;
  }

  bool SwapBuffers(TDeviceContext ParaDC) override {
    if (ParaDC == 0) {
      return false;
    }
    const TX11DeviceContext& dc = *DeviceContextX11(ParaDC);
    glXSwapBuffers(dc.mDisplay, dc.mWindow);
    return true;
  }

  // A core entry point the library did not have is a failed call, as Windows reports a
  // missing procedure: the window then runs on without a context.
  TRenderingContext CreateContextThroughVariable(TDeviceContext ParaDC) override {
    if (TOpenGLAPIWindowsCore::glXCreateNewContext == nullptr) {
      SetPlatformLastError(platform_error_proc_not_found);
      return 0;
    }
    const TX11DeviceContext& dc = *DeviceContextX11(ParaDC);
    if (dc.mFramebufferConfig == nullptr) {
      SetPlatformLastError(kErrorInvalidPixelFormat);
      return 0;
    }
    TX11ErrorTrap trap(dc.mDisplay);
    GLXContext context = TOpenGLAPIWindowsCore::glXCreateNewContext(
        dc.mDisplay, static_cast<GLXFBConfig>(dc.mFramebufferConfig), GLX_RGBA_TYPE, nullptr, True);
    if (trap.Failed() && context != nullptr) {
      glXDestroyContext(dc.mDisplay, context);
      context = nullptr;
    }
    return reinterpret_cast<TRenderingContext>(context);
  }

  bool MakeCurrentThroughVariable(TDeviceContext ParaDC, TRenderingContext ParaRC) override {
    if (TOpenGLAPIWindowsCore::glXMakeCurrent == nullptr) {
      SetPlatformLastError(platform_error_proc_not_found);
      return false;
    }
    const TX11DeviceContext& dc = *DeviceContextX11(ParaDC);
    // NOTE: a refused request's error arrives later, with the server's next answer; the trap
    // waits for it, so the code that a failure report reads at once is this call's.
    TX11ErrorTrap trap(dc.mDisplay);
    const bool made = TOpenGLAPIWindowsCore::glXMakeCurrent(
                          dc.mDisplay, dc.mWindow, reinterpret_cast<GLXContext>(ParaRC)) != False;
    return !trap.Failed() && made;
  }

  void SwapIntervalThroughVariable(int32_t ParaInterval) override {
    TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA(static_cast<unsigned int>(ParaInterval));
  }

  TRenderingContext GetCurrentContext() override {
    return reinterpret_cast<TRenderingContext>(glXGetCurrentContext());
  }

  TDeviceContext GetCurrentDC() override {
    return reinterpret_cast<TDeviceContext>(FindDeviceContextX11(glXGetCurrentDrawable()));
  }

  bool MakeCurrent(TDeviceContext ParaDC, TRenderingContext ParaRC) override {
    Display* display = DisplayX11();
    // NOTE: wglMakeCurrent(dc, 0) releases the current context whatever dc is; GLX insists on
    // no drawable together with no context.
    const GLXDrawable drawable =
        ParaDC != 0 && ParaRC != 0 ? DeviceContextX11(ParaDC)->mWindow : None;
    TX11ErrorTrap trap(display);
    const bool made =
        glXMakeCurrent(display, drawable, reinterpret_cast<GLXContext>(ParaRC)) != False;
    return !trap.Failed() && made;
  }

  bool DeleteContext(TRenderingContext ParaRC) override {
    if (ParaRC == 0) {
      SetPlatformLastError(kErrorInvalidParameter);
      return false;
    }
    Display* display = DisplayX11();
    TX11ErrorTrap trap(display);
    glXDestroyContext(display, reinterpret_cast<GLXContext>(ParaRC));
    return !trap.Failed();
  }

  void ShowMessage(const std::string& ParaText) override { ShowMessageBox(ParaText); }

  uint32_t LastError() override { return PlatformLastError(); }
};

TOpenGLWindowSystemGlx gWindowSystemGlx;

} // namespace

TOpenGLWindowSystem* OpenGLWindowSystem = &gWindowSystemGlx;

void PrepareOpenGLWindowSystem() {
  // NOTE: Mesa reads this when the display is first used for GLX, not when libGL loads.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  // NOTE: with libglvnd the display's GLX vendor serves it, and on a desktop with another
  // vendor's driver that vendor would offer no generic format at all. libglvnd picks the
  // vendor at a display's first GLX call; until then this still steers it to Mesa, when Mesa
  // is installed (naming a vendor that is not would leave no GLX at all).
  if (void* mesa = dlopen("libGLX_mesa.so.0", RTLD_LAZY | RTLD_LOCAL)) {
    dlclose(mesa);
    setenv("__GLX_VENDOR_LIBRARY_NAME", "mesa", 1);
  }
}
