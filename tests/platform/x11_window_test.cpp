// The Xlib backend of the toolkit on a real X server (an Xvfb of its own, no window manager):
// what the event loop does with bursts of size notices, where it takes the quit request, and
// that showing a form paints nothing before the loop's first turn, and the X error handler's
// two ways (trapped errors, unexpected ones). A second connection plays the user and the
// window manager.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// After gtest: Xlib #defines names (None, Bool) that gtest's templates use.
#include "platform/platform_last_error.h"
#include "platform/x11_toolkit.h"

namespace {

class TCountingControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int mPaints = 0;

protected:
  bool WMEraseBkgnd() override { return true; }
  void Paint() override { ++mPaints; }
};

// A form with a client-aligned control; every turn of the loop is recorded.
class TLoopForm : public TForm {
public:
  explicit TLoopForm(TComponent* ParaOwner) : TForm(ParaOwner) {
    mControl = new TCountingControl(this);
    mEvents = new TApplicationEvents(this);
    SetCaption("X11 backend test");
    SetClientWidth(400);
    SetClientHeight(300);
    mControl->SetParent(this);
    mControl->SetBounds(0, 0, 400, 300);
    mControl->SetAlign(alClient);
    mEvents->SetOnMessage([this](TMsg& Msg, bool&) {
      mTurns.push_back({true, Msg.mMessage, ClientWidth(), mControl->mPaints});
      mOnTurn();
    });
    mEvents->SetOnIdle([this](TObject*, bool& Done) {
      mTurns.push_back({false, 0, ClientWidth(), mControl->mPaints});
      Done = false;
      mOnTurn();
    });
  }

  struct TTurn {
    bool mMessage;
    uint32_t mType;
    int32_t mClientWidth; // as the hook saw it, before the turn's message was dispatched
    int mPaints;
  };

  TCountingControl* mControl;
  TApplicationEvents* mEvents;
  std::vector<TTurn> mTurns;
  std::function<void()> mOnTurn = [] {};
};

class X11WindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    mOther = XOpenDisplay(nullptr);
    ASSERT_NE(mOther, nullptr) << "needs an X display";
    Application = new TApplication;
    Application->Initialize();
    Application->CreateForm(mForm);
  }

  void TearDown() override {
    delete Application;
    Application = nullptr;
    if (mOther != nullptr) {
      XCloseDisplay(mOther);
    }
  }

  Window FormWindow() { return static_cast<Window>(mForm->Handle()); }

  // An idle turn with nothing on its way either: the start-up's notices are all worked off.
  bool Settled() {
    if (mForm->mTurns.size() < 5 || mForm->mTurns.back().mMessage) {
      return false;
    }
    XSync(DisplayX11(), False);
    return XPending(DisplayX11()) == 0;
  }

  Display* mOther = nullptr;
  TLoopForm* mForm = nullptr;
};

TEST_F(X11WindowTest, ShowingTheFormPaintsNothingBeforeTheLoopsFirstTurn) {
  mForm->mOnTurn = [this] {
    if (mForm->mTurns.size() == 3) {
      mForm->Close();
    }
  };
  Application->Run();
  ASSERT_GE(mForm->mTurns.size(), 3u);
  EXPECT_EQ(mForm->mTurns.front().mPaints, 0);
}

TEST_F(X11WindowTest, ABurstOfSizeNoticesIsWorkedOffInOneTurnWithTheLastSize) {
  constexpr int kResizes = 60;
  size_t burstTurn = 0;
  mForm->mOnTurn = [&] {
    const size_t turn = mForm->mTurns.size();
    if (burstTurn == 0 && Settled()) {
      // The user drags the frame: 60 sizes reach the server before the game looks again.
      for (int k = 1; k <= kResizes; ++k) {
        XResizeWindow(mOther, FormWindow(), static_cast<unsigned>(400 + k), 300u + k % 7);
      }
      XResizeWindow(mOther, FormWindow(), 640, 480);
      // Once the server has them, so has the game's queue after a round trip of its own.
      XSync(mOther, False);
      XSync(DisplayX11(), False);
      burstTurn = turn;
    } else if (burstTurn != 0 && mForm->mTurns.back().mClientWidth == 640) {
      mForm->Close();
    } else if (turn > 400) {
      mForm->Close(); // not caught up: the test fails below
    }
  };
  Application->Run();
  ASSERT_NE(burstTurn, 0u);
  // Turns from the burst until a hook first saw the final size: the notices queued before it
  // were taken with it, in one turn (the size is applied when that turn's notice is dispatched).
  size_t caughtUp = 0;
  for (size_t i = burstTurn; i < mForm->mTurns.size(); ++i) {
    if (mForm->mTurns[i].mClientWidth == 640) {
      caughtUp = i - burstTurn;
      break;
    }
  }
  // mTurns[burstTurn] is the turn that took the first size notice; its hook ran before the
  // notice was dispatched, so the next turn's hook is the first that can see a new size.
  EXPECT_EQ(caughtUp, 1u) << "the first turn after the burst took every queued size notice";
  // And the whole burst, with the exposures it caused, cost only a few turns.
  size_t messageTurns = 0;
  for (size_t i = burstTurn; i < mForm->mTurns.size() && mForm->mTurns[i].mMessage; ++i) {
    ++messageTurns;
  }
  EXPECT_LE(messageTurns, 6u);
  EXPECT_EQ(mForm->ClientWidth(), 640);
  EXPECT_EQ(mForm->ClientHeight(), 480);
  EXPECT_EQ(mForm->mControl->Width(), 640);
}

TEST_F(X11WindowTest, TheQuitRequestIsTakenAfterTheEventsQueuedBeforeIt) {
  constexpr int kPings = 5;
  const Atom ping = XInternAtom(mOther, "VANTREL_TEST_PING", False);
  size_t closedAt = 0;
  mForm->mOnTurn = [&] {
    if (closedAt == 0 && Settled()) {
      for (int k = 0; k < kPings; ++k) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = FormWindow();
        event.xclient.message_type = ping;
        event.xclient.format = 32;
        XSendEvent(mOther, FormWindow(), False, NoEventMask, &event);
      }
      // Once the server has queued the pings for the game, the game asks to close.
      XSync(mOther, False);
      mForm->Close();
      closedAt = mForm->mTurns.size();
    }
  };
  Application->Run();
  ASSERT_NE(closedAt, 0u);
  int pingsTaken = 0;
  for (size_t i = closedAt; i < mForm->mTurns.size(); ++i) {
    pingsTaken += mForm->mTurns[i].mMessage && mForm->mTurns[i].mType == ClientMessage ? 1 : 0;
  }
  EXPECT_EQ(pingsTaken, kPings) << "every event queued before the quit request still ran a step";
}

// An X error nobody trapped is said on standard error, once, with what failed where; the last
// error stays the failure's that a box may be about to show. A trapped one is the trap's.
TEST(X11BackendErrorTest, AnErrorOutsideATrapIsReportedAndLeavesTheLastErrorAlone) {
  Application = new TApplication;
  Application->Initialize();
  Application->SetTitle("BackendErrorTest");
  constexpr Window kNoSuchWindow = 0x1FFFFFF0;
  SetPlatformLastError(4242);
  testing::internal::CaptureStderr();
  XMapWindow(DisplayX11(), kNoSuchWindow);
  XSync(DisplayX11(), False);
  const std::string reported = testing::internal::GetCapturedStderr();
  EXPECT_EQ(reported, "BackendErrorTest: X error: BadWindow (invalid Window parameter), request "
                      "X_MapWindow (8.0), resource 0x1ffffff0\n");
  EXPECT_EQ(PlatformLastError(), 4242u);

  testing::internal::CaptureStderr();
  {
    TX11ErrorTrap trap(DisplayX11());
    XMapWindow(DisplayX11(), kNoSuchWindow);
    EXPECT_TRUE(trap.Failed());
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(PlatformLastError(), static_cast<uint32_t>(BadWindow));
  delete Application;
  Application = nullptr;
}

// Whoever had the X error handler before the application gets it back when the application
// is freed, and the connection goes with all that was learned about it.
TEST(X11BackendTeardownTest, FreeingTheApplicationRestoresTheErrorHandlerAndDisconnects) {
  const XErrorHandler sentinel = [](Display*, XErrorEvent*) { return 0; };
  const XErrorHandler before = XSetErrorHandler(sentinel);
  Application = new TApplication;
  Application->Initialize();
  // The backend's own handler is in place (looked at by swapping it out and back).
  const XErrorHandler backends = XSetErrorHandler(sentinel);
  XSetErrorHandler(backends);
  EXPECT_NE(backends, sentinel);
  Display* connected = DisplayX11();
  Application->Initialize(); // set up once: a second call changes nothing
  EXPECT_EQ(DisplayX11(), connected);
  ConnectionX11().mSoftwareRenderer = 1; // something learned about this connection
  delete Application;
  Application = nullptr;
  EXPECT_EQ(XSetErrorHandler(before), sentinel) << "the handler from before is back";

  Application = new TApplication;
  Application->Initialize();
  EXPECT_EQ(ConnectionX11().mSoftwareRenderer, -1) << "a new connection knows nothing yet";
  delete Application;
  Application = nullptr;
}

} // namespace
