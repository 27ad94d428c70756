// The game's entry point: the shared entry sequence (program_entry.h) with the clock's seed and
// the game's main form. The game takes no command line and writes no files.
#include "program/program_entry.h"

int main() {
  return RunProgram(SeedRandomFromClock, CreateGameForm);
}
