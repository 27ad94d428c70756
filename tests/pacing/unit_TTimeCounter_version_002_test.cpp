// The time counter: its three sources, the mode rule, and the simulated values that outlive
// mode changes. The platform clocks are the fake ones of fake_platform_time.h.
#include "pacing/unit_TTimeCounter_version_002.h"

#include <gtest/gtest.h>

#include "tests/pacing/fake_platform_time.h"

class TimeCounterTest : public ::testing::Test {
protected:
  void SetUp() override { TheFakeClock = FakeClock{}; }
};

TEST_F(TimeCounterTest, NewCounterReadsThePerformanceCounterAfreshOnEveryRead) {
  TheFakeClock.counter = 12345;
  TheFakeClock.frequency = 3579545;
  TTimeCounter counter;
  EXPECT_EQ(counter.Mode(), tcm_high_accuracy);
  EXPECT_EQ(counter.Frequency(), 3579545);
  EXPECT_EQ(counter.Tick(), 12345);
  TheFakeClock.counter = 99999;
  TheFakeClock.frequency = 10000000;
  EXPECT_EQ(counter.Tick(), 99999);
  EXPECT_EQ(counter.Frequency(), 10000000);
}

TEST_F(TimeCounterTest, HighAccuracyIsRefusedSilentlyWhenTheCounterCannotBeRead) {
  TTimeCounter counter;
  TheFakeClock.counterReadable = false;
  // The other modes need no counter.
  counter.SetMode(tcm_low_cpu_usage);
  EXPECT_EQ(counter.Mode(), tcm_low_cpu_usage);
  counter.SetMode(tcm_high_accuracy);
  EXPECT_EQ(counter.Mode(), tcm_low_cpu_usage);
  counter.SetMode(tcm_simulation);
  counter.SetMode(tcm_high_accuracy);
  EXPECT_EQ(counter.Mode(), tcm_simulation);

  TheFakeClock.counterReadable = true;
  counter.SetMode(tcm_high_accuracy);
  EXPECT_EQ(counter.Mode(), tcm_high_accuracy);
}

TEST_F(TimeCounterTest, NewCounterStaysInHighAccuracyEvenWhenTheCounterCannotBeRead) {
  TheFakeClock.counterReadable = false;
  TheFakeClock.frequencyReadable = false;
  TheFakeClock.counter = 777;
  TTimeCounter counter;
  EXPECT_EQ(counter.Mode(), tcm_high_accuracy);
  EXPECT_EQ(counter.Tick(), 0);
  EXPECT_EQ(counter.Frequency(), 0);
}

TEST_F(TimeCounterTest, LowCpuUsageCountsUnsignedMillisecondsAtFrequency1000) {
  TTimeCounter counter;
  counter.SetMode(tcm_low_cpu_usage);
  EXPECT_EQ(counter.Frequency(), 1000);
  TheFakeClock.tickCount = 4294967295u;
  EXPECT_EQ(counter.Tick(), 4294967295);
  TheFakeClock.tickCount = 0;
  EXPECT_EQ(counter.Tick(), 0);
}

TEST_F(TimeCounterTest, SimulationStartsAtZeroAndReportsWhatWasWritten) {
  TTimeCounter counter;
  counter.SetMode(tcm_simulation);
  EXPECT_EQ(counter.Tick(), 0);
  EXPECT_EQ(counter.Frequency(), 0);
  counter.SetTick(-5);
  counter.SetFrequency(250);
  EXPECT_EQ(counter.Tick(), -5);
  EXPECT_EQ(counter.Frequency(), 250);
}

TEST_F(TimeCounterTest, WritesOutsideSimulationAreIgnoredNowAndLater) {
  TheFakeClock.counter = 40;
  TTimeCounter counter;
  counter.SetTick(1000);
  counter.SetFrequency(2000);
  EXPECT_EQ(counter.Tick(), 40);
  counter.SetMode(tcm_low_cpu_usage);
  counter.SetTick(3000);
  counter.SetFrequency(4000);
  EXPECT_EQ(counter.Frequency(), 1000);
  counter.SetMode(tcm_simulation);
  EXPECT_EQ(counter.Tick(), 0);
  EXPECT_EQ(counter.Frequency(), 0);
}

TEST_F(TimeCounterTest, SimulatedValuesSurviveModeChanges) {
  TTimeCounter counter;
  counter.SetMode(tcm_simulation);
  counter.SetTick(123);
  counter.SetFrequency(456);
  counter.SetMode(tcm_high_accuracy);
  EXPECT_EQ(counter.Mode(), tcm_high_accuracy);
  counter.SetMode(tcm_low_cpu_usage);
  counter.SetMode(tcm_simulation);
  EXPECT_EQ(counter.Tick(), 123);
  EXPECT_EQ(counter.Frequency(), 456);
  // Re-entering the mode it is already in resets nothing either.
  counter.SetMode(tcm_simulation);
  EXPECT_EQ(counter.Tick(), 123);
}
