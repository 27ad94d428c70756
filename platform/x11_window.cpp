// Xlib backend of the toolkit (toolkit_backend.h): the display connection, windows for forms
// and controls, the event loop's primitives, and the dispatch of X events to the controls'
// handlers. x11_message_box.cpp holds its message box; knows nothing about OpenGL (the GLX
// binding re-creates windows through x11_toolkit.h).
#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/platform_last_error.h"
#include "platform/toolkit_backend.h"
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

// Everything the backend holds, set up by Initialize and released by Finalize.
struct TX11Backend {
  TX11Connection mConnection;
  XErrorHandler mPreviousErrorHandler = nullptr;
  std::unordered_map<Window, TNativeWindow*> mWindows;
  // Windows of ours that another client destroyed, once their notice has been handled.
  std::unordered_set<Window> mDestroyedElsewhere;
  // The quit request is queued once, however often it is asked for (as Windows keeps one);
  // mQuitWindow is where it was queued, 0 while it waits in the flag for lack of a window.
  bool mQuitQueued = false;
  Window mQuitWindow = 0;
  // Error traps: how many are set, the first request the outermost one covers, and how many
  // errors they caught.
  int mOpenTraps = 0;
  unsigned long mTrapFirstRequest = 0;
  uint64_t mProtocolErrors = 0;
  XEvent mTaken{}; // the event TakeNextMessage took last
};

TX11Backend gX11;

constexpr long kChildEventMask = ExposureMask | ButtonPressMask | StructureNotifyMask;
constexpr long kFormEventMask = ExposureMask | StructureNotifyMask | PropertyChangeMask;
// The press-to-press time and distance within which the second press counts as a double click.
constexpr Time kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 4;

// NOTE: the largest client area whose picture can reach the server. Mesa's software
// rasterizer hands each frame to XPutImage as one image with rows padded to the width rounded
// up to 64 pixels, plus 64, of 4 bytes each; Xlib sizes the request as row bytes times rows in
// 32-bit arithmetic, and once that product reaches 2^32 it wraps, so Xlib sends the whole image
// as one request far beyond the protocol's maximum and libxcb aborts the process. 32704
// columns pad to 32768 x 4 bytes, which times the tallest X window, 32767 rows, stays below
// 2^32. Measured on Xvfb: 32704x32767 and 32767x32704 run, 32705x32767 and 32767x32705 abort.
// The window manager holds the window to this (WM_NORMAL_HINTS), as Windows holds a window to
// the desktop plus its frame.
constexpr int kLargestClientWidthX11 = 32704;
constexpr int kLargestClientHeightX11 = 32767;

// NOTE: a window that another client destroys is gone on the server at once, but its notice
// waits in the queue behind what was queued before it; the steps until it is taken still draw
// into the window. Errors about a window we hold (we forget our windows before we destroy
// them), or about one whose destruction elsewhere was handled, are those draws: expected.
bool drawnAfterDestroyedElsewhereX11(const XErrorEvent& ParaError) {
  const auto window = static_cast<Window>(ParaError.resourceid);
  return (ParaError.error_code == BadWindow || ParaError.error_code == BadDrawable) &&
         (gX11.mWindows.count(window) != 0 || gX11.mDestroyedElsewhere.count(window) != 0);
}

// One line on standard error for an error nobody asked about: what it is, which request
// caused it and on which resource. The last-error code stays as it was.
void reportUnexpectedErrorX11(Display* ParaDisplay, const XErrorEvent& ParaError) {
  char text[160] = {};
  XGetErrorText(ParaDisplay, ParaError.error_code, text, sizeof text);
  char number[16];
  std::snprintf(number, sizeof number, "%d", ParaError.request_code);
  char request[80] = {};
  // Core requests have names in Xlib's error database; an extension's are its own.
  XGetErrorDatabaseText(ParaDisplay, "XRequest", number, "", request, sizeof request);
  std::fprintf(stderr, "%s: X error: %s, request %s (%d.%d), resource 0x%lx\n",
               ProgramNameX11().c_str(), text, request[0] != '\0' ? request : "of an extension",
               ParaError.request_code, ParaError.minor_code, ParaError.resourceid);
  std::fflush(stderr);
}

int handleProtocolErrorX11(Display* ParaDisplay, XErrorEvent* ParaError) {
  // NOTE: Xlib's default handler ends the process; a refused request is an ordinary failure
  // here. Inside a trap it is the trap's to report, through the last-error code like a
  // failing system call; outside one it is said at once, as nobody else will.
  if (gX11.mOpenTraps > 0 && ParaError->serial >= gX11.mTrapFirstRequest) {
    ++gX11.mProtocolErrors;
    SetPlatformLastError(ParaError->error_code);
  } else if (!drawnAfterDestroyedElsewhereX11(*ParaError)) {
    reportUnexpectedErrorX11(ParaDisplay, *ParaError);
  }
  return 0;
}

Display* connectedX11() {
  TToolkitBackend::Initialize();
  return gX11.mConnection.mDisplay;
}

// Shorthands for the connection's parts.
Window rootX11() {
  return gX11.mConnection.mRoot;
}
const TX11Atoms& atomsX11() {
  return gX11.mConnection.mAtoms;
}

// Takes the other notices of the same kind for ParaEvent's window that are already queued, as
// one: a burst of size changes is worked off in one turn with the last size (Windows sends
// size changes rather than queueing them), and one paint covers any number of exposures
// (Windows keeps one paint request per window).
void coalesceQueuedNoticesX11(XEvent& ParaEvent) {
  if (ParaEvent.type != ConfigureNotify && ParaEvent.type != Expose) {
    return;
  }
  XEvent later;
  while (XCheckTypedWindowEvent(gX11.mConnection.mDisplay, ParaEvent.xany.window, ParaEvent.type,
                                &later)) {
    ParaEvent = later;
  }
  if (ParaEvent.type == Expose) {
    ParaEvent.xexpose.count = 0;
  }
}

// The quit request was asked for while there was no window to queue it to: it waits in the
// flag, and the next turn takes it.
bool quitWaitsInFlagX11() {
  return gX11.mQuitQueued && gX11.mQuitWindow == 0;
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

// Waits up to ParaMilliseconds for an event that ParaPredicate accepts, leaving every other
// event queued in order.
bool waitForEventX11(XEvent& ParaEvent, Bool (*ParaPredicate)(Display*, XEvent*, XPointer),
                     XPointer ParaArgument, int ParaMilliseconds) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(ParaMilliseconds);
  for (;;) {
    if (XCheckIfEvent(gX11.mConnection.mDisplay, &ParaEvent, ParaPredicate, ParaArgument)) {
      return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      return false;
    }
    pollfd descriptor{ConnectionNumber(gX11.mConnection.mDisplay), POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    poll(&descriptor, 1, static_cast<int>(std::min<long long>(left.count() + 1, 10)));
  }
}

Window createWindowX11(TWinControl& ParaControl, Window ParaParent, Visual* ParaVisual,
                       int ParaDepth, Colormap ParaColormap) {
  XSetWindowAttributes attributes{};
  unsigned long mask = CWEventMask | CWBitGravity | CWBorderPixel;
  attributes.event_mask = ParaParent == rootX11() ? kFormEventMask : kChildEventMask;
  attributes.bit_gravity = ForgetGravity;
  attributes.border_pixel = 0;
  if (ParaParent == rootX11()) {
    attributes.background_pixel = BlackPixel(gX11.mConnection.mDisplay, gX11.mConnection.mScreen);
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
  return XCreateWindow(gX11.mConnection.mDisplay, ParaParent, ParaControl.Left(), ParaControl.Top(),
                       static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                       ParaVisual == nullptr ? CopyFromParent : ParaDepth, InputOutput,
                       ParaVisual == nullptr ? CopyFromParent : ParaVisual, mask, &attributes);
}

// The parent's window, or the root window for a form.
Window parentWindowX11(const TWinControl& ParaControl) {
  return ParaControl.Parent() != nullptr ? TToolkitBackend::NativeHandle(*ParaControl.Parent())
                                         : rootX11();
}

void setupTopLevelX11(TForm& ParaForm, Window ParaWindow) {
  Display* display = gX11.mConnection.mDisplay;
  Atom deleteWindow = atomsX11().mWmDeleteWindow;
  XSetWMProtocols(display, ParaWindow, &deleteWindow, 1);
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
  XChangeProperty(display, ParaWindow, atomsX11().mNetWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  SetCaptionX11(ParaWindow, ParaForm.Caption());
}

// Forgets the windows of ParaControl and of everything inside it (Native is null afterwards);
// with ParaDestroy the server's windows go too, else another client has destroyed them and
// they are remembered as destroyed elsewhere.
void releaseWindowsX11(TWinControl& ParaControl, bool ParaDestroy) {
  std::function<void(TWinControl&)> release = [&](TWinControl& control) {
    for (TWinControl* child : control.Controls()) {
      release(*child);
    }
    if (TNativeWindow* own = TToolkitBackend::Native(control)) {
      gX11.mWindows.erase(own->mDC.mWindow);
      if (!ParaDestroy) {
        gX11.mDestroyedElsewhere.insert(own->mDC.mWindow);
      }
      TToolkitBackend::Native(control) = nullptr;
      if (ParaDestroy && &control == &ParaControl) {
        XDestroyWindow(gX11.mConnection.mDisplay, own->mDC.mWindow); // its children go with it
      }
      if (own->mColormap != 0) {
        XFreeColormap(gX11.mConnection.mDisplay, own->mColormap);
      }
      delete own;
    }
  };
  release(ParaControl);
  XFlush(gX11.mConnection.mDisplay);
}

bool windowExistsX11(Window ParaWindow) {
  const uint32_t lastError = PlatformLastError();
  TX11ErrorTrap trap(gX11.mConnection.mDisplay);
  XWindowAttributes attributes;
  XGetWindowAttributes(gX11.mConnection.mDisplay, ParaWindow, &attributes);
  const bool exists = !trap.Failed();
  SetPlatformLastError(lastError);
  return exists;
}

// Another client destroyed one of our windows (xdotool windowclose does): the server
// destroyed it with everything inside it. The controls hear of it as
// Win32 tells a destroyed window, WMDestroy from the outermost that went inward, only after
// the fact; the records go, and losing the main form ends the application like closing it.
void windowDestroyedElsewhereX11(Window ParaWindow) {
  TNativeWindow* native = findWindowX11(ParaWindow);
  if (native == nullptr) {
    return; // one we destroyed ourselves, or inside one already handled
  }
  TWinControl* gone = native->mDC.mControl;
  // NOTE: the server reports the windows inside first, so this may be a child whose form went
  // in the same request.
  while (gone->Parent() != nullptr &&
         !windowExistsX11(TToolkitBackend::NativeHandle(*gone->Parent()))) {
    gone = gone->Parent();
  }
  TToolkitBackend::DeliverDestroyToTree(*gone);
  releaseWindowsX11(*gone, false);
  TToolkitBackend::DeliverDestroyedElsewhere(*gone);
}

void paintX11(TWinControl& ParaControl) {
  TNativeWindow* native = TToolkitBackend::Native(ParaControl);
  if (native == nullptr) {
    return;
  }
  if (!TToolkitBackend::DeliverEraseBackground(ParaControl)) {
    XClearWindow(gX11.mConnection.mDisplay, native->mDC.mWindow);
  }
  TToolkitBackend::DeliverPaint(ParaControl, reinterpret_cast<TDeviceContext>(&native->mDC));
}

void dispatchButtonPressX11(TWinControl& ParaControl, TNativeWindow& ParaNative,
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
  const bool doubleClick = ParaNative.mLastPressButton == ParaEvent.button &&
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
  TToolkitBackend::DeliverMouseDown(ParaControl, button, shift, ParaEvent.x, ParaEvent.y);
}

void dispatchX11(XEvent& ParaEvent) {
  TNativeWindow* native = findWindowX11(ParaEvent.xany.window);
  if (native == nullptr) {
    return;
  }
  TWinControl& control = *native->mDC.mControl;
  switch (ParaEvent.type) {
  case Expose:
    // Only the last of a series: one paint covers the whole window.
    if (ParaEvent.xexpose.count == 0) {
      CallGuarded([&] { paintX11(control); });
    }
    break;
  case ConfigureNotify:
    if (auto* form = dynamic_cast<TForm*>(&control); form != nullptr && form->Parent() == nullptr) {
      CallGuarded([&] {
        TToolkitBackend::DeliverClientResized(*form, ParaEvent.xconfigure.width,
                                              ParaEvent.xconfigure.height);
      });
    }
    break;
  case ButtonPress:
    CallGuarded([&] { dispatchButtonPressX11(control, *native, ParaEvent.xbutton); });
    break;
  case DestroyNotify:
    windowDestroyedElsewhereX11(ParaEvent.xdestroywindow.window);
    break;
  case ClientMessage:
    if (ParaEvent.xclient.message_type == atomsX11().mWmProtocols &&
        static_cast<Atom>(ParaEvent.xclient.data.l[0]) == atomsX11().mWmDeleteWindow) {
      if (auto* form = dynamic_cast<TForm*>(&control)) {
        CallGuarded([&] { form->Close(); });
      }
    }
    break;
  default:
    break;
  }
}

bool recreateWindowX11(TX11DeviceContext& ParaDC, Visual* ParaVisual, int ParaDepth) {
  TWinControl& control = *ParaDC.mControl;
  TNativeWindow* native = TToolkitBackend::Native(control);
  Display* display = gX11.mConnection.mDisplay;
  const Window parent = parentWindowX11(control);
  TX11ErrorTrap trap(display);
  const Colormap colormap = XCreateColormap(display, rootX11(), ParaVisual, AllocNone);
  const Window window = createWindowX11(control, parent, ParaVisual, ParaDepth, colormap);
  if (trap.Failed()) {
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

} // namespace

// ---- Shared with the message box and the GLX binding ------------------------------------

TX11Connection& ConnectionX11() {
  connectedX11();
  return gX11.mConnection;
}

TX11DeviceContext* FindDeviceContextX11(Window ParaWindow) {
  TNativeWindow* native = findWindowX11(ParaWindow);
  return native == nullptr ? nullptr : &native->mDC;
}

bool IsQuitRequestX11(const XEvent& ParaEvent) {
  return ParaEvent.type == ClientMessage && atomsX11().mQuitRequest != 0 &&
         ParaEvent.xclient.message_type == atomsX11().mQuitRequest;
}

bool RecreateWindowWithVisualX11(TX11DeviceContext& ParaDC, Visual* ParaVisual, int ParaDepth) {
  return recreateWindowX11(ParaDC, ParaVisual, ParaDepth);
}

void DispatchEventX11(XEvent& ParaEvent) {
  dispatchX11(ParaEvent);
}

void SetCaptionX11(Window ParaWindow, const std::string& ParaCaption) {
  Display* display = connectedX11();
  char* list[] = {const_cast<char*>(ParaCaption.c_str())};
  XTextProperty property;
  if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &property) >= Success) {
    XSetWMName(display, ParaWindow, &property);
    XSetWMIconName(display, ParaWindow, &property);
    XFree(property.value);
  }
  XChangeProperty(display, ParaWindow, atomsX11().mNetWmName, atomsX11().mUtf8String, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(ParaCaption.data()),
                  static_cast<int>(ParaCaption.size()));
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

TX11ErrorTrap::TX11ErrorTrap(Display* ParaDisplay)
    : mDisplay(ParaDisplay), mErrorsBefore(gX11.mProtocolErrors) {
  if (gX11.mOpenTraps++ == 0) {
    gX11.mTrapFirstRequest = NextRequest(ParaDisplay);
  }
}

TX11ErrorTrap::~TX11ErrorTrap() {
  --gX11.mOpenTraps;
}

bool TX11ErrorTrap::Failed() {
  XSync(mDisplay, False);
  return gX11.mProtocolErrors != mErrorsBefore;
}

// ---- The contract -----------------------------------------------------------------------

void TToolkitBackend::Initialize() {
  if (gX11.mConnection.mDisplay != nullptr) {
    return;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    throw std::runtime_error(std::string("Cannot open the display \"") +
                             (name != nullptr ? name : "") + "\".");
  }
  gX11.mPreviousErrorHandler = XSetErrorHandler(handleProtocolErrorX11);
  TX11Connection& connection = gX11.mConnection;
  connection.mDisplay = display;
  connection.mScreen = DefaultScreen(display);
  connection.mRoot = RootWindow(display, connection.mScreen);
  TX11Atoms& atoms = connection.mAtoms;
  const std::pair<const char*, Atom*> names[] = {
      {"WM_PROTOCOLS", &atoms.mWmProtocols},
      {"WM_DELETE_WINDOW", &atoms.mWmDeleteWindow},
      {"_NET_WM_NAME", &atoms.mNetWmName},
      {"_NET_WM_PID", &atoms.mNetWmPid},
      {"UTF8_STRING", &atoms.mUtf8String},
      {"_NET_FRAME_EXTENTS", &atoms.mNetFrameExtents},
      {"_NET_REQUEST_FRAME_EXTENTS", &atoms.mNetRequestFrameExtents},
      {"_NET_WM_WINDOW_TYPE", &atoms.mNetWmWindowType},
      {"_NET_WM_WINDOW_TYPE_DIALOG", &atoms.mNetWmWindowTypeDialog},
      {"_NET_WM_STATE", &atoms.mNetWmState},
      {"_NET_WM_STATE_MODAL", &atoms.mNetWmStateModal},
      {"_VANTREL_QUIT", &atoms.mQuitRequest},
      {"_VANTREL_MESSAGE_TEXT", &atoms.mMessageText},
  };
  for (const auto& [name, atom] : names) {
    *atom = XInternAtom(display, name, False);
  }
}

void TToolkitBackend::Finalize() {
  if (gX11.mConnection.mDisplay == nullptr) {
    return;
  }
  // Every window went with its control; records left behind would be of controls that
  // outlive the application, and lose their window with the connection.
  for (auto& [window, native] : gX11.mWindows) {
    Native(*native->mDC.mControl) = nullptr;
    delete native;
  }
  if (gX11.mConnection.mFramebufferConfigs != nullptr) {
    XFree(gX11.mConnection.mFramebufferConfigs);
  }
  // In the reverse of the set-up: the connection (and with it what was learned about it), then
  // the error handler that was there before.
  XCloseDisplay(gX11.mConnection.mDisplay);
  XSetErrorHandler(gX11.mPreviousErrorHandler);
  gX11 = TX11Backend{};
}

void TToolkitBackend::CreateNativeWindow(TWinControl& ParaControl) {
  connectedX11();
  TCreateParams params;
  CreateParams(ParaControl, params);
  auto* native = new TNativeWindow;
  native->mDC.mDisplay = gX11.mConnection.mDisplay;
  native->mDC.mControl = &ParaControl;
  const bool topLevel = ParaControl.Parent() == nullptr;
  native->mDC.mWindow = createWindowX11(ParaControl, parentWindowX11(ParaControl), nullptr, 0, 0);
  Native(ParaControl) = native;
  gX11.mWindows[native->mDC.mWindow] = native;
  if (topLevel) {
    if (auto* form = dynamic_cast<TForm*>(&ParaControl)) {
      setupTopLevelX11(*form, native->mDC.mWindow);
    }
  }
  CallGuarded([&] { DeliverCreate(ParaControl); });
  if (!topLevel && Native(ParaControl) == native) {
    CallGuarded([&] { DeliverSize(ParaControl); });
  }
  if (!topLevel && Native(ParaControl) == native) {
    XMapWindow(gX11.mConnection.mDisplay, native->mDC.mWindow);
    native->mMapped = true;
  }
  XFlush(gX11.mConnection.mDisplay);
}

void TToolkitBackend::DestroyNativeWindow(TWinControl& ParaControl) {
  if (Native(ParaControl) == nullptr) {
    return;
  }
  DeliverDestroyToTree(ParaControl);
  releaseWindowsX11(ParaControl, true);
}

TWindowHandle TToolkitBackend::NativeHandle(const TWinControl& ParaControl) {
  const TNativeWindow* native = Native(ParaControl);
  return native != nullptr ? static_cast<TWindowHandle>(native->mDC.mWindow) : 0;
}

TDeviceContext TToolkitBackend::DeviceContext(const TWinControl& ParaControl) {
  TNativeWindow* native = Native(ParaControl);
  return native != nullptr ? reinterpret_cast<TDeviceContext>(&native->mDC) : 0;
}

void TToolkitBackend::UpdateBounds(TWinControl& ParaControl, bool ParaSizeChanged) {
  // A form's window is its client area; with north-west gravity a window manager puts the
  // frame's outer corner at the position, where the toolkit means it.
  XMoveResizeWindow(gX11.mConnection.mDisplay, Native(ParaControl)->mDC.mWindow, ParaControl.Left(),
                    ParaControl.Top(), static_cast<unsigned>(std::max(1, ParaControl.Width())),
                    static_cast<unsigned>(std::max(1, ParaControl.Height())));
  XFlush(gX11.mConnection.mDisplay);
  // Win32 sends WM_SIZE from inside the resize; do the same so the size is known at once.
  if (ParaSizeChanged && ParaControl.Parent() != nullptr) {
    CallGuarded([&] { DeliverSize(ParaControl); });
  }
}

void TToolkitBackend::Repaint(TWinControl& ParaControl) {
  // The whole window is painted now, so pending exposures of it are covered (Win32's
  // UpdateWindow validates the window the same way).
  XEvent pending;
  while (XCheckTypedWindowEvent(gX11.mConnection.mDisplay, Native(ParaControl)->mDC.mWindow, Expose,
                                &pending)) {
  }
  CallGuarded([&] { paintX11(ParaControl); });
}

void TToolkitBackend::UpdateCaption(TForm& ParaForm) {
  SetCaptionX11(Native(ParaForm)->mDC.mWindow, ParaForm.Caption());
}

void TToolkitBackend::UpdateClientSize(TForm& ParaForm) {
  XResizeWindow(gX11.mConnection.mDisplay, Native(ParaForm)->mDC.mWindow,
                static_cast<unsigned>(std::max(1, ParaForm.ClientWidth())),
                static_cast<unsigned>(std::max(1, ParaForm.ClientHeight())));
  XFlush(gX11.mConnection.mDisplay);
}

void TToolkitBackend::FrameExtents(TForm& ParaForm, int32_t& ParaHorizontal,
                                   int32_t& ParaVertical) {
  ParaHorizontal = 0;
  ParaVertical = 0;
  Display* display = gX11.mConnection.mDisplay;
  const Window window = Native(ParaForm)->mDC.mWindow;
  // Ask the window manager what frame it will put around the window (it answers by
  // setting _NET_FRAME_EXTENTS); without a window manager nobody answers and the frame is 0.
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = atomsX11().mNetRequestFrameExtents;
  request.xclient.format = 32;
  XSendEvent(display, rootX11(), False, SubstructureNotifyMask | SubstructureRedirectMask,
             &request);
  XFlush(display);
  struct TWanted {
    Window mWindow;
    Atom mAtom;
  } wanted{window, atomsX11().mNetFrameExtents};
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
  if (XGetWindowProperty(display, window, atomsX11().mNetFrameExtents, 0, 4, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success &&
      data != nullptr && count == 4 && format == 32) {
    const auto* extents = reinterpret_cast<const long*>(data);
    ParaHorizontal = static_cast<int32_t>(extents[0] + extents[1]);
    ParaVertical = static_cast<int32_t>(extents[2] + extents[3]);
  }
  if (data != nullptr) {
    XFree(data);
  }
}

void TToolkitBackend::ShowForm(TForm& ParaForm, int32_t ParaLeft, int32_t ParaTop, bool ParaPlace) {
  Display* display = gX11.mConnection.mDisplay;
  TNativeWindow* native = Native(ParaForm);
  const Window window = native->mDC.mWindow;
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PMinSize | PMaxSize | PWinGravity;
  hints->min_width = 1;
  hints->min_height = 1;
  hints->max_width = kLargestClientWidthX11;
  hints->max_height = kLargestClientHeightX11;
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
  native->mMapped = true;
  XFlush(display);
}

TTakenMessage TToolkitBackend::TakeNextMessage(TMsg& ParaMsg) {
  Display* display = connectedX11();
  if (quitWaitsInFlagX11()) {
    gX11.mQuitQueued = false;
    return tmQuit;
  }
  if (XPending(display) == 0) {
    return tmNone;
  }
  XEvent& event = gX11.mTaken;
  XNextEvent(display, &event);
  if (IsQuitRequestX11(event)) {
    gX11.mQuitQueued = false;
    gX11.mQuitWindow = 0;
    return tmQuit;
  }
  if (event.type == DestroyNotify) {
    // Like Win32's WM_DESTROY, a sent message rather than a queued one: handled now, before a
    // step could draw into a window that is gone; the next turn takes what follows.
    dispatchX11(event);
    return TakeNextMessage(ParaMsg);
  }
  coalesceQueuedNoticesX11(event);
  ParaMsg = TMsg{event.xany.window, static_cast<uint32_t>(event.type), &event};
  return tmMessage;
}

void TToolkitBackend::DispatchTakenMessage(TMsg& ParaMsg) {
  dispatchX11(*static_cast<XEvent*>(ParaMsg.mNative));
}

void TToolkitBackend::WaitForMessage() {
  if (quitWaitsInFlagX11()) {
    return;
  }
  XEvent next;
  XPeekEvent(connectedX11(), &next); // blocks until an event arrives
}

void TToolkitBackend::PostQuitRequest(TApplication& ParaApplication) {
  // Queued like Windows' quit message: the loop takes it after the events already queued.
  if (gX11.mQuitQueued) {
    return;
  }
  TForm* form = ParaApplication.MainForm();
  const Window window =
      gX11.mConnection.mDisplay != nullptr && form != nullptr && Native(*form) != nullptr
          ? Native(*form)->mDC.mWindow
          : 0;
  gX11.mQuitQueued = true;
  gX11.mQuitWindow = window;
  if (window == 0) {
    return;
  }
  XEvent quit{};
  quit.xclient.type = ClientMessage;
  quit.xclient.window = window;
  quit.xclient.message_type = atomsX11().mQuitRequest;
  quit.xclient.format = 32;
  XSendEvent(gX11.mConnection.mDisplay, window, False, NoEventMask, &quit);
  XFlush(gX11.mConnection.mDisplay);
}

int32_t TToolkitBackend::ScreenPixelsPerInch() {
  Display* display = connectedX11();
  const char* resources = XResourceManagerString(display);
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

TDesktopRect TToolkitBackend::DesktopRect() {
  Display* display = connectedX11();
  // The root window spans every monitor of the screen.
  return TDesktopRect{0, 0, DisplayWidth(display, gX11.mConnection.mScreen),
                      DisplayHeight(display, gX11.mConnection.mScreen)};
}
