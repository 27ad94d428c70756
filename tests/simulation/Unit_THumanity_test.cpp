// The population: creation and scatter draws in index order, clicks on every person under the
// point, the two counts, and replacement that never leaves Persons half-built.
#include "tests/simulation/world_fixture.h"

using HumanityTest = WorldTest;

TEST_F(HumanityTest, CreationDrawsNinePerPersonInIndexOrder) {
  PersonCount = 5;
  RandSeed = 99;
  CreateWorld();
  ASSERT_EQ(Persons.size(), 5u);

  RandSeed = 99;
  for (int i = 0; i < 5; ++i) {
    TPerson expected;
    expected.Initialize();
    EXPECT_EQ(Persons[i].mAngle, expected.mAngle) << i;
    EXPECT_EQ(Persons[i].mSize, expected.mSize) << i;
    EXPECT_EQ(Persons[i].mResetCycle, expected.mResetCycle) << i;
    EXPECT_EQ(Persons[i].mBuriedAfterDeadCycle, expected.mBuriedAfterDeadCycle) << i;
    // The first population waits at the origin for the field's size.
    EXPECT_EQ(Persons[i].mPositionX, 0);
    EXPECT_EQ(Persons[i].mPositionY, 0);
  }
}

TEST_F(HumanityTest, ReDistributeDrawsXThenYForEachPersonInTurn) {
  PersonCount = 4;
  CreateWorld(792, 673);
  Persons[2].mDead = true;
  Persons[3].mQuarantined = true;
  const uint32_t seed = RandSeed;
  Humanity->ReDistribute();
  RandSeed = seed;
  for (int i = 0; i < 4; ++i) {
    const int32_t x = Random(792);
    const int32_t y = Random(673);
    EXPECT_EQ(Persons[i].mPositionX, x) << i;
    EXPECT_EQ(Persons[i].mPositionY, y) << i;
  }
  EXPECT_TRUE(Persons[2].mDead);
}

TEST_F(HumanityTest, ReDistributeOnAnEmptyFieldPutsEveryoneAtTheOrigin) {
  PersonCount = 10;
  CreateWorld(0, 0);
  Persons[4].mPositionX = 12.5;
  const uint32_t seed = RandSeed;
  Humanity->ReDistribute();
  EXPECT_NE(RandSeed, seed); // Random(0) still draws
  for (const auto& person : Persons) {
    EXPECT_EQ(person.mPositionX, 0);
    EXPECT_EQ(person.mPositionY, 0);
  }
  // Move then holds everyone at the far bound -1.
  Humanity->Move();
  for (const auto& person : Persons) {
    EXPECT_EQ(person.mPositionX, -1);
    EXPECT_EQ(person.mPositionY, -1);
  }
}

TEST_F(HumanityTest, ResetReplacesAndScattersThePopulation) {
  CreateWorld(300, 200);
  Persons[0].Infect();
  Persons[1].Quarantine();
  PersonCount = 173;
  const uint32_t seed = RandSeed;
  Humanity->Reset();
  ASSERT_EQ(Persons.size(), 173u);
  for (const auto& person : Persons) {
    EXPECT_FALSE(person.mInfected);
    EXPECT_FALSE(person.mQuarantined);
    EXPECT_GE(person.mPositionX, 0);
    EXPECT_LE(person.mPositionX, 299);
    EXPECT_LE(person.mPositionY, 199);
    EXPECT_EQ(person.mPositionX, std::floor(person.mPositionX));
  }
  // Nine draws per new person, then two per person for the scatter.
  RandSeed = seed;
  for (int i = 0; i < 173 * 9; ++i) {
    Random(1);
  }
  const int32_t firstX = Random(300);
  const int32_t firstY = Random(200);
  EXPECT_EQ(Persons[0].mPositionX, firstX);
  EXPECT_EQ(Persons[0].mPositionY, firstY);
}

TEST_F(HumanityTest, AFailedReplacementLeavesTheOldPopulationIntact) {
  SKIP_WITHOUT_BAD_ALLOC();
  CreateWorld(100, 100);
  Persons[3].Infect();
  const double x = Persons[3].mPositionX;
  PersonCount = std::numeric_limits<int32_t>::max();
  EXPECT_THROW(Humanity->Reset(), std::bad_alloc);
  ASSERT_EQ(Persons.size(), 100u);
  EXPECT_TRUE(Persons[3].mInfected);
  EXPECT_EQ(Persons[3].mPositionX, x);
  // The world goes on with the old population.
  Humanity->Think();
  Humanity->Move();
}

TEST_F(HumanityTest, ClicksReachEveryPersonUnderThePointWhateverItsState) {
  CreateWorld(100, 100);
  UsePersons(4);
  for (int i = 0; i < 3; ++i) {
    Persons[i].mPositionX = 50 + i;
    Persons[i].mPositionY = 50;
  }
  Persons[2].mDead = true;
  Persons[2].mInfected = true;
  Humanity->Quarantine(52, 52);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Persons[i].mQuarantined) << i;
  }
  EXPECT_FALSE(Persons[3].mQuarantined);
  Humanity->Infect(53, 50); // exactly on the right edge of person 0's square
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Persons[i].mInfected) << i;
  }
  Humanity->Infect(10, 10); // nobody there
  EXPECT_FALSE(Persons[3].mInfected);
}

TEST_F(HumanityTest, CountsSplitThePopulationIntoInfectedHealthyAndDead) {
  CreateWorld();
  UsePersons(6);
  Persons[0].Infect();
  Persons[1].Infect();
  Persons[1].mDead = true;
  Persons[2].Quarantine();
  Persons[3].Infect();
  Persons[3].Quarantine();
  EXPECT_EQ(Humanity->Infected(), 2);
  EXPECT_EQ(Humanity->Alive(), 3);
  for (auto& person : Persons) {
    person.mInfected = true;
    person.mDead = true;
  }
  EXPECT_EQ(Humanity->Infected(), 0);
  EXPECT_EQ(Humanity->Alive(), 0);
}

TEST_F(HumanityTest, ThinkAndMoveVisitEveryPerson) {
  CreateWorld(100, 100);
  UsePersons(3);
  for (auto& person : Persons) {
    person.mPositionX = 50;
    person.mPositionY = 50;
    person.mSpeed = 1;
  }
  Persons[1].Quarantine();
  Humanity->Think();
  Humanity->Move();
  for (auto& person : Persons) {
    EXPECT_EQ(person.mCycle, 1);
  }
  EXPECT_EQ(Persons[0].mPositionY, 51);
  EXPECT_EQ(Persons[1].mPositionY, 50);
  EXPECT_EQ(Persons[2].mPositionY, 51);
}

TEST_F(HumanityTest, DestroyingThePopulationEmptiesPersons) {
  CreateWorld();
  delete Humanity;
  Humanity = nullptr;
  EXPECT_TRUE(Persons.empty());
}
