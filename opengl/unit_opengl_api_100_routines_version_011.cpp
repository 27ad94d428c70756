// The OpenGL 1.0 group: its place in the chain and its registration. The variables and the
// name table are generated (unit_opengl_api_100_routines_version_011.h and _table.inc).
#include "opengl/unit_opengl_api_100_routines_version_011.h"

#include "opengl/opengl_entry_point_lookup.h"
#include "opengl/unit_TOpenGLVersion_version_011.h"

namespace {
#define OPENGL_ENTRY_POINT(Class, Name) OPENGL_ENTRY_POINT_SLOT(Class, Name),
const TOpenGLEntryPointSlot EntryPoints100[] = {
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
};
#undef OPENGL_ENTRY_POINT
} // namespace

bool TOpenGLAPIVersion100::Initialize() {
  // Cleared first: a caller that asks again and fails must not find the group still marked.
  mInitialized = false;
  if (!TOpenGLAPIWindowsCore::IsInitialized()) {
    TOpenGLAPIWindowsCore::Initialize();
  }
  if (!TOpenGLAPIWindowsCore::IsInitialized()) {
    return false;
  }
  if (!LookUpOpenGLEntryPoints(EntryPoints100)) {
    return false;
  }
  mInitialized = true;
  return true;
}

void RegisterOpenGLAPI100Routines() {
  OpenGLVersionAvailable[GL_VERSION_100] = true;
}
