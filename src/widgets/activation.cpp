#include "widgets/activation.h"

namespace redoviri::widgets {

void TakeKeyboard(HWND window, HWND firstControl) {
  if (!window || !IsWindowVisible(window)) return;
  SetForegroundWindow(window);
  if (firstControl && IsWindowVisible(firstControl) && IsWindowEnabled(firstControl)) SetFocus(firstControl);
}

}  // namespace redoviri::widgets
