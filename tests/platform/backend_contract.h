// The backend contract suite: every promise of platform/toolkit_backend.h as a case, written
// once against the toolkit's public interface and run on each backend (null, Xlib, Win32).
// What a case has to see or do from outside the program (the window system's view of a
// window, a user resizing or answering a box, another program's messages) goes through the
// backend's TContractWindowSystem. Plain C++ with no test framework, so the Windows build,
// which has none, runs the same cases; each case prints one "case NAME ok|FAIL ..." line.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform_toolkit.h"

class TContractWindowSystem {
public:
  virtual ~TContractWindowSystem() = default;

  // Returns once the window system has handled every request the program made so far, and
  // what that caused is queued for the program.
  virtual void Settle() = 0;

  // What the window system says about a window. A form's place is its frame's outer corner
  // on the desktop, a control's its place in the parent's client area; the size is the
  // client area's.
  struct TWindowState {
    bool mExists = false;
    bool mVisible = false;
    int32_t mLeft = 0;
    int32_t mTop = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    std::string mCaption;
  };
  virtual TWindowState State(TWindowHandle ParaWindow) = 0;

  // The user or another program at work; each returns once the program's queue holds the
  // consequences.
  virtual void ResizeFromOutside(TWindowHandle ParaForm, int32_t ParaWidth, int32_t ParaHeight) = 0;
  virtual void ExposeFromOutside(TWindowHandle ParaWindow, int ParaTimes) = 0;
  virtual void PostForeignMessages(TWindowHandle ParaWindow, int ParaCount) = 0;
  virtual bool IsForeignMessage(const TMsg& ParaMsg) = 0;
  virtual void DestroyFromOutside(TWindowHandle ParaForm) = 0;

  // The user answers the next message box with OK once it is up: with ParaExpose, only after
  // that window was exposed and painted again (ParaPaints grew) while the box was open.
  virtual void AnswerNextBox(TWindowHandle ParaExpose, const std::atomic<int>* ParaPaints) = 0;
  struct TBoxSeen {
    bool mSeen = false;
    std::string mText;
    std::string mTitle;
    bool mPaintedWhileOpen = false;
  };
  // What the user saw of the box; called once ShowMessageBox has returned.
  virtual TBoxSeen BoxAnswered() = 0;
  // Whether boxes are windows of their own, with a title and a loop of their own (not so on
  // the null backend, whose boxes return at once).
  virtual bool BoxesAreWindows() const = 0;
};

// A window system whose message boxes are windows of their own (Xlib, Win32): a thread of the
// test plays the user while the program's thread sits in the box's loop. How long it looks,
// what it does in which order and what it reports are written once here; a backend says how to
// find, read, expose and answer, each called on that thread.
class TWindowedBoxesWindowSystem : public TContractWindowSystem {
public:
  ~TWindowedBoxesWindowSystem() override { JoinAnswerer(); }

  void AnswerNextBox(TWindowHandle ParaExpose, const std::atomic<int>* ParaPaints) final;
  TBoxSeen BoxAnswered() final;
  bool BoxesAreWindows() const final { return true; }

protected:
  // The box that is up, 0 while there is none.
  virtual uintptr_t FindOpenBox() = 0;
  virtual void ReadBox(uintptr_t ParaBox, std::string& ParaText, std::string& ParaTitle) = 0;
  // Another window is exposed (its paint request is made) while the box is open.
  virtual void ExposeWhileBoxOpen(TWindowHandle ParaWindow) = 0;
  virtual void AnswerOk(uintptr_t ParaBox) = 0;
  // A backend whose hooks use what it owns joins before that goes.
  void JoinAnswerer();

private:
  void Answer(TWindowHandle ParaExpose, const std::atomic<int>* ParaPaints);

  std::thread mAnswerer;
  TBoxSeen mBox;
};

// The names of the cases, in the order they run.
std::vector<std::string> BackendContractCases();

// Runs every case on the backend linked in, printing a line per case and a summary line
// "contract BACKEND: N cases, M failed"; answers M.
int RunBackendContract(TContractWindowSystem& ParaSystem, const char* ParaBackend);
