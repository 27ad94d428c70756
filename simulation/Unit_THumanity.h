// The population: creates, scatters, advances and moves every person, applies the player's
// clicks and counts the infected and the healthy living. Its state is the global Persons
// array (Unit_TPerson) and PersonCount, the size of the next population.
#pragma once

#include <cstdint>

class THumanity {
public:
  // Creates the first population of PersonCount persons, all at (0, 0).
  THumanity();
  ~THumanity();
  THumanity(const THumanity&) = delete;
  THumanity& operator=(const THumanity&) = delete;

  // Replaces every person by a new one and scatters the new population.
  void Reset();
  void Think();
  void Move();
  // Think and then Move, person by person in one pass: the same persons as Think for all
  // and then Move for all, since each person's steps read and write that person alone.
  void ThinkAndMove();
  // A new random whole-number position for every person, x then y.
  void ReDistribute();
  void Draw() const;
  void Infect(int32_t ParaX, int32_t ParaY);
  void Quarantine(int32_t ParaX, int32_t ParaY);
  // Persons infected and not dead.
  int32_t Infected() const;
  // Persons neither infected nor dead: the healthy living.
  int32_t Alive() const;

private:
  void CreatePersons();
  void FreePersons();
};

// The one population; created and freed by the world registry.
extern THumanity* Humanity;

// Size of the next population. Only the level logic changes it.
extern int32_t PersonCount;
