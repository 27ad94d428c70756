// The shared logic of TOpenGLControl: version check, window creation in its nine steps,
// pixel-format enumeration and selection, teardown and the paint cycle. Every window-system
// call goes through OpenGLWindowSystem; the GL calls go through the entry-point variables.
#include "opengl/unit_TOpenGLControl_version_008.h"

#include <stdexcept>

#include "opengl/unit_opengl_api_100_routines_version_011.h"
#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "opengl/unit_opengl_api_library_version_011.h"
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

const TSupportedPixelFormat& TSupportedPixelFormatList::Items(int32_t ParaIndex) const {
  if (ParaIndex < 0 || ParaIndex >= Count()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(ParaIndex) + ")");
  }
  return mItems[static_cast<size_t>(ParaIndex)];
}

TOpenGLControl::TOpenGLControl(TComponent* ParaOwner) : TCustomControl(ParaOwner) {
  mSupportedPixelFormatList = new TSupportedPixelFormatList;
  ControlStyleInclude(csOpaque);
  mOptionOpenGLVersion = GL_VERSION_110;
}

TOpenGLControl::~TOpenGLControl() {
  delete mSupportedPixelFormatList;
  mSupportedPixelFormatList = nullptr;
  // The toolkit's destruction of the control: the window goes while this object is whole.
  DestroyHandle();
}

uint32_t TOpenGLControl::ReportFailure(const char* ParaText) {
  // NOTE: read before the first box, since showing a box sets the thread's code anew (under
  // wine to 0); nothing may run between the failed call and this read.
  const uint32_t code = OpenGLWindowSystem->LastError();
  ReportFailure(ParaText, code);
  return code;
}

void TOpenGLControl::ReportFailure(const char* ParaText, uint32_t ParaLastError) {
  OpenGLWindowSystem->ShowMessage(ParaText);
  OpenGLWindowSystem->ShowMessage("GetLastError: " + std::to_string(ParaLastError));
}

void TOpenGLControl::Loaded() {
  TCustomControl::Loaded();
  mOpenGLSupported = false;
  if (!TOpenGLAPILibrary::mLibraryLoaded) {
    return;
  }
  const TOpenGLVersion highest = HighestOpenGLVersionAvailable();
  switch (mOptionOpenGLVersion) {
  case GL_VERSION_NONE:
    OpenGLWindowSystem->ShowMessage("No OpenGLVersion available !");
    return;
  case GL_VERSION_100:
    if (GL_VERSION_100 <= highest && TOpenGLAPIVersion100::Initialize()) {
      mOpenGLSupported = true;
    }
    return;
  default:
    if (mOptionOpenGLVersion <= highest && TOpenGLAPIVersion110::Initialize()) {
      mOpenGLSupported = true;
    }
    return;
  }
}

void TOpenGLControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.mWindowClassStyle = (Params.mWindowClassStyle | csOwnDC) & ~uint32_t{csParentDC};
  Params.mStyle |= wsClipChildren | wsClipSiblings;
}

void TOpenGLControl::WMCreate() {
  TOpenGLWindowSystem& system = *OpenGLWindowSystem;
  const TDeviceContext dc = system.GetDC(*this);
  if (dc == 0) {
    ReportFailure("GetDC(mWindow.Handle) failed.");
    return;
  }
  EnumerateSupportedPixelFormats(dc);
  uint32_t selectionError = 0;
  if (!SelectPixelFormat(dc, selectionError)) {
    // The code of the search that failed: its own two boxes have been shown since.
    ReportFailure("SelectPixelFormat failed.", selectionError);
    return;
  }
  if (!system.SetPixelFormat(dc, mChosenSupportedPixelFormat.mPixelFormat,
                             mChosenSupportedPixelFormat.mPixelFormatDescriptor)) {
    ReportFailure("SetPixelFormat failed.");
    return;
  }
  mRenderingContext = system.CreateContextThroughVariable(dc);
  if (mRenderingContext == 0) {
    ReportFailure("mOpenGLAPI.wglCreateContext( mDeviceContext ) failed.");
    return;
  }
  if (!system.MakeCurrentThroughVariable(dc, mRenderingContext)) {
    ReportFailure("mOpenGLAPI.wglMakeCurrent( mDeviceContext, mRenderingContext ) failed.");
    return;
  }
  if (TOpenGLAPIWindowsExtensions::Initialize()) {
    mOpenGLWindowsExtensionsSupported = true;
  }
  if (mOpenGLWindowsExtensionsSupported) {
    system.SwapIntervalThroughVariable(mOptionVerticalSyncEnabled ? 1 : 0);
  }
  if (mOnCreate) {
    mOnCreate(this);
  }
}

bool TOpenGLControl::EnumerateSupportedPixelFormats(TDeviceContext ParaDC) {
  int32_t number = 0;
  int32_t highest = 0;
  do {
    ++number;
    TPixelFormatDescriptor descriptor{};
    highest =
        OpenGLWindowSystem->DescribePixelFormat(ParaDC, number, sizeof descriptor, &descriptor);
    if (highest == 0) {
      return false;
    }
    mSupportedPixelFormatList->Add(TSupportedPixelFormat{number, descriptor});
  } while (number < highest);
  return true;
}

bool TOpenGLControl::SelectPixelFormat(TDeviceContext ParaDC, uint32_t& ParaLastError) {
  if (mOptionHardwareAccelerationEnabled) {
    mPreferredPixelFormatDescriptor = TPixelFormatDescriptor{};
    mPreferredPixelFormatDescriptor.nSize = sizeof(TPixelFormatDescriptor);
    mPreferredPixelFormatDescriptor.nVersion = 1;
    mPreferredPixelFormatDescriptor.dwFlags = pfdDrawToWindow | pfdSupportOpenGL | pfdDoubleBuffer;
    mPreferredPixelFormatDescriptor.iPixelType = pfdTypeRGBA;
    mPreferredPixelFormatDescriptor.cColorBits = 24;
    mPreferredPixelFormatDescriptor.iLayerType = pfdMainPlane;
    mChosenSupportedPixelFormat.mPixelFormat =
        OpenGLWindowSystem->ChoosePixelFormat(ParaDC, mPreferredPixelFormatDescriptor);
    if (mChosenSupportedPixelFormat.mPixelFormat == 0) {
      ParaLastError = ReportFailure("ChoosePixelFormat failed.");
    }
  } else if (!FindSoftwareRendererPixelFormat32BitColors(mChosenSupportedPixelFormat)) {
    ParaLastError = ReportFailure("FindSoftwareRendererPixelFormat32BitColors failed.");
  }
  return mChosenSupportedPixelFormat.mPixelFormat != 0;
}

bool TOpenGLControl::FindSoftwareRendererPixelFormat32BitColors(TSupportedPixelFormat& ParaFormat) {
  constexpr uint32_t required =
      pfdDrawToWindow | pfdDoubleBuffer | pfdSupportOpenGL | pfdGenericFormat;
  for (int32_t index = 0; index < mSupportedPixelFormatList->Count(); ++index) {
    const TSupportedPixelFormat& candidate = mSupportedPixelFormatList->Items(index);
    const TPixelFormatDescriptor& descriptor = candidate.mPixelFormatDescriptor;
    if ((descriptor.dwFlags & required) == required &&
        (descriptor.dwFlags & pfdGenericAccelerated) == 0 && descriptor.cColorBits == 32 &&
        descriptor.cRedBits == 8 && descriptor.cGreenBits == 8 && descriptor.cBlueBits == 8 &&
        descriptor.cAlphaBits == 8) {
      ParaFormat = candidate;
      return true;
    }
  }
  return false;
}

void TOpenGLControl::WMDestroy() {
  if (mRenderingContext == 0) {
    return;
  }
  TOpenGLWindowSystem& system = *OpenGLWindowSystem;
  if (system.MakeCurrent(system.GetCurrentDC(), mRenderingContext) && mOnDestroy) {
    mOnDestroy(this);
  }
  if (system.GetCurrentContext() != 0) {
    if (!system.MakeCurrent(0, 0)) {
      ReportFailure("mOpenGLAPI.wglMakeCurrent( nil, nil ) failed.");
      return;
    }
  }
  if (!system.DeleteContext(mRenderingContext)) {
    ReportFailure("mOpenGLAPI.wglDeleteContext( mRenderingContext ) failed.");
  }
}

void TOpenGLControl::WMSize() {
  mResizeViewportNeeded = true;
}

bool TOpenGLControl::WMEraseBkgnd() {
  return true;
}

void TOpenGLControl::Paint() {
  if (!mOpenGLSupported) {
    return;
  }
  TOpenGLWindowSystem& system = *OpenGLWindowSystem;
  const TDeviceContext dc = Canvas().Handle();
  if (system.GetCurrentContext() != mRenderingContext || system.GetCurrentDC() != dc) {
    if (!system.MakeCurrent(dc, mRenderingContext)) {
      return;
    }
  }
  TOpenGLAPIVersion100::glDrawBuffer(mOptionDoubleBufferEnabled ? GL_BACK : GL_FRONT);
  if (mResizeViewportNeeded) {
    TOpenGLAPIVersion100::glViewport(0, 0, ClientWidth(), ClientHeight());
    TOpenGLAPIVersion110::glMatrixMode(GL_PROJECTION);
    TOpenGLAPIVersion110::glLoadIdentity();
    TOpenGLAPIVersion110::glOrtho(0.0, static_cast<double>(ClientWidth()),
                                  static_cast<double>(ClientHeight()), 0.0, -1.0, 1.0);
    TOpenGLAPIVersion110::glMatrixMode(GL_MODELVIEW);
    TOpenGLAPIVersion110::glLoadIdentity();
    if (mOnResizeViewport) {
      mOnResizeViewport(this);
    }
    mResizeViewportNeeded = false;
  }
  if (mOnDraw) {
    mOnDraw(this);
  } else {
    TOpenGLAPIVersion100::glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    TOpenGLAPIVersion100::glClear(GL_COLOR_BUFFER_BIT);
  }
  TOpenGLAPIVersion100::glFlush();
  if (mOpenGLWindowsExtensionsSupported) {
    system.SwapIntervalThroughVariable(mOptionVerticalSyncEnabled ? 1 : 0);
  }
  system.SwapBuffers(dc);
}
