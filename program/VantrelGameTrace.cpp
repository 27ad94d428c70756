// VantrelGame-trace: the real game for the end-to-end tests (the same window, loop, throttle,
// paint cycle and start-up order) with three differences: RandSeed := --seed replaces the
// clock's seed; with --events it logs every field size, paint and mouse press that reaches the
// world between cycles; and right after the paint of the --cycles-th step it writes the world's
// state to --dump (the headless driver's format) and closes its main window, so it ends through
// the normal shutdown. Bad arguments or unwritable files are an error of the entry sequence (the
// fatal-error report, exit 1), and so is a failed write or a window closed before the last step.
#include <memory>
#include <string>
#include <vector>

#include "program/UnitMain.h"
#include "program/program_entry.h"
#include "program/trace_options.h"
#include "program/trace_recorder.h"
#include "runtime/random.h"

namespace {

// The run's record; the form is built by the toolkit, with its owner only.
TTraceRecorder* gRecorder = nullptr;

// The game's form with each step, and each world operation of the view's events, shown to the
// recorder first; the game's own handlers then run unchanged.
class TTraceForm1 : public TForm1 {
public:
  explicit TTraceForm1(TComponent* ParaOwner) : TForm1(ParaOwner), mRecorder(*gRecorder) {
    ApplicationEvents1->SetOnIdle([this](TObject* Sender, bool& Done) {
      Step([&] { ApplicationEvents1Idle(Sender, Done); });
    });
    ApplicationEvents1->SetOnMessage([this](TMsg& Msg, bool& Handled) {
      Step([&] { ApplicationEvents1Message(Msg, Handled); });
    });
    // Logged under the conditions on which the handlers call the world, before they do.
    OpenGLControl1->SetOnResizeViewport([this](TObject* Sender) {
      if (WorldExists()) {
        mRecorder.FieldSize(ClientWidth(), ClientHeight());
      }
      OpenGLControl1ResizeViewport(Sender);
    });
    OpenGLControl1->SetOnDraw([this](TObject* Sender) {
      if (WorldExists()) {
        mRecorder.Draw();
      }
      OpenGLControl1Draw(Sender);
    });
    OpenGLControl1->SetOnMouseDown(
        [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
          if (WorldExists()) {
            mRecorder.Press(Button, X, Y);
          }
          OpenGLControl1MouseDown(Sender, Button, Shift, X, Y);
        });
  }

private:
  // One step of the loop (Main: its cycle, then its paint). The step's end is recorded even
  // when the step raised (the loop then shows the error box), so the run still ends after
  // --cycles steps.
  template <typename TMain> void Step(const TMain& ParaMain) {
    mRecorder.BeginStep();
    try {
      ParaMain();
    } catch (...) {
      EndStep();
      throw;
    }
    EndStep();
  }

  void EndStep() {
    if (mRecorder.EndStep()) {
      Close();
    }
  }

  TTraceRecorder& mRecorder;
};

} // namespace

int main(int argc, char** argv) {
  std::unique_ptr<TTraceRecorder> recorder;
  const int code = RunProgram(
      [&] {
        const TTraceOptions options =
            ParseTraceOptions(std::vector<std::string>(argv + 1, argv + argc));
        RandSeed = options.mSeed;
        // Before the window opens: an output that cannot be written stops the run here.
        recorder = std::make_unique<TTraceRecorder>(options);
      },
      [&] {
        gRecorder = recorder.get();
        TTraceForm1* form = nullptr;
        Application->CreateForm(form);
        Form1 = form;
      });
  if (code != 0) {
    return code;
  }
  // After the normal shutdown, so a failure ends the program like any error of the sequence.
  const std::string failure = recorder->Failure();
  if (!failure.empty()) {
    ReportFatalError(failure);
    return 1;
  }
  return 0;
}
