// glibc's sine and cosine behind trigonometry.h, for measuring what the correctly rounded ones
// cost (bench/run.sh). Only a build configured with VANTREL_GLIBC_TRIGONOMETRY_FOR_COMPARISON
// uses it; its persons differ from every other build's on about 0.14% of the headings.
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
