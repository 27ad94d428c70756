// The field's single instance; see Unit_TField.h.
#include "simulation/Unit_TField.h"

#include "opengl/unit_opengl_api_100_routines_version_011.h"

TField* Field = nullptr;

void TField::Draw() const {
  TOpenGLAPIVersion100::glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  TOpenGLAPIVersion100::glClear(GL_COLOR_BUFFER_BIT);
}
