// Windows backend of trigonometry.h (and Linux's with VANTREL_PORTABLE_TRIGONOMETRY): our own
// correctly rounded sine and cosine, the same bits on every platform.
// NOTE: mingw-w64's C runtime and glibc both round some of the game's angles the wrong way
// (about 0.3% and 0.14% of them), each differently, which is why the C runtimes are not used.
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
