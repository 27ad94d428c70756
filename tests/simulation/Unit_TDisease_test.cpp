// The disease: the delay until patient zero, and the spreading pass reading flags live.
#include "tests/simulation/world_fixture.h"

using DiseaseTest = WorldTest;

namespace {

// Places persons 2, 5 and 7 in a touching row (size 3, 6 apart), everyone else far away.
void TouchingRow() {
  Persons[2].mPositionX = 0;
  Persons[5].mPositionX = 6;
  Persons[7].mPositionX = 12;
  for (int i : {2, 5, 7}) {
    Persons[i].mPositionY = 500;
  }
}

} // namespace

TEST_F(DiseaseTest, InitializeDrawsTheDelayOnce) {
  CreateWorld();
  RandSeed = 4242;
  Disease->mCycle = 17;
  Disease->mPatientZeroExists = true;
  Disease->Initialize();
  const uint32_t after = RandSeed;
  RandSeed = 4242;
  EXPECT_EQ(Disease->mCycleTillPatientZero, Random(100) + 100);
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(Disease->mCycle, 0);
  EXPECT_FALSE(Disease->mPatientZeroExists);
}

TEST_F(DiseaseTest, PatientZeroFallsIllOnTheDelaysCycleAndSpreadsAtOnce) {
  CreateWorld();
  UsePersons(3);
  Persons[0].mPositionX = 0;
  Persons[1].mPositionX = 5;
  Persons[2].mPositionX = 10;
  Disease->mCycleTillPatientZero = 100;
  for (int i = 0; i < 99; ++i) {
    Disease->Think();
    Disease->Infect();
  }
  EXPECT_FALSE(Disease->mPatientZeroExists);
  EXPECT_EQ(Humanity->Infected(), 0);

  const uint32_t seed = RandSeed;
  Disease->Think();
  RandSeed = seed;
  const int32_t chosen = Random(3);
  ASSERT_TRUE(Persons[chosen].mInfected);
  EXPECT_TRUE(Disease->mPatientZeroExists);
  Disease->Infect(); // everyone touches the middle person: all infected in this pass
  EXPECT_EQ(Humanity->Infected(), 3);
  // Only one patient zero per level.
  const uint32_t before = RandSeed;
  Disease->Think();
  EXPECT_EQ(RandSeed, before);
}

TEST_F(DiseaseTest, PatientZeroMayBeSomeoneAlreadyInfected) {
  CreateWorld();
  UsePersons(1);
  Persons[0].Infect();
  Persons[0].Quarantine();
  Disease->InfectPatientZero();
  EXPECT_TRUE(Disease->mPatientZeroExists);
  EXPECT_TRUE(Persons[0].mInfected);
}

TEST_F(DiseaseTest, InfectionRunsUpAChainOfHigherIndexesInOnePass) {
  CreateWorld();
  UsePersons(8);
  TouchingRow();
  Persons[2].Infect();
  Disease->mPatientZeroExists = true;
  Disease->Infect();
  EXPECT_TRUE(Persons[5].mInfected);
  EXPECT_TRUE(Persons[7].mInfected);
  EXPECT_EQ(Humanity->Infected(), 3);
}

TEST_F(DiseaseTest, InfectionRunsDownAChainOneLinkPerPass) {
  CreateWorld();
  UsePersons(8);
  TouchingRow();
  Persons[7].Infect();
  Disease->mPatientZeroExists = true;
  Disease->Infect();
  EXPECT_TRUE(Persons[5].mInfected);
  EXPECT_FALSE(Persons[2].mInfected);
  Disease->Infect();
  EXPECT_TRUE(Persons[2].mInfected);
}

TEST_F(DiseaseTest, TheDeadSpreadUntilBuried) {
  CreateWorld();
  UsePersons(2);
  Persons[0].mPositionX = 0;
  Persons[1].mPositionX = 6;
  Persons[0].Infect();
  Persons[0].mDead = true;
  Persons[0].mBuried = true;
  Disease->mPatientZeroExists = true;
  Disease->Infect();
  EXPECT_FALSE(Persons[1].mInfected);
  Persons[0].mBuried = false;
  Disease->Infect();
  EXPECT_TRUE(Persons[1].mInfected);
}

TEST_F(DiseaseTest, QuarantinedPersonsCatchAndSpread) {
  CreateWorld();
  UsePersons(3);
  Persons[0].mPositionX = 0;
  Persons[1].mPositionX = 6;
  Persons[2].mPositionX = 12;
  for (auto& person : Persons) {
    person.Quarantine();
  }
  Persons[0].Infect();
  Disease->mPatientZeroExists = true;
  Disease->Infect();
  EXPECT_TRUE(Persons[1].mInfected);
  EXPECT_TRUE(Persons[2].mInfected);
}

TEST_F(DiseaseTest, NobodySpreadsBeforePatientZero) {
  CreateWorld();
  UsePersons(2);
  Persons[0].mPositionX = 0;
  Persons[1].mPositionX = 1;
  Persons[0].Infect(); // the player's right click
  Disease->mCycleTillPatientZero = 150;
  for (int i = 0; i < 10; ++i) {
    Disease->Think();
    Disease->Infect();
  }
  EXPECT_FALSE(Persons[1].mInfected);
}

TEST_F(DiseaseTest, ResetStartsTheLevelAgain) {
  CreateWorld();
  Disease->mCycle = 600;
  Disease->mPatientZeroExists = true;
  const uint32_t seed = RandSeed;
  Disease->Reset();
  EXPECT_EQ(Disease->mCycle, 0);
  EXPECT_FALSE(Disease->mPatientZeroExists);
  RandSeed = seed;
  EXPECT_EQ(Disease->mCycleTillPatientZero, Random(100) + 100);
}
