// The OpenGL 1.1 group: its place in the chain and its registration. The variables and the
// name table are generated (unit_opengl_api_110_routines_version_011.h and _table.inc).
#include "opengl/unit_opengl_api_110_routines_version_011.h"

#include "opengl/opengl_entry_point_lookup.h"
#include "opengl/unit_TOpenGLVersion_version_011.h"

namespace {
#define OPENGL_ENTRY_POINT(Class, Name) OPENGL_ENTRY_POINT_SLOT(Class, Name),
const TOpenGLEntryPointSlot EntryPoints110[] = {
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
};
#undef OPENGL_ENTRY_POINT
} // namespace

bool TOpenGLAPIVersion110::Initialize() {
  if (!TOpenGLAPIVersion100::IsInitialized()) {
    TOpenGLAPIVersion100::Initialize();
  }
  if (!TOpenGLAPIVersion100::IsInitialized()) {
    return false;
  }
  if (!LookUpOpenGLEntryPoints(EntryPoints110)) {
    return false;
  }
  mInitialized = true;
  return true;
}

void RegisterOpenGLAPI110Routines() {
  OpenGLVersionAvailable[GL_VERSION_110] = true;
}
