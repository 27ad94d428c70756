// The null backend of the toolkit (null_window.cpp): no window system at all. Windows are
// records in memory and the message queue is whatever a test puts into it, so the toolkit's
// portable logic, the event loop among it, runs under the test's control. Like a real window
// system it keeps each window's place, size and visibility, one pending paint request per
// window, and a journal of what the toolkit asked of it, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform_toolkit.h"

// The numbers of the notices the backend makes itself (Win32's): a window's pending paint
// request, taken only when nothing else is queued, and a size change from outside.
inline constexpr uint32_t kNullPaintMessage = 0x000F;
inline constexpr uint32_t kNullSizeMessage = 0x0005;

// Queues a message (mNative is left null) or the quit request, as the window system would.
void NullQueueMessage(TWindowHandle ParaWindow, uint32_t ParaMessage);
void NullQueueQuit();
// Runs when the loop waits for a message, in place of blocking; it should queue something.
void NullSetOnWait(std::function<void()> ParaOnWait);
// Runs when a taken message is dispatched.
void NullSetOnDispatch(std::function<void(const TMsg&)> ParaOnDispatch);

// What the window system knows of a window; a window that went keeps its last state with
// mExists false. Forms: the frame's outer corner (no frame here) and the client size.
struct TNullWindowState {
  bool mExists = false;
  bool mVisible = false; // itself and every window around it shown
  int32_t mLeft = 0;
  int32_t mTop = 0;
  int32_t mWidth = 0;
  int32_t mHeight = 0;
  std::string mCaption;
};
TNullWindowState NullWindowState(TWindowHandle ParaWindow);
// What the user or another program does to a window: a size change of a form, queued as a
// notice; an exposure, which the window's pending paint request covers; destroying the window
// with everything inside it, which the backend handles at once, as Win32 does.
void NullResizeFromOutside(TWindowHandle ParaForm, int32_t ParaWidth, int32_t ParaHeight);
void NullExposeFromOutside(TWindowHandle ParaWindow);
void NullDestroyFromOutside(TWindowHandle ParaWindow);

// The journal: "dispatch <message>", "wait", "box <text>", "fatal <text>", "create",
// "destroy", "quit requested".
const std::vector<std::string>& NullJournal();
void NullClearJournal();
// Adds an entry of the test's own, so its steps stand in the same order as the loop's doings.
void NullNote(const std::string& ParaEntry);
