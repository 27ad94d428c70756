// The program's entry sequence, shared by the game and its test builds: the runtime's module
// initialisation, the application with its main form, the event loop, shutdown and the
// finalisation in reverse order. An error escaping the sequence ends the process with the
// fatal-error report and exit code 1.
#pragma once

#include <functional>

// Seeds the random source once during module initialisation; the game seeds from the clock.
using TSeedRandom = std::function<void()>;
// Creates the main form through Application->CreateForm and sets Form1.
using TCreateMainForm = std::function<void()>;

// The game's own seeding: the high-resolution counter, or the tick count when it has none.
void SeedRandomFromClock();
// The game's own main form: a TForm1.
void CreateGameForm();

// Runs the whole program; returns the process's exit code.
int RunProgram(const TSeedRandom& ParaSeedRandom, const TCreateMainForm& ParaCreateMainForm);
