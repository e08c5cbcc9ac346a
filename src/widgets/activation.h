// A window shown for the user's action takes the keyboard: it becomes the
// foreground window, and the focus goes to its first control unless it is
// inside the window already (where a message box or another window left
// it).
#pragma once

#include <windows.h>

namespace redoviri::widgets {

// Nothing happens to a hidden window.
void TakeKeyboard(HWND window, HWND firstControl);

}  // namespace redoviri::widgets
