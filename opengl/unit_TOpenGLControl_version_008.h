// TOpenGLControl: the child-window control that hosts one OpenGL rendering context: version
// check, pixel-format selection, context set-up and teardown, and the paint cycle.
// The logic is shared (unit_TOpenGLControl_version_008.cpp); the window-system calls go
// through TOpenGLWindowSystem, implemented once per binding (_glx.cpp, _wgl.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "opengl/unit_TOpenGLVersion_version_011.h"
#include "platform/platform_toolkit.h"

// The rendering context handle: an HGLRC under WGL, a GLXContext under GLX. 0 means none.
using TRenderingContext = uintptr_t;

// The Win32 PIXELFORMATDESCRIPTOR, field for field (40 bytes), so both bindings describe
// their formats the same way.
struct TPixelFormatDescriptor {
  uint16_t nSize;
  uint16_t nVersion;
  uint32_t dwFlags;
  uint8_t iPixelType;
  uint8_t cColorBits;
  uint8_t cRedBits;
  uint8_t cRedShift;
  uint8_t cGreenBits;
  uint8_t cGreenShift;
  uint8_t cBlueBits;
  uint8_t cBlueShift;
  uint8_t cAlphaBits;
  uint8_t cAlphaShift;
  uint8_t cAccumBits;
  uint8_t cAccumRedBits;
  uint8_t cAccumGreenBits;
  uint8_t cAccumBlueBits;
  uint8_t cAccumAlphaBits;
  uint8_t cDepthBits;
  uint8_t cStencilBits;
  uint8_t cAuxBuffers;
  uint8_t iLayerType;
  uint8_t bReserved;
  uint32_t dwLayerMask;
  uint32_t dwVisibleMask;
  uint32_t dwDamageMask;
};
static_assert(sizeof(TPixelFormatDescriptor) == 40);

// dwFlags, iPixelType and iLayerType values (the Win32 PFD_* numbers).
enum TPixelFormatFlag : uint32_t {
  pfdDoubleBuffer = 0x00000001,
  pfdDrawToWindow = 0x00000004,
  pfdSupportOpenGL = 0x00000020,
  pfdGenericFormat = 0x00000040,
  pfdGenericAccelerated = 0x00001000,
};
enum TPixelType : uint8_t { pfdTypeRGBA = 0, pfdTypeColorIndex = 1 };
enum TLayerType : uint8_t { pfdMainPlane = 0 };

struct TSupportedPixelFormat {
  int32_t mPixelFormat = 0;
  TPixelFormatDescriptor mPixelFormatDescriptor{};
};

// The ordered list of pixel formats: append, count, read by index (out of range raises).
class TSupportedPixelFormatList {
public:
  void Add(const TSupportedPixelFormat& ParaItem) { mItems.push_back(ParaItem); }
  int32_t Count() const { return static_cast<int32_t>(mItems.size()); }
  const TSupportedPixelFormat& Items(int32_t ParaIndex) const;

private:
  std::vector<TSupportedPixelFormat> mItems;
};

// The window-system operations of the control. The *ThroughVariable ones call the resolved
// entry-point variables of the core group; GetCurrentContext, GetCurrentDC, MakeCurrent and
// DeleteContext are the system library's exports, bound when the program is loaded.
class TOpenGLWindowSystem {
public:
  virtual ~TOpenGLWindowSystem() = default;

  virtual TDeviceContext GetDC(TWinControl& ParaControl) = 0;
  // Describes format ParaFormat (counted from 1) and returns the highest format number, or 0
  // on failure.
  virtual int32_t DescribePixelFormat(TDeviceContext ParaDC, int32_t ParaFormat, uint32_t ParaSize,
                                      TPixelFormatDescriptor* ParaDescriptor) = 0;
  virtual int32_t ChoosePixelFormat(TDeviceContext ParaDC,
                                    const TPixelFormatDescriptor& ParaDescriptor) = 0;
  virtual bool SetPixelFormat(TDeviceContext ParaDC, int32_t ParaFormat,
                              const TPixelFormatDescriptor& ParaDescriptor) = 0;
  virtual bool SwapBuffers(TDeviceContext ParaDC) = 0;

  virtual TRenderingContext CreateContextThroughVariable(TDeviceContext ParaDC) = 0;
  virtual bool MakeCurrentThroughVariable(TDeviceContext ParaDC, TRenderingContext ParaRC) = 0;
  // The swap-interval entry point of the extension group.
  virtual void SwapIntervalThroughVariable(int32_t ParaInterval) = 0;

  virtual TRenderingContext GetCurrentContext() = 0;
  virtual TDeviceContext GetCurrentDC() = 0;
  virtual bool MakeCurrent(TDeviceContext ParaDC, TRenderingContext ParaRC) = 0;
  virtual bool DeleteContext(TRenderingContext ParaRC) = 0;

  // The toolkit's modal message box and the thread's last-error code.
  virtual void ShowMessage(const std::string& ParaText) = 0;
  virtual uint32_t LastError() = 0;
};

// The binding the controls use; points at the platform's binding unless a test replaces it.
extern TOpenGLWindowSystem* OpenGLWindowSystem;

// Prepares the window-system binding before the display's first OpenGL use. On GLX it asks
// for Mesa's software rasterizer, since the program runs without hardware acceleration: Mesa
// as the display's GLX vendor where libglvnd dispatches, and its software renderer.
void PrepareOpenGLWindowSystem();

class TOpenGLControl : public TCustomControl {
public:
  explicit TOpenGLControl(TComponent* ParaOwner);
  ~TOpenGLControl() override;

  TOpenGLVersion OptionOpenGLVersion() const { return mOptionOpenGLVersion; }
  void SetOptionOpenGLVersion(TOpenGLVersion ParaValue) { mOptionOpenGLVersion = ParaValue; }
  bool OptionDoubleBufferEnabled() const { return mOptionDoubleBufferEnabled; }
  void SetOptionDoubleBufferEnabled(bool ParaValue) { mOptionDoubleBufferEnabled = ParaValue; }
  bool OptionVerticalSyncEnabled() const { return mOptionVerticalSyncEnabled; }
  void SetOptionVerticalSyncEnabled(bool ParaValue) { mOptionVerticalSyncEnabled = ParaValue; }
  bool OptionHardwareAccelerationEnabled() const { return mOptionHardwareAccelerationEnabled; }
  void SetOptionHardwareAccelerationEnabled(bool ParaValue) {
    mOptionHardwareAccelerationEnabled = ParaValue;
  }

  const TNotifyEvent& OnCreate() const { return mOnCreate; }
  void SetOnCreate(TNotifyEvent ParaEvent) { mOnCreate = std::move(ParaEvent); }
  const TNotifyEvent& OnResizeViewport() const { return mOnResizeViewport; }
  void SetOnResizeViewport(TNotifyEvent ParaEvent) { mOnResizeViewport = std::move(ParaEvent); }
  const TNotifyEvent& OnDraw() const { return mOnDraw; }
  void SetOnDraw(TNotifyEvent ParaEvent) { mOnDraw = std::move(ParaEvent); }
  const TNotifyEvent& OnDestroy() const { return mOnDestroy; }
  void SetOnDestroy(TNotifyEvent ParaEvent) { mOnDestroy = std::move(ParaEvent); }

  const TSupportedPixelFormatList& SupportedPixelFormatList() const {
    return *mSupportedPixelFormatList;
  }
  TRenderingContext RenderingContext() const { return mRenderingContext; }

  // The version check, after the toolkit's own load completion.
  void Loaded() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WMCreate() override;
  void WMSize() override;
  bool WMEraseBkgnd() override;
  void WMDestroy() override;
  // The paint cycle, on the device context the paint request installed in the canvas.
  void Paint() override;

private:
  friend struct TOpenGLControlProbe; // the unit tests' window into the fields

  bool EnumerateSupportedPixelFormats(TDeviceContext ParaDC);
  // On failure ParaLastError is the code read when the search failed, before its boxes.
  bool SelectPixelFormat(TDeviceContext ParaDC, uint32_t& ParaLastError);
  bool FindSoftwareRendererPixelFormat32BitColors(TSupportedPixelFormat& ParaFormat);
  // The failure text, then "GetLastError: " and the code of the failure: read now, before the
  // first box (and answered, for a caller that reports the failure again later), or handed
  // over by a caller that read it when its step failed.
  uint32_t ReportFailure(const char* ParaText);
  void ReportFailure(const char* ParaText, uint32_t ParaLastError);

  bool mOpenGLSupported = false;
  bool mOpenGLWindowsExtensionsSupported = false;
  TOpenGLVersion mOptionOpenGLVersion;
  bool mOptionDoubleBufferEnabled = false;
  bool mOptionVerticalSyncEnabled = false;
  bool mOptionHardwareAccelerationEnabled = false;
  bool mResizeViewportNeeded = false;
  TPixelFormatDescriptor mPreferredPixelFormatDescriptor{};
  int32_t mPixelFormatNumber = 0;
  TSupportedPixelFormatList* mSupportedPixelFormatList = nullptr;
  TSupportedPixelFormat mChosenSupportedPixelFormat;
  TRenderingContext mRenderingContext = 0;
  TNotifyEvent mOnCreate;
  TNotifyEvent mOnResizeViewport;
  TNotifyEvent mOnDraw;
  TNotifyEvent mOnDestroy;
};
