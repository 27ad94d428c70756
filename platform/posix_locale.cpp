// POSIX backend of platform_locale.h: the user's LC_NUMERIC locale, read without changing
// the process's own locale (the program formats its numbers itself).
#include <langinfo.h>
#include <locale.h>

#include "platform/platform_locale.h"

char UserDecimalSeparator() {
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) {
    return '.';
  }
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  // A multi-byte separator cannot be one char; keep the default then.
  const char separator = radix != nullptr && radix[0] != '\0' && radix[1] == '\0' ? radix[0] : '.';
  freelocale(user);
  return separator;
}
