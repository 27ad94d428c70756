// The event loop, written once in toolkit.cpp, run on the null backend whose queue the test
// fills: one step per turn, the message hook before the dispatch, nothing on the quit turn,
// no dispatch after a failed hook, and a wait only when the idle hook left Done true.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/null_toolkit.h"
#include "platform/platform_toolkit.h"

namespace {

// A form whose hooks fail, handle messages or ask to close as a test sets them up; the
// fixture writes each step into the backend's journal, so steps, dispatches, waits and boxes
// stand in one sequence.
class TLoopForm : public TForm {
public:
  explicit TLoopForm(TComponent* ParaOwner) : TForm(ParaOwner) {
    mEvents = new TApplicationEvents(this);
    mEvents->SetOnMessage([this](TMsg& Msg, bool& Handled) {
      if (Msg.mMessage == mFailingMessage) {
        throw std::runtime_error("hook failed");
      }
      Handled = Msg.mMessage == mHandledMessage;
    });
    mEvents->SetOnIdle([this](TObject*, bool& Done) {
      if (mIdleFails) {
        mIdleFails = false;
        throw std::runtime_error("idle failed");
      }
      Done = mIdleLeavesDone ? Done : false;
      if (mIdleTurnsBeforeClose >= 0 && mIdleTurns++ == mIdleTurnsBeforeClose) {
        Close();
      }
    });
  }

  TApplicationEvents* mEvents;
  uint32_t mFailingMessage = 0;
  uint32_t mHandledMessage = 0;
  bool mIdleFails = false;
  bool mIdleLeavesDone = false;
  int mIdleTurns = 0;
  int mIdleTurnsBeforeClose = -1;
};

class EventLoopTest : public ::testing::Test {
protected:
  void SetUp() override {
    NullClearJournal();
    NullSetOnWait({});
    NullSetOnDispatch({});
    Application = new TApplication;
    Application->Initialize();
    Application->CreateForm(mForm);
    // The journal from here on: the loop's own doings and the steps, in one order.
    NullSetOnDispatch({});
    NullClearJournal();
  }

  void TearDown() override {
    delete Application;
    Application = nullptr;
    NullSetOnWait({});
  }

  // Runs the loop; the backend's doings and the steps, in order.
  std::vector<std::string> Run() {
    mForm->mEvents->SetOnMessage([hook = mForm->mEvents->OnMessage()](TMsg& Msg, bool& Handled) {
      NullNote("step message " + std::to_string(Msg.mMessage));
      hook(Msg, Handled);
    });
    mForm->mEvents->SetOnIdle([hook = mForm->mEvents->OnIdle()](TObject* Sender, bool& Done) {
      NullNote("step idle");
      hook(Sender, Done);
    });
    Application->Run();
    return NullJournal();
  }

  TLoopForm* mForm = nullptr;
};

TEST_F(EventLoopTest, EveryTurnRunsOneStepAndAMessageIsDispatchedAfterItsStep) {
  const TWindowHandle window = mForm->Handle();
  NullQueueMessage(window, 10);
  NullQueueMessage(window, 11);
  mForm->mIdleTurnsBeforeClose = 1; // the second idle turn asks to close
  // Showing the form asked for its paint, which is taken once nothing else is queued.
  EXPECT_EQ(Run(), (std::vector<std::string>{"step message 10", "dispatch 10", "step message 11",
                                             "dispatch 11", "step message 15", "dispatch 15",
                                             "step idle", "step idle", "quit requested"}));
}

TEST_F(EventLoopTest, TheQuitTurnRunsNoStepAndMessagesBeforeTheQuitStillDo) {
  const TWindowHandle window = mForm->Handle();
  NullQueueMessage(window, 10);
  NullQueueQuit();
  NullQueueMessage(window, 11); // after the quit request: never taken
  EXPECT_EQ(Run(), (std::vector<std::string>{"step message 10", "dispatch 10"}));
}

TEST_F(EventLoopTest, AMessageWhoseHookFailedOrHandledItIsNotDispatched) {
  const TWindowHandle window = mForm->Handle();
  mForm->mFailingMessage = 10;
  mForm->mHandledMessage = 11;
  NullQueueMessage(window, 10);
  NullQueueMessage(window, 11);
  NullQueueMessage(window, 12);
  NullQueueQuit();
  EXPECT_EQ(Run(), (std::vector<std::string>{"step message 10", "box hook failed",
                                             "step message 11", "step message 12", "dispatch 12"}));
}

TEST_F(EventLoopTest, TheLoopWaitsOnlyWhenTheIdleStepLeftDoneTrue) {
  mForm->mIdleLeavesDone = true;
  int waits = 0;
  NullSetOnWait([&] {
    if (++waits == 2) {
      NullQueueQuit();
    }
  });
  EXPECT_EQ(Run(), (std::vector<std::string>{"step message 15", "dispatch 15", "step idle", "wait",
                                             "step idle", "wait"}));
}

TEST_F(EventLoopTest, AnErrorOnTheIdlePathLeavesTheLoopWaitingForTheNextMessage) {
  mForm->mIdleFails = true;
  mForm->mIdleTurnsBeforeClose = 0; // the idle turn after the failed one asks to close
  const TWindowHandle window = mForm->Handle();
  NullSetOnWait([&] { NullQueueMessage(window, 20); });
  EXPECT_EQ(Run(), (std::vector<std::string>{"step message 15", "dispatch 15", "step idle",
                                             "box idle failed", "wait", "step message 20",
                                             "dispatch 20", "step idle", "quit requested"}));
}

} // namespace
