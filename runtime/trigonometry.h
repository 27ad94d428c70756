// The sine and cosine the simulation computes with: persons must come out bit-identical on
// every build, so nothing in the simulation calls std::sin or std::cos directly. The backend
// is chosen by the build: glibc's functions on Linux (trigonometry_libm.cpp), our correctly
// rounded ones on Windows (trigonometry_portable.cpp), which agree with glibc wherever glibc
// rounds correctly; VANTREL_PORTABLE_TRIGONOMETRY puts the Linux build on them as well.
#pragma once

double Sine(double ParaRadians);
double Cosine(double ParaRadians);
// Sine and Cosine of one angle, the same bits as the two calls; cheaper where both are needed.
void SineCosine(double ParaRadians, double& ParaSine, double& ParaCosine);
