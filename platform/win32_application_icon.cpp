// The application icon for the form's window class; see win32_application_icon.h.
#include "platform/win32_application_icon.h"

HICON ApplicationIconWin32(HINSTANCE ParaInstance) {
  // LoadIconW picks the image of the system's large-icon size from the group; the small
  // one for the caption and the task bar comes from the same group through the class.
  HICON icon = LoadIconW(ParaInstance, MAKEINTRESOURCEW(VANTREL_APPLICATION_ICON_RESOURCE));
  if (icon == nullptr) {
    icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  }
  return icon;
}
