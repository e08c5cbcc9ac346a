// The help window: a small dialog with seven lines of usage hints, an inert
// picture of the close box the last line speaks of, and "OK".
#pragma once

#include <cstdint>

#include <functional>

#include "app/options.h"
#include "components/SmoothShow.h"
#include "widgets/widgets.h"

namespace redoviri {

class Thelp : public widgets::FormWindow {
 public:
  // options: "Animated window" decides whether showing and hiding animate;
  // owner: the window the dialog belongs to (the main window).
  Thelp(widgets::HintManager* hints, const AppOptions& options, HWND owner);
  ~Thelp();

  // "OK" (also Enter and Escape): hides the help, the main window comes
  // back.
  void Button1Click();
  // Shows the help as the active window, its OK button focused, so the
  // keyboard reaches it at once.
  void ShowActive();

  // Whether showing and hiding may animate (until the program ends).
  void SetAnimated(bool on);
  // Milliseconds between the animation's steps.
  void SetAnimationDelay(std::uint16_t ms);
  void FormShow();
  void FormHide();

  // Shows the main window (the application wires it).
  std::function<void()> showMainWindow;

 private:
  friend struct test::WindowAccess;

  const AppOptions& options_;
  widgets::Button* Button1 = nullptr;
  TSmoothShow SmoothShow1;
};

}  // namespace redoviri
