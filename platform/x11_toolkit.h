// What the Xlib backend of the toolkit shares between its own files (x11_window.cpp,
// x11_message_box.cpp) and with the GLX binding of the OpenGL view: the display connection,
// its atoms, the per-window drawable record that stands for a Win32 device context, and the
// trap for X protocol errors. Only x11_ and _glx files include this header.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

#include "platform/platform_toolkit.h"

// The "device context" of a window: one per window, like a CS_OWNDC window's private DC.
// mWindow changes when the backend re-creates the window with another visual; the record
// itself (and so the TDeviceContext handle that points at it) stays the same.
struct TX11DeviceContext {
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  TWinControl* mControl = nullptr;
  // The pixel format set on this window (0: none yet) and its framebuffer configuration.
  int32_t mPixelFormat = 0;
  void* mFramebufferConfig = nullptr;
};

// The atoms the backend's windows use, interned once per connection.
struct TX11Atoms {
  Atom mWmProtocols = 0;
  Atom mWmDeleteWindow = 0;
  Atom mNetWmName = 0;
  Atom mNetWmPid = 0;
  Atom mUtf8String = 0;
  Atom mNetFrameExtents = 0;
  Atom mNetRequestFrameExtents = 0;
  Atom mNetWmWindowType = 0;
  Atom mNetWmWindowTypeDialog = 0;
  Atom mNetWmState = 0;
  Atom mNetWmStateModal = 0;
  // Ours: the quit request queued to ourselves, and a message box's text for tools to read.
  Atom mQuitRequest = 0;
  Atom mMessageText = 0;
};

// The connection to the display and what is learned about it once; it goes, and all of it is
// forgotten, when the connection is closed (TToolkitBackend::Finalize).
struct TX11Connection {
  Display* mDisplay = nullptr;
  int mScreen = 0;
  Window mRoot = 0;
  TX11Atoms mAtoms;
  // The GLX binding's answer whether Mesa's software rasterizer serves the display; -1 until
  // it asked.
  int mSoftwareRenderer = -1;
  // The screen's framebuffer configurations as the GLX binding fetched them (a GLXFBConfig
  // array that Finalize frees), numbered from 1 as pixel formats; null until it asked.
  void* mFramebufferConfigs = nullptr;
  int mFramebufferConfigCount = 0;
};

// The connection, made on first use (TToolkitBackend::Initialize). Raises when no display
// can be opened.
TX11Connection& ConnectionX11();
inline Display* DisplayX11() {
  return ConnectionX11().mDisplay;
}
inline int ScreenX11() {
  return ConnectionX11().mScreen;
}
inline const TX11Atoms& AtomsX11() {
  return ConnectionX11().mAtoms;
}
// The application's title, or the program's file name while none is set: what message boxes
// and the task-bar entry are titled with.
std::string ProgramNameX11();
// Sets a window's title (WM_NAME, WM_ICON_NAME and the UTF-8 _NET_WM_NAME).
void SetCaptionX11(Window ParaWindow, const std::string& ParaCaption);

inline TX11DeviceContext* DeviceContextX11(TDeviceContext ParaDC) {
  return reinterpret_cast<TX11DeviceContext*>(ParaDC);
}

// The record of the window that currently has id ParaWindow, or nullptr.
TX11DeviceContext* FindDeviceContextX11(Window ParaWindow);

// Gives the window behind ParaDC the visual ParaVisual: an X window's visual is fixed at
// creation, so the window is destroyed and created again (same parent, place, size, events,
// mapped state). Returns false, with the last-error code set, when the server refuses.
bool RecreateWindowWithVisualX11(TX11DeviceContext& ParaDC, Visual* ParaVisual, int ParaDepth);

// Whether the event is the application's quit request (TApplication::Terminate queues it).
bool IsQuitRequestX11(const XEvent& ParaEvent);

// The event loop's dispatch of one event to its window; the message box's modal loop uses it
// for the paints and size changes of other windows.
void DispatchEventX11(XEvent& ParaEvent);

// Catches the X protocol errors of the requests made while it is set: the backend's error
// handler counts each and sets the thread's last-error code to its code instead of ending the
// process; the trap compares counts, after a round trip, so an error that the server reports
// later than the request is not missed. An error of a request made outside every trap is
// unexpected: it is reported on standard error (its text, request and resource) and leaves the
// last-error code alone, which belongs to the failure a box may be about to show.
class TX11ErrorTrap {
public:
  explicit TX11ErrorTrap(Display* ParaDisplay);
  ~TX11ErrorTrap();
  TX11ErrorTrap(const TX11ErrorTrap&) = delete;
  TX11ErrorTrap& operator=(const TX11ErrorTrap&) = delete;
  // Waits until the server has handled every request made so far (XSync), then answers
  // whether any of those made since the trap was set failed.
  bool Failed();

private:
  Display* mDisplay;
  uint64_t mErrorsBefore;
};
