// The main window's own logic without a display: the frame counting against a clock the test
// drives, the mouse mapping onto the world, and the handlers that can still fire after the
// world has been freed. No test here creates a window.
#include <gtest/gtest.h>

#include <string>

#include "program/UnitMain.h"
#include "runtime/errors.h"
#include "runtime/random.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/Unit_TUniverseThreadLess.h"

namespace {

int64_t TestCounter = 0;
int64_t TestFrequency = 1000;

bool QueryTestCounter(int64_t& ParaCounter) {
  ParaCounter = TestCounter;
  return true;
}
bool QueryTestFrequency(int64_t& ParaFrequency) {
  ParaFrequency = TestFrequency;
  return true;
}

class MainFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    mSavedClock = FrameClock;
    FrameClock = TFrameClock{QueryTestCounter, QueryTestFrequency};
    TestCounter = 5000;
    TestFrequency = 1000;
    RandSeed = 77;
    mForm = new TForm1(nullptr);
  }
  void TearDown() override {
    delete mForm;
    FrameClock = mSavedClock;
  }

  // The counting of frame ParaFrames frames, the last one drawn at ParaLastAt.
  void CountFrames(int ParaFrames, int64_t ParaLastAt) {
    for (int frame = 1; frame < ParaFrames; ++frame) {
      mForm->CountFrame();
    }
    TestCounter = ParaLastAt;
    mForm->CountFrame();
  }

  std::string Rate(int ParaRate) const { return kRateCaption + std::to_string(ParaRate); }

  TFrameClock mSavedClock{};
  TForm1* mForm = nullptr;
};

TEST_F(MainFormTest, StoredLayoutGivesCaptionSizeAndViewOptions) {
  EXPECT_EQ(mForm->Caption(), "Vantrel Game (by Hollisk) version 0.12");
  EXPECT_EQ(mForm->ClientWidth(), 792);
  EXPECT_EQ(mForm->ClientHeight(), 673);
  EXPECT_EQ(mForm->Position(), poDesktopCenter);
  ASSERT_NE(mForm->OpenGLControl1, nullptr);
  EXPECT_EQ(mForm->OpenGLControl1->Align(), alClient);
  EXPECT_EQ(mForm->OpenGLControl1->Width(), 792);
  EXPECT_EQ(mForm->OpenGLControl1->Height(), 673);
  EXPECT_TRUE(mForm->OpenGLControl1->OptionDoubleBufferEnabled());
  EXPECT_TRUE(mForm->OpenGLControl1->OptionVerticalSyncEnabled());
  EXPECT_FALSE(mForm->OpenGLControl1->OptionHardwareAccelerationEnabled());
  EXPECT_EQ(mForm->OpenGLControl1->OptionOpenGLVersion(), GL_VERSION_110);
}

TEST_F(MainFormTest, AnIntervalOfExactlyOneSecondUpdatesTheCaptionJustBelowDoesNot) {
  mForm->mTickFrequency = 1000;
  mForm->mTick1 = 5000;
  CountFrames(3, 5999);
  EXPECT_EQ(mForm->Caption(), kStoredCaption);
  EXPECT_EQ(mForm->mFrameNumber, 3);
  TestCounter = 6000;
  mForm->CountFrame();
  EXPECT_EQ(mForm->mFramesPerSecond, 4);
  EXPECT_EQ(mForm->Caption(), Rate(4));
  EXPECT_EQ(mForm->mFrameNumber, 0);
  EXPECT_EQ(mForm->mTick1, 6000);
  EXPECT_DOUBLE_EQ(mForm->mTime, 1.0);
}

TEST_F(MainFormTest, RatesRoundHalfToEven) {
  mForm->mTickFrequency = 1000;
  mForm->mTick1 = 5000;
  TestCounter = 5000;
  CountFrames(119, 7000); // 59.5
  EXPECT_EQ(mForm->Caption(), Rate(60));
  TestCounter = 7000;
  CountFrames(121, 9000); // 60.5
  EXPECT_EQ(mForm->Caption(), Rate(60));
  TestCounter = 9000;
  CountFrames(123, 11000); // 61.5
  EXPECT_EQ(mForm->Caption(), Rate(62));
}

TEST_F(MainFormTest, OneFrameTenSecondsAfterTheLastUpdateShowsZero) {
  mForm->mTickFrequency = 1000;
  mForm->mTick1 = 5000;
  CountFrames(1, 15000);
  EXPECT_EQ(mForm->mFramesPerSecond, 0);
  EXPECT_EQ(mForm->Caption(), Rate(0));
}

TEST_F(MainFormTest, FormCreateStartsTheFirstIntervalAtTheCounterItReads) {
  TestCounter = 123456;
  mForm->FormCreate(mForm);
  EXPECT_EQ(mForm->mTickFrequency, 1000);
  EXPECT_EQ(mForm->mTick1, 123456);
  ProgramDestroy();
}

TEST_F(MainFormTest, AZeroCounterFrequencyRaisesInsteadOfShowingARate) {
  mForm->mTickFrequency = 0;
  mForm->mTick1 = 0;
  TestCounter = 10;
  EXPECT_THROW(mForm->CountFrame(), EFloatError);
  EXPECT_EQ(mForm->Caption(), kStoredCaption);
}

TEST_F(MainFormTest, MouseButtonsQuarantineAndInfectThePersonsUnderThePointer) {
  mForm->FormCreate(mForm);
  ProgramSetFieldSize(400, 300);
  ASSERT_GE(Persons.size(), 3u);
  auto at = [](size_t index) {
    return std::pair<int32_t, int32_t>(static_cast<int32_t>(Persons[index].mPositionX),
                                       static_cast<int32_t>(Persons[index].mPositionY));
  };
  const auto [x0, y0] = at(0);
  mForm->OpenGLControl1MouseDown(mForm->OpenGLControl1, mbLeft, TShiftState{}, x0, y0);
  EXPECT_TRUE(Persons[0].mQuarantined);
  EXPECT_FALSE(Persons[0].mInfected);
  const auto [x1, y1] = at(1);
  mForm->OpenGLControl1MouseDown(mForm->OpenGLControl1, mbRight, TShiftState{}, x1, y1);
  EXPECT_TRUE(Persons[1].mInfected);
  const auto [x2, y2] = at(2);
  const bool wasInfected = Persons[2].mInfected;
  const bool wasQuarantined = Persons[2].mQuarantined;
  mForm->OpenGLControl1MouseDown(mForm->OpenGLControl1, mbMiddle, TShiftState{}, x2, y2);
  EXPECT_EQ(Persons[2].mInfected, wasInfected);
  EXPECT_EQ(Persons[2].mQuarantined, wasQuarantined);
  ProgramDestroy();
}

TEST_F(MainFormTest, AfterTheWorldIsFreedLatePaintsAndClicksDoNothing) {
  mForm->FormCreate(mForm);
  mForm->OpenGLControl1Destroy(mForm->OpenGLControl1); // ProgramDestroy
  mForm->OpenGLControl1MouseDown(mForm->OpenGLControl1, mbLeft, TShiftState{}, 10, 10);
  mForm->OpenGLControl1MouseDown(mForm->OpenGLControl1, mbRight, TShiftState{}, 10, 10);
  mForm->OpenGLControl1ResizeViewport(mForm->OpenGLControl1);
  TestCounter = 1'000'000;
  mForm->OpenGLControl1Draw(mForm->OpenGLControl1);
  EXPECT_EQ(mForm->mFrameNumber, 0);
  EXPECT_EQ(mForm->Caption(), kStoredCaption);
  // A step that still runs (a message taken during teardown) finds no world either.
  bool done = true;
  mForm->ApplicationEvents1Idle(mForm, done);
  EXPECT_FALSE(done);
  EXPECT_EQ(Universe, nullptr);
}

} // namespace
