// What the Win32 backend of the toolkit shares with the WGL binding of the OpenGL view and
// with the message box: handle conversions and UTF-8 to UTF-16 text. Only win32_ and _wgl
// files include this header.
#pragma once

#include <windows.h>

#include <string>

#include "platform/platform_toolkit.h"
#include "platform/win32_text.h"

inline HWND WindowHandleWin32(TWindowHandle ParaHandle) {
  return reinterpret_cast<HWND>(ParaHandle);
}

inline HDC DeviceContextWin32(TDeviceContext ParaDC) {
  return reinterpret_cast<HDC>(ParaDC);
}

// The name the program goes by in its boxes: the application's title, or the executable's
// file name without its extension when no title was set.
std::wstring ProgramNameWin32();
