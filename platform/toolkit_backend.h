// The contract between the portable toolkit (toolkit.cpp) and a window-system backend: every
// function a backend defines, and what it must do. CMake links exactly one backend:
// x11_window.cpp with x11_message_box.cpp (Linux), win32_window.cpp with win32_message_box.cpp
// (Windows), or null_window.cpp (no window system: the toolkit's own tests).
// Only toolkit.cpp and the backend files include this header.
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

  // Creates the control's window (CreateParams first): a child of its parent's window, or a
  // hidden top-level window for a form. Sets the control's record (Native), then delivers
  // WMCreate and WMSize, in this order. A child window is visible from the start.
  static void CreateNativeWindow(TWinControl& ParaControl);
  // Delivers WMDestroy to the control and then to its children, all windows still existing;
  // then destroys the windows and frees their records (Native is null afterwards).
  static void DestroyNativeWindow(TWinControl& ParaControl);
  // The window system's handle and the window's own device context (never 0 for a window).
  static TWindowHandle NativeHandle(const TWinControl& ParaControl);
  static TDeviceContext DeviceContext(const TWinControl& ParaControl);
  // The control's stored bounds changed: moves and sizes its window, and when the size
  // changed delivers WMSize before returning, as Win32 does from inside the move.
  static void UpdateBounds(TWinControl& ParaControl, bool ParaSizeChanged);
  // Marks the whole window as needing paint and paints it now: the erase request, unless the
  // control answers it (WMEraseBkgnd), then PaintWindow with the window's device context.
  // Exposures already queued for the window count as painted.
  static void Repaint(TWinControl& ParaControl);

  // A form's caption, or its stored client size, changed: the window follows.
  static void UpdateCaption(TForm& ParaForm);
  static void UpdateClientSize(TForm& ParaForm);
  // The frame the system or the window manager puts around the client area, in pixels.
  static void FrameExtents(TForm& ParaForm, int32_t& ParaHorizontal, int32_t& ParaVertical);
  // Makes the form visible; with ParaPlace its frame's outer corner goes to (left, top).
  static void ShowForm(TForm& ParaForm, int32_t ParaLeft, int32_t ParaTop, bool ParaPlace);

  // The event loop's primitives (TApplication::Run is written once on them). Takes the next
  // message without waiting: fills ParaMsg (its mNative stays valid until the next call) or
  // finds the queue empty or the quit request. Size notices and paint requests that are
  // already queued for one window are taken as one (the last size), as Windows keeps them.
  static TTakenMessage TakeNextMessage(TMsg& ParaMsg);
  // Dispatches the message the last TakeNextMessage took to its window's handlers.
  static void DispatchTakenMessage(TMsg& ParaMsg);
  // Blocks until a message can be taken (returns at once when one can already).
  static void WaitForMessage();
  // Queues the quit request behind the messages already queued; asked for again before it
  // was taken, it is still one request.
  static void PostQuitRequest(TApplication& ParaApplication);

  // The services of platform_toolkit.h with the same names.
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
  static void DeliverMouseDown(TWinControl& ParaControl, TMouseButton ParaButton,
                               TShiftState ParaShift, int32_t ParaX, int32_t ParaY) {
    ParaControl.MouseDown(ParaButton, ParaShift, ParaX, ParaY);
  }
  // The window system changed a form's client size (a user resize, a density change).
  static void DeliverClientResized(TForm& ParaForm, int32_t ParaWidth, int32_t ParaHeight) {
    ParaForm.ClientResized(ParaWidth, ParaHeight);
  }
};
