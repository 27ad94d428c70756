// The portable half of the toolkit, without a window system: placement, alignment, density
// scaling, ownership and the application's hook fan-out. No test here creates a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform_toolkit.h"

namespace {

TEST(DesktopCenterTest, CentresByIntegerHalvingsOfDesktopAndWindow) {
  int32_t left = 0;
  int32_t top = 0;
  DesktopCenter(TDesktopRect{0, 0, 1280, 1024}, 801, 704, left, top);
  EXPECT_EQ(left, 640 - 400); // 801 / 2 = 400
  EXPECT_EQ(top, 512 - 352);
  DesktopCenter(TDesktopRect{0, 0, 1281, 1023}, 800, 700, left, top);
  EXPECT_EQ(left, 640 - 400);
  EXPECT_EQ(top, 511 - 350);
}

TEST(DesktopCenterTest, HonoursTheDesktopOriginAndNeverGoesLeftOrAboveIt) {
  int32_t left = 0;
  int32_t top = 0;
  DesktopCenter(TDesktopRect{-1920, 100, 3840, 1080}, 800, 600, left, top);
  EXPECT_EQ(left, -1920 + 1920 - 400);
  EXPECT_EQ(top, 100 + 540 - 300);
  DesktopCenter(TDesktopRect{10, 20, 640, 480}, 1000, 900, left, top);
  EXPECT_EQ(left, 10);
  EXPECT_EQ(top, 20);
}

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* ParaOwner) : TForm(ParaOwner) {
    mChild = new TWinControl(this);
    mChild->SetParent(this);
    mChild->SetBounds(0, 0, 792, 673);
    mChild->SetAlign(alClient);
  }
  TWinControl* mChild;
};

TEST(FormLayoutTest, ClientAlignedChildFollowsEveryClientSizeChange) {
  TTestForm form(nullptr);
  form.SetClientWidth(792);
  form.SetClientHeight(673);
  EXPECT_EQ(form.mChild->Width(), 792);
  EXPECT_EQ(form.mChild->Height(), 673);
  form.SetClientWidth(500);
  form.SetClientHeight(400);
  EXPECT_EQ(form.mChild->Left(), 0);
  EXPECT_EQ(form.mChild->Top(), 0);
  EXPECT_EQ(form.mChild->Width(), 500);
  EXPECT_EQ(form.mChild->Height(), 400);
}

TEST(FormLayoutTest, ScalingToADenserScreenRoundsHalfToEven) {
  TTestForm form(nullptr);
  form.SetClientWidth(792);
  form.SetClientHeight(673);
  form.ScaleBy(120, 96); // 990 x 841.25
  EXPECT_EQ(form.ClientWidth(), 990);
  EXPECT_EQ(form.ClientHeight(), 841);
  EXPECT_EQ(form.mChild->Width(), 990);
  EXPECT_EQ(form.mChild->Height(), 841);
  form.SetClientWidth(5);
  form.SetClientHeight(3);
  form.ScaleBy(1, 2); // 2.5 -> 2, 1.5 -> 2
  EXPECT_EQ(form.ClientWidth(), 2);
  EXPECT_EQ(form.ClientHeight(), 2);
}

class TRecordingComponent : public TComponent {
public:
  TRecordingComponent(TComponent* ParaOwner, std::vector<std::string>& ParaLog,
                      std::string ParaName)
      : TComponent(ParaOwner), mLog(ParaLog), mName(std::move(ParaName)) {}
  ~TRecordingComponent() override { mLog.push_back(mName); }

private:
  std::vector<std::string>& mLog;
  std::string mName;
};

TEST(ComponentTest, OwnerFreesWhatItOwnsMostRecentFirst) {
  std::vector<std::string> log;
  {
    TComponent owner(nullptr);
    new TRecordingComponent(&owner, log, "first");
    auto* second = new TRecordingComponent(&owner, log, "second");
    new TRecordingComponent(second, log, "inner");
    new TRecordingComponent(&owner, log, "third");
  }
  EXPECT_EQ(log, (std::vector<std::string>{"third", "second", "inner", "first"}));
}

class ApplicationHooksTest : public ::testing::Test {
protected:
  void SetUp() override { Application = new TApplication; }
  void TearDown() override {
    delete Application;
    Application = nullptr;
  }
};

TEST_F(ApplicationHooksTest, MessageHookSeesEveryMessageAndCanHandleIt) {
  TComponent owner(nullptr);
  auto* events = new TApplicationEvents(&owner);
  std::vector<uint32_t> seen;
  events->SetOnMessage([&](TMsg& Msg, bool& Handled) {
    seen.push_back(Msg.mMessage);
    EXPECT_FALSE(Handled);
    Handled = Msg.mMessage == 2;
  });
  TMsg first{0, 1, nullptr};
  TMsg second{0, 2, nullptr};
  bool handled = false;
  Application->DoMessage(first, handled);
  EXPECT_FALSE(handled);
  Application->DoMessage(second, handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2}));
}

TEST_F(ApplicationHooksTest, IdleHookGetsDoneTrueAndItsAnswerReachesTheLoop) {
  TComponent owner(nullptr);
  auto* events = new TApplicationEvents(&owner);
  bool doneOnEntry = false;
  events->SetOnIdle([&](TObject* Sender, bool& Done) {
    EXPECT_EQ(Sender, events);
    doneOnEntry = Done;
    Done = false;
  });
  bool done = true;
  Application->DoIdle(done);
  EXPECT_TRUE(doneOnEntry);
  EXPECT_FALSE(done);
}

TEST_F(ApplicationHooksTest, AnErrorInTheIdleHookLeavesDoneTrue) {
  TComponent owner(nullptr);
  auto* events = new TApplicationEvents(&owner);
  events->SetOnIdle([](TObject*, bool& Done) {
    throw std::runtime_error("step failed");
    Done = false; // never reached: the loop must then wait for the next message
  });
  bool done = true;
  EXPECT_THROW(Application->DoIdle(done), std::runtime_error);
  EXPECT_TRUE(done);
}

TEST_F(ApplicationHooksTest, FreedEventsComponentNoLongerReceivesHooks) {
  int calls = 0;
  {
    TComponent owner(nullptr);
    auto* events = new TApplicationEvents(&owner);
    events->SetOnIdle([&](TObject*, bool&) { ++calls; });
  }
  bool done = true;
  Application->DoIdle(done);
  EXPECT_EQ(calls, 0);
}

} // namespace

TEST(CallGuardedTest, TellsWhetherTheBodyRanToItsEndSoTheLoopCanDropTheMessage) {
  ASSERT_EQ(Application, nullptr);
  int reached = 0;
  EXPECT_TRUE(CallGuarded([&] { ++reached; }));
  EXPECT_FALSE(CallGuarded([&] {
    throw std::runtime_error("step failed");
    ++reached;
  }));
  EXPECT_EQ(reached, 1);
}
