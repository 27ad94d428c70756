// The universe: the set-up of its cycle throttle, start-up, and the paced cycle against the
// real clock. Bounds are generous; only lower bounds that a timed wait guarantees are tight.
#include "simulation/Unit_TUniverseThreadLess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <memory>
#include <new>
#include <thread>

#include "runtime/random.h"
#include "tests/simulation/allocation_log.h"
#include "tests/simulation/world_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point ParaStart) {
  return std::chrono::duration<double>(Clock::now() - ParaStart).count();
}

// Opens up the cycle throttle for inspection.
class InspectedUniverse : public TUniverse {
public:
  using TUniverse::CycleThrottle;
};

class UniverseTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    CreateWorld();
  }
};

} // namespace

TEST_F(UniverseTest, SetUpGivesAnEnabledThrottleAt60PerSecondWithAnEmptyBucket) {
  InspectedUniverse universe;
  TSpeedThrottle& throttle = universe.CycleThrottle();
  EXPECT_TRUE(throttle.Enabled());
  EXPECT_FALSE(throttle.Paused());
  EXPECT_EQ(throttle.Speed(), 60);
  EXPECT_EQ(throttle.MaximumExtractionQuantity(), 80000);
  EXPECT_EQ(throttle.MaximumWaitingTime(), 1);
  EXPECT_EQ(throttle.TimeCounterMode(), tcm_high_accuracy);
  EXPECT_EQ(throttle.Quantity(), 0);
  throttle.SetQuantity(1e9);
  EXPECT_EQ(throttle.Quantity(), 80000);
}

TEST_F(UniverseTest, FirstWaitAfterSetUpEndsAtOnceOnThePendingSignal) {
  InspectedUniverse universe;
  TSpeedThrottle& throttle = universe.CycleThrottle();
  // 18 units at 60 per second: a wait of 300 ms each time.
  const auto first = Clock::now();
  EXPECT_EQ(throttle.SleepIfWaitingTimeAvailable(18), 300);
  EXPECT_LT(SecondsSince(first), 0.15);
  throttle.Reset();
  const auto second = Clock::now();
  EXPECT_EQ(throttle.SleepIfWaitingTimeAvailable(18), 300);
  EXPECT_GE(SecondsSince(second), 0.29);
}

TEST_F(UniverseTest, StartupEmptiesTheBucketAndDrawsTheDelayUntilPatientZero) {
  InspectedUniverse universe;
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_GE(universe.CycleThrottle().QuantityAvailable(), 3);
  Disease->mCycle = 17;
  Disease->mPatientZeroExists = true;

  const uint32_t seed = RandSeed;
  universe.Startup();
  EXPECT_EQ(universe.CycleThrottle().Quantity(), 0);
  EXPECT_LT(universe.CycleThrottle().QuantityAvailable(), 1);

  const uint32_t after = RandSeed;
  RandSeed = seed;
  const int32_t delay = Random(100) + 100;
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(Disease->mCycleTillPatientZero, delay);
  EXPECT_EQ(Disease->mCycle, 0);
  EXPECT_FALSE(Disease->mPatientZeroExists);
}

TEST_F(UniverseTest, SingleLoopRunsOneCycleAndThenTakesOneUnit) {
  InspectedUniverse universe;
  universe.Startup();
  const auto before = std::chrono::steady_clock::now();
  universe.CycleThrottle().SetQuantity(5.5);
  universe.SingleLoop();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
  EXPECT_EQ(Disease->mCycle, 1);
  EXPECT_EQ(Persons[0].mCycle, 1);
  // One unit out, and no more in than the real clock let accrue meanwhile at 60 a second.
  EXPECT_GE(universe.CycleThrottle().Quantity(), 4.5);
  EXPECT_LE(universe.CycleThrottle().Quantity(), 4.5 + 60.0 * elapsed + 1e-9);
}

// The unit goes out after Game.Think: a cycle that fails in the level logic (the next level's
// population cannot be allocated) has used nothing.
TEST_F(UniverseTest, ACycleThatRaisesInGameThinkLeavesTheBucketUntouched) {
  InspectedUniverse universe;
  universe.Startup();
  Disease->mPatientZeroExists = true;
  Disease->mCycleTillPatientZero = 5;
  Disease->mCycle = 10; // nobody infected after patient zero's cycle: the level ends
  PersonCount = std::numeric_limits<int32_t>::max() / 2;
  universe.CycleThrottle().SetQuantity(5.5);
  AllocationLimit = 1 << 30;
  EXPECT_THROW(universe.SingleLoop(), std::bad_alloc);
  AllocationLimit = kNoAllocationLimit;
  EXPECT_EQ(Disease->mCycle, 11); // the cycle got as far as the level logic
  EXPECT_EQ(Persons.size(), 100u);
  // Only what accrued meanwhile was added; taking the unit first would have left 4.5 and more.
  EXPECT_GE(universe.CycleThrottle().Quantity(), 5.5);
}

TEST_F(UniverseTest, SingleLoopWaitsUntilAWholeUnitHasAccrued) {
  InspectedUniverse universe;
  universe.Startup();
  const auto start = Clock::now();
  universe.CycleThrottle().SetQuantity(0.5);
  universe.SingleLoop();
  // Half a unit at 60 per second is 8.3 ms of real time.
  EXPECT_GE(SecondsSince(start), 0.5 / 60);
  EXPECT_EQ(Disease->mCycle, 1);
  EXPECT_LT(universe.CycleThrottle().Quantity(), 0.5);
}

TEST_F(UniverseTest, ContentBuiltUpByAStallRunsBackToBackWithoutWaiting) {
  InspectedUniverse universe;
  const auto start = Clock::now();
  universe.Startup();
  // What ten seconds without calls leave in the bucket.
  universe.CycleThrottle().SetQuantity(600);
  for (int i = 0; i < 600; ++i) {
    universe.SingleLoop();
  }
  const double elapsed = SecondsSince(start);
  EXPECT_LT(elapsed, 5.0); // paced, 600 cycles take 10 s
  EXPECT_EQ(Disease->mCycle, 600);
  // Only what accrued meanwhile is left.
  const double left = universe.CycleThrottle().QuantityAvailable();
  EXPECT_LE(left, 60 * SecondsSince(start));
}

TEST_F(UniverseTest, SimulationCycleNeitherWaitsNorTakesAUnit) {
  InspectedUniverse universe;
  universe.Startup();
  universe.CycleThrottle().SetQuantity(0.25);
  const auto start = Clock::now();
  for (int i = 0; i < 120; ++i) {
    universe.SimulationCycle();
  }
  EXPECT_LT(SecondsSince(start), 1.0); // paced, 120 cycles take 2 s
  EXPECT_EQ(Disease->mCycle, 120);
  EXPECT_GE(universe.CycleThrottle().Quantity(), 0.25);
}
