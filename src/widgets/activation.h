// A window shown for the user's action takes the keyboard: it becomes the
// foreground window with the focus in its first control. (A window that
// only gets the foreground back, after a message box, keeps the focus
// where it was: the form puts it back.)
#pragma once

#include <windows.h>

namespace redoviri::widgets {

// Nothing happens to a hidden window.
void TakeKeyboard(HWND window, HWND firstControl);

}  // namespace redoviri::widgets
