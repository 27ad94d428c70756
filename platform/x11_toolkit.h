// What the Xlib backend of the toolkit shares with the GLX binding of the OpenGL view: the
// display connection and the per-window drawable record that stands for a Win32 device
// context. Only x11_ and _glx files include this header.
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

// The display, opened on first use. Raises when no display can be opened.
Display* DisplayX11();
// The application's title, or the program's file name while none is set: what message boxes
// and the task-bar entry are titled with.
std::string ProgramNameX11();
int ScreenX11();

inline TX11DeviceContext* DeviceContextX11(TDeviceContext ParaDC) {
  return reinterpret_cast<TX11DeviceContext*>(ParaDC);
}

// The record of the window that currently has id ParaWindow, or nullptr.
TX11DeviceContext* FindDeviceContextX11(Window ParaWindow);

// Gives the window behind ParaDC the visual ParaVisual: an X window's visual is fixed at
// creation, so the window is destroyed and created again (same parent, place, size, events,
// mapped state). Returns false, with the last-error code set, when the server refuses.
bool RecreateWindowWithVisualX11(TX11DeviceContext& ParaDC, Visual* ParaVisual, int ParaDepth);

// How many X protocol errors the backend's error handler has caught so far. The handler
// also sets the thread's last-error code to the error's code instead of ending the process.
// To learn whether requests failed: read the count, make them, XSync, compare.
uint64_t ProtocolErrorCountX11();

// Whether the event is the application's quit request (TApplication::Terminate queues it).
bool IsQuitRequestX11(const XEvent& ParaEvent);

// The event loop's dispatch of one event to its window; the message box's modal loop uses it
// for the paints and size changes of other windows.
void DispatchEventX11(XEvent& ParaEvent);
