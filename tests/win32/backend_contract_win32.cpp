// The backend contract on the Win32 backend, run under wine by the end-to-end tests: the
// system's own calls tell what the windows are, and play the user and other programs; a
// thread answers message boxes. Prints the suite's lines, which the test reads.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/platform/backend_contract.h"

namespace {

constexpr UINT kForeignMessage = WM_APP + 0x42;

std::string Utf8(const std::wstring& ParaText) {
  std::string text;
  for (wchar_t c : ParaText) {
    if (c != L'\r') {
      text += static_cast<char>(c < 0x80 ? c : '?'); // the suite's texts are ASCII
    }
  }
  return text;
}

std::wstring WindowText(HWND ParaWindow) {
  wchar_t text[512] = {};
  GetWindowTextW(ParaWindow, text, 512);
  return text;
}

HWND WindowOf(TWindowHandle ParaWindow) {
  return reinterpret_cast<HWND>(ParaWindow);
}

// The box: a dialog of the program's thread ("#32770"), its text in a static control.
struct TBoxSearch {
  HWND mBox = nullptr;
  std::wstring mText;
};

BOOL CALLBACK FindBoxText(HWND ParaChild, LPARAM ParaSearch) {
  auto& search = *reinterpret_cast<TBoxSearch*>(ParaSearch);
  wchar_t className[32] = {};
  GetClassNameW(ParaChild, className, 32);
  const std::wstring text = WindowText(ParaChild);
  if (lstrcmpiW(className, L"Static") == 0 && text.size() > search.mText.size()) {
    search.mText = text;
  }
  return TRUE;
}

BOOL CALLBACK FindBox(HWND ParaWindow, LPARAM ParaSearch) {
  wchar_t className[32] = {};
  GetClassNameW(ParaWindow, className, 32);
  if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(ParaWindow)) {
    reinterpret_cast<TBoxSearch*>(ParaSearch)->mBox = ParaWindow;
    return FALSE;
  }
  return TRUE;
}

class TWin32ContractWindowSystem final : public TWindowedBoxesWindowSystem {
public:
  TWin32ContractWindowSystem() : mThread(GetCurrentThreadId()) {}

  void Settle() override { GdiFlush(); }

  TWindowState State(TWindowHandle ParaWindow) override {
    TWindowState state;
    HWND window = WindowOf(ParaWindow);
    if (window == nullptr || !IsWindow(window)) {
      return state;
    }
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT corner{outer.left, outer.top};
    if (HWND parent = GetParent(window);
        parent != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
      ScreenToClient(parent, &corner);
    }
    state.mExists = true;
    state.mVisible = IsWindowVisible(window) != FALSE;
    state.mLeft = corner.x;
    state.mTop = corner.y;
    state.mWidth = client.right;
    state.mHeight = client.bottom;
    state.mCaption = Utf8(WindowText(window));
    return state;
  }

  void ResizeFromOutside(TWindowHandle ParaForm, int32_t ParaWidth, int32_t ParaHeight) override {
    HWND window = WindowOf(ParaForm);
    RECT outer{0, 0, ParaWidth, ParaHeight};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void ExposeFromOutside(TWindowHandle ParaWindow, int ParaTimes) override {
    for (int k = 0; k < ParaTimes; ++k) {
      InvalidateRect(WindowOf(ParaWindow), nullptr, FALSE);
    }
  }

  void PostForeignMessages(TWindowHandle ParaWindow, int ParaCount) override {
    for (int k = 0; k < ParaCount; ++k) {
      PostMessageW(WindowOf(ParaWindow), kForeignMessage, 0, 0);
    }
  }

  bool IsForeignMessage(const TMsg& ParaMsg) override {
    return ParaMsg.mMessage == kForeignMessage;
  }

  void DestroyFromOutside(TWindowHandle ParaForm) override { DestroyWindow(WindowOf(ParaForm)); }

private:
  // On the answering thread; the program's thread is inside the box's loop meanwhile.
  uintptr_t FindOpenBox() override {
    TBoxSearch search;
    EnumThreadWindows(mThread, FindBox, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<uintptr_t>(search.mBox);
  }

  void ReadBox(uintptr_t ParaBox, std::string& ParaText, std::string& ParaTitle) override {
    TBoxSearch search;
    EnumChildWindows(reinterpret_cast<HWND>(ParaBox), FindBoxText,
                     reinterpret_cast<LPARAM>(&search));
    ParaText = Utf8(search.mText);
    ParaTitle = Utf8(WindowText(reinterpret_cast<HWND>(ParaBox)));
  }

  void ExposeWhileBoxOpen(TWindowHandle ParaWindow) override {
    InvalidateRect(WindowOf(ParaWindow), nullptr, FALSE);
  }

  void AnswerOk(uintptr_t ParaBox) override {
    PostMessageW(reinterpret_cast<HWND>(ParaBox), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }

  DWORD mThread;
};

} // namespace

int main() {
  TWin32ContractWindowSystem system;
  return RunBackendContract(system, "win32") == 0 ? 0 : 1;
}
