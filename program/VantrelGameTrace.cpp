// VantrelGame-trace: the real game for the end-to-end tests (the same window, loop, throttle,
// paint cycle and start-up order) with two differences: RandSeed := --seed replaces the clock's
// seed, and right after the paint of the --cycles-th step it writes the world's state to --dump
// (the headless driver's format) and closes its main window, so it ends through the normal
// shutdown. Bad arguments are an error of the entry sequence: the fatal-error report, exit 1.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "program/UnitMain.h"
#include "program/program_entry.h"
#include "program/trace_options.h"
#include "runtime/random.h"
#include "simulation/world_state.h"

namespace {

// What the command line asked for; the form is built by the toolkit, with its owner only.
TTraceOptions gTraceOptions;

class TTraceForm1 : public TForm1 {
public:
  explicit TTraceForm1(TComponent* ParaOwner) : TForm1(ParaOwner), mOptions(gTraceOptions) {
    // Every turn of the loop runs one step; the trace looks at the world right after it.
    ApplicationEvents1->SetOnIdle([this](TObject* Sender, bool& Done) {
      ApplicationEvents1Idle(Sender, Done);
      AfterStep();
    });
    ApplicationEvents1->SetOnMessage([this](TMsg& Msg, bool& Handled) {
      ApplicationEvents1Message(Msg, Handled);
      AfterStep();
    });
  }

private:
  void AfterStep() {
    if (++mSteps != mOptions.mCycles) {
      return;
    }
    const std::string state = WorldStateText(mSteps);
    // Binary: the bytes must equal the headless driver's on every platform.
    std::FILE* file = std::fopen(mOptions.mDump.c_str(), "wb");
    if (file == nullptr) {
      throw std::runtime_error("Cannot write the trace dump " + mOptions.mDump + ".");
    }
    const bool written = std::fwrite(state.data(), 1, state.size(), file) == state.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
      throw std::runtime_error("Cannot write the trace dump " + mOptions.mDump + ".");
    }
    Close();
  }

  TTraceOptions mOptions;
  int64_t mSteps = 0;
};

} // namespace

int main(int argc, char** argv) {
  return RunProgram(
      [&] {
        gTraceOptions = ParseTraceOptions(std::vector<std::string>(argv + 1, argv + argc));
        RandSeed = gTraceOptions.mSeed;
      },
      [&] {
        TTraceForm1* form = nullptr;
        Application->CreateForm(form);
        Form1 = form;
      });
}
