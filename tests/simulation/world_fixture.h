// A fixture that owns the world globals the simulation units read, so each test starts from
// a fresh field, population, disease and level logic, and leaves nothing behind.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"

// AddressSanitizer's operator new reports an allocation failure and aborts instead of throwing
// std::bad_alloc, so tests of a failed allocation only run without it.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_WITHOUT_BAD_ALLOC() GTEST_SKIP() << "operator new cannot fail softly under ASan"
#else
#define SKIP_WITHOUT_BAD_ALLOC() static_cast<void>(0)
#endif

class WorldTest : public ::testing::Test {
protected:
  void SetUp() override {
    PersonCount = 100;
    RandSeed = 20261209;
  }

  void TearDown() override {
    ProgramDestroy();
    Persons.clear(); // hand-made persons of a test that never created a population
    PersonCount = 100;
  }

  // Creates the four world objects in the registry's order.
  void CreateWorld(int32_t width = 0, int32_t height = 0) {
    Field = new TField;
    Field->SetWidth(width);
    Field->SetHeight(height);
    Humanity = new THumanity;
    Disease = new TDisease;
    Game = new TGame;
  }

  // Replaces the population by hand-made persons: healthy, size 3, speed 0, never turning.
  void UsePersons(int count) {
    Persons.clear();
    for (int i = 0; i < count; ++i) {
      TPerson person;
      person.mSize = 3;
      person.mDeadAfterInfectionCycle = 420;
      person.mBuriedAfterDeadCycle = 60;
      person.mResetCycle = 1000;
      person.mPositionX = 100.0 * i;
      person.mPositionY = 0.0;
      Persons.push_back(person);
    }
  }

  // One cycle of the world without pacing, in the cycle's fixed order.
  static void Cycle() {
    Humanity->Think();
    Humanity->Move();
    Disease->Think();
    Disease->Infect();
    Game->Think();
  }
};
