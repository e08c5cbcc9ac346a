// The help window: a small dialog with seven lines of usage hints, an inert
// picture of the close box the last line speaks of, and "OK".
#pragma once

#include <functional>

#include "widgets/widgets.h"

namespace redoviri {

class Thelp : public widgets::FormWindow {
 public:
  explicit Thelp(widgets::HintManager* hints);

  // "OK": hides the help, the main window comes back.
  void Button1Click();

  // Shows the main window (the application wires it).
  std::function<void()> showMainWindow;

 private:
  friend struct test::WindowAccess;

  widgets::Button* Button1 = nullptr;
};

}  // namespace redoviri
