// Nearest-integer conversion; see numbers.h.
#include "runtime/numbers.h"

#include <cmath>
#include <string>

#include "runtime/errors.h"
#include "runtime/float_text.h"

int32_t RoundHalfEven(double ParaValue) {
  // Under the default rounding mode nearbyint rounds half to even and raises nothing.
  const double rounded = std::nearbyint(ParaValue);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
    throw EFloatError("Invalid floating point operation: " + FloatToStr(ParaValue) +
                      " does not fit a 32-bit integer");
  }
  return static_cast<int32_t>(rounded);
}
