// Win32 backend of platform_locale.h: the user's regional number format.
// Pairs with posix_locale.cpp.
#include "platform/platform_locale.h"

#include <windows.h>

char UserDecimalSeparator() {
  wchar_t separator[8] = {};
  // A separator of more than one character, or outside ASCII, cannot be the runtime's char.
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 2 && separator[0] > 0 &&
      separator[0] < 0x80) {
    return static_cast<char>(separator[0]);
  }
  return '.';
}
