// Population operations; see Unit_THumanity.h. Every pass walks Persons in ascending index
// order, which fixes both the random draws and who covers whom on screen.
#include "simulation/Unit_THumanity.h"

#include <algorithm>

#include "runtime/random.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TPerson.h"

THumanity* Humanity = nullptr;

int32_t PersonCount = 100;

namespace {

// Builds a population of PersonCount initialised persons without touching Persons, so that
// a failed allocation leaves the population that was there intact. Person i's nine draws
// all come before person i + 1's.
std::vector<TPerson> NewPopulation() {
  std::vector<TPerson> population(static_cast<std::size_t>(std::max(PersonCount, 0)));
  for (auto& person : population) {
    person.Initialize();
  }
  return population;
}

} // namespace

THumanity::THumanity() {
  CreatePersons();
}

THumanity::~THumanity() {
  FreePersons();
}

void THumanity::CreatePersons() {
  Persons = NewPopulation();
}

void THumanity::FreePersons() {
  Persons.clear();
  Persons.shrink_to_fit();
}

void THumanity::Reset() {
  // Creation draws the same numbers whether the old population is freed before or after it;
  // building first keeps Persons whole if the new population cannot be allocated.
  auto population = NewPopulation();
  FreePersons();
  Persons = std::move(population);
  ReDistribute();
}

void THumanity::Think() {
  for (auto& person : Persons) {
    person.Think();
  }
}

void THumanity::Move() {
  const int32_t width = Field->Width();
  const int32_t height = Field->Height();
  for (auto& person : Persons) {
    person.Move();
    person.KeepInside(width, height);
  }
}

void THumanity::ThinkAndMove() {
  // Think of a later person writes only that person's counters, flags and heading, and Move
  // and KeepInside read only their own person and the field's size, which Think leaves
  // alone; neither draws random numbers or can fail part-way. So person i's Move sees what
  // it would see after the whole Think pass, and one walk over the memory does both.
  const int32_t width = Field->Width();
  const int32_t height = Field->Height();
  for (auto& person : Persons) {
    person.ThinkAndMove(width, height);
  }
}

void THumanity::ReDistribute() {
  for (auto& person : Persons) {
    person.mPositionX = Random(Field->Width());
    person.mPositionY = Random(Field->Height());
  }
}

void THumanity::Draw() const {
  // Ascending order: a higher index covers a lower one.
  for (const auto& person : Persons) {
    person.Draw();
  }
}

void THumanity::Infect(int32_t ParaX, int32_t ParaY) {
  for (auto& person : Persons) {
    if (person.Select(ParaX, ParaY)) {
      person.Infect();
    }
  }
}

void THumanity::Quarantine(int32_t ParaX, int32_t ParaY) {
  for (auto& person : Persons) {
    if (person.Select(ParaX, ParaY)) {
      person.Quarantine();
    }
  }
}

int32_t THumanity::Infected() const {
  int32_t count = 0;
  for (const auto& person : Persons) {
    if (!person.mDead && person.mInfected) {
      ++count;
    }
  }
  return count;
}

int32_t THumanity::Alive() const {
  int32_t count = 0;
  for (const auto& person : Persons) {
    if (!person.mDead && !person.mInfected) {
      ++count;
    }
  }
  return count;
}
