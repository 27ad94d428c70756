// The extension group's place in the chain; the lookups themselves are per platform
// (unit_opengl_api_windows_extensions_routines_version_011_{wgl,glx}.cpp).
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

bool TOpenGLAPIWindowsExtensions::Initialize() {
  if (!TOpenGLAPIVersion110::IsInitialized()) {
    TOpenGLAPIVersion110::Initialize();
  }
  if (!TOpenGLAPIVersion110::IsInitialized()) {
    return false;
  }
  if (!LookUpEntryPoints()) {
    return false;
  }
  mInitialized = true;
  return true;
}
