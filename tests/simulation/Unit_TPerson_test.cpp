// Person rules: the order of the random draws, turning, illness timing, the field's edges, and
// the exact bounds of selection and contact.
#include "simulation/Unit_TPerson.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "runtime/random.h"
#include "runtime/trigonometry.h"

namespace {

TPerson Walker(double x, double y, double angle, double speed) {
  TPerson person;
  person.mPositionX = x;
  person.mPositionY = y;
  person.mAngle = angle;
  person.mSpeed = speed;
  person.mResetCycle = 1000;
  return person;
}

} // namespace

TEST(PersonInitialize, DrawsNineTraitsInTheirFixedOrder) {
  RandSeed = 12345;
  TPerson person;
  person.mPositionX = 7;
  person.mInfected = true;
  person.Initialize();

  // Replay the nine draws with the same seed and rebuild every trait from them.
  RandSeed = 12345;
  const int32_t angle = Random(360);
  const int32_t speed = Random(30);
  const int32_t start = Random(100) + 10;
  const int32_t stop = start + Random(100) + 10;
  const int32_t change = Random(10);
  const int32_t reset = stop + Random(500) + 10;
  const int32_t death = Random(420) + 420;
  const int32_t burial = Random(180) + 60;
  const int32_t size = Random(3) + 3;
  const uint32_t seedAfterNine = RandSeed;

  RandSeed = 12345;
  TPerson again;
  again.Initialize();
  EXPECT_EQ(RandSeed, seedAfterNine);
  EXPECT_EQ(person.mAngle, angle);
  EXPECT_EQ(person.mSpeed, speed / 10.0);
  EXPECT_EQ(person.mStartChangeAngleAfterCycle, start);
  EXPECT_EQ(person.mStopChangeAngleAfterCycle, stop);
  EXPECT_EQ(person.mAngleChangeSpeed, change / 10.0);
  EXPECT_EQ(person.mResetCycle, reset);
  EXPECT_EQ(person.mDeadAfterInfectionCycle, death);
  EXPECT_EQ(person.mBuriedAfterDeadCycle, burial);
  EXPECT_EQ(person.mSize, size);
  // Position, infection and quarantine are not Initialize's business.
  EXPECT_EQ(person.mPositionX, 7);
  EXPECT_TRUE(person.mInfected);
  EXPECT_EQ(person.mRole, r_citizen);
}

TEST(PersonInitialize, MatchesAnIndependentComputation) {
  RandSeed = 20261209;
  TPerson first, second, third;
  first.Initialize();
  second.Initialize();
  third.Initialize();
  EXPECT_EQ(first.mAngle, 183);
  EXPECT_EQ(first.mSpeed, 14 / 10.0);
  EXPECT_EQ(first.mSize, 4);
  EXPECT_EQ(second.mAngle, 274);
  EXPECT_EQ(second.mSpeed, 1.0);
  EXPECT_EQ(second.mSize, 5);
  EXPECT_EQ(third.mAngle, 73);
  EXPECT_EQ(third.mSpeed, 29 / 10.0);
  EXPECT_EQ(third.mSize, 4);
}

TEST(PersonInitialize, SpeedIsADivisionByTenNotAMultiplication) {
  // 3 / 10.0 and 3 * 0.1 differ in the last bit; the rule is the division.
  ASSERT_NE(3 / 10.0, 3 * 0.1);
  for (uint32_t seed = 0; seed < 2000; ++seed) {
    RandSeed = seed;
    TPerson person;
    person.Initialize();
    RandSeed = seed;
    Random(360);
    const int32_t speed = Random(PersonSpeedRange);
    ASSERT_EQ(person.mSpeed, speed / 10.0);
  }
}

TEST(PersonThink, TurnsOnlyStrictlyInsideTheWindowAndRestartsAfterTheReset) {
  TPerson person;
  person.mStartChangeAngleAfterCycle = 2;
  person.mStopChangeAngleAfterCycle = 5;
  person.mResetCycle = 6;
  person.mAngleChangeSpeed = 0.5;
  std::vector<double> angles;
  std::vector<int32_t> cycles;
  for (int i = 0; i < 14; ++i) {
    person.Think();
    angles.push_back(person.mAngle);
    cycles.push_back(person.mCycle);
  }
  // Counter values 3 and 4 turn; 7 exceeds the reset and restarts at 0: a period of 7.
  EXPECT_EQ(cycles, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(angles, (std::vector<double>{0, 0, 0.5, 1, 1, 1, 1, 1, 1, 1.5, 2, 2, 2, 2}));
}

TEST(PersonThink, TurningIgnoresDeathAndQuarantine) {
  TPerson person;
  person.mStartChangeAngleAfterCycle = 0;
  person.mStopChangeAngleAfterCycle = 10;
  person.mResetCycle = 20;
  person.mAngleChangeSpeed = 0.9;
  person.mDead = true;
  person.mInfected = true;
  person.mQuarantined = true;
  person.mDeadAfterInfectionCycle = 420;
  person.mBuriedAfterDeadCycle = 60;
  person.Think();
  EXPECT_DOUBLE_EQ(person.mAngle, 0.9);
}

TEST(PersonThink, DiesOnTheCountedCycleAndIsBuriedOnTheDeadCycleCount) {
  TPerson person;
  person.mResetCycle = 1000;
  person.mDeadAfterInfectionCycle = 420;
  person.mBuriedAfterDeadCycle = 60;
  person.Infect();
  for (int i = 0; i < 419; ++i) {
    person.Think();
  }
  EXPECT_FALSE(person.mDead);
  person.Think(); // the 420th since infection
  EXPECT_EQ(person.mInfectionCycle, 420);
  EXPECT_TRUE(person.mDead);
  EXPECT_EQ(person.mDeadCycle, 1);
  for (int i = 421; i < 479; ++i) {
    person.Think();
  }
  EXPECT_FALSE(person.mBuried);
  person.Think(); // the 479th
  EXPECT_TRUE(person.mBuried);
  EXPECT_EQ(person.mDeadCycle, 60);
  // Counters keep counting after they fired; the flags stay set.
  person.Think();
  EXPECT_EQ(person.mInfectionCycle, 480);
  EXPECT_EQ(person.mDeadCycle, 61);
  EXPECT_TRUE(person.mDead);
  EXPECT_TRUE(person.mBuried);
}

TEST(PersonThink, HealthyPersonsNeitherCountNorDie) {
  TPerson person;
  person.mResetCycle = 1000;
  person.mDeadAfterInfectionCycle = 1;
  for (int i = 0; i < 5; ++i) {
    person.Think();
  }
  EXPECT_EQ(person.mInfectionCycle, 0);
  EXPECT_FALSE(person.mDead);
}

TEST(PersonMove, StepsAlongTheHeadingWithTheFixedArithmetic) {
  TPerson person = Walker(10, 20, 30, 1.7);
  person.Move();
  const double radians = 30 * 3.141592653589793 / 180;
  EXPECT_EQ(person.mDirectionX, Sine(radians));
  EXPECT_EQ(person.mDirectionY, Cosine(radians));
  EXPECT_EQ(person.mPositionX, 10 + Sine(radians) * 1.7);
  EXPECT_EQ(person.mPositionY, 20 + Cosine(radians) * 1.7);

  // Heading 0 walks down the screen, 90 to the right.
  TPerson down = Walker(0, 0, 0, 2);
  down.Move();
  EXPECT_EQ(down.mPositionX, 0);
  EXPECT_EQ(down.mPositionY, 2);
  TPerson right = Walker(0, 0, 90, 2);
  right.Move();
  EXPECT_EQ(right.mPositionX, 2);
  EXPECT_NEAR(right.mPositionY, 0, 1e-15);
}

TEST(PersonMove, EveryStepHasTheDirectionOfItsOwnHeadingBits) {
  // Headings set between steps: the first step at 0 (whose bits are all zero), repeats,
  // changes, a return to an earlier heading, -0 against 0, a full turn further (the same
  // direction in degrees, other bits), and a heading changed while the person stood still.
  struct TStep {
    double mAngle;
    bool mQuarantined;
  };
  const TStep steps[] = {{0.0, false},   {0.0, false},  {30.0, false}, {30.0, false},
                         {30.1, false},  {30.0, false}, {-0.0, false}, {0.0, false},
                         {390.0, false}, {30.0, false}, {75.0, true},  {75.0, false}};
  TPerson person = Walker(100, 100, 0, 1.3);
  double x = 100;
  double y = 100;
  for (const auto& step : steps) {
    person.mAngle = step.mAngle;
    person.mQuarantined = step.mQuarantined;
    person.Move();
    if (step.mQuarantined) {
      continue;
    }
    double sine;
    double cosine;
    SineCosine(step.mAngle * 3.141592653589793 / 180, sine, cosine);
    x = x + sine * 1.3;
    y = y + cosine * 1.3;
    ASSERT_EQ(std::bit_cast<uint64_t>(person.mDirectionX), std::bit_cast<uint64_t>(sine))
        << step.mAngle;
    ASSERT_EQ(std::bit_cast<uint64_t>(person.mDirectionY), std::bit_cast<uint64_t>(cosine))
        << step.mAngle;
    ASSERT_EQ(person.mPositionX, x) << step.mAngle;
    ASSERT_EQ(person.mPositionY, y) << step.mAngle;
  }
}

TEST(PersonMove, QuarantinedAndDeadPersonsStandStill) {
  TPerson quarantined = Walker(5, 5, 45, 2);
  quarantined.mDirectionX = 0.25;
  quarantined.Quarantine();
  quarantined.Move();
  EXPECT_EQ(quarantined.mPositionX, 5);
  EXPECT_EQ(quarantined.mDirectionX, 0.25);

  TPerson dead = Walker(5, 5, 45, 2);
  dead.mDead = true;
  dead.Move();
  EXPECT_EQ(dead.mPositionY, 5);
  EXPECT_EQ(dead.mDirectionY, 0);
}

TEST(PersonKeepInside, ComparisonsAreStrict) {
  TPerson atEdges = Walker(0, 99, 10, 1);
  atEdges.KeepInside(200, 100);
  EXPECT_EQ(atEdges.mPositionX, 0);
  EXPECT_EQ(atEdges.mPositionY, 99);
  EXPECT_EQ(atEdges.mAngle, 10);

  TPerson justOutside = Walker(-0.000001, 50, 10, 1);
  justOutside.KeepInside(200, 100);
  EXPECT_EQ(justOutside.mPositionX, 0);
  EXPECT_EQ(justOutside.mAngle, 190);

  TPerson beyondFar = Walker(199.5, 99.25, 10, 1);
  beyondFar.KeepInside(200, 100);
  EXPECT_EQ(beyondFar.mPositionX, 199);
  EXPECT_EQ(beyondFar.mPositionY, 99);
  EXPECT_EQ(beyondFar.mAngle, 370);
}

TEST(PersonKeepInside, ACornerStepTurnsByAFullCircle) {
  TPerson person = Walker(1, 1, 225, 2.0);
  person.Move();
  EXPECT_NEAR(person.mPositionX, -0.414, 0.001);
  EXPECT_NEAR(person.mPositionY, -0.414, 0.001);
  person.KeepInside(100, 100);
  EXPECT_EQ(person.mPositionX, 0);
  EXPECT_EQ(person.mPositionY, 0);
  EXPECT_EQ(person.mAngle, 585);
  // Without turning of its own it stays pressed into the corner.
  for (int i = 0; i < 10; ++i) {
    person.Move();
    person.KeepInside(100, 100);
  }
  EXPECT_EQ(person.mPositionX, 0);
  EXPECT_EQ(person.mPositionY, 0);
  EXPECT_EQ(person.mAngle, 585 + 10 * 360);
}

TEST(PersonKeepInside, AFieldOfWidthZeroHasTheFarBoundMinusOne) {
  TPerson person = Walker(0, 0, 0, 0);
  person.KeepInside(0, 0);
  EXPECT_EQ(person.mPositionX, -1);
  EXPECT_EQ(person.mPositionY, -1);
  EXPECT_EQ(person.mAngle, 360);
  person.KeepInside(0, 0);
  EXPECT_EQ(person.mPositionX, -1);
  EXPECT_EQ(person.mPositionY, -1);
  EXPECT_EQ(person.mAngle, 360 + 720);
}

TEST(PersonKeepInside, AppliesToQuarantinedAndDeadPersons) {
  TPerson person = Walker(-3, 5, 0, 0);
  person.mDead = true;
  person.mQuarantined = true;
  person.KeepInside(10, 10);
  EXPECT_EQ(person.mPositionX, 0);
  EXPECT_EQ(person.mAngle, 180);
}

TEST(PersonSelect, BoundsAreInclusive) {
  TPerson person = Walker(10, 20, 0, 0);
  person.mSize = 3;
  EXPECT_TRUE(person.Select(13, 17));
  EXPECT_TRUE(person.Select(7, 23));
  EXPECT_FALSE(person.Select(14, 17));
  EXPECT_FALSE(person.Select(13, 16));
  EXPECT_FALSE(person.Select(6, 20));
  EXPECT_FALSE(person.Select(10, 24));
  person.mDead = true;
  person.mBuried = true;
  EXPECT_TRUE(person.Select(10, 20));
}

TEST(PersonSelect, FractionalCentres) {
  TPerson person = Walker(10.5, 20.25, 0, 0);
  person.mSize = 4;
  EXPECT_TRUE(person.Select(7, 17));
  EXPECT_FALSE(person.Select(6, 17));
  EXPECT_TRUE(person.Select(14, 24));
  EXPECT_FALSE(person.Select(15, 24));
  EXPECT_FALSE(person.Select(14, 25));
}

TEST(PersonNear, TouchingCirclesAreNear) {
  TPerson a = Walker(0, 0, 0, 0);
  TPerson b = Walker(7, 0, 0, 0);
  a.mSize = 3;
  b.mSize = 4;
  EXPECT_TRUE(a.Near(b));
  EXPECT_TRUE(b.Near(a));
  b.mPositionX = 7.000001;
  EXPECT_FALSE(a.Near(b));
  // A diagonal 3-4-5 triangle: distance exactly 5.
  TPerson c = Walker(3, 4, 0, 0);
  c.mSize = 2;
  a.mSize = 3;
  EXPECT_TRUE(a.Near(c));
  c.mSize = 1;
  EXPECT_FALSE(a.Near(c));
  // State plays no part.
  c.mSize = 2;
  c.mBuried = true;
  c.mDead = true;
  EXPECT_TRUE(a.Near(c));
}
