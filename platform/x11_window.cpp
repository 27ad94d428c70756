// Xlib backend of the toolkit: the display connection, windows for forms and controls, the
// event loop with its hooks, and the dispatch of X events to the controls' handlers.
// Pairs with platform_toolkit.h (the contract) and x11_message_box.cpp (the modal dialog);
// knows nothing about OpenGL (the GLX binding re-creates windows through x11_toolkit.h).
#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "platform/platform_last_error.h"
#include "platform/x11_application_icon.h"
#include "platform/x11_toolkit.h"

struct TNativeWindow {
  TX11DeviceContext mDC;
  Colormap mColormap = 0; // our own, when the window has a visual other than its parent's
  bool mMapped = false;
  // Double-click detection: the previous press.
  Time mLastPressTime = 0;
  unsigned int mLastPressButton = 0;
  int mLastPressX = 0;
  int mLastPressY = 0;
};

namespace {

struct TX11Backend {
  Display* mDisplay = nullptr;
  int mScreen = 0;
  Window mRoot = 0;
  Atom mWmProtocols = 0;
  Atom mWmDeleteWindow = 0;
  Atom mNetWmName = 0;
  Atom mNetWmPid = 0;
  Atom mUtf8String = 0;
  Atom mNetFrameExtents = 0;
  Atom mNetRequestFrameExtents = 0;
  std::unordered_map<Window, TNativeWindow*> mWindows;
  bool mQuitQueued = false;
  uint64_t mProtocolErrors = 0;
};

TX11Backend gX11;

constexpr long kChildEventMask = ExposureMask | ButtonPressMask | StructureNotifyMask;
constexpr long kFormEventMask = ExposureMask | StructureNotifyMask | PropertyChangeMask;
// The press-to-press time and distance within which the second press counts as a double click.
constexpr Time kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 4;

int handleProtocolErrorX11(Display* /*ParaDisplay*/, XErrorEvent* ParaError) {
  // NOTE: Xlib's default handler ends the process; a refused request is an ordinary failure
  // here, reported through the last-error code like a failing system call.
  ++gX11.mProtocolErrors;
  SetPlatformLastError(ParaError->error_code);
  return 0;
}

void openDisplayX11() {
  if (gX11.mDisplay != nullptr) {
    return;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    throw std::runtime_error(std::string("Cannot open the display \"") +
                             (name != nullptr ? name : "") + "\".");
  }
  XSetErrorHandler(handleProtocolErrorX11);
  gX11.mDisplay = display;
  gX11.mScreen = DefaultScreen(display);
  gX11.mRoot = RootWindow(display, gX11.mScreen);
  gX11.mWmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
  gX11.mWmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  gX11.mNetWmName = XInternAtom(display, "_NET_WM_NAME", False);
  gX11.mNetWmPid = XInternAtom(display, "_NET_WM_PID", False);
  gX11.mUtf8String = XInternAtom(display, "UTF8_STRING", False);
  gX11.mNetFrameExtents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
  gX11.mNetRequestFrameExtents = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
}

TNativeWindow* findWindowX11(Window ParaWindow) {
  auto found = gX11.mWindows.find(ParaWindow);
  return found == gX11.mWindows.end() ? nullptr : found->second;
}

TShiftState shiftStateX11(unsigned int ParaState) {
  TShiftState shift;
  if ((ParaState & ShiftMask) != 0) {
    shift.Include(ssShift);
  }
  if ((ParaState & ControlMask) != 0) {
    shift.Include(ssCtrl);
  }
  if ((ParaState & Mod1Mask) != 0) {
    shift.Include(ssAlt);
  }
  if ((ParaState & Button1Mask) != 0) {
    shift.Include(ssLeft);
  }
  if ((ParaState & Button2Mask) != 0) {
    shift.Include(ssMiddle);
  }
  if ((ParaState & Button3Mask) != 0) {
    shift.Include(ssRight);
  }
  return shift;
}

void setCaptionX11(Window ParaWindow, const std::string& ParaCaption) {
  Display* display = gX11.mDisplay;
  char* list[] = {const_cast<char*>(ParaCaption.c_str())};
  XTextProperty property;
  if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &property) >= Success) {
    XSetWMName(display, ParaWindow, &property);
    XSetWMIconName(display, ParaWindow, &property);
    XFree(property.value);
  }
  XChangeProperty(display, ParaWindow, gX11.mNetWmName, gX11.mUtf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(ParaCaption.data()),
                  static_cast<int>(ParaCaption.size()));
}

// Waits up to ParaMilliseconds for an event that ParaPredicate accepts, leaving every other
// event queued in order.
bool waitForEventX11(XEvent& ParaEvent, Bool (*ParaPredicate)(Display*, XEvent*, XPointer),
                     XPointer ParaArgument, int ParaMilliseconds) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(ParaMilliseconds);
  for (;;) {
    if (XCheckIfEvent(gX11.mDisplay, &ParaEvent, ParaPredicate, ParaArgument)) {
      return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      return false;
    }
    pollfd descriptor{ConnectionNumber(gX11.mDisplay), POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    poll(&descriptor, 1, static_cast<int>(std::min<long long>(left.count() + 1, 10)));
  }
}

} // namespace

// ---- Shared with the GLX binding and the message box ------------------------------------

Display* DisplayX11() {
  openDisplayX11();
  return gX11.mDisplay;
}

int ScreenX11() {
  openDisplayX11();
  return gX11.mScreen;
}

TX11DeviceContext* FindDeviceContextX11(Window ParaWindow) {
  TNativeWindow* native = findWindowX11(ParaWindow);
  return native == nullptr ? nullptr : &native->mDC;
}

uint64_t ProtocolErrorCountX11() {
  return gX11.mProtocolErrors;
}

// ---- The backend proper -----------------------------------------------------------------

struct TToolkitBackend {
  static Window createWindowX11(TWinControl& ParaControl, Window ParaParent, Visual* ParaVisual,
                                int ParaDepth, Colormap ParaColormap, long ParaEventMask) {
    XSetWindowAttributes attributes{};
    unsigned long mask = CWEventMask | CWBitGravity | CWBorderPixel;
    attributes.event_mask = ParaEventMask;
    attributes.bit_gravity = ForgetGravity;
    attributes.border_pixel = 0;
    if (ParaParent == gX11.mRoot) {
      attributes.background_pixel = BlackPixel(gX11.mDisplay, gX11.mScreen);
      mask |= CWBackPixel;
    } else {
      // The control paints every pixel itself; the server must not erase behind it.
      attributes.background_pixmap = None;
      mask |= CWBackPixmap;
    }
    if (ParaColormap != 0) {
      attributes.colormap = ParaColormap;
      mask |= CWColormap;
    }
    // A form's window is its client area; a child control's client area is all of it.
    const int width = std::max(1, ParaControl.ClientWidth());
    const int height = std::max(1, ParaControl.ClientHeight());
    return XCreateWindow(gX11.mDisplay, ParaParent, ParaControl.Left(), ParaControl.Top(),
                         static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                         ParaVisual == nullptr ? CopyFromParent : ParaDepth, InputOutput,
                         ParaVisual == nullptr ? CopyFromParent : ParaVisual, mask, &attributes);
  }

  static void setupTopLevelX11(TForm& ParaForm, Window ParaWindow) {
    Display* display = gX11.mDisplay;
    XSetWMProtocols(display, ParaWindow, &gX11.mWmDeleteWindow, 1);
    XClassHint* classHint = XAllocClassHint();
    std::string name = ProgramNameX11();
    classHint->res_name = name.data();
    classHint->res_class = name.data();
    XSetClassHint(display, ParaWindow, classHint);
    XFree(classHint);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(display, ParaWindow, hints);
    XFree(hints);
    SetApplicationIconX11(display, ParaWindow);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, ParaWindow, gX11.mNetWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    setCaptionX11(ParaWindow, ParaForm.Caption());
  }

  static void create(TWinControl& ParaControl) {
    openDisplayX11();
    TCreateParams params;
    ParaControl.CreateParams(params);
    auto* native = new TNativeWindow;
    native->mDC.mDisplay = gX11.mDisplay;
    native->mDC.mControl = &ParaControl;
    const bool topLevel = ParaControl.Parent() == nullptr;
    const Window parent = topLevel ? gX11.mRoot : ParaControl.Parent()->NativeHandle();
    native->mDC.mWindow = createWindowX11(ParaControl, parent, nullptr, 0, 0,
                                          topLevel ? kFormEventMask : kChildEventMask);
    ParaControl.mNative = native;
    gX11.mWindows[native->mDC.mWindow] = native;
    if (topLevel) {
      if (auto* form = dynamic_cast<TForm*>(&ParaControl)) {
        setupTopLevelX11(*form, native->mDC.mWindow);
      }
    }
    CallGuarded([&] { ParaControl.WMCreate(); });
    if (ParaControl.mNative == native) {
      CallGuarded([&] { ParaControl.WMSize(); });
    }
    if (!topLevel && ParaControl.mNative == native) {
      XMapWindow(gX11.mDisplay, native->mDC.mWindow);
      native->mMapped = true;
    }
    XFlush(gX11.mDisplay);
  }

  static void destroy(TWinControl& ParaControl) {
    TNativeWindow* native = ParaControl.mNative;
    if (native == nullptr) {
      return;
    }
    // WM_DESTROY order: the window first, then its children, all windows still alive.
    std::function<void(TWinControl&)> notify = [&](TWinControl& control) {
      if (control.mNative != nullptr) {
        CallGuarded([&] { control.WMDestroy(); });
      }
      for (TWinControl* child : control.Controls()) {
        notify(*child);
      }
    };
    notify(ParaControl);
    std::function<void(TWinControl&)> release = [&](TWinControl& control) {
      for (TWinControl* child : control.Controls()) {
        release(*child);
      }
      if (TNativeWindow* own = control.mNative) {
        gX11.mWindows.erase(own->mDC.mWindow);
        control.mNative = nullptr;
        if (&control == &ParaControl) {
          XDestroyWindow(gX11.mDisplay, own->mDC.mWindow);
        }
        if (own->mColormap != 0) {
          XFreeColormap(gX11.mDisplay, own->mColormap);
        }
        delete own;
      }
    };
    release(ParaControl);
    XFlush(gX11.mDisplay);
  }

  static void dispatchButtonPress(TWinControl& ParaControl, TNativeWindow& ParaNative,
                                  const XButtonEvent& ParaEvent) {
    TMouseButton button;
    switch (ParaEvent.button) {
    case Button1:
      button = mbLeft;
      break;
    case Button2:
      button = mbMiddle;
      break;
    case Button3:
      button = mbRight;
      break;
    default:
      return; // 4..7 are wheel steps, 8 and 9 the side buttons: not presses of ours
    }
    TShiftState shift = shiftStateX11(ParaEvent.state);
    // The pressed button counts as held, as in a Win32 button-down message.
    shift.Include(button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle);
    const bool doubleClick =
        ParaNative.mLastPressButton == ParaEvent.button &&
        ParaEvent.time - ParaNative.mLastPressTime <= kDoubleClickTime &&
        std::abs(ParaEvent.x - ParaNative.mLastPressX) <= kDoubleClickDistance &&
        std::abs(ParaEvent.y - ParaNative.mLastPressY) <= kDoubleClickDistance;
    if (doubleClick) {
      shift.Include(ssDouble);
      ParaNative.mLastPressButton = 0; // a third press starts a new click
    } else {
      ParaNative.mLastPressButton = ParaEvent.button;
    }
    ParaNative.mLastPressTime = ParaEvent.time;
    ParaNative.mLastPressX = ParaEvent.x;
    ParaNative.mLastPressY = ParaEvent.y;
    ParaControl.MouseDown(button, shift, ParaEvent.x, ParaEvent.y);
  }

  static void paint(TWinControl& ParaControl) {
    TNativeWindow* native = ParaControl.mNative;
    if (native == nullptr) {
      return;
    }
    if (!ParaControl.WMEraseBkgnd()) {
      XClearWindow(gX11.mDisplay, native->mDC.mWindow);
    }
    ParaControl.PaintWindow(reinterpret_cast<TDeviceContext>(&native->mDC));
  }

  static void dispatch(XEvent& ParaEvent) {
    TNativeWindow* native = findWindowX11(ParaEvent.xany.window);
    if (native == nullptr) {
      return;
    }
    TWinControl& control = *native->mDC.mControl;
    switch (ParaEvent.type) {
    case Expose:
      // Only the last of a series: one paint covers the whole window.
      if (ParaEvent.xexpose.count == 0) {
        CallGuarded([&] { paint(control); });
      }
      break;
    case ConfigureNotify:
      if (auto* form = dynamic_cast<TForm*>(&control);
          form != nullptr && form->Parent() == nullptr) {
        CallGuarded(
            [&] { form->ClientResized(ParaEvent.xconfigure.width, ParaEvent.xconfigure.height); });
      }
      break;
    case ButtonPress:
      CallGuarded([&] { dispatchButtonPress(control, *native, ParaEvent.xbutton); });
      break;
    case ClientMessage:
      if (ParaEvent.xclient.message_type == gX11.mWmProtocols &&
          static_cast<Atom>(ParaEvent.xclient.data.l[0]) == gX11.mWmDeleteWindow) {
        if (auto* form = dynamic_cast<TForm*>(&control)) {
          CallGuarded([&] { form->Close(); });
        }
      }
      break;
    default:
      break;
    }
  }

  static void run(TApplication& ParaApplication) {
    openDisplayX11();
    if (ParaApplication.mMainForm != nullptr) {
      ParaApplication.mMainForm->Show();
    }
    Display* display = gX11.mDisplay;
    while (!ParaApplication.mTerminated) {
      if (gX11.mQuitQueued) {
        gX11.mQuitQueued = false;
        ParaApplication.mTerminated = true;
        break;
      }
      if (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        TMsg msg{event.xany.window, static_cast<uint32_t>(event.type), &event};
        bool handled = false;
        // An error in the hook ends the turn: the event is not dispatched.
        const bool hooked = CallGuarded([&] { ParaApplication.DoMessage(msg, handled); });
        if (hooked && !handled) {
          dispatch(event);
        }
      } else {
        bool done = true;
        CallGuarded([&] { ParaApplication.DoIdle(done); });
        if (done && !gX11.mQuitQueued) {
          XEvent next;
          XPeekEvent(display, &next); // blocks until the next event arrives
        }
      }
    }
  }

  static void showForm(TForm& ParaForm, int32_t ParaLeft, int32_t ParaTop, bool ParaPlace) {
    Display* display = gX11.mDisplay;
    const Window window = ParaForm.NativeHandle();
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PWinGravity;
    hints->min_width = 1;
    hints->min_height = 1;
    hints->win_gravity = NorthWestGravity;
    if (ParaPlace) {
      // With north-west gravity the window manager puts the frame's outer corner here.
      hints->flags |= USPosition | PPosition;
      hints->x = ParaLeft;
      hints->y = ParaTop;
      XMoveWindow(display, window, ParaLeft, ParaTop);
    }
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
    XMapRaised(display, window);
    ParaForm.mNative->mMapped = true;
    XFlush(display);
  }

  static void frameExtents(TForm& ParaForm, int32_t& ParaHorizontal, int32_t& ParaVertical) {
    ParaHorizontal = 0;
    ParaVertical = 0;
    Display* display = gX11.mDisplay;
    const Window window = ParaForm.NativeHandle();
    // Ask the window manager what frame it will put around the window (it answers by
    // setting _NET_FRAME_EXTENTS); without a window manager nobody answers and the frame is 0.
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = gX11.mNetRequestFrameExtents;
    request.xclient.format = 32;
    XSendEvent(display, gX11.mRoot, False, SubstructureNotifyMask | SubstructureRedirectMask,
               &request);
    XFlush(display);
    struct TWanted {
      Window mWindow;
      Atom mAtom;
    } wanted{window, gX11.mNetFrameExtents};
    auto isFrameExtents = [](Display*, XEvent* event, XPointer argument) -> Bool {
      const auto* want = reinterpret_cast<const TWanted*>(argument);
      return event->type == PropertyNotify && event->xproperty.window == want->mWindow &&
             event->xproperty.atom == want->mAtom;
    };
    XEvent answer;
    if (!waitForEventX11(answer, isFrameExtents, reinterpret_cast<XPointer>(&wanted), 300)) {
      return;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, gX11.mNetFrameExtents, 0, 4, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && count == 4 && format == 32) {
      const auto* extents = reinterpret_cast<const long*>(data);
      ParaHorizontal = static_cast<int32_t>(extents[0] + extents[1]);
      ParaVertical = static_cast<int32_t>(extents[2] + extents[3]);
    }
    if (data != nullptr) {
      XFree(data);
    }
  }

  static bool recreate(TX11DeviceContext& ParaDC, Visual* ParaVisual, int ParaDepth) {
    TWinControl& control = *ParaDC.mControl;
    TNativeWindow* native = control.mNative;
    Display* display = gX11.mDisplay;
    const Window parent =
        control.Parent() != nullptr ? control.Parent()->NativeHandle() : gX11.mRoot;
    const uint64_t errorsBefore = gX11.mProtocolErrors;
    const Colormap colormap = XCreateColormap(display, gX11.mRoot, ParaVisual, AllocNone);
    const Window window = createWindowX11(control, parent, ParaVisual, ParaDepth, colormap,
                                          parent == gX11.mRoot ? kFormEventMask : kChildEventMask);
    XSync(display, False);
    if (gX11.mProtocolErrors != errorsBefore) {
      XFreeColormap(display, colormap);
      XSync(display, False);
      return false;
    }
    gX11.mWindows.erase(ParaDC.mWindow);
    XDestroyWindow(display, ParaDC.mWindow);
    if (native->mColormap != 0) {
      XFreeColormap(display, native->mColormap);
    }
    native->mColormap = colormap;
    ParaDC.mWindow = window;
    gX11.mWindows[window] = native;
    if (native->mMapped) {
      XMapWindow(display, window);
    }
    XFlush(display);
    return true;
  }
};

bool RecreateWindowWithVisualX11(TX11DeviceContext& ParaDC, Visual* ParaVisual, int ParaDepth) {
  return TToolkitBackend::recreate(ParaDC, ParaVisual, ParaDepth);
}

void DispatchEventX11(XEvent& ParaEvent) {
  TToolkitBackend::dispatch(ParaEvent);
}

// ---- Contract members defined by this backend -------------------------------------------

void TWinControl::CreateWnd() {
  TToolkitBackend::create(*this);
}

void TWinControl::DestroyWnd() {
  TToolkitBackend::destroy(*this);
}

TWindowHandle TWinControl::NativeHandle() const {
  return mNative != nullptr ? static_cast<TWindowHandle>(mNative->mDC.mWindow) : 0;
}

TDeviceContext TWinControl::GetDC() const {
  return mNative != nullptr ? reinterpret_cast<TDeviceContext>(&mNative->mDC) : 0;
}

void TWinControl::UpdateWindowBounds(bool ParaSizeChanged) {
  XMoveResizeWindow(gX11.mDisplay, mNative->mDC.mWindow, mLeft, mTop,
                    static_cast<unsigned>(std::max(1, mWidth)),
                    static_cast<unsigned>(std::max(1, mHeight)));
  XFlush(gX11.mDisplay);
  // Win32 sends WM_SIZE from inside the resize; do the same so the size is known at once.
  if (ParaSizeChanged) {
    CallGuarded([&] { WMSize(); });
  }
}

void TWinControl::Repaint() {
  if (mNative == nullptr) {
    return;
  }
  // The whole window is painted now, so pending exposures of it are covered (Win32's
  // UpdateWindow validates the window the same way).
  XEvent pending;
  while (XCheckTypedWindowEvent(gX11.mDisplay, mNative->mDC.mWindow, Expose, &pending)) {
  }
  CallGuarded([&] { TToolkitBackend::paint(*this); });
}

void TForm::UpdateWindowCaption() {
  setCaptionX11(mNative->mDC.mWindow, mCaption);
}

void TForm::UpdateWindowClientSize() {
  XResizeWindow(gX11.mDisplay, mNative->mDC.mWindow,
                static_cast<unsigned>(std::max(1, mClientWidth)),
                static_cast<unsigned>(std::max(1, mClientHeight)));
  XFlush(gX11.mDisplay);
}

void TForm::ShowWindowAt(int32_t ParaLeft, int32_t ParaTop, bool ParaPlace) {
  TToolkitBackend::showForm(*this, ParaLeft, ParaTop, ParaPlace);
}

void TForm::FrameExtents(int32_t& ParaHorizontal, int32_t& ParaVertical) {
  TToolkitBackend::frameExtents(*this, ParaHorizontal, ParaVertical);
}

void TApplication::Initialize() {
  openDisplayX11();
}

void TApplication::Run() {
  TToolkitBackend::run(*this);
}

void TApplication::Terminate() {
  gX11.mQuitQueued = true;
}

int32_t ScreenPixelsPerInch() {
  openDisplayX11();
  const char* resources = XResourceManagerString(gX11.mDisplay);
  if (resources == nullptr) {
    return 96;
  }
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) {
    return 96;
  }
  int32_t dpi = 96;
  char* type = nullptr;
  XrmValue value{};
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
    char* end = nullptr;
    const double parsed = std::strtod(value.addr, &end);
    if (end != value.addr && parsed >= 24.0 && parsed <= 2400.0) {
      dpi = static_cast<int32_t>(std::nearbyint(parsed));
    }
  }
  XrmDestroyDatabase(database);
  return dpi;
}

TDesktopRect DesktopRect() {
  openDisplayX11();
  // The root window spans every monitor of the screen.
  return TDesktopRect{0, 0, DisplayWidth(gX11.mDisplay, gX11.mScreen),
                      DisplayHeight(gX11.mDisplay, gX11.mScreen)};
}

std::string ProgramNameX11() {
  if (Application != nullptr && !Application->Title().empty()) {
    return Application->Title();
  }
  char path[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) {
    return "VantrelGame";
  }
  const std::string file(path, static_cast<std::size_t>(length));
  return file.substr(file.find_last_of('/') + 1);
}
