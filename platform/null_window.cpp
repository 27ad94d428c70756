// The null backend of the toolkit (toolkit_backend.h, null_toolkit.h): no window system.
// Windows are numbered records that keep what a window system would (place, size, visibility,
// one pending paint request), the queue holds what tests put in, boxes return at once.
// Everything it is asked to do goes into the journal.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/null_toolkit.h"
#include "platform/toolkit_backend.h"

struct TNativeWindow {
  TWindowHandle mHandle = 0;
  TWinControl* mControl = nullptr;
  bool mShown = false; // a child from its creation, a form once ShowForm ran
  bool mNeedsPaint = false;
};

namespace {

struct TNullBackend {
  TWindowHandle mNextHandle = 1;
  // A queued message: its window and number (with the size, for a size notice), or the quit
  // request.
  struct TQueued {
    TWindowHandle mWindow;
    uint32_t mMessage;
    bool mQuit;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
  };
  std::deque<TQueued> mQueue;
  TQueued mTaken{0, 0, false};
  bool mQuitQueued = false;
  // Every window by handle, in creation order; the state outlives the window.
  std::map<TWindowHandle, TNullWindowState> mStates;
  std::map<TWindowHandle, TNativeWindow*> mLive;
  std::function<void()> mOnWait;
  std::function<void(const TMsg&)> mOnDispatch;
  std::vector<std::string> mJournal;
};

TNullBackend gNull;

void noteNull(std::string ParaEntry) {
  gNull.mJournal.push_back(std::move(ParaEntry));
}

TNativeWindow* liveNull(TWindowHandle ParaWindow) {
  auto found = gNull.mLive.find(ParaWindow);
  return found == gNull.mLive.end() ? nullptr : found->second;
}

// Shown itself and inside shown windows: only such a window is ever asked to paint.
bool visibleNull(const TWinControl& ParaControl) {
  for (const TWinControl* control = &ParaControl; control != nullptr; control = control->Parent()) {
    const TNativeWindow* native = TToolkitBackend::Native(*control);
    if (native == nullptr || !native->mShown) {
      return false;
    }
  }
  return true;
}

void invalidateTreeNull(TWinControl& ParaControl) {
  if (TNativeWindow* native = TToolkitBackend::Native(ParaControl)) {
    native->mNeedsPaint = true;
  }
  for (TWinControl* child : ParaControl.Controls()) {
    invalidateTreeNull(*child);
  }
}

void recordBoundsNull(const TWinControl& ParaControl) {
  TNullWindowState& state = gNull.mStates[TToolkitBackend::NativeHandle(ParaControl)];
  state.mLeft = ParaControl.Left();
  state.mTop = ParaControl.Top();
  state.mWidth = ParaControl.Width();
  state.mHeight = ParaControl.Height();
}

void paintNull(TWinControl& ParaControl) {
  TNativeWindow* native = TToolkitBackend::Native(ParaControl);
  native->mNeedsPaint = false;
  // Asked whether the background counts as erased, as every backend asks; there is none.
  CallGuarded([&] {
    TToolkitBackend::DeliverEraseBackground(ParaControl);
    TToolkitBackend::DeliverPaint(ParaControl, native->mHandle);
  });
}

void releaseTreeNull(TWinControl& ParaControl) {
  for (TWinControl* child : ParaControl.Controls()) {
    releaseTreeNull(*child);
  }
  if (TNativeWindow* native = TToolkitBackend::Native(ParaControl)) {
    gNull.mStates[native->mHandle].mExists = false;
    gNull.mLive.erase(native->mHandle);
    delete native;
    TToolkitBackend::Native(ParaControl) = nullptr;
  }
}

// A paint request of a window that can be seen, in creation order, as the message to take
// once nothing else is queued (Win32 makes WM_PAINT the same way).
bool takePaintRequestNull(TMsg& ParaMsg) {
  for (auto& [handle, native] : gNull.mLive) {
    if (native->mNeedsPaint && visibleNull(*native->mControl)) {
      gNull.mTaken = {handle, kNullPaintMessage, false};
      ParaMsg = TMsg{handle, kNullPaintMessage, nullptr};
      return true;
    }
  }
  return false;
}

} // namespace

void NullQueueMessage(TWindowHandle ParaWindow, uint32_t ParaMessage) {
  gNull.mQueue.push_back({ParaWindow, ParaMessage, false});
}

void NullQueueQuit() {
  gNull.mQueue.push_back({0, 0, true});
}

void NullSetOnWait(std::function<void()> ParaOnWait) {
  gNull.mOnWait = std::move(ParaOnWait);
}

void NullSetOnDispatch(std::function<void(const TMsg&)> ParaOnDispatch) {
  gNull.mOnDispatch = std::move(ParaOnDispatch);
}

TNullWindowState NullWindowState(TWindowHandle ParaWindow) {
  auto found = gNull.mStates.find(ParaWindow);
  if (found == gNull.mStates.end()) {
    return TNullWindowState{};
  }
  TNullWindowState state = found->second;
  const TNativeWindow* native = liveNull(ParaWindow);
  state.mVisible = native != nullptr && visibleNull(*native->mControl);
  return state;
}

void NullResizeFromOutside(TWindowHandle ParaForm, int32_t ParaWidth, int32_t ParaHeight) {
  gNull.mQueue.push_back({ParaForm, kNullSizeMessage, false, ParaWidth, ParaHeight});
}

void NullExposeFromOutside(TWindowHandle ParaWindow) {
  if (TNativeWindow* native = liveNull(ParaWindow)) {
    native->mNeedsPaint = true;
  }
}

void NullDestroyFromOutside(TWindowHandle ParaWindow) {
  TNativeWindow* native = liveNull(ParaWindow);
  if (native == nullptr) {
    return;
  }
  TWinControl& control = *native->mControl;
  TToolkitBackend::DeliverDestroyToTree(control);
  releaseTreeNull(control);
  noteNull("destroy");
  TToolkitBackend::DeliverDestroyedElsewhere(control);
}

const std::vector<std::string>& NullJournal() {
  return gNull.mJournal;
}

void NullClearJournal() {
  gNull.mJournal.clear();
}

void NullNote(const std::string& ParaEntry) {
  noteNull(ParaEntry);
}

void TToolkitBackend::Initialize() {
  // Nothing to connect to.
}

void TToolkitBackend::Finalize() {
  // Like a closed connection: what was still queued is gone. The hooks and the journal are
  // the test's, and so are the states of windows that went.
  gNull.mQueue.clear();
  gNull.mQuitQueued = false;
  for (auto& [handle, native] : gNull.mLive) {
    Native(*native->mControl) = nullptr;
    gNull.mStates[handle].mExists = false;
    delete native;
  }
  gNull.mLive.clear();
}

void TToolkitBackend::CreateNativeWindow(TWinControl& ParaControl) {
  TCreateParams params;
  CreateParams(ParaControl, params);
  auto* native = new TNativeWindow;
  native->mHandle = gNull.mNextHandle++;
  native->mControl = &ParaControl;
  native->mShown = ParaControl.Parent() != nullptr;
  native->mNeedsPaint = true;
  Native(ParaControl) = native;
  gNull.mLive[native->mHandle] = native;
  gNull.mStates[native->mHandle].mExists = true;
  recordBoundsNull(ParaControl);
  noteNull("create");
  CallGuarded([&] { DeliverCreate(ParaControl); });
  if (Native(ParaControl) == native && ParaControl.Parent() != nullptr) {
    CallGuarded([&] { DeliverSize(ParaControl); });
  }
}

void TToolkitBackend::DestroyNativeWindow(TWinControl& ParaControl) {
  DeliverDestroyToTree(ParaControl);
  releaseTreeNull(ParaControl);
  noteNull("destroy");
}

TWindowHandle TToolkitBackend::NativeHandle(const TWinControl& ParaControl) {
  return Native(ParaControl) != nullptr ? Native(ParaControl)->mHandle : 0;
}

TDeviceContext TToolkitBackend::DeviceContext(const TWinControl& ParaControl) {
  return NativeHandle(ParaControl);
}

void TToolkitBackend::UpdateBounds(TWinControl& ParaControl, bool ParaSizeChanged) {
  recordBoundsNull(ParaControl);
  if (ParaSizeChanged) {
    Native(ParaControl)->mNeedsPaint = true;
    if (ParaControl.Parent() != nullptr) {
      CallGuarded([&] { DeliverSize(ParaControl); });
    }
  }
}

void TToolkitBackend::Repaint(TWinControl& ParaControl) {
  paintNull(ParaControl);
}

void TToolkitBackend::UpdateCaption(TForm& ParaForm) {
  gNull.mStates[NativeHandle(ParaForm)].mCaption = ParaForm.Caption();
}

void TToolkitBackend::UpdateClientSize(TForm& ParaForm) {
  TNullWindowState& state = gNull.mStates[NativeHandle(ParaForm)];
  state.mWidth = ParaForm.ClientWidth();
  state.mHeight = ParaForm.ClientHeight();
  Native(ParaForm)->mNeedsPaint = true;
}

void TToolkitBackend::FrameExtents(TForm& /*ParaForm*/, int32_t& ParaHorizontal,
                                   int32_t& ParaVertical) {
  ParaHorizontal = 0;
  ParaVertical = 0;
}

void TToolkitBackend::ShowForm(TForm& ParaForm, int32_t ParaLeft, int32_t ParaTop, bool ParaPlace) {
  TNullWindowState& state = gNull.mStates[NativeHandle(ParaForm)];
  state.mCaption = ParaForm.Caption();
  if (ParaPlace) {
    state.mLeft = ParaLeft;
    state.mTop = ParaTop;
  }
  Native(ParaForm)->mShown = true;
  invalidateTreeNull(ParaForm);
}

TTakenMessage TToolkitBackend::TakeNextMessage(TMsg& ParaMsg) {
  if (gNull.mQueue.empty()) {
    return takePaintRequestNull(ParaMsg) ? tmMessage : tmNone;
  }
  gNull.mTaken = gNull.mQueue.front();
  gNull.mQueue.pop_front();
  if (gNull.mTaken.mQuit) {
    gNull.mQuitQueued = false;
    return tmQuit;
  }
  if (gNull.mTaken.mMessage == kNullSizeMessage) {
    // Size notices of the window already queued go as one, the last size winning.
    for (auto it = gNull.mQueue.begin(); it != gNull.mQueue.end();) {
      if (!it->mQuit && it->mMessage == kNullSizeMessage && it->mWindow == gNull.mTaken.mWindow) {
        gNull.mTaken = *it;
        it = gNull.mQueue.erase(it);
      } else {
        ++it;
      }
    }
  }
  ParaMsg = TMsg{gNull.mTaken.mWindow, gNull.mTaken.mMessage, nullptr};
  return tmMessage;
}

void TToolkitBackend::DispatchTakenMessage(TMsg& ParaMsg) {
  noteNull("dispatch " + std::to_string(ParaMsg.mMessage));
  if (TNativeWindow* native = liveNull(ParaMsg.mWindow)) {
    TWinControl& control = *native->mControl;
    if (ParaMsg.mMessage == kNullPaintMessage) {
      paintNull(control);
    } else if (auto* form = dynamic_cast<TForm*>(&control);
               form != nullptr && ParaMsg.mMessage == kNullSizeMessage) {
      TNullWindowState& state = gNull.mStates[native->mHandle];
      state.mWidth = gNull.mTaken.mWidth;
      state.mHeight = gNull.mTaken.mHeight;
      native->mNeedsPaint = true;
      CallGuarded([&] { DeliverClientResized(*form, state.mWidth, state.mHeight); });
    }
  }
  if (gNull.mOnDispatch) {
    CallGuarded([&] { gNull.mOnDispatch(ParaMsg); });
  }
}

void TToolkitBackend::WaitForMessage() {
  noteNull("wait");
  if (gNull.mOnWait) {
    gNull.mOnWait();
  }
}

void TToolkitBackend::PostQuitRequest(TApplication& /*ParaApplication*/) {
  noteNull("quit requested");
  if (!gNull.mQuitQueued) {
    gNull.mQuitQueued = true;
    NullQueueQuit();
  }
}

void TToolkitBackend::ShowMessageBox(const std::string& ParaText, TMessageBoxIcon /*ParaIcon*/) {
  noteNull("box " + ParaText);
}

void TToolkitBackend::ReportFatalError(const std::string& ParaText) {
  noteNull("fatal " + ParaText);
}

int32_t TToolkitBackend::ScreenPixelsPerInch() {
  return 96;
}

TDesktopRect TToolkitBackend::DesktopRect() {
  return TDesktopRect{0, 0, 1280, 1024};
}
