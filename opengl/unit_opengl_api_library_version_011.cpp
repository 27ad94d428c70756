// Loading and freeing the OpenGL system library; see unit_opengl_api_library_version_011.h.
// The file name comes from the platform's unit_opengl_api_library_version_011_{glx,wgl}.cpp.
#include "opengl/unit_opengl_api_library_version_011.h"

#include "platform/platform_module.h"

bool TOpenGLAPILibrary::Initialize() {
  mInitialized = true;
  return true;
}

bool TOpenGLAPILibrary::LoadLibrary() {
  mLibraryLoaded = false;
  mLibraryHandle = PlatformLoadModule(OpenGLSystemLibraryName);
  if (mLibraryHandle != nullptr) {
    mLibraryLoaded = true;
    return true;
  }
  return false;
}

bool TOpenGLAPILibrary::UnloadLibrary() {
  if (mLibraryHandle == nullptr) {
    return false;
  }
  const bool freed = PlatformFreeModule(mLibraryHandle);
  if (freed) {
    mLibraryLoaded = false;
  }
  return freed;
}
