// The window-system core group's place in the chain; the lookups themselves are per platform
// (unit_opengl_api_windows_core_routines_version_011_{wgl,glx}.cpp).
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"

bool TOpenGLAPIWindowsCore::Initialize() {
  if (!TOpenGLAPILibrary::IsInitialized()) {
    TOpenGLAPILibrary::Initialize();
  }
  if (!TOpenGLAPILibrary::IsInitialized()) {
    return false;
  }
  if (!LookUpEntryPoints()) {
    return false;
  }
  mInitialized = true;
  return true;
}
