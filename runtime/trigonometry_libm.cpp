// Linux backend of trigonometry.h: glibc's sin and cos, the reference other tools compare with.
// NOTE: glibc 2.36 misrounds about 0.14% of the game's headings by one ulp, where the Windows
// backend (trigonometry_portable.cpp) rounds correctly.
#include "runtime/trigonometry.h"

#include <cmath>

double Sine(double ParaRadians) {
  return std::sin(ParaRadians);
}

double Cosine(double ParaRadians) {
  return std::cos(ParaRadians);
}

void SineCosine(double ParaRadians, double& ParaSine, double& ParaCosine) {
  ParaSine = std::sin(ParaRadians);
  ParaCosine = std::cos(ParaRadians);
}
