// The main window TForm1: its stored layout, the handlers that tie the view and the loop to
// the world registry, the one-step Main, and the frames-per-second caption.
// The world itself lives in simulation/; the window toolkit in platform/.
#pragma once

#include <cstdint>

#include "opengl/unit_TOpenGLControl_version_008.h"
#include "platform/platform_toolkit.h"

// The counter the frame rate is measured with: the platform's high-resolution counter,
// replaceable so tests can drive the frame counting with a clock of their own.
struct TFrameClock {
  bool (*mQueryCounter)(int64_t& ParaCounter);
  bool (*mQueryFrequency)(int64_t& ParaFrequency);
};
extern TFrameClock FrameClock;

class TForm1 : public TForm {
public:
  // Builds the form from its stored layout.
  explicit TForm1(TComponent* ParaOwner);

  TApplicationEvents* ApplicationEvents1 = nullptr;
  TOpenGLControl* OpenGLControl1 = nullptr;
  int32_t mFrameNumber = 0;
  int32_t mFramesPerSecond = 0;
  int64_t mTickFrequency = 0;
  int64_t mTick1 = 0;
  int64_t mTick2 = 0;
  int64_t mTickInterval = 0;
  double mTime = 0.0;

  void FormCreate(TObject* Sender);
  void OpenGLControl1Create(TObject* Sender);
  void OpenGLControl1ResizeViewport(TObject* Sender);
  void OpenGLControl1Draw(TObject* Sender);
  void OpenGLControl1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X,
                               int32_t Y);
  void OpenGLControl1Destroy(TObject* Sender);
  void ApplicationEvents1Idle(TObject* Sender, bool& Done);
  void ApplicationEvents1Message(TMsg& Msg, bool& Handled);

  // Whether the world exists: the view's and the loop's handlers call into it only then.
  static bool WorldExists();
  // One step of the game: one paced simulation cycle, then a synchronous repaint.
  void Main();
  // The frame counting at the end of every draw: closes a measuring interval of at least one
  // second by writing the rate into the caption.
  void CountFrame();
};

extern TForm1* Form1;

// The caption until the first rate is measured, and the prefix of the rate caption.
inline constexpr const char* kStoredCaption = "Vantrel Game (by Hollisk) version 0.12";
inline constexpr const char* kRateCaption =
    "Vantrel Game (by Hollisk) version 0.12 (hardware acceleration disabled) FPS: ";
