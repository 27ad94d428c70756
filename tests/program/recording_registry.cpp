// A stand-in for the world registry (simulation/Unit_TProgram) that the registry-order test
// links into the real game in its place: every call is written to standard output as one line,
// in call order, with whether the OpenGL system library is loaded at that moment; a last line
// follows once the program has finished, after main has returned. The world is only the
// universe, which the main window tests for: no person moves and nothing is drawn.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "opengl/unit_opengl_api_library_version_011.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/Unit_TUniverseThreadLess.h"

namespace {

void Record(const char* ParaCall, const char* ParaArguments = "") {
  std::printf("registry %s%s library=%d\n", ParaCall, ParaArguments,
              TOpenGLAPILibrary::mLibraryLoaded ? 1 : 0);
  // A pipe is fully buffered: the test reads the lines while the game runs.
  std::fflush(stdout);
}

void RecordPoint(const char* ParaCall, int32_t ParaX, int32_t ParaY) {
  char arguments[32];
  std::snprintf(arguments, sizeof arguments, " %d %d", ParaX, ParaY);
  Record(ParaCall, arguments);
}

// Destroyed after main has returned, that is after the program's own shutdown.
struct TProgramEnd {
  ~TProgramEnd() { Record("end"); }
} ProgramEnd;

} // namespace

void ProgramCreate() {
  Record("ProgramCreate");
  Universe = new TUniverse;
}

void ProgramDestroy() {
  Record("ProgramDestroy");
  delete Universe;
  Universe = nullptr;
}

void ProgramSetFieldSize(int32_t ParaWidth, int32_t ParaHeight) {
  RecordPoint("ProgramSetFieldSize", ParaWidth, ParaHeight);
}

void ProgramStartup() {
  Record("ProgramStartup");
}

void ProgramSingleLoop() {
  Record("ProgramSingleLoop");
  // Stands for the cycle's pacing, so the loop does not spin.
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void ProgramSimulationCycle() {
  Record("ProgramSimulationCycle");
}

void ProgramDraw() {
  Record("ProgramDraw");
}

void ProgramQuarantine(int32_t ParaX, int32_t ParaY) {
  RecordPoint("ProgramQuarantine", ParaX, ParaY);
}

void ProgramInfect(int32_t ParaX, int32_t ParaY) {
  RecordPoint("ProgramInfect", ParaX, ParaY);
}
