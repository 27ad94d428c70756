// Win32 backend of the toolkit (toolkit_backend.h): window classes and windows for forms and
// controls, the one window procedure, the event loop's primitives on PeekMessageW, density
// awareness and placement. win32_message_box.cpp holds its message box; knows nothing about
// OpenGL (the WGL binding reaches the window through its handle and device context).
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>

#include "platform/toolkit_backend.h"
#include "platform/win32_application_icon.h"
#include "platform/win32_toolkit.h"

struct TNativeWindow {
  HWND mWindow = nullptr;
  TWinControl* mControl = nullptr;
  // The window's device context, fetched on first use; with CS_OWNDC it is the private one.
  HDC mDC = nullptr;
  bool mTopLevel = false;
  bool mSizeDelivered = false;
};

namespace {

// Values of newer SDKs, spelled out so the build does not depend on the headers' version
// switches; the functions themselves are looked up at run time.
constexpr UINT kWmDpiChangedWin32 = 0x02E0;
const HANDLE kPerMonitorAwareV2Win32 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));

constexpr wchar_t kFormClassWin32[] = L"VantrelWin32Form";

// Everything the backend holds, set up by Initialize and released by Finalize.
struct TWin32Backend {
  HINSTANCE mInstance = nullptr;
  // The registered window classes: the form's, and one per class style controls asked for.
  bool mFormClassRegistered = false;
  std::map<UINT, std::wstring> mControlClasses;
  MSG mTaken{}; // the message TakeNextMessage took last
  // Set while DestroyNativeWindow destroys a window; a form destroyed otherwise (DestroyWindow
  // from elsewhere) ends the application when it is the main form.
  bool mDestroyingOwnWindow = false;
};

TWin32Backend gWin32;

TNativeWindow* nativeOfWin32(HWND ParaWindow) {
  return reinterpret_cast<TNativeWindow*>(GetWindowLongPtrW(ParaWindow, GWLP_USERDATA));
}

TShiftState shiftStateWin32(WPARAM ParaKeys, bool ParaDouble) {
  TShiftState shift;
  if ((ParaKeys & MK_SHIFT) != 0) {
    shift.Include(ssShift);
  }
  if ((ParaKeys & MK_CONTROL) != 0) {
    shift.Include(ssCtrl);
  }
  if (GetKeyState(VK_MENU) < 0) {
    shift.Include(ssAlt);
  }
  if ((ParaKeys & MK_LBUTTON) != 0) {
    shift.Include(ssLeft);
  }
  if ((ParaKeys & MK_RBUTTON) != 0) {
    shift.Include(ssRight);
  }
  if ((ParaKeys & MK_MBUTTON) != 0) {
    shift.Include(ssMiddle);
  }
  if (ParaDouble) {
    shift.Include(ssDouble);
  }
  return shift;
}

constexpr DWORD kFormStyleWin32 = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

DWORD formExStyleWin32() {
  // The main form is the task-bar entry itself, not a hidden application window.
  const bool onTaskBar = Application != nullptr && Application->MainFormOnTaskBar();
  return onTaskBar ? WS_EX_APPWINDOW : 0;
}

// The outer size of a form window with the given client size, at the window's density
// when the system can say so.
SIZE windowSizeForClientWin32(HWND ParaWindow, int32_t ParaClientWidth, int32_t ParaClientHeight) {
  RECT rect{0, 0, ParaClientWidth, ParaClientHeight};
  using TAdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto adjustForDpi = reinterpret_cast<TAdjustForDpi>(
      reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
  auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
  if (adjustForDpi != nullptr && getDpiForWindow != nullptr && ParaWindow != nullptr) {
    adjustForDpi(&rect, kFormStyleWin32, FALSE, formExStyleWin32(), getDpiForWindow(ParaWindow));
  } else {
    AdjustWindowRectEx(&rect, kFormStyleWin32, FALSE, formExStyleWin32());
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void declareDensityAwareWin32() {
  // NOTE: the per-monitor v2 call only exists from Windows 10 1703 on; older systems (and
  // older wine) keep the system-wide density and scale the window as a bitmap.
  using TSetAwarenessContext = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto setAwarenessContext = reinterpret_cast<TSetAwarenessContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  if (setAwarenessContext != nullptr) {
    setAwarenessContext(kPerMonitorAwareV2Win32);
  }
}

LRESULT CALLBACK windowProcedureWin32(HWND ParaWindow, UINT ParaMessage, WPARAM ParaW,
                                      LPARAM ParaL);

// One window class; every window of the toolkit has the one window procedure.
void registerClassWin32(const wchar_t* ParaName, UINT ParaStyle, HICON ParaIcon, HBRUSH ParaBrush) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = ParaStyle;
  windowClass.lpfnWndProc = windowProcedureWin32;
  windowClass.hInstance = gWin32.mInstance;
  windowClass.hIcon = ParaIcon;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = ParaBrush;
  windowClass.lpszClassName = ParaName;
  if (RegisterClassExW(&windowClass) == 0) {
    throw std::runtime_error("RegisterClassExW failed for a window class, GetLastError: " +
                             std::to_string(GetLastError()));
  }
}

} // namespace

std::wstring ProgramNameWin32() {
  if (Application != nullptr && !Application->Title().empty()) {
    return WideTextWin32(Application->Title());
  }
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, length);
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) {
    name.erase(0, slash + 1);
  }
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) {
    name.erase(dot);
  }
  return name;
}

namespace {

void mouseDownWin32(TWinControl& ParaControl, TMouseButton ParaButton, bool ParaDouble,
                    WPARAM ParaW, LPARAM ParaL) {
  const TShiftState shift = shiftStateWin32(ParaW, ParaDouble);
  // Client coordinates, signed: a captured pointer can lie left of or above the window.
  const int32_t x = GET_X_LPARAM(ParaL);
  const int32_t y = GET_Y_LPARAM(ParaL);
  CallGuarded([&] { TToolkitBackend::DeliverMouseDown(ParaControl, ParaButton, shift, x, y); });
}

void dpiChangedWin32(TForm& ParaForm, int32_t ParaDpi, const RECT& ParaSuggested) {
  // The window moved to a monitor of another density: the stored sizes follow, and the
  // system's suggested rectangle keeps the window where the user put it.
  if (ParaDpi > 0 && ParaDpi != ParaForm.PixelsPerInch()) {
    const int32_t previous = ParaForm.PixelsPerInch();
    CallGuarded([&] { ParaForm.ScaleBy(ParaDpi, previous); });
    ParaForm.SetPixelsPerInch(ParaDpi);
  }
  SetWindowPos(TToolkitBackend::Native(ParaForm)->mWindow, nullptr, ParaSuggested.left,
               ParaSuggested.top, ParaSuggested.right - ParaSuggested.left,
               ParaSuggested.bottom - ParaSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT handleMessageWin32(HWND ParaWindow, UINT ParaMessage, WPARAM ParaW, LPARAM ParaL) {
  if (ParaMessage == WM_NCCREATE) {
    // The record travels in the creation parameters so WM_CREATE already finds the control
    // with its window handle set.
    auto* create = reinterpret_cast<CREATESTRUCTW*>(ParaL);
    auto* native = static_cast<TNativeWindow*>(create->lpCreateParams);
    native->mWindow = ParaWindow;
    TToolkitBackend::Native(*native->mControl) = native;
    SetWindowLongPtrW(ParaWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native));
    return DefWindowProcW(ParaWindow, ParaMessage, ParaW, ParaL);
  }
  TNativeWindow* native = nativeOfWin32(ParaWindow);
  if (native == nullptr || native->mControl == nullptr) {
    return DefWindowProcW(ParaWindow, ParaMessage, ParaW, ParaL);
  }
  TWinControl& control = *native->mControl;
  switch (ParaMessage) {
  case WM_CREATE:
    CallGuarded([&] { TToolkitBackend::DeliverCreate(control); });
    return 0;
  case WM_SIZE:
    native->mSizeDelivered = true;
    if (native->mTopLevel) {
      // A minimised window keeps its restored size, as the stored layout knows it.
      if (ParaW != SIZE_MINIMIZED) {
        auto& form = static_cast<TForm&>(control);
        const int32_t width = LOWORD(ParaL);
        const int32_t height = HIWORD(ParaL);
        CallGuarded([&] { TToolkitBackend::DeliverClientResized(form, width, height); });
      }
    } else {
      CallGuarded([&] { TToolkitBackend::DeliverSize(control); });
    }
    return 0;
  case WM_ERASEBKGND: {
    bool erased = false;
    CallGuarded([&] { erased = TToolkitBackend::DeliverEraseBackground(control); });
    if (erased) {
      return 1;
    }
    return DefWindowProcW(ParaWindow, ParaMessage, ParaW, ParaL);
  }
  case WM_PAINT: {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(ParaWindow, &paint);
    CallGuarded(
        [&] { TToolkitBackend::DeliverPaint(control, reinterpret_cast<TDeviceContext>(dc)); });
    EndPaint(ParaWindow, &paint);
    return 0;
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    mouseDownWin32(control, mbLeft, ParaMessage == WM_LBUTTONDBLCLK, ParaW, ParaL);
    return 0;
  case WM_RBUTTONDOWN:
  case WM_RBUTTONDBLCLK:
    mouseDownWin32(control, mbRight, ParaMessage == WM_RBUTTONDBLCLK, ParaW, ParaL);
    return 0;
  case WM_MBUTTONDOWN:
  case WM_MBUTTONDBLCLK:
    mouseDownWin32(control, mbMiddle, ParaMessage == WM_MBUTTONDBLCLK, ParaW, ParaL);
    return 0;
  case WM_CLOSE:
    if (native->mTopLevel) {
      // Closing asks the application to end; the windows go when the application does.
      CallGuarded([&] { static_cast<TForm&>(control).Close(); });
      return 0;
    }
    break;
  case WM_DESTROY:
    // The system sends this to the window first and then to its children, all still alive.
    CallGuarded([&] { TToolkitBackend::DeliverDestroy(control); });
    if (native->mTopLevel && !gWin32.mDestroyingOwnWindow) {
      TToolkitBackend::DeliverDestroyedElsewhere(control);
    }
    return 0;
  case WM_NCDESTROY:
    // Children get this before their parent; after it the window handle is gone.
    SetWindowLongPtrW(ParaWindow, GWLP_USERDATA, 0);
    if (native->mDC != nullptr) {
      ReleaseDC(ParaWindow, native->mDC);
    }
    if (TToolkitBackend::Native(control) == native) {
      TToolkitBackend::Native(control) = nullptr;
    }
    delete native;
    return DefWindowProcW(ParaWindow, ParaMessage, ParaW, ParaL);
  default:
    if (ParaMessage == kWmDpiChangedWin32 && native->mTopLevel) {
      dpiChangedWin32(static_cast<TForm&>(control), LOWORD(ParaW),
                      *reinterpret_cast<const RECT*>(ParaL));
      return 0;
    }
    break;
  }
  return DefWindowProcW(ParaWindow, ParaMessage, ParaW, ParaL);
}

LRESULT CALLBACK windowProcedureWin32(HWND ParaWindow, UINT ParaMessage, WPARAM ParaW,
                                      LPARAM ParaL) {
  // No C++ exception may unwind into the system's dispatcher: whatever escapes the handlers
  // (they are guarded one by one) or the backend itself ends here, in the error box.
  try {
    return handleMessageWin32(ParaWindow, ParaMessage, ParaW, ParaL);
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    CallGuarded([&] { std::rethrow_exception(error); });
    return 0;
  }
}

const wchar_t* formClassWin32() {
  if (!gWin32.mFormClassRegistered) {
    registerClassWin32(kFormClassWin32, CS_DBLCLKS, ApplicationIconWin32(gWin32.mInstance),
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    gWin32.mFormClassRegistered = true;
  }
  return kFormClassWin32;
}

const wchar_t* controlClassWin32(UINT ParaClassStyle) {
  auto found = gWin32.mControlClasses.find(ParaClassStyle);
  if (found != gWin32.mControlClasses.end()) {
    return found->second.c_str();
  }
  wchar_t name[48];
  swprintf(name, 48, L"VantrelWin32Control%08X", ParaClassStyle);
  // No brush: a control that does not answer the erase request itself is left as it was.
  registerClassWin32(name, ParaClassStyle, nullptr, nullptr);
  return gWin32.mControlClasses.emplace(ParaClassStyle, name).first->second.c_str();
}

} // namespace

// ---- The contract -----------------------------------------------------------------------

void TToolkitBackend::Initialize() {
  if (gWin32.mInstance != nullptr) {
    return;
  }
  gWin32.mInstance = GetModuleHandleW(nullptr);
  declareDensityAwareWin32();
}

void TToolkitBackend::Finalize() {
  if (gWin32.mInstance == nullptr) {
    return;
  }
  // In the reverse of the set-up: the window classes, registered on first use. The process's
  // density awareness stays: the system allows it to be declared once.
  for (auto it = gWin32.mControlClasses.rbegin(); it != gWin32.mControlClasses.rend(); ++it) {
    UnregisterClassW(it->second.c_str(), gWin32.mInstance);
  }
  if (gWin32.mFormClassRegistered) {
    UnregisterClassW(kFormClassWin32, gWin32.mInstance);
  }
  gWin32 = TWin32Backend{};
}

void TToolkitBackend::CreateNativeWindow(TWinControl& ParaControl) {
  Initialize();
  TCreateParams params;
  CreateParams(ParaControl, params);
  auto* native = new TNativeWindow;
  native->mControl = &ParaControl;
  native->mTopLevel = ParaControl.Parent() == nullptr;
  HWND window = nullptr;
  auto* form = native->mTopLevel ? dynamic_cast<TForm*>(&ParaControl) : nullptr;
  if (native->mTopLevel) {
    const SIZE outer =
        windowSizeForClientWin32(nullptr, ParaControl.ClientWidth(), ParaControl.ClientHeight());
    const std::wstring caption = form != nullptr ? WideTextWin32(form->Caption()) : L"";
    window =
        CreateWindowExW(formExStyleWin32() | params.mExStyle, formClassWin32(), caption.c_str(),
                        kFormStyleWin32 | params.mStyle, ParaControl.Left(), ParaControl.Top(),
                        outer.cx, outer.cy, nullptr, nullptr, gWin32.mInstance, native);
  } else {
    HWND parent = Native(*ParaControl.Parent())->mWindow;
    window = CreateWindowExW(params.mExStyle, controlClassWin32(params.mWindowClassStyle), L"",
                             params.mStyle | WS_VISIBLE, ParaControl.Left(), ParaControl.Top(),
                             ParaControl.Width(), ParaControl.Height(), parent, nullptr,
                             gWin32.mInstance, native);
  }
  if (window == nullptr) {
    const DWORD code = GetLastError();
    if (Native(ParaControl) == native) {
      Native(ParaControl) = nullptr; // the window died in creation; WM_NCDESTROY freed it
    } else {
      delete native;
    }
    throw std::runtime_error("CreateWindowExW failed, GetLastError: " + std::to_string(code));
  }
  if (form != nullptr) {
    // Exact client size at the window's own density, once the window knows its monitor.
    UpdateClientSize(*form);
  }
  // A child learns its first size from WMSize; a form's size is its client size.
  if (Native(ParaControl) == native && !native->mTopLevel && !native->mSizeDelivered) {
    native->mSizeDelivered = true;
    CallGuarded([&] { DeliverSize(ParaControl); });
  }
}

void TToolkitBackend::DestroyNativeWindow(TWinControl& ParaControl) {
  // WM_DESTROY goes to this window and then its children, WM_NCDESTROY frees each record.
  const bool outer = !gWin32.mDestroyingOwnWindow;
  gWin32.mDestroyingOwnWindow = true;
  DestroyWindow(Native(ParaControl)->mWindow);
  if (outer) {
    gWin32.mDestroyingOwnWindow = false;
  }
}

TWindowHandle TToolkitBackend::NativeHandle(const TWinControl& ParaControl) {
  const TNativeWindow* native = Native(ParaControl);
  return native != nullptr ? reinterpret_cast<TWindowHandle>(native->mWindow) : 0;
}

TDeviceContext TToolkitBackend::DeviceContext(const TWinControl& ParaControl) {
  TNativeWindow* native = Native(ParaControl);
  if (native == nullptr) {
    return 0;
  }
  if (native->mDC == nullptr) {
    native->mDC = ::GetDC(native->mWindow);
  }
  return reinterpret_cast<TDeviceContext>(native->mDC);
}

void TToolkitBackend::UpdateBounds(TWinControl& ParaControl, bool ParaSizeChanged) {
  // SetWindowPos sends WM_SIZE itself when the size changed.
  const TNativeWindow& native = *Native(ParaControl);
  if (native.mTopLevel) {
    // The frame's outer corner goes to (Left, Top); Width and Height are the client size.
    const SIZE outer =
        windowSizeForClientWin32(native.mWindow, ParaControl.Width(), ParaControl.Height());
    SetWindowPos(native.mWindow, nullptr, ParaControl.Left(), ParaControl.Top(), outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (ParaSizeChanged ? 0 : SWP_NOSIZE));
  } else {
    SetWindowPos(native.mWindow, nullptr, ParaControl.Left(), ParaControl.Top(),
                 ParaControl.Width(), ParaControl.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TToolkitBackend::Repaint(TWinControl& ParaControl) {
  HWND window = Native(ParaControl)->mWindow;
  // An opaque control paints every pixel, so the background is not erased first.
  InvalidateRect(window, nullptr, ParaControl.ControlStyleContains(csOpaque) ? FALSE : TRUE);
  UpdateWindow(window);
}

void TToolkitBackend::UpdateCaption(TForm& ParaForm) {
  SetWindowTextW(Native(ParaForm)->mWindow, WideTextWin32(ParaForm.Caption()).c_str());
}

void TToolkitBackend::UpdateClientSize(TForm& ParaForm) {
  HWND window = Native(ParaForm)->mWindow;
  const SIZE outer =
      windowSizeForClientWin32(window, ParaForm.ClientWidth(), ParaForm.ClientHeight());
  SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TToolkitBackend::FrameExtents(TForm& ParaForm, int32_t& ParaHorizontal,
                                   int32_t& ParaVertical) {
  HWND window = Native(ParaForm)->mWindow;
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  ParaHorizontal = (outer.right - outer.left) - (client.right - client.left);
  ParaVertical = (outer.bottom - outer.top) - (client.bottom - client.top);
}

void TToolkitBackend::ShowForm(TForm& ParaForm, int32_t ParaLeft, int32_t ParaTop, bool ParaPlace) {
  HWND window = Native(ParaForm)->mWindow;
  if (ParaPlace) {
    SetWindowPos(window, nullptr, ParaLeft, ParaTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // NOTE: no UpdateWindow here. It would paint the controls before the event loop's first
  // turn (wine does it synchronously); their first paint belongs to that turn's step, after
  // the first cycle. The paint message that showing queues is taken by the loop like any other.
  ShowWindow(window, SW_SHOWNORMAL);
}

TTakenMessage TToolkitBackend::TakeNextMessage(TMsg& ParaMsg) {
  MSG& message = gWin32.mTaken;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    return tmNone;
  }
  if (message.message == WM_QUIT) {
    return tmQuit;
  }
  ParaMsg = TMsg{reinterpret_cast<TWindowHandle>(message.hwnd), message.message, &message};
  return tmMessage;
}

void TToolkitBackend::DispatchTakenMessage(TMsg& ParaMsg) {
  MSG& message = *static_cast<MSG*>(ParaMsg.mNative);
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void TToolkitBackend::WaitForMessage() {
  WaitMessage();
}

void TToolkitBackend::PostQuitRequest(TApplication& /*ParaApplication*/) {
  // The system keeps one quit request, and hands it out after the messages posted before it.
  PostQuitMessage(0);
}

int32_t TToolkitBackend::ScreenPixelsPerInch() {
  // The system density: with per-monitor awareness that of the primary monitor, where the
  // window is laid out first; WM_DPICHANGED follows when it lands on another one.
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) {
    return 96;
  }
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

TDesktopRect TToolkitBackend::DesktopRect() {
  // The virtual screen: the bounding rectangle of every monitor, possibly left of or above 0.
  return TDesktopRect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}
