#include "widgets/activation.h"

#include "widgets/form.h"

namespace redoviri::widgets {

void TakeKeyboard(HWND window, HWND firstControl) {
  if (!window || !IsWindowVisible(window)) return;
  SetForegroundWindow(window);
  if (firstControl && IsWindowVisible(firstControl) && IsWindowEnabled(firstControl)) SetFocus(firstControl);
}

bool FocusComesOnlyWithAMap() {
  static const bool underWine = [] {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return underWine;
}

void GiveKeyboardBack(HWND window) {
  if (!window || !IsWindowVisible(window)) return;
  if (FocusComesOnlyWithAMap())
    if (auto* form = dynamic_cast<Form*>(MessageWindow::FromHandle(window))) form->Remap();
  SetForegroundWindow(window);
}

UINT KeyboardBackMessage() {
  static const UINT message = RegisterWindowMessageA("Redoviri: take the keyboard back");
  return message;
}

void AskToTakeKeyboardBack(HWND window) {
  DWORD process = 0;
  if (!window || !GetWindowThreadProcessId(window, &process) || process == GetCurrentProcessId()) return;
  // The process in the foreground lets the other one take it.
  AllowSetForegroundWindow(process);
  PostMessageA(window, KeyboardBackMessage(), 0, 0);
}

}  // namespace redoviri::widgets
