#include "widgets/activation.h"

namespace redoviri::widgets {

void TakeKeyboard(HWND window, HWND firstControl) {
  if (!window || !IsWindowVisible(window)) return;
  SetForegroundWindow(window);
  const HWND focus = GetFocus();
  if (focus && IsChild(window, focus)) return;
  if (firstControl && IsWindowVisible(firstControl) && IsWindowEnabled(firstControl)) SetFocus(firstControl);
}

}  // namespace redoviri::widgets
