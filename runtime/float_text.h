// The general float-to-text conversion of the program's messages: at most 15 significant
// digits, trailing zeros removed, fixed notation for 0.0001 <= |x| < 1E15 and scientific
// ("1.5E20", "1E-5") otherwise. The decimal separator is the user's, set once at start-up.
#pragma once

#include <string>

// The user's decimal separator; '.' until the platform layer reports the regional setting.
extern char DecimalSeparator;

std::string FloatToStr(double ParaValue);
