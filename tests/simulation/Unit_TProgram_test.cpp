// The world registry: creation and destruction order, the globals after destruction, the
// field size and its re-scatter, forwarding of clicks and cycles, and the pace of a fresh
// start-up against the real clock, bounded by the times measured around it. Order is observed
// through every allocation and release this test binary makes (allocation_log.h).
#include "simulation/Unit_TProgram.h"

#include <gtest/gtest.h>

#include <chrono>

#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TUniverseThreadLess.h"
#include "tests/simulation/allocation_log.h"
#include "tests/simulation/universe_inspection.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsBetween(Clock::time_point ParaStart, Clock::time_point ParaEnd) {
  return std::chrono::duration<double>(ParaEnd - ParaStart).count();
}

// The position of ParaObject among the logged addresses; the last entry counts, since a live
// object's address cannot have been reused after it was allocated.
int PositionIn(const void* const* ParaEntries, int ParaCount, const void* ParaObject) {
  for (int i = ParaCount - 1; i >= 0; --i) {
    if (ParaEntries[i] == ParaObject) {
      return i;
    }
  }
  return -1;
}

class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    PersonCount = 100;
    RandSeed = 19970121;
  }

  void TearDown() override {
    TheLog.recording = false;
    if (Universe != nullptr) {
      ProgramDestroy();
    }
    PersonCount = 100;
  }
};

} // namespace

TEST_F(RegistryTest, CreateMakesFieldHumanityDiseaseGameUniverseInThisOrder) {
  TheLog.Start();
  ProgramCreate();
  TheLog.recording = false;
  const void* objects[] = {Field, Humanity, Disease, Game, Universe};
  int previous = -1;
  for (const void* object : objects) {
    ASSERT_NE(object, nullptr);
    const int position = PositionIn(TheLog.allocations, TheLog.allocationCount, object);
    EXPECT_GT(position, previous);
    previous = position;
  }
  EXPECT_EQ(Persons.size(), 100u);
  EXPECT_EQ(Field->Width(), 0);
  EXPECT_EQ(Field->Height(), 0);
}

TEST_F(RegistryTest, DestroyFreesInReverseOrderAndLeavesEveryGlobalNull) {
  ProgramCreate();
  const void* objects[] = {Universe, Game, Disease, Humanity, Field};
  TheLog.Start();
  ProgramDestroy();
  TheLog.recording = false;
  int previous = -1;
  for (const void* object : objects) {
    const int position = PositionIn(TheLog.releases, TheLog.releaseCount, object);
    EXPECT_GT(position, previous);
    previous = position;
  }
  EXPECT_EQ(Universe, nullptr);
  EXPECT_EQ(Game, nullptr);
  EXPECT_EQ(Disease, nullptr);
  EXPECT_EQ(Humanity, nullptr);
  EXPECT_EQ(Field, nullptr);
  EXPECT_TRUE(Persons.empty());
}

TEST_F(RegistryTest, SetFieldSizeSetsBothDimensionsThenScattersOnceOverTheNewSize) {
  ProgramCreate();
  const uint32_t seed = RandSeed;
  ProgramSetFieldSize(640, 7);
  EXPECT_EQ(Field->Width(), 640);
  EXPECT_EQ(Field->Height(), 7);

  const uint32_t after = RandSeed;
  RandSeed = seed;
  for (const auto& person : Persons) {
    const int32_t x = Random(640);
    const int32_t y = Random(7);
    EXPECT_EQ(person.mPositionX, x);
    EXPECT_EQ(person.mPositionY, y);
  }
  // Exactly two draws per person.
  EXPECT_EQ(RandSeed, after);
}

TEST_F(RegistryTest, SetFieldSizeWorksBeforeAndAfterStartupAnyNumberOfTimes) {
  ProgramCreate();
  ProgramSetFieldSize(100, 100);
  ProgramStartup();
  ProgramSetFieldSize(3, 2);
  ProgramSetFieldSize(3, 2);
  for (const auto& person : Persons) {
    EXPECT_LT(person.mPositionX, 3);
    EXPECT_LT(person.mPositionY, 2);
  }
}

TEST_F(RegistryTest, ClicksReachThePersonsUnderThePoint) {
  ProgramCreate();
  ProgramSetFieldSize(792, 673);
  const TPerson& target = Persons[42];
  const auto x = static_cast<int32_t>(target.mPositionX);
  const auto y = static_cast<int32_t>(target.mPositionY);
  ProgramQuarantine(x, y);
  EXPECT_TRUE(target.mQuarantined);
  EXPECT_FALSE(target.mInfected);
  ProgramInfect(x, y);
  EXPECT_TRUE(target.mInfected);
}

// Paced by the real clock at 60 a second: never faster, and every unit the clock gave since the
// start-up either went into a cycle or is still in the bucket, within the times measured
// around the start-up and around the last reading. A loaded machine only makes it take longer.
TEST_F(RegistryTest, FromAFreshStartup120PacedCyclesTakeAboutTwoSeconds) {
  ProgramCreate();
  ProgramSetFieldSize(792, 673);
  const auto beforeStartup = Clock::now();
  ProgramStartup();
  const auto afterStartup = Clock::now();
  ProgramSingleLoop();
  const double first = SecondsBetween(beforeStartup, Clock::now());
  for (int i = 1; i < 120; ++i) {
    ProgramSingleLoop();
  }
  const auto beforeReading = Clock::now();
  const double left = InspectedUniverse::CycleThrottleOf(*Universe).QuantityAvailable();
  const auto afterReading = Clock::now();
  EXPECT_EQ(Disease->mCycle, 120);
  EXPECT_GE(first, 1.0 / 60 - 1e-6);
  EXPECT_GE(SecondsBetween(beforeStartup, beforeReading), 2.0 - 1e-6);
  EXPECT_GE(left, 60 * SecondsBetween(afterStartup, beforeReading) - 120 - 1e-6);
  EXPECT_LE(left, 60 * SecondsBetween(beforeStartup, afterReading) - 120 + 1e-6);
}
