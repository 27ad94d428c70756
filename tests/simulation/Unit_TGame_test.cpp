// Level logic: when a level may end, where it leads, and that game over is final.
#include "tests/simulation/world_fixture.h"

#include <vector>

using GameTest = WorldTest;

TEST_F(GameTest, TheTestWaitsForTheCycleAfterPatientZero) {
  CreateWorld(100, 100);
  Disease->mCycleTillPatientZero = 100;
  Disease->mCycle = 100; // patient zero's cycle: nobody infected yet, no level end
  Game->Think();
  EXPECT_EQ(Persons.size(), 100u);
  EXPECT_FALSE(Game->Over());
  Disease->mCycle = 101;
  Game->Think(); // nobody infected, everyone healthy: next level
  EXPECT_EQ(Persons.size(), 120u);
  EXPECT_EQ(PersonCount, 120);
}

TEST_F(GameTest, AnInfectedPersonHoldsTheLevelOpen) {
  CreateWorld(100, 100);
  Persons[10].Infect();
  Disease->mCycleTillPatientZero = 100;
  Disease->mCycle = 500;
  Game->Think();
  EXPECT_EQ(PersonCount, 100);
  Persons[10].mDead = true;
  Game->Think();
  EXPECT_EQ(PersonCount, 120);
}

TEST_F(GameTest, NextLevelDrawsPersonsThenScatterThenDelay) {
  CreateWorld(50, 40);
  const uint32_t seed = RandSeed;
  Game->NextLevel();
  const uint32_t after = RandSeed;
  RandSeed = seed;
  for (int i = 0; i < 120 * 9 + 120 * 2; ++i) {
    Random(1);
  }
  EXPECT_EQ(Disease->mCycleTillPatientZero, Random(100) + 100);
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(Disease->mCycle, 0);
}

TEST_F(GameTest, QuarantinedHealthyPersonsAreSurvivors) {
  CreateWorld(100, 100);
  UsePersons(3);
  Persons[0].Infect();
  Persons[0].mDead = true;
  Persons[1].Infect();
  Persons[1].mDead = true;
  Persons[2].Quarantine();
  Disease->mCycle = 300;
  Disease->mCycleTillPatientZero = 150;
  Game->Think();
  EXPECT_FALSE(Game->Over());
  EXPECT_EQ(PersonCount, 120);
}

TEST_F(GameTest, NoSurvivorsEndsTheGameForGood) {
  CreateWorld(100, 100);
  UsePersons(2);
  for (auto& person : Persons) {
    person.Infect();
    person.mDead = true;
  }
  Disease->mCycle = 300;
  Disease->mCycleTillPatientZero = 150;
  Game->Think();
  EXPECT_TRUE(Game->Over());
  for (int i = 0; i < 5; ++i) {
    Disease->mCycle++;
    Game->Think();
  }
  EXPECT_TRUE(Game->Over());
  EXPECT_EQ(PersonCount, 100);
  EXPECT_EQ(Persons.size(), 2u);
}

TEST_F(GameTest, PopulationGrowsByOnePointTwoRoundedToNearest) {
  CreateWorld(10, 10);
  std::vector<int32_t> sizes{PersonCount};
  for (int level = 0; level < 13; ++level) {
    Game->NextLevel();
    sizes.push_back(PersonCount);
    ASSERT_EQ(Persons.size(), static_cast<std::size_t>(PersonCount));
  }
  EXPECT_EQ(sizes, (std::vector<int32_t>{100, 120, 144, 173, 208, 250, 300, 360, 432, 518, 622, 746,
                                         895, 1074}));
}

TEST_F(GameTest, PopulationGrowthStopsAtTheLargest32BitCount) {
  SKIP_WITHOUT_BAD_ALLOC();
  CreateWorld(10, 10);
  PersonCount = 2000000000;
  // The population itself cannot be allocated: an error, the old persons stay.
  EXPECT_ANY_THROW(Game->NextLevel());
  EXPECT_EQ(PersonCount, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Persons.size(), 100u);
}

TEST_F(GameTest, AWholeOutbreakWithoutInterventionEndsInTheNextLevel) {
  // A real world run: patient zero falls ill, the level ends once nobody living is infected.
  RandSeed = 12;
  CreateWorld(792, 673);
  Humanity->ReDistribute();
  Disease->Initialize();
  int cycles = 0;
  while (PersonCount == 100 && cycles < 100000) {
    Cycle();
    ++cycles;
  }
  EXPECT_EQ(PersonCount, 120);
  EXPECT_EQ(Persons.size(), 120u);
  EXPECT_FALSE(Game->Over());
  EXPECT_GT(cycles, 100 + 420);
}
