// The program's entry: start-up in its fixed order, the event loop, and shutdown, where the
// world is freed (through the view's OnDestroy) before the OpenGL library is unloaded.
// Everything the program does afterwards happens in UnitMain's handlers.
#include <cstdio>
#include <exception>

#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/opengl_routine_units.h"
#include "opengl/unit_opengl_api_library_version_011.h"
#include "platform/platform_locale.h"
#include "platform/platform_time.h"
#include "platform/platform_toolkit.h"
#include "program/UnitMain.h"
#include "runtime/float_text.h"
#include "runtime/random.h"

namespace {

// The runtime's initialisation of the program's modules.
void InitializeModules() {
  // Floating point: the default environment (round to nearest, no traps unmasked); the
  // program checks its own arithmetic instead.
  DecimalSeparator = UserDecimalSeparator();
  int64_t counter = 0;
  if (!PlatformQueryPerformanceCounter(counter)) {
    counter = PlatformGetTickCount();
  }
  RandomizeFromCounter(counter);
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

int main() {
  try {
    InitializeModules();
    Application->Initialize();
    Application->SetMainFormOnTaskBar(true);
    Application->CreateForm(Form1);
    Application->Run();
    // The application's exit work: forms first (the view's OnDestroy frees the world).
    delete Application;
    Application = nullptr;
    Form1 = nullptr;
    FinalizeModules();
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "VantrelGame: fatal error: %s\n", error.what());
    return 1;
  }
}
