// The sine and cosine the simulation computes with: persons must come out bit-identical on
// every build, so nothing in the simulation calls std::sin or std::cos directly. Every build
// uses our correctly rounded functions (trigonometry.cpp); the C runtimes' differ in the last
// bit on a few tenths of a percent of the game's headings, each runtime on others.
#pragma once

double Sine(double ParaRadians);
double Cosine(double ParaRadians);
// Sine and Cosine of one angle, the same bits as the two calls; cheaper where both are needed.
void SineCosine(double ParaRadians, double& ParaSine, double& ParaCosine);
