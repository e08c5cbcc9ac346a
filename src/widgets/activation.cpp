#include "widgets/activation.h"

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

}  // namespace redoviri::widgets
