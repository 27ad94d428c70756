// See program_entry.h. The order is the game's: the floating-point environment and the decimal
// separator, the seed, the OpenGL window-system preparation, the application, the OpenGL
// library and the routine units' registration; then the form, the loop, and shutdown, where
// the world is freed (through the view's OnDestroy) before the OpenGL library is unloaded.
#include "program/program_entry.h"

#include <exception>
#include <string>

#include "opengl/opengl_routine_units.h"
#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/unit_opengl_api_library_version_011.h"
#include "platform/platform_locale.h"
#include "platform/platform_time.h"
#include "platform/platform_toolkit.h"
#include "program/UnitMain.h"
#include "runtime/float_text.h"
#include "runtime/random.h"

namespace {

// The runtime's initialisation of the program's modules.
void InitializeModules(const TSeedRandom& ParaSeedRandom) {
  // Floating point: the default environment (round to nearest, no traps unmasked); the
  // program checks its own arithmetic instead.
  DecimalSeparator = UserDecimalSeparator();
  ParaSeedRandom();
  PrepareOpenGLWindowSystem();
  Application = new TApplication;
  TOpenGLAPILibrary::LoadLibrary();
  RegisterOpenGLRoutineUnits();
}

// Their finalisation, in reverse order.
void FinalizeModules() {
  TOpenGLAPILibrary::UnloadLibrary();
}

} // namespace

void SeedRandomFromClock() {
  int64_t counter = 0;
  if (!PlatformQueryPerformanceCounter(counter)) {
    counter = PlatformGetTickCount();
  }
  RandomizeFromCounter(counter);
}

void CreateGameForm() {
  Application->CreateForm(Form1);
}

int RunProgram(const TSeedRandom& ParaSeedRandom, const TCreateMainForm& ParaCreateMainForm) {
  try {
    InitializeModules(ParaSeedRandom);
    Application->Initialize();
    Application->SetMainFormOnTaskBar(true);
    ParaCreateMainForm();
    Application->Run();
    // The application's exit work: forms first (the view's OnDestroy frees the world).
    delete Application;
    Application = nullptr;
    Form1 = nullptr;
    FinalizeModules();
    return 0;
  } catch (const std::exception& error) {
    ReportFatalError(error.what());
    return 1;
  } catch (...) {
    ReportFatalError("Unknown error.");
    return 1;
  }
}
