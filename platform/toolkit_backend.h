// The contract between the portable toolkit (toolkit.cpp) and a window-system backend: every
// function a backend defines, and what it must do. CMake links exactly one backend:
// x11_window.cpp with x11_message_box.cpp (Linux), win32_window.cpp with win32_message_box.cpp
// (Windows), or null_window.cpp (no window system: the toolkit's own tests). One suite
// (tests/platform/backend_contract.cpp) holds every backend to these promises.
// Only toolkit.cpp and the backend files include this header.
//
// Terms. A form's bounds are the outer corner of its frame on the desktop (Left, Top) and its
// client size (Width, Height, the same as ClientWidth and ClientHeight); the frame belongs to
// the window system. A child control's bounds are its window's rectangle in its parent's
// client area. A paint request is the window system asking for a window to be painted (an
// exposure, a window shown or grown); a window has at most one pending, however often it was
// asked. The queue is the program's queue of window-system messages, in arrival order.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform_toolkit.h"

// What TakeNextMessage found in the queue.
enum TTakenMessage : uint8_t {
  tmNone,    // the queue is empty
  tmMessage, // a message, now in the TMsg
  tmQuit,    // the quit request (PostQuitRequest), after the messages queued before it
};

struct TToolkitBackend {
  // ---- Defined by the backend ------------------------------------------------------------

  // Connects to the window system. Runs once: a second call before Finalize does nothing.
  static void Initialize();
  // Releases what Initialize set up, in reverse order, once every window is gone; afterwards
  // Initialize may run again. Called when the application is freed.
  static void Finalize();

  // Creates the control's window (CreateParams first): a child of its parent's window at the
  // control's bounds, visible from the start, or a hidden top-level window for a form, with
  // the form's client size. Sets the control's record (Native), then delivers WMCreate, the
  // window existing, and for a child WMSize, in this order. A form gets no WMSize, ever: its
  // size is its client size, which the window system's changes reach through
  // DeliverClientResized. Nothing is painted from here.
  static void CreateNativeWindow(TWinControl& ParaControl);
  // Delivers WMDestroy to the control and then to its children, parents first, all windows
  // still existing; then destroys the windows and frees their records (Native is null
  // afterwards, for the control and everything inside it).
  static void DestroyNativeWindow(TWinControl& ParaControl);
  // The window system's handle and the window's own device context (never 0 for a window).
  static TWindowHandle NativeHandle(const TWinControl& ParaControl);
  static TDeviceContext DeviceContext(const TWinControl& ParaControl);
  // The control's stored bounds changed: the window takes them (for a form: the frame's
  // corner goes to Left, Top and the client area gets Width x Height). For a child whose size
  // changed, WMSize is delivered before this returns, as Win32 does from inside the move; a
  // move alone delivers none.
  static void UpdateBounds(TWinControl& ParaControl, bool ParaSizeChanged);
  // Paints the whole window now, every call exactly once: the erase request, unless the
  // control answers it (WMEraseBkgnd) or is opaque, then PaintWindow with the window's own
  // device context (on Win32, of a window whose class asked for one, csOwnDC). The window's
  // pending paint request, if any, counts as served.
  static void Repaint(TWinControl& ParaControl);

  // A form's caption, or its stored client size, changed: the window follows (the client
  // size without moving the window).
  static void UpdateCaption(TForm& ParaForm);
  static void UpdateClientSize(TForm& ParaForm);
  // The frame the system or the window manager puts around the client area, in pixels.
  static void FrameExtents(TForm& ParaForm, int32_t& ParaHorizontal, int32_t& ParaVertical);
  // Makes the form and its controls visible; with ParaPlace its frame's outer corner goes to
  // (left, top). Paints nothing itself: the first paints are paint requests, taken by the
  // event loop's first turns, after their hooks.
  static void ShowForm(TForm& ParaForm, int32_t ParaLeft, int32_t ParaTop, bool ParaPlace);

  // The event loop's primitives (TApplication::Run is written once on them). Takes the next
  // message without waiting: fills ParaMsg (its mNative stays valid until the next call) or
  // finds the queue empty or the quit request. Each window's paint request is one message
  // however often it was asked for, and size notices of one window already queued are taken
  // as one with the last size (Windows sends size changes instead of queueing them).
  // A window destroyed by anyone but DestroyNativeWindow (another program, the window system)
  // is a sent message, as on Win32, never handed to the hooks; where the window system queues
  // the notice, it is handled when taken: WMDestroy to the outermost window that went and
  // inward (their windows may be gone by then), the records freed, and a main form lost this
  // way closes (the quit request), so the program ends through its normal shutdown.
  static TTakenMessage TakeNextMessage(TMsg& ParaMsg);
  // Dispatches the message the last TakeNextMessage took to its window's handlers.
  static void DispatchTakenMessage(TMsg& ParaMsg);
  // Blocks until a message can be taken (returns at once when one can already).
  static void WaitForMessage();
  // Queues the quit request behind the messages already queued: those are all taken first.
  // Asked for again before it was taken, it is still one request.
  static void PostQuitRequest(TApplication& ParaApplication);

  // The services of platform_toolkit.h with the same names. The message box is modal: it
  // returns once the user closed it, shows the text with its line breaks and is titled with
  // the application's title (or the program's name); while it is open the other windows'
  // paint requests are served, their input is dropped, no hook runs, and a quit request
  // stays queued for the loop.
  static void ShowMessageBox(const std::string& ParaText, TMessageBoxIcon ParaIcon);
  static void ReportFatalError(const std::string& ParaText);
  static int32_t ScreenPixelsPerInch();
  static TDesktopRect DesktopRect();

  // ---- Given to the backends: what they reach of the toolkit's objects --------------------

  static TNativeWindow*& Native(TWinControl& ParaControl) { return ParaControl.mNative; }
  static TNativeWindow* Native(const TWinControl& ParaControl) { return ParaControl.mNative; }
  static void CreateParams(TWinControl& ParaControl, TCreateParams& ParaParams) {
    ParaControl.CreateParams(ParaParams);
  }
  // The window messages; each backend wraps every delivery in CallGuarded.
  static void DeliverCreate(TWinControl& ParaControl) { ParaControl.WMCreate(); }
  static void DeliverSize(TWinControl& ParaControl) { ParaControl.WMSize(); }
  static bool DeliverEraseBackground(TWinControl& ParaControl) {
    return ParaControl.WMEraseBkgnd();
  }
  static void DeliverPaint(TWinControl& ParaControl, TDeviceContext ParaDC) {
    ParaControl.PaintWindow(ParaDC);
  }
  static void DeliverDestroy(TWinControl& ParaControl) { ParaControl.WMDestroy(); }
  // WMDestroy in Win32's order, for a window system that does not send it: to the control,
  // then to its children and theirs, while every window still exists; each guarded.
  static void DeliverDestroyToTree(TWinControl& ParaControl);
  // After the WMDestroy of a window destroyed by anyone but DestroyNativeWindow: a top-level
  // form lost so closes, as if the user had closed it, and with the main form the program
  // ends through its normal shutdown.
  static void DeliverDestroyedElsewhere(TWinControl& ParaControl);
  static void DeliverMouseDown(TWinControl& ParaControl, TMouseButton ParaButton,
                               TShiftState ParaShift, int32_t ParaX, int32_t ParaY) {
    ParaControl.MouseDown(ParaButton, ParaShift, ParaX, ParaY);
  }
  // The window system changed a form's client size (a user resize, a density change).
  static void DeliverClientResized(TForm& ParaForm, int32_t ParaWidth, int32_t ParaHeight) {
    ParaForm.ClientResized(ParaWidth, ParaHeight);
  }
};
