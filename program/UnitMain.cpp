// The main window; see UnitMain.h. Every game operation is a call into the world registry.
// After ProgramDestroy the world globals are null, and the handlers that can still fire then
// (a late paint, a click) find no world and do nothing.
#include "program/UnitMain.h"

#include <string>

#include "platform/platform_time.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/Unit_TUniverseThreadLess.h"

// The stored layout disables hardware acceleration; only a test build of the Windows game
// turns it on, to draw under wine (which has no double-buffered software format).
#ifndef VANTREL_TEST_HARDWARE_ACCELERATION
#define VANTREL_TEST_HARDWARE_ACCELERATION false
#endif

TForm1* Form1 = nullptr;
TFrameClock FrameClock{PlatformQueryPerformanceCounter, PlatformQueryPerformanceFrequency};

TForm1::TForm1(TComponent* ParaOwner) : TForm(ParaOwner) {
  ApplicationEvents1 = new TApplicationEvents(this);
  OpenGLControl1 = new TOpenGLControl(this);

  SetCaption(kStoredCaption);
  SetClientWidth(792);
  SetClientHeight(673);
  SetPosition(poDesktopCenter);
  SetPixelsPerInch(96);
  SetOnCreate([this](TObject* Sender) { FormCreate(Sender); });

  OpenGLControl1->SetParent(this);
  OpenGLControl1->SetBounds(0, 0, 792, 673);
  OpenGLControl1->SetAlign(alClient);
  OpenGLControl1->SetOptionDoubleBufferEnabled(true);
  OpenGLControl1->SetOptionVerticalSyncEnabled(true);
  OpenGLControl1->SetOptionHardwareAccelerationEnabled(VANTREL_TEST_HARDWARE_ACCELERATION);
  OpenGLControl1->SetOnCreate([this](TObject* Sender) { OpenGLControl1Create(Sender); });
  OpenGLControl1->SetOnResizeViewport(
      [this](TObject* Sender) { OpenGLControl1ResizeViewport(Sender); });
  OpenGLControl1->SetOnDraw([this](TObject* Sender) { OpenGLControl1Draw(Sender); });
  OpenGLControl1->SetOnDestroy([this](TObject* Sender) { OpenGLControl1Destroy(Sender); });
  OpenGLControl1->SetOnMouseDown(
      [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
        OpenGLControl1MouseDown(Sender, Button, Shift, X, Y);
      });

  ApplicationEvents1->SetOnIdle(
      [this](TObject* Sender, bool& Done) { ApplicationEvents1Idle(Sender, Done); });
  ApplicationEvents1->SetOnMessage(
      [this](TMsg& Msg, bool& Handled) { ApplicationEvents1Message(Msg, Handled); });
}

bool TForm1::WorldExists() {
  return Universe != nullptr;
}

void TForm1::FormCreate(TObject* /*Sender*/) {
  FrameClock.mQueryFrequency(mTickFrequency);
  FrameClock.mQueryCounter(mTick1);
  ProgramCreate();
}

void TForm1::OpenGLControl1Create(TObject* /*Sender*/) {
  ProgramStartup();
}

void TForm1::OpenGLControl1ResizeViewport(TObject* /*Sender*/) {
  if (!WorldExists()) {
    return;
  }
  ProgramSetFieldSize(ClientWidth(), ClientHeight());
}

void TForm1::OpenGLControl1Draw(TObject* /*Sender*/) {
  if (!WorldExists()) {
    return;
  }
  ProgramDraw();
  CountFrame();
}

void TForm1::CountFrame() {
  mFrameNumber = WrapAdd(mFrameNumber, 1);
  FrameClock.mQueryCounter(mTick2);
  mTickInterval = mTick2 - mTick1;
  // Without a frequency the division would yield an infinity or a NaN; say so instead.
  if (mTickFrequency == 0) {
    throw EFloatError("Floating point division by zero");
  }
  mTime = static_cast<double>(mTickInterval) / static_cast<double>(mTickFrequency);
  if (mTime >= 1.0) {
    mFramesPerSecond = RoundHalfEven(static_cast<double>(mFrameNumber) / mTime);
    SetCaption(kRateCaption + std::to_string(mFramesPerSecond));
    mFrameNumber = 0;
    mTick1 = mTick2;
  }
}

void TForm1::OpenGLControl1MouseDown(TObject* /*Sender*/, TMouseButton Button,
                                     TShiftState /*Shift*/, int32_t X, int32_t Y) {
  if (!WorldExists()) {
    return;
  }
  switch (Button) {
  case mbLeft:
    ProgramQuarantine(X, Y);
    break;
  case mbRight:
    ProgramInfect(X, Y);
    break;
  case mbMiddle:
    break;
  }
}

void TForm1::OpenGLControl1Destroy(TObject* /*Sender*/) {
  ProgramDestroy();
}

void TForm1::ApplicationEvents1Idle(TObject* /*Sender*/, bool& Done) {
  Main();
  Done = false;
}

void TForm1::ApplicationEvents1Message(TMsg& /*Msg*/, bool& /*Handled*/) {
  Main();
}

void TForm1::Main() {
  if (WorldExists()) {
    ProgramSingleLoop();
  }
  OpenGLControl1->Repaint();
}
