// The head of the OpenGL entry-point groups: loads and frees the OpenGL system library
// ("opengl32.dll" on Windows, "libGL.so.1" on Linux). It resolves no entry point itself.
// The groups are used only through their class-wide state; no instance is ever created.
//
// Every group in the chain TOpenGLAPILibrary -> TOpenGLAPIWindowsCore -> TOpenGLAPIVersion100
// -> TOpenGLAPIVersion110 -> TOpenGLAPIWindowsExtensions has IsInitialized() and Initialize();
// a group's Initialize first initializes its predecessor when that one is not, and succeeds
// only when every one of its own entry points was found.
#pragma once

class TOpenGLAPILibrary {
public:
  static bool IsInitialized() { return mInitialized; }
  // Always succeeds, with or without a loaded library.
  static bool Initialize();

  // Called once at program start; the result is informational only.
  static bool LoadLibrary();
  // Called once at program end. Keeps mLibraryHandle; clears mLibraryLoaded on success.
  static bool UnloadLibrary();

  // The loaded system library (a platform module handle); null when none.
  static inline void* mLibraryHandle = nullptr;
  static inline bool mLibraryLoaded = false;

protected:
  static inline bool mInitialized = false;
};

// The library's file name on this platform.
extern const char* const OpenGLSystemLibraryName;
