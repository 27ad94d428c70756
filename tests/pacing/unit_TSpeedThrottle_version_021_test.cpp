// The speed throttle, driven by the fake clocks of fake_platform_time.h: the side effects of
// every property write, the refill, waiting-time arithmetic, pause and resume, the assertion,
// and the event. Only the tests of the wake-up event and of actual sleeps touch real time.
#include "pacing/unit_TSpeedThrottle_version_021.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <thread>

#include "runtime/errors.h"
#include "tests/pacing/fake_platform_time.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int64_t kTicksPerSecond = 1000000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A throttle whose wake-up signal the test can see: TakeSignal consumes a pending one.
class ObservedThrottle : public TSpeedThrottle {
public:
  bool TakeSignal() { return ContinueSignal().WaitFor(0); }
};

double SecondsSince(Clock::time_point ParaStart) {
  return std::chrono::duration<double>(Clock::now() - ParaStart).count();
}

// Runs ParaWork on another thread; false when it has not finished within 30 seconds (the
// thread is then left blocked, the test has failed anyway). Work that finds the lock free ends
// as soon as its thread runs, however busy the machine; the time-out only ends a failure.
bool FinishesOnAnotherThread(std::function<void()> ParaWork) {
  auto done = std::make_shared<std::promise<void>>();
  auto finished = done->get_future();
  std::thread([ParaWork, done] {
    ParaWork();
    done->set_value();
  }).detach();
  return finished.wait_for(30s) == std::future_status::ready;
}

class SpeedThrottleTest : public ::testing::Test {
protected:
  void SetUp() override {
    TheFakeClock = FakeClock{};
    TheFakeClock.counter = 1000000000;
    TheFakeClock.frequency = kTicksPerSecond;
  }

  static void AdvanceSeconds(double ParaSeconds) {
    TheFakeClock.counter += static_cast<int64_t>(std::llround(ParaSeconds * kTicksPerSecond));
  }

  // Set up as the universe sets up its cycle throttle, with the pending signal taken away.
  static std::unique_ptr<ObservedThrottle> Running(double ParaSpeed = 60,
                                                   double ParaMaximum = 80000) {
    auto throttle = std::make_unique<ObservedThrottle>();
    throttle->SetSpeed(ParaSpeed);
    throttle->SetMaximumExtractionQuantity(ParaMaximum);
    throttle->SetMaximumWaitingTime(1);
    throttle->SetEnabled(true);
    throttle->TakeSignal();
    return throttle;
  }
};

} // namespace

// --- A new throttle --------------------------------------------------------------------------

TEST_F(SpeedThrottleTest, NewThrottleIsDisabledAndNeverWaits) {
  ObservedThrottle throttle;
  EXPECT_FALSE(throttle.Enabled());
  EXPECT_FALSE(throttle.Paused());
  EXPECT_EQ(throttle.Speed(), 0);
  EXPECT_EQ(throttle.TimeCounterMode(), tcm_high_accuracy);
  EXPECT_EQ(throttle.QuantityAvailable(), 0);
  // Disabled, the quantity is not checked against the maximum extraction quantity.
  EXPECT_EQ(throttle.WaitingTimeAvailable(1e9), 0);
  EXPECT_EQ(throttle.SleepIfWaitingTimeAvailable(5), 0);
  EXPECT_FALSE(throttle.TakeSignal());
}

TEST_F(SpeedThrottleTest,
       DisabledThrottleReportsItsMaximumExtractionQuantityWithoutReadingTheClock) {
  ObservedThrottle throttle;
  throttle.SetMaximumExtractionQuantity(42.5);
  const int reads = TheFakeClock.counterReads;
  EXPECT_EQ(throttle.QuantityAvailable(), 42.5);
  EXPECT_EQ(throttle.WaitingTimeAvailable(1), 0);
  EXPECT_EQ(TheFakeClock.counterReads, reads);
}

// --- Property writes -------------------------------------------------------------------------

TEST_F(SpeedThrottleTest, SpeedWithItsCurrentValueKeepsTheBucketAndDoesNotSignal) {
  auto throttle = Running();
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  throttle->SetSpeed(60);
  EXPECT_DOUBLE_EQ(throttle->Quantity(), 30);
  EXPECT_FALSE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, NewSpeedEmptiesTheBucketRestartsTheClockAndSignals) {
  auto throttle = Running();
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  AdvanceSeconds(0.25);
  throttle->SetSpeed(120);
  EXPECT_EQ(throttle->Quantity(), 0);
  EXPECT_TRUE(throttle->TakeSignal());
  // The quarter second before the write earns nothing at either speed.
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 60);
}

TEST_F(SpeedThrottleTest, NaNSpeedIsNeverEqualSoEveryWriteSignals) {
  auto throttle = Running();
  throttle->SetSpeed(kNaN);
  EXPECT_TRUE(throttle->TakeSignal());
  throttle->SetSpeed(kNaN);
  EXPECT_TRUE(throttle->TakeSignal());
  EXPECT_TRUE(std::isnan(throttle->Speed()));
}

TEST_F(SpeedThrottleTest, SpeedWrittenWhileDisabledIsStoredAndSignalsWithoutRecalculating) {
  ObservedThrottle throttle;
  throttle.SetSpeed(60);
  EXPECT_EQ(throttle.Speed(), 60);
  EXPECT_TRUE(throttle.TakeSignal());
  // The rate only takes effect with the recalculation of enabling.
  AdvanceSeconds(10);
  throttle.SetEnabled(true);
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle.QuantityAvailable(), 30);
}

TEST_F(SpeedThrottleTest, UnchangedMaximumExtractionQuantityStillEmptiesTheBucketWithoutSignal) {
  auto throttle = Running();
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  AdvanceSeconds(0.5);
  throttle->SetMaximumExtractionQuantity(80000);
  EXPECT_EQ(throttle->Quantity(), 0);
  EXPECT_EQ(throttle->QuantityAvailable(), 0);
  EXPECT_FALSE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, TimeCounterModeWriteRecalculatesWhenEnabledEvenIfRefused) {
  auto throttle = Running();
  throttle->SetTimeCounterMode(tcm_low_cpu_usage);
  TheFakeClock.tickCount += 500;
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);

  TheFakeClock.counterReadable = false;
  TheFakeClock.tickCount += 250;
  throttle->SetTimeCounterMode(tcm_high_accuracy);
  EXPECT_EQ(throttle->TimeCounterMode(), tcm_low_cpu_usage);
  EXPECT_EQ(throttle->Quantity(), 0);
  EXPECT_FALSE(throttle->TakeSignal());
  // Still counting milliseconds at 1000 per second, from the moment of the refused write.
  TheFakeClock.tickCount += 100;
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 6);
}

TEST_F(SpeedThrottleTest, TimeCounterModeWriteRereadsTheFrequencyThatIsOtherwiseCached) {
  ObservedThrottle cached;
  cached.SetSpeed(60);
  cached.SetMaximumExtractionQuantity(80000);
  ObservedThrottle reread;
  reread.SetSpeed(60);
  reread.SetMaximumExtractionQuantity(80000);

  TheFakeClock.frequency = 2 * kTicksPerSecond;
  reread.SetTimeCounterMode(tcm_high_accuracy);
  cached.SetEnabled(true);
  reread.SetEnabled(true);
  TheFakeClock.counter += kTicksPerSecond;
  EXPECT_DOUBLE_EQ(cached.QuantityAvailable(), 60);
  EXPECT_DOUBLE_EQ(reread.QuantityAvailable(), 30);
}

// Disabling keeps the bucket, so a content left from the enabled time shows whether a write
// recalculated: these three only do while enabled.
TEST_F(SpeedThrottleTest, WritesThatRecalculateWhenEnabledKeepTheBucketWhileDisabled) {
  struct Write {
    const char* name;
    std::function<void(TSpeedThrottle&)> apply;
  };
  const Write writes[] = {
      {"Speed", [](TSpeedThrottle& t) { t.SetSpeed(120); }},
      {"MaximumExtractionQuantity", [](TSpeedThrottle& t) { t.SetMaximumExtractionQuantity(10); }},
      {"TimeCounterMode", [](TSpeedThrottle& t) { t.SetTimeCounterMode(tcm_low_cpu_usage); }},
  };
  for (const Write& write : writes) {
    SCOPED_TRACE(write.name);
    auto throttle = Running();
    throttle->SetQuantity(5);
    throttle->SetEnabled(false);
    write.apply(*throttle);
    EXPECT_EQ(throttle->Quantity(), 5);
    // Enabling again is what recalculates.
    throttle->SetEnabled(true);
    EXPECT_EQ(throttle->Quantity(), 0);
  }
}

TEST_F(SpeedThrottleTest, MaximumWaitingTimeSignalsWithoutRecalculating) {
  auto throttle = Running();
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  throttle->SetMaximumWaitingTime(2);
  EXPECT_DOUBLE_EQ(throttle->Quantity(), 30);
  EXPECT_EQ(throttle->MaximumWaitingTime(), 2);
  EXPECT_TRUE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, EnablingRecalculatesButOtherEnabledWritesOnlyStoreTheFlag) {
  auto throttle = Running();
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  throttle->SetEnabled(true);
  EXPECT_DOUBLE_EQ(throttle->Quantity(), 30);

  throttle->SetEnabled(false);
  EXPECT_DOUBLE_EQ(throttle->Quantity(), 30);
  EXPECT_EQ(throttle->QuantityAvailable(), 80000);
  throttle->SetEnabled(false);

  AdvanceSeconds(5);
  throttle->SetEnabled(true);
  EXPECT_EQ(throttle->Quantity(), 0);
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  EXPECT_FALSE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, OnlySpeedChangesMaximumWaitingTimeAcceptedQuantityAndResumeSignal) {
  auto throttle = Running();
  struct Step {
    const char* name;
    std::function<void()> write;
    bool signals;
  };
  const Step steps[] = {
      {"Speed changed", [&] { throttle->SetSpeed(30); }, true},
      {"Speed unchanged", [&] { throttle->SetSpeed(30); }, false},
      {"MaximumWaitingTime", [&] { throttle->SetMaximumWaitingTime(1); }, true},
      {"MaximumExtractionQuantity", [&] { throttle->SetMaximumExtractionQuantity(80000); }, false},
      {"TimeCounterMode", [&] { throttle->SetTimeCounterMode(tcm_high_accuracy); }, false},
      {"Enabled", [&] { throttle->SetEnabled(true); }, false},
      {"Quantity accepted", [&] { throttle->SetQuantity(3); }, true},
      {"QuantityUsed", [&] { throttle->QuantityUsed(1); }, false},
      {"Reset", [&] { throttle->Reset(); }, false},
      {"Paused := True", [&] { throttle->SetPaused(true); }, false},
      {"Quantity while paused", [&] { throttle->SetQuantity(3); }, false},
      {"Paused := False", [&] { throttle->SetPaused(false); }, true},
      {"Paused := False again", [&] { throttle->SetPaused(false); }, false},
      {"Enabled := False", [&] { throttle->SetEnabled(false); }, false},
      {"Quantity while disabled", [&] { throttle->SetQuantity(3); }, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.write();
    EXPECT_EQ(throttle->TakeSignal(), step.signals);
  }
}

// --- Capacity --------------------------------------------------------------------------------

// A Quantity write above the capacity is lowered to it, which makes the capacity visible.
TEST_F(SpeedThrottleTest, CapacityIsTheLargerOfSpeedAndMaximumExtractionQuantity) {
  auto throttle = Running(60, 80000);
  throttle->SetQuantity(1e9);
  EXPECT_EQ(throttle->Quantity(), 80000);

  throttle = Running(100, 10);
  throttle->SetQuantity(1e9);
  EXPECT_EQ(throttle->Quantity(), 100);
}

TEST_F(SpeedThrottleTest, CapacityOnATieOrANaNIsTheMaximumExtractionQuantity) {
  auto tie = Running(50, 50);
  tie->SetQuantity(1e9);
  EXPECT_EQ(tie->Quantity(), 50);

  auto nanSpeed = Running(kNaN, 10);
  nanSpeed->SetQuantity(1e9);
  EXPECT_EQ(nanSpeed->Quantity(), 10);

  // A NaN capacity lowers nothing: no comparison with it holds.
  auto nanMaximum = Running(60, kNaN);
  nanMaximum->SetQuantity(1e9);
  EXPECT_EQ(nanMaximum->Quantity(), 1e9);
}

// --- Refill ----------------------------------------------------------------------------------

TEST_F(SpeedThrottleTest, AccrualKeepsFractionsOverManyRefills) {
  auto throttle = Running();
  for (int i = 0; i < 1000; ++i) {
    AdvanceSeconds(0.001);
    throttle->QuantityAvailable();
  }
  EXPECT_NEAR(throttle->Quantity(), 60, 1e-9);
}

TEST_F(SpeedThrottleTest, CatchUpAfterAStallIsCappedAtTheCapacity) {
  auto throttle = Running();
  AdvanceSeconds(10);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 600);
  AdvanceSeconds(30 * 60);
  EXPECT_EQ(throttle->QuantityAvailable(), 80000);
  // The dropped time is gone: the next second adds to 80000 - 60, not to the uncapped sum.
  throttle->QuantityUsed(60);
  AdvanceSeconds(1);
  EXPECT_EQ(throttle->QuantityAvailable(), 80000);
  throttle->QuantityUsed(120);
  AdvanceSeconds(1);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 79940);
}

TEST_F(SpeedThrottleTest, NegativeElapsedTimeLowersTheContent) {
  auto throttle = Running();
  throttle->SetQuantity(30);
  AdvanceSeconds(-0.25);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 15);
}

TEST_F(SpeedThrottleTest, WrappingMillisecondCountDrainsTheBucketBelowZero) {
  TheFakeClock.tickCount = 4294967000u;
  auto throttle = Running();
  throttle->SetTimeCounterMode(tcm_low_cpu_usage);
  TheFakeClock.tickCount += 500; // wraps to 204
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), (204.0 - 4294967000.0) / 1000 * 60);
}

TEST_F(SpeedThrottleTest, ZeroFrequencyRaisesAFloatErrorAndLeavesTheThrottleAsItWas) {
  TheFakeClock.frequency = 0;
  auto throttle = Running();
  throttle->SetQuantity(5);
  AdvanceSeconds(1);
  const int reads = TheFakeClock.counterReads;
  EXPECT_THROW(throttle->QuantityAvailable(), EFloatError);
  EXPECT_THROW(throttle->WaitingTimeAvailable(1), EFloatError);
  EXPECT_THROW(throttle->SleepIfWaitingTimeAvailable(1), EFloatError);
  EXPECT_EQ(TheFakeClock.counterReads, reads);
  EXPECT_EQ(throttle->Quantity(), 5);
  EXPECT_TRUE(FinishesOnAnotherThread([&] { throttle->Speed(); }));
}

TEST_F(SpeedThrottleTest, SimulationModeWithoutAFrequencyRaisesAFloatError) {
  auto throttle = Running();
  throttle->SetTimeCounterMode(tcm_simulation);
  EXPECT_THROW(throttle->QuantityAvailable(), EFloatError);
  throttle->SetTimeCounterMode(tcm_high_accuracy);
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
}

// --- Waiting time ----------------------------------------------------------------------------

TEST_F(SpeedThrottleTest, RightAfterResetAtSpeed60TheWaitIsJustUnderOneSixtiethSecond) {
  auto throttle = Running();
  AdvanceSeconds(3);
  throttle->QuantityAvailable();
  throttle->Reset();
  EXPECT_EQ(throttle->Quantity(), 0);
  TheFakeClock.counter += 1;
  const double seconds = throttle->WaitingTimeAvailable(1);
  EXPECT_LT(seconds, 1.0 / 60);
  EXPECT_GT(seconds, 1.0 / 60 - 1e-5);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), 17);
}

TEST_F(SpeedThrottleTest, ZeroShortageGivesNoWait) {
  auto throttle = Running();
  throttle->SetQuantity(1); // leaves a signal pending, which any wait would take
  EXPECT_EQ(throttle->WaitingTimeAvailable(1), 0);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), 0);
  EXPECT_TRUE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, AnyPositiveShortageWaitsAtLeastOneMillisecond) {
  auto throttle = Running();
  throttle->SetQuantity(1 - 1e-12);
  throttle->TakeSignal();
  EXPECT_GT(throttle->WaitingTimeAvailable(1), 0);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), 1);
}

TEST_F(SpeedThrottleTest, WaitingTimeNeverExceedsTheMaximumWaitingTime) {
  auto throttle = Running();
  EXPECT_EQ(throttle->WaitingTimeAvailable(80000), 1);
  throttle->SetMaximumWaitingTime(0.01);
  EXPECT_EQ(throttle->WaitingTimeAvailable(1), 0.01);
}

TEST_F(SpeedThrottleTest, NegativeMaximumWaitingTimeIsReturnedAndSleepsNot) {
  auto throttle = Running();
  throttle->SetMaximumWaitingTime(-0.5); // leaves a signal pending
  EXPECT_EQ(throttle->WaitingTimeAvailable(1), -0.5);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), -500);
  EXPECT_TRUE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, SpeedZeroAccruesNothingAndAlwaysAsksForTheMaximumWait) {
  auto throttle = Running(0);
  AdvanceSeconds(100);
  EXPECT_EQ(throttle->QuantityAvailable(), 0);
  EXPECT_EQ(throttle->WaitingTimeAvailable(1), 1);
  EXPECT_EQ(throttle->WaitingTimeAvailable(1e-9), 1);
}

TEST_F(SpeedThrottleTest, NegativeSpeedDrainsTheContentWithoutALowerBound) {
  auto throttle = Running(-5);
  throttle->SetQuantity(10);
  AdvanceSeconds(1);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 5);
  AdvanceSeconds(2);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), -5);
  EXPECT_EQ(throttle->WaitingTimeAvailable(1), 1);
}

// A pending signal ends these waits at once, so the counts can be checked without sleeping.
TEST_F(SpeedThrottleTest, WaitsBeyondThe32BitMillisecondCountSaturateInsteadOfWrapping) {
  auto throttle = Running(0);
  throttle->SetMaximumWaitingTime(3e6);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), std::numeric_limits<int32_t>::max());
  throttle->SetMaximumWaitingTime(std::numeric_limits<double>::infinity());
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), std::numeric_limits<int32_t>::max());
  throttle->SetMaximumWaitingTime(2147483.6465);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), 2147483647);

  throttle->SetMaximumWaitingTime(-3e6);
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), std::numeric_limits<int32_t>::min());
  EXPECT_TRUE(throttle->TakeSignal());
}

TEST_F(SpeedThrottleTest, NaNWaitingTimeAsksForNoWait) {
  auto throttle = Running(0);
  throttle->SetMaximumWaitingTime(kNaN); // leaves a signal pending
  EXPECT_TRUE(std::isnan(throttle->WaitingTimeAvailable(1)));
  EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), 0);
  EXPECT_TRUE(throttle->TakeSignal());
}

// --- Using, writing and resetting the content ------------------------------------------------

TEST_F(SpeedThrottleTest, QuantityUsedBeyondTheContentLeavesExactlyZero) {
  auto throttle = Running();
  throttle->SetQuantity(2.5);
  throttle->QuantityUsed(1);
  EXPECT_EQ(throttle->Quantity(), 1.5);
  throttle->QuantityUsed(7);
  EXPECT_EQ(throttle->Quantity(), 0);
}

TEST_F(SpeedThrottleTest, QuantityUsedIsIgnoredWhileDisabledButNotWhilePaused) {
  auto throttle = Running();
  throttle->SetQuantity(5);
  throttle->SetEnabled(false);
  throttle->QuantityUsed(2);
  EXPECT_EQ(throttle->Quantity(), 5);

  auto paused = Running();
  paused->SetQuantity(5);
  paused->SetPaused(true); // empties
  paused->QuantityUsed(2);
  EXPECT_EQ(paused->Quantity(), 0);
  // An empty bucket hides whether the pause was consulted; a negative use shows it.
  paused->QuantityUsed(-2.5);
  EXPECT_EQ(paused->Quantity(), 2.5);
  EXPECT_EQ(paused->QuantityAvailable(), 0); // still paused
}

TEST_F(SpeedThrottleTest, NegativeQuantityWriteIsStoredUnchanged) {
  auto throttle = Running();
  throttle->SetQuantity(-7.25);
  EXPECT_EQ(throttle->Quantity(), -7.25);
}

TEST_F(SpeedThrottleTest, ResetEmptiesAndRestartsTheClockWhateverTheFlags) {
  auto throttle = Running();
  AdvanceSeconds(2);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 120);
  AdvanceSeconds(2);
  throttle->Reset();
  EXPECT_EQ(throttle->Quantity(), 0);
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);

  // Disabled: the reset ticks are replaced by enabling anyway, but the bucket is emptied.
  throttle->SetEnabled(false);
  throttle->Reset();
  EXPECT_EQ(throttle->Quantity(), 0);
  EXPECT_EQ(throttle->Speed(), 60);
  EXPECT_FALSE(throttle->TakeSignal());
}

// --- Pause -----------------------------------------------------------------------------------

TEST_F(SpeedThrottleTest, PausingEmptiesAndResumingCreditsNothing) {
  auto throttle = Running();
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
  throttle->SetPaused(true);
  EXPECT_EQ(throttle->Quantity(), 0);
  AdvanceSeconds(10);
  EXPECT_EQ(throttle->QuantityAvailable(), 0);
  // Paused, the quantity is not checked and the answer is the longest wait.
  EXPECT_EQ(throttle->WaitingTimeAvailable(1e9), 1);
  throttle->SetPaused(false);
  EXPECT_EQ(throttle->QuantityAvailable(), 0);
  AdvanceSeconds(0.5);
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 30);
}

TEST_F(SpeedThrottleTest, PauseSetWhileDisabledHoldsOnceEnabled) {
  ObservedThrottle throttle;
  throttle.SetSpeed(60);
  throttle.SetMaximumExtractionQuantity(80000);
  throttle.SetPaused(true);
  throttle.SetEnabled(true);
  AdvanceSeconds(1);
  EXPECT_EQ(throttle.QuantityAvailable(), 0);
  EXPECT_TRUE(throttle.Paused());
}

// --- The assertion ---------------------------------------------------------------------------

struct AssertionCase {
  double quantity;
  double maximum;
  const char* message;
};

class SpeedThrottleAssertionTest : public SpeedThrottleTest,
                                   public ::testing::WithParamInterface<AssertionCase> {};

TEST_P(SpeedThrottleAssertionTest, TooLargeQuantityFailsWithTheTextAndLeavesEverythingAsItWas) {
  const AssertionCase& c = GetParam();
  auto throttle = Running(60, c.maximum);
  throttle->SetQuantity(-0.125);
  throttle->TakeSignal();
  AdvanceSeconds(0.5);
  const int reads = TheFakeClock.counterReads;
  try {
    throttle->WaitingTimeAvailable(c.quantity);
    FAIL() << "no assertion failure";
  } catch (const EAssertionFailed& failure) {
    EXPECT_EQ(failure.Message(), c.message);
    EXPECT_EQ(failure.Unit(), "unit_TSpeedThrottle_version_021");
    EXPECT_EQ(failure.Line(), 819);
  }
  EXPECT_THROW(throttle->SleepIfWaitingTimeAvailable(c.quantity), EAssertionFailed);
  // No refill took place and the lock is free for other threads.
  EXPECT_EQ(TheFakeClock.counterReads, reads);
  EXPECT_EQ(throttle->Quantity(), -0.125);
  EXPECT_TRUE(FinishesOnAnotherThread([&] { throttle->SetMaximumWaitingTime(1); }));
  EXPECT_TRUE(throttle->TakeSignal());
  // The time before the failure is credited by the next refill.
  EXPECT_DOUBLE_EQ(throttle->QuantityAvailable(), 29.875);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SpeedThrottleAssertionTest,
    ::testing::Values(
        AssertionCase{80001, 80000, "ParaQuantity(80001) <= mMaximumExtractionQuantity(80000)"},
        AssertionCase{0.5, 0.25, "ParaQuantity(0.5) <= mMaximumExtractionQuantity(0.25)"},
        AssertionCase{1E-5, 0, "ParaQuantity(1E-5) <= mMaximumExtractionQuantity(0)"},
        AssertionCase{1.5E20, 80000, "ParaQuantity(1.5E20) <= mMaximumExtractionQuantity(80000)"}));

TEST_F(SpeedThrottleTest, NaNQuantityOrMaximumFailsTheAssertion) {
  auto throttle = Running();
  EXPECT_THROW(throttle->WaitingTimeAvailable(kNaN), EAssertionFailed);
  auto nanMaximum = Running(60, kNaN);
  EXPECT_THROW(nanMaximum->WaitingTimeAvailable(1), EAssertionFailed);
}

// --- Real time: the event and sleeping without the lock ---------------------------------------
// A wait that should end early is bounded by its own time-out, made far longer than any delay
// a busy machine causes; a wait that should last is bounded from below, which load cannot break.

TEST(ContinueSignal, PendingSignalEndsTheNextWaitAtOnceAndIsConsumed) {
  TEvent event;
  event.SetEvent();
  event.SetEvent(); // still the one pending signal
  const auto start = Clock::now();
  EXPECT_TRUE(event.WaitFor(60000));
  EXPECT_LT(SecondsSince(start), 60.0);
  const auto second = Clock::now();
  EXPECT_FALSE(event.WaitFor(30));
  EXPECT_GE(SecondsSince(second), 0.029);
}

TEST(ContinueSignal, EachSignalReleasesOneWaiter) {
  TEvent event;
  std::atomic<int> released{0};
  auto waiter = [&] {
    if (event.WaitFor(60000)) {
      ++released;
    }
  };
  std::thread first(waiter);
  std::thread second(waiter);
  std::this_thread::sleep_for(50ms);
  event.SetEvent();
  const auto start = Clock::now();
  while (released < 1 && SecondsSince(start) < 30.0) {
    std::this_thread::sleep_for(5ms);
  }
  // Time for a second, wrong release to show.
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(released, 1);
  event.SetEvent();
  first.join();
  second.join();
  EXPECT_EQ(released, 2);
}

TEST_F(SpeedThrottleTest, ASleepingConsumerIsWokenByAnotherThreadThatUsesTheThrottle) {
  auto throttle = Running(0);
  throttle->SetMaximumWaitingTime(60);
  throttle->TakeSignal();
  const auto start = Clock::now();
  std::thread sleeper([&] { EXPECT_EQ(throttle->SleepIfWaitingTimeAvailable(1), 60000); });
  std::this_thread::sleep_for(50ms);
  // Takes the lock while the consumer sleeps: the sleep must not hold it.
  EXPECT_TRUE(FinishesOnAnotherThread([&] { throttle->SetQuantity(0.5); }));
  sleeper.join();
  EXPECT_LT(SecondsSince(start), 60.0);
}
