// The user's regional settings that the program reads once at start-up.
// Backends: posix_locale.cpp, win32_locale.cpp.
#pragma once

// The decimal separator of the user's number format; '.' when the system does not say.
char UserDecimalSeparator();
