// The toolkit written once: ownership, layout (alignment, density scaling, desktop centring),
// the event loop with the application's hook fan-out, and the error boundary. Whatever talks
// to the window system goes through the backend's contract (toolkit_backend.h).
#include "platform/platform_toolkit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/toolkit_backend.h"
#include "runtime/numbers.h"

TApplication* Application = nullptr;

// ---- TComponent -------------------------------------------------------------------------

TComponent::TComponent(TComponent* ParaOwner) : mOwner(ParaOwner) {
  if (mOwner != nullptr) {
    mOwner->mComponents.push_back(this);
  }
}

TComponent::~TComponent() {
  while (!mComponents.empty()) {
    TComponent* last = mComponents.back();
    delete last; // removes itself from mComponents
  }
  if (mOwner != nullptr) {
    auto& siblings = mOwner->mComponents;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

// ---- TWinControl ------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* ParaOwner) : TComponent(ParaOwner) {}

TWinControl::~TWinControl() {
  DestroyHandle();
  SetParent(nullptr);
  for (TWinControl* child : mControls) {
    child->mParent = nullptr;
  }
}

void TWinControl::SetParent(TWinControl* ParaParent) {
  if (mParent == ParaParent) {
    return;
  }
  if (mParent != nullptr) {
    auto& siblings = mParent->mControls;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  mParent = ParaParent;
  if (mParent != nullptr) {
    mParent->mControls.push_back(this);
    mParent->AlignControls();
  }
}

void TWinControl::SetBounds(int32_t ParaLeft, int32_t ParaTop, int32_t ParaWidth,
                            int32_t ParaHeight) {
  const bool moved = ParaLeft != mLeft || ParaTop != mTop;
  const bool sized = ParaWidth != mWidth || ParaHeight != mHeight;
  if (!moved && !sized) {
    return;
  }
  mLeft = ParaLeft;
  mTop = ParaTop;
  mWidth = ParaWidth;
  mHeight = ParaHeight;
  if (HandleAllocated()) {
    TToolkitBackend::UpdateBounds(*this, sized);
  }
  if (sized) {
    AlignControls();
  }
}

void TWinControl::SetAlign(TAlign ParaAlign) {
  mAlign = ParaAlign;
  if (mParent != nullptr) {
    mParent->AlignControls();
  }
}

void TWinControl::AlignControls() {
  for (TWinControl* child : mControls) {
    if (child->mAlign == alClient) {
      child->SetBounds(0, 0, ClientWidth(), ClientHeight());
    }
  }
}

void TWinControl::HandleNeeded() {
  if (HandleAllocated()) {
    return;
  }
  if (mParent != nullptr) {
    mParent->HandleNeeded();
  }
  TToolkitBackend::CreateNativeWindow(*this);
}

TWindowHandle TWinControl::Handle() {
  HandleNeeded();
  return HandleAllocated() ? TToolkitBackend::NativeHandle(*this) : 0;
}

TDeviceContext TWinControl::GetDC() const {
  return HandleAllocated() ? TToolkitBackend::DeviceContext(*this) : 0;
}

void TWinControl::Repaint() {
  if (HandleAllocated()) {
    TToolkitBackend::Repaint(*this);
  }
}

void TWinControl::DestroyHandle() {
  if (HandleAllocated()) {
    TToolkitBackend::DestroyNativeWindow(*this);
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  if (mParent != nullptr) {
    Params.mStyle = wsChild | wsClipSiblings;
    Params.mWindowClassStyle = csVRedraw | csHRedraw | csDblClks;
  }
}

void TWinControl::PaintWindow(TDeviceContext /*ParaDC*/) {}

void TWinControl::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  if (mOnMouseDown) {
    mOnMouseDown(this, Button, Shift, X, Y);
  }
}

namespace {

// A stored size scaled to another density, to the nearest pixel with ties to even.
int32_t ScaledBy(int32_t ParaValue, int32_t ParaMultiplier, int32_t ParaDivider) {
  return RoundHalfEven(static_cast<double>(ParaValue) * ParaMultiplier / ParaDivider);
}

} // namespace

void TWinControl::ScaleBy(int32_t ParaMultiplier, int32_t ParaDivider) {
  SetBounds(ScaledBy(mLeft, ParaMultiplier, ParaDivider),
            ScaledBy(mTop, ParaMultiplier, ParaDivider),
            ScaledBy(mWidth, ParaMultiplier, ParaDivider),
            ScaledBy(mHeight, ParaMultiplier, ParaDivider));
  for (TWinControl* child : mControls) {
    child->ScaleBy(ParaMultiplier, ParaDivider);
  }
}

// ---- TCustomControl ---------------------------------------------------------------------

void TCustomControl::PaintWindow(TDeviceContext ParaDC) {
  // The canvas carries the device context only while painting, whatever Paint does.
  struct TCanvasScope {
    TCanvas& mCanvas;
    ~TCanvasScope() { mCanvas.SetHandle(0); }
  } scope{mCanvas};
  mCanvas.SetHandle(ParaDC);
  Paint();
}

// ---- TForm ------------------------------------------------------------------------------

TForm::TForm(TComponent* ParaOwner) : TWinControl(ParaOwner) {}

TForm::~TForm() {
  // Destroy the windows while every child is still whole, so their WMDestroy runs in full.
  DestroyHandle();
}

void TForm::SetCaption(const std::string& ParaCaption) {
  mCaption = ParaCaption;
  if (HandleAllocated()) {
    TToolkitBackend::UpdateCaption(*this);
  }
}

void TForm::SetClientWidth(int32_t ParaValue) {
  mWidth = ParaValue;
  ClientSizeChanged();
}

void TForm::SetClientHeight(int32_t ParaValue) {
  mHeight = ParaValue;
  ClientSizeChanged();
}

void TForm::ClientSizeChanged() {
  if (HandleAllocated()) {
    TToolkitBackend::UpdateClientSize(*this);
  }
  AlignControls();
}

void TForm::ClientResized(int32_t ParaWidth, int32_t ParaHeight) {
  if (ParaWidth == mWidth && ParaHeight == mHeight) {
    return;
  }
  mWidth = ParaWidth;
  mHeight = ParaHeight;
  AlignControls();
}

void TForm::ScaleBy(int32_t ParaMultiplier, int32_t ParaDivider) {
  // The client size only: the form keeps its place on the desktop.
  mWidth = ScaledBy(mWidth, ParaMultiplier, ParaDivider);
  mHeight = ScaledBy(mHeight, ParaMultiplier, ParaDivider);
  for (TWinControl* child : Controls()) {
    child->ScaleBy(ParaMultiplier, ParaDivider);
  }
  AlignControls();
}

void TForm::FinishLoading() {
  const int32_t screen = ScreenPixelsPerInch();
  if (screen != mPixelsPerInch && mPixelsPerInch > 0) {
    ScaleBy(screen, mPixelsPerInch);
    mPixelsPerInch = screen;
  }
  AlignControls();
  for (TComponent* component : Components()) {
    component->Loaded();
  }
  Loaded();
  if (mOnCreate) {
    mOnCreate(this);
  }
}

void TForm::Show() {
  HandleNeeded();
  // Child windows first: a control sets itself up completely before the form is visible.
  std::function<void(TWinControl*)> createChildren = [&](TWinControl* control) {
    for (TWinControl* child : control->Controls()) {
      child->HandleNeeded();
      createChildren(child);
    }
  };
  createChildren(this);
  int32_t left = Left();
  int32_t top = Top();
  const bool place = !mShownOnce && mPosition == poDesktopCenter;
  if (place) {
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    TToolkitBackend::FrameExtents(*this, frameWidth, frameHeight);
    DesktopCenter(DesktopRect(), mWidth + frameWidth, mHeight + frameHeight, left, top);
    mLeft = left;
    mTop = top;
  }
  mShownOnce = true;
  TToolkitBackend::ShowForm(*this, left, top, place);
  mVisible = true;
}

void TForm::Close() {
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
  }
}

// ---- TApplication -----------------------------------------------------------------------

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  // The most recently created first; each form's windows go before the form itself.
  while (!Components().empty()) {
    TComponent* last = Components().back();
    if (auto* control = dynamic_cast<TWinControl*>(last)) {
      control->DestroyHandle();
    }
    delete last;
  }
  TToolkitBackend::Finalize();
}

void TApplication::Initialize() {
  TToolkitBackend::Initialize();
}

void TApplication::Run() {
  if (mMainForm != nullptr) {
    mMainForm->Show();
  }
  while (RunTurn()) {
  }
}

bool TApplication::RunTurn() {
  TMsg msg;
  switch (TToolkitBackend::TakeNextMessage(msg)) {
  case tmQuit:
    return false;
  case tmMessage: {
    bool handled = false;
    // An error in a hook ends the turn: the message it was taken for is not dispatched.
    if (CallGuarded([&] { DoMessage(msg, handled); }) && !handled) {
      TToolkitBackend::DispatchTakenMessage(msg);
    }
    return true;
  }
  case tmNone:
    break;
  }
  bool done = true;
  // An error in a hook leaves Done as it was, true: then the loop waits for a message.
  CallGuarded([&] { DoIdle(done); });
  if (done) {
    TToolkitBackend::WaitForMessage();
  }
  return true;
}

void TApplication::Terminate() {
  TToolkitBackend::PostQuitRequest(*this);
}

void TApplication::AddForm(TForm* ParaForm) {
  ParaForm->FinishLoading();
  ParaForm->HandleNeeded();
  if (mMainForm == nullptr) {
    mMainForm = ParaForm;
  }
}

void TApplication::ShowException(const std::exception_ptr& ParaError) {
  std::string text;
  try {
    std::rethrow_exception(ParaError);
  } catch (const std::exception& error) {
    text = error.what();
  } catch (...) {
    text = "Unknown error.";
  }
  ShowMessageBox(text, mbiStop);
}

void TApplication::DoMessage(TMsg& ParaMsg, bool& ParaHandled) {
  for (TApplicationEvents* events : std::vector<TApplicationEvents*>(mEvents)) {
    if (events->OnMessage()) {
      events->OnMessage()(ParaMsg, ParaHandled);
    }
  }
}

void TApplication::DoIdle(bool& ParaDone) {
  for (TApplicationEvents* events : std::vector<TApplicationEvents*>(mEvents)) {
    if (events->OnIdle()) {
      events->OnIdle()(events, ParaDone);
    }
  }
}

void TApplication::RegisterEvents(TApplicationEvents* ParaEvents) {
  mEvents.push_back(ParaEvents);
}

void TApplication::UnregisterEvents(TApplicationEvents* ParaEvents) {
  mEvents.erase(std::remove(mEvents.begin(), mEvents.end(), ParaEvents), mEvents.end());
}

// ---- TApplicationEvents -----------------------------------------------------------------

TApplicationEvents::TApplicationEvents(TComponent* ParaOwner) : TComponent(ParaOwner) {
  if (Application != nullptr) {
    Application->RegisterEvents(this);
  }
}

TApplicationEvents::~TApplicationEvents() {
  if (Application != nullptr) {
    Application->UnregisterEvents(this);
  }
}

// ---- For the backends -------------------------------------------------------------------

void TToolkitBackend::DeliverDestroyToTree(TWinControl& ParaControl) {
  if (Native(ParaControl) != nullptr) {
    CallGuarded([&] { DeliverDestroy(ParaControl); });
  }
  for (TWinControl* child : ParaControl.Controls()) {
    DeliverDestroyToTree(*child);
  }
}

void TToolkitBackend::DeliverDestroyedElsewhere(TWinControl& ParaControl) {
  if (auto* form = dynamic_cast<TForm*>(&ParaControl);
      form != nullptr && form->Parent() == nullptr) {
    CallGuarded([&] { form->Close(); });
  }
}

// ---- Services ---------------------------------------------------------------------------

bool CallGuarded(const std::function<void()>& ParaBody) {
  try {
    ParaBody();
    return true;
  } catch (...) {
    if (Application != nullptr) {
      try {
        Application->ShowException(std::current_exception());
      } catch (...) {
        // NOTE: a failing error box must not take the process down with it.
        std::fputs("error: the error box itself failed\n", stderr);
      }
    } else {
      std::fputs("error: an error escaped a window handler before the application existed\n",
                 stderr);
    }
  }
  return false;
}

void ShowMessageBox(const std::string& ParaText, TMessageBoxIcon ParaIcon) {
  TToolkitBackend::ShowMessageBox(ParaText, ParaIcon);
}

void ReportFatalError(const std::string& ParaText) {
  TToolkitBackend::ReportFatalError(ParaText);
}

int32_t ScreenPixelsPerInch() {
  return TToolkitBackend::ScreenPixelsPerInch();
}

TDesktopRect DesktopRect() {
  return TToolkitBackend::DesktopRect();
}

void DesktopCenter(const TDesktopRect& ParaDesktop, int32_t ParaWindowWidth,
                   int32_t ParaWindowHeight, int32_t& ParaLeft, int32_t& ParaTop) {
  ParaLeft = ParaDesktop.mLeft + ParaDesktop.mWidth / 2 - ParaWindowWidth / 2;
  ParaTop = ParaDesktop.mTop + ParaDesktop.mHeight / 2 - ParaWindowHeight / 2;
  ParaLeft = std::max(ParaLeft, ParaDesktop.mLeft);
  ParaTop = std::max(ParaTop, ParaDesktop.mTop);
}
