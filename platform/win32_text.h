// Text for the Win32 API: the program's texts are UTF-8, the wide-character API wants UTF-16.
// Used by the Windows backends of the platform services and of the toolkit.
#pragma once

#include <string>

// Invalid UTF-8 sequences become U+FFFD rather than failing.
std::wstring WideTextWin32(const std::string& ParaText);
