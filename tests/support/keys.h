// A key pressed where the keyboard is, as the program's message loop hands
// it on: the form's dialog keys (Tab, Enter, Escape) first, then the
// focused control. Ctrl is held down for it when asked.
#pragma once

#include <windows.h>

#include "widgets/form.h"

namespace redoviri::test {

inline void TypeKey(UINT key, bool ctrl = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG msg{GetFocus(), WM_KEYDOWN, key, 0, GetTickCount(), {}};
  if (msg.hwnd && !widgets::IsFormDialogMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

}  // namespace redoviri::test
