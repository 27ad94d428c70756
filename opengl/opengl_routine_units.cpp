// The fixed registration order of the routine units; see opengl_routine_units.h.
#include "opengl/opengl_routine_units.h"

#include "opengl/unit_opengl_api_100_routines_version_011.h"
#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "opengl/unit_opengl_api_120_routines_version_011.h"
#include "opengl/unit_opengl_api_130_routines_version_011.h"
#include "opengl/unit_opengl_api_140_routines_version_011.h"
#include "opengl/unit_opengl_api_150_routines_version_011.h"
#include "opengl/unit_opengl_api_200_routines_version_011.h"
#include "opengl/unit_opengl_api_210_routines_version_011.h"
#include "opengl/unit_opengl_api_300_routines_version_011.h"

void RegisterOpenGLRoutineUnits() {
  RegisterOpenGLAPI100Routines();
  RegisterOpenGLAPI110Routines();
  RegisterOpenGLAPI120Routines();
  RegisterOpenGLAPI130Routines();
  RegisterOpenGLAPI140Routines();
  RegisterOpenGLAPI150Routines();
  RegisterOpenGLAPI200Routines();
  RegisterOpenGLAPI210Routines();
  RegisterOpenGLAPI300Routines();
}
