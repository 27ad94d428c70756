// Win32 backend of the toolkit's modal message box: MessageBoxW with one OK button, owned by
// the active window, titled with the program's name. Pairs with win32_window.cpp.
// The system's modal loop keeps dispatching paints to the other windows; no hook runs in it.
// Also the fatal-error report, which a program without a console must show in a box.
#include <cstdio>

#include "platform/toolkit_backend.h"
#include "platform/win32_toolkit.h"

void TToolkitBackend::ShowMessageBox(const std::string& ParaText, TMessageBoxIcon ParaIcon) {
  const std::wstring text = WideTextWin32(ParaText);
  const std::wstring title = ProgramNameWin32();
  UINT type = MB_OK;
  if (ParaIcon == mbiStop) {
    type |= MB_ICONSTOP;
  }
  // Owned by the active window so that window takes no input while the box is open; before
  // the first window is active the box stands on its own.
  MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), type);
}

void TToolkitBackend::ReportFatalError(const std::string& ParaText) {
  const std::string text = "Fatal error: " + ParaText;
  // Also on standard error, for whoever started the program from a console.
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  // NOTE: no owner: the windows may be gone or half made; task-modal keeps the box in front.
  MessageBoxW(nullptr, WideTextWin32(text).c_str(), ProgramNameWin32().c_str(),
              MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND);
}
