// The universe: the set-up of its cycle throttle, start-up, the paced cycle against the real
// clock, and the cycle's world against the rules computed straightforwardly. No check depends
// on how busy the machine is: what accrues is bounded by the time measured around it, and a
// wait that must not happen would take the pending wake-up signal.
#include "simulation/Unit_TUniverseThreadLess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <limits>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "runtime/random.h"
#include "runtime/trigonometry.h"
#include "tests/simulation/allocation_log.h"
#include "tests/simulation/universe_inspection.h"
#include "tests/simulation/world_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point ParaStart) {
  return std::chrono::duration<double>(Clock::now() - ParaStart).count();
}

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

// The first wait takes it and ends at once (the event's own tests show a pending signal doing
// so); every later wait sleeps until its time is up or another thread signals.
TEST_F(UniverseTest, SetUpLeavesExactlyOneWakeUpPendingForTheFirstWait) {
  InspectedUniverse universe;
  EXPECT_TRUE(TakeWakeUp(universe.CycleThrottle()));
  EXPECT_FALSE(TakeWakeUp(universe.CycleThrottle()));
}

TEST_F(UniverseTest, StartupEmptiesTheBucketAndDrawsTheDelayUntilPatientZero) {
  InspectedUniverse universe;
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_GE(universe.CycleThrottle().QuantityAvailable(), 3);
  Disease->mCycle = 17;
  Disease->mPatientZeroExists = true;

  const uint32_t seed = RandSeed;
  const auto start = Clock::now();
  universe.Startup();
  EXPECT_EQ(universe.CycleThrottle().Quantity(), 0);
  // Only what accrued since the start-up, at 60 a second (read first, then the time).
  const double accrued = universe.CycleThrottle().QuantityAvailable();
  EXPECT_LE(accrued, 60 * SecondsSince(start));

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
  // Measured from before the start-up, where the clock that fills the bucket restarts.
  const auto before = Clock::now();
  universe.Startup();
  universe.CycleThrottle().SetQuantity(5.5);
  universe.SingleLoop();
  const double elapsed = SecondsSince(before);
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
  TSpeedThrottle& throttle = universe.CycleThrottle();
  const auto start = Clock::now();
  universe.Startup();
  throttle.SetQuantity(0.5);
  universe.SingleLoop();
  const double elapsed = SecondsSince(start);
  EXPECT_EQ(Disease->mCycle, 1);
  // The cycle ran only once the missing half unit had accrued: 8.3 ms at 60 a second. (Whether
  // the throttle had to sleep for it depends on how busy the machine is, so that is not asked.)
  EXPECT_GE(elapsed, 0.5 / 60);
  // Then one unit went out: what is left is at most what accrued in the time measured, less 1.
  EXPECT_LE(throttle.Quantity(), 0.5 + 60.0 * elapsed - 1 + 1e-9);
}

TEST_F(UniverseTest, ContentBuiltUpByAStallRunsBackToBackWithoutWaiting) {
  InspectedUniverse universe;
  TSpeedThrottle& throttle = universe.CycleThrottle();
  const auto start = Clock::now();
  universe.Startup();
  // What ten seconds without calls leave in the bucket.
  throttle.SetQuantity(600);
  for (int i = 0; i < 600; ++i) {
    universe.SingleLoop();
  }
  EXPECT_EQ(Disease->mCycle, 600);
  // None of them waited (paced, 600 cycles take 10 s): the wake-up is still pending.
  EXPECT_TRUE(TakeWakeUp(throttle));
  // Only what accrued meanwhile is left (read first, then the time).
  const double left = throttle.QuantityAvailable();
  EXPECT_LE(left, 60 * SecondsSince(start));
}

TEST_F(UniverseTest, SimulationCycleNeitherWaitsNorTakesAUnit) {
  InspectedUniverse universe;
  TSpeedThrottle& throttle = universe.CycleThrottle();
  universe.Startup();
  throttle.SetQuantity(0.25);
  for (int i = 0; i < 120; ++i) {
    universe.SimulationCycle();
  }
  EXPECT_EQ(Disease->mCycle, 120);
  // The throttle was not touched: a wait or a take would have refilled or drained the bucket,
  // and a wait would have taken the pending wake-up.
  EXPECT_EQ(throttle.Quantity(), 0.25);
  EXPECT_TRUE(TakeWakeUp(throttle));
}

namespace {

// The cycle as the rules write it, without reuse or fusion: every person thinks, then every
// person moves with its sine and cosine computed afresh, then the disease and the levels.
void StraightforwardCycle() {
  for (auto& person : Persons) {
    person.Think();
  }
  for (auto& person : Persons) {
    if (!person.mQuarantined && !person.mDead) {
      SineCosine(person.mAngle * 3.141592653589793 / 180, person.mDirectionX, person.mDirectionY);
      person.mPositionX = person.mPositionX + person.mDirectionX * person.mSpeed;
      person.mPositionY = person.mPositionY + person.mDirectionY * person.mSpeed;
    }
    person.KeepInside(Field->Width(), Field->Height());
  }
  Disease->Think();
  Disease->Infect();
  Game->Think();
}

// Everything a cycle may change, every bit of it, folded into one number (FNV-1a).
uint64_t WorldFingerprint() {
  uint64_t hash = 14695981039346656037u;
  const auto mix = [&hash](uint64_t ParaValue) {
    for (int i = 0; i < 8; ++i) {
      hash = (hash ^ ((ParaValue >> (8 * i)) & 0xFF)) * 1099511628211u;
    }
  };
  const auto bits = [](double ParaValue) { return std::bit_cast<uint64_t>(ParaValue); };
  mix(RandSeed);
  mix(static_cast<uint32_t>(PersonCount));
  mix(static_cast<uint32_t>(Disease->mCycle));
  mix(Disease->mPatientZeroExists);
  mix(Game->Over());
  for (const auto& p : Persons) {
    for (const double value :
         {p.mPositionX, p.mPositionY, p.mAngle, p.mDirectionX, p.mDirectionY}) {
      mix(bits(value));
    }
    for (const int32_t value : {p.mCycle, p.mInfectionCycle, p.mDeadCycle}) {
      mix(static_cast<uint32_t>(value));
    }
    mix(p.mInfected | p.mQuarantined << 1 | p.mDead << 2 | p.mBuried << 3);
  }
  return hash;
}

// A size change or a click after the given cycle.
struct TWorldEvent {
  int mCycle;
  char mKind; // 'S' size, 'L' quarantine, 'R' infect
  int32_t mX;
  int32_t mY;
};

struct TWorldRun {
  int32_t mPersons;
  int32_t mWidth;
  int32_t mHeight;
  int mCycles;
  std::vector<TWorldEvent> mEvents;
  bool mReachesNextLevel;
  bool mReachesGameOver;
};

class CycleEquivalenceTest : public WorldTest {
protected:
  // The fingerprint after every cycle of one run, the cycles run by ParaCycle.
  template <typename TCycle> std::vector<uint64_t> Run(const TWorldRun& ParaRun, TCycle ParaCycle) {
    // Set up as the headless driver does, so its runs can show what a table row reaches.
    RandSeed = 20261209;
    PersonCount = ParaRun.mPersons;
    CreateWorld();
    Disease->Initialize();
    ProgramSetFieldSize(ParaRun.mWidth, ParaRun.mHeight);
    std::vector<uint64_t> fingerprints;
    for (int cycle = 1; cycle <= ParaRun.mCycles; ++cycle) {
      ParaCycle();
      for (const auto& event : ParaRun.mEvents) {
        if (event.mCycle != cycle) {
          continue;
        }
        if (event.mKind == 'S') {
          ProgramSetFieldSize(event.mX, event.mY);
        } else if (event.mKind == 'L') {
          ProgramQuarantine(event.mX, event.mY);
        } else {
          ProgramInfect(event.mX, event.mY);
        }
      }
      fingerprints.push_back(WorldFingerprint());
    }
    mReachedNextLevel = PersonCount > ParaRun.mPersons;
    mReachedGameOver = Game->Over();
    ProgramDestroy();
    return fingerprints;
  }

  bool mReachedNextLevel = false;
  bool mReachedGameOver = false;
};

} // namespace

TEST_F(CycleEquivalenceTest, TheCycleGivesTheSameWorldAsTheRulesComputedStraightforwardly) {
  // Level changes and lost games, resizes and clicks of both buttons, corners, and a field of
  // 0 x 0 on which every person is thrown back and forth each cycle.
  const TWorldRun runs[] = {
      {100,
       792,
       673,
       2600,
       {{150, 'S', 700, 600}, {160, 'L', 300, 300}, {170, 'R', 350, 300}},
       true,
       false},
      {150,
       90,
       60,
       1500,
       {{40, 'L', 45, 30}, {300, 'S', 400, 300}, {310, 'S', 60, 40}},
       false,
       true},
      {7, 1, 1, 900, {{1, 'R', 0, 0}}, false, true},
      {30, 0, 0, 300, {{150, 'S', 0, 0}}, false, false},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(testing::Message()
                 << run.mPersons << " persons on " << run.mWidth << "x" << run.mHeight);
    TUniverse universe;
    const auto fast = Run(run, [&universe] { universe.SimulationCycle(); });
    const auto plain = Run(run, StraightforwardCycle);
    EXPECT_EQ(mReachedNextLevel, run.mReachesNextLevel);
    EXPECT_EQ(mReachedGameOver, run.mReachesGameOver);
    const auto differs = std::mismatch(fast.begin(), fast.end(), plain.begin());
    EXPECT_EQ(differs.first, fast.end())
        << "the worlds part in cycle " << (differs.first - fast.begin()) + 1;
  }
}
