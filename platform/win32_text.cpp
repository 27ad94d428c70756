// See win32_text.h.
#include "platform/win32_text.h"

#include <windows.h>

#include <algorithm>

std::wstring WideTextWin32(const std::string& ParaText) {
  if (ParaText.empty()) {
    return std::wstring();
  }
  const int length = MultiByteToWideChar(CP_UTF8, 0, ParaText.data(),
                                         static_cast<int>(ParaText.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, ParaText.data(), static_cast<int>(ParaText.size()), wide.data(),
                        length);
  }
  return wide;
}
