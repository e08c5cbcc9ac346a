// A window shown for the user's action takes the keyboard: it becomes the
// foreground window with the focus in its first control. (A window that
// only gets the foreground back, after a message box, keeps the focus
// where it was: the form puts it back.)
#pragma once

#include <windows.h>

namespace redoviri::widgets {

// Nothing happens to a hidden window.
void TakeKeyboard(HWND window, HWND firstControl);

// Whether a window that shows already can take the keyboard only by being
// mapped again. Under Wine (8) the program's activation of a mapped window
// reaches no X window manager: the X focus stays where the manager put it,
// for instance on Wine's tray window after a dialog over the window went
// (a window without a taskbar button is no target of the manager's focus
// fallback).
bool FocusComesOnlyWithAMap();

// A window of the program that shows already takes the keyboard back (after
// a menu, a message box or a window over it went): mapped anew where only a
// map brings the focus; its form puts the focus back in the control that
// had it. Nothing happens to a hidden window.
void GiveKeyboardBack(HWND window);

// Another process of the program (a second start, whose warning had the
// keyboard) asks the window it took the keyboard from to take it back: a
// form that receives KeyboardBackMessage() does.
UINT KeyboardBackMessage();
void AskToTakeKeyboardBack(HWND window);

}  // namespace redoviri::widgets
