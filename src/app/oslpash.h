// The splash window Form3: the program's picture on black for the first
// three seconds, then gone for good.
#pragma once

#include "components/FormShaper.h"
#include "widgets/widgets.h"

namespace redoviri {

class TForm3 : public widgets::FormWindow {
 public:
  static constexpr UINT kShowMs = 3000;

  TForm3();

  // First tick: stop the timer and destroy the splash window (the object
  // stays, holding no window).
  void Timer1Timer();

 private:
  friend struct test::WindowAccess;

  widgets::Image& Image1;
  widgets::Timer& Timer1;
  TFormShaper FormShaper1;
};

}  // namespace redoviri
