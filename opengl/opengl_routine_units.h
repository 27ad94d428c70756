// Start-up registration of the OpenGL routine units in the version registry.
// Called once by the program's start-up, after the OpenGL system library has been loaded
// (TOpenGLAPILibrary::LoadLibrary) and before any window exists.
#pragma once

// Lets every routine unit of the program register its version, 1.0 first, 3.0 last.
void RegisterOpenGLRoutineUnits();
