// The null backend of the toolkit (toolkit_backend.h, null_toolkit.h): no window system.
// Windows are numbered records, paints happen when asked for, the queue holds what tests put
// in, boxes return at once. Everything it is asked to do goes into the journal.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/null_toolkit.h"
#include "platform/toolkit_backend.h"

struct TNativeWindow {
  TWindowHandle mHandle = 0;
};

namespace {

struct TNullBackend {
  TWindowHandle mNextHandle = 1;
  // A queued message: its window and number, or the quit request.
  struct TQueued {
    TWindowHandle mWindow;
    uint32_t mMessage;
    bool mQuit;
  };
  std::deque<TQueued> mQueue;
  bool mQuitQueued = false;
  std::function<void()> mOnWait;
  std::function<void(const TMsg&)> mOnDispatch;
  std::vector<std::string> mJournal;
};

TNullBackend gNull;

void noteNull(std::string ParaEntry) {
  gNull.mJournal.push_back(std::move(ParaEntry));
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
  // the test's.
  gNull.mQueue.clear();
  gNull.mQuitQueued = false;
}

void TToolkitBackend::CreateNativeWindow(TWinControl& ParaControl) {
  TCreateParams params;
  CreateParams(ParaControl, params);
  auto* native = new TNativeWindow;
  native->mHandle = gNull.mNextHandle++;
  Native(ParaControl) = native;
  noteNull("create");
  CallGuarded([&] { DeliverCreate(ParaControl); });
  if (Native(ParaControl) == native) {
    CallGuarded([&] { DeliverSize(ParaControl); });
  }
}

void TToolkitBackend::DestroyNativeWindow(TWinControl& ParaControl) {
  DeliverDestroyToTree(ParaControl);
  std::function<void(TWinControl&)> release = [&](TWinControl& control) {
    for (TWinControl* child : control.Controls()) {
      release(*child);
    }
    delete Native(control);
    Native(control) = nullptr;
  };
  release(ParaControl);
  noteNull("destroy");
}

TWindowHandle TToolkitBackend::NativeHandle(const TWinControl& ParaControl) {
  return Native(ParaControl) != nullptr ? Native(ParaControl)->mHandle : 0;
}

TDeviceContext TToolkitBackend::DeviceContext(const TWinControl& ParaControl) {
  return NativeHandle(ParaControl);
}

void TToolkitBackend::UpdateBounds(TWinControl& ParaControl, bool ParaSizeChanged) {
  if (ParaSizeChanged) {
    CallGuarded([&] { DeliverSize(ParaControl); });
  }
}

void TToolkitBackend::Repaint(TWinControl& ParaControl) {
  // Asked whether the background counts as erased, as every backend asks; there is none.
  CallGuarded([&] {
    DeliverEraseBackground(ParaControl);
    DeliverPaint(ParaControl, DeviceContext(ParaControl));
  });
}

void TToolkitBackend::UpdateCaption(TForm& /*ParaForm*/) {}

void TToolkitBackend::UpdateClientSize(TForm& /*ParaForm*/) {}

void TToolkitBackend::FrameExtents(TForm& /*ParaForm*/, int32_t& ParaHorizontal,
                                   int32_t& ParaVertical) {
  ParaHorizontal = 0;
  ParaVertical = 0;
}

void TToolkitBackend::ShowForm(TForm& /*ParaForm*/, int32_t /*ParaLeft*/, int32_t /*ParaTop*/,
                               bool /*ParaPlace*/) {}

TTakenMessage TToolkitBackend::TakeNextMessage(TMsg& ParaMsg) {
  if (gNull.mQueue.empty()) {
    return tmNone;
  }
  const TNullBackend::TQueued next = gNull.mQueue.front();
  gNull.mQueue.pop_front();
  if (next.mQuit) {
    gNull.mQuitQueued = false;
    return tmQuit;
  }
  ParaMsg = TMsg{next.mWindow, next.mMessage, nullptr};
  return tmMessage;
}

void TToolkitBackend::DispatchTakenMessage(TMsg& ParaMsg) {
  noteNull("dispatch " + std::to_string(ParaMsg.mMessage));
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
