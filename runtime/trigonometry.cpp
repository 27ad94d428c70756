// The simulation's sine and cosine (trigonometry.h): our own correctly rounded functions, the
// same bits on every platform.
// NOTE: glibc 2.36 and mingw-w64's C runtime both round some of the game's angles the wrong
// way (about 0.14% and 0.3% of them), each differently, which is why no C runtime is used.
#include "runtime/trigonometry.h"

#include "runtime/correctly_rounded_trigonometry.h"

double Sine(double ParaRadians) {
  return CorrectlyRoundedSine(ParaRadians);
}

double Cosine(double ParaRadians) {
  return CorrectlyRoundedCosine(ParaRadians);
}

void SineCosine(double ParaRadians, double& ParaSine, double& ParaCosine) {
  CorrectlyRoundedSineCosine(ParaRadians, ParaSine, ParaCosine);
}
