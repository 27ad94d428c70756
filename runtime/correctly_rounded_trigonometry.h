// Sine and cosine correctly rounded to nearest for every double, from IEEE double operations
// (no fused multiply-add) and integer arithmetic alone, so any conforming platform returns the
// same bits. The Windows backend of runtime/trigonometry.h uses them; the Linux tests hold them
// against glibc. Only round-to-nearest is supported; the floating-point flags raised may differ.
#pragma once

// sin x and cos x rounded to nearest, ties to even (there are none but sin 0 and cos 0).
// NaN and the infinities give NaN; sin keeps the sign of zero.
double CorrectlyRoundedSine(double ParaX);
double CorrectlyRoundedCosine(double ParaX);
// Both at once, the same bits as the two calls, about as fast as one of them.
void CorrectlyRoundedSineCosine(double ParaX, double& ParaSine, double& ParaCosine);

namespace trigonometry_internal {

// The same results from the slow multi-word path alone, which the fast path falls back on
// when it cannot decide the rounding. For tests that hold the two paths against each other.
double LongSine(double ParaX);
double LongCosine(double ParaX);

} // namespace trigonometry_internal
