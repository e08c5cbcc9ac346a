// The tests' way into the windows: their widgets, tray icon and flags,
// which the program's other windows never reach.
#pragma once

#include <array>
#include <string>

#include "calendar/maincal.h"
#include "events/unit4.h"
#include "widgets/form.h"

namespace redoviri {
class TForm2;
class TForm3;
}  // namespace redoviri

namespace redoviri::test {

struct WindowAccess {
  static widgets::Form& FormOf(widgets::FormWindow& window) { return window.GetForm(); }

  // The main window.
  static TForm1Widgets& Widgets(TForm1& main) { return main; }
  static TTrayIconF& Tray(TForm1& main) { return main.Tray; }
  static int ShowListAfterHide(const TForm1& main) { return main.showListAfterHide_; }
  static const std::string& TodayStamp(const TForm1& main) { return main.TodayStamp; }

  // The date chooser.
  struct ChooserWidgets {
    widgets::Label& Label10;
    widgets::Label& Label1;
    widgets::MaskEdit& MaskEdit1;
    widgets::SpeedButton& Button1;
    widgets::SpeedButton& Button2;
    widgets::Image& FieldLegend;
    widgets::Image& ButtonLegend;
    widgets::Image& TopBar;
    widgets::Image& BottomBar;
    std::array<widgets::Panel*, 4> CloseBoxes;
  };
  static ChooserWidgets Widgets(TForm4& c) {
    return {*c.Label10,     *c.Label1,       *c.MaskEdit1, *c.Button1,   *c.Button2,
            *c.FieldLegend, *c.ButtonLegend, *c.TopBar,    *c.BottomBar, c.CloseBoxes};
  }

  // The event list window and the splash (their headers come with the
  // application's tests).
  template <class ListWindow = TForm2>
  static widgets::Label& Label10(ListWindow& list) { return list.Label10; }
  template <class ListWindow = TForm2>
  static int ShowGridAfterHide(const ListWindow& list) { return list.showGridAfterHide_; }
  template <class Splash = TForm3>
  static widgets::Image& Image1(Splash& splash) { return splash.Image1; }
  template <class Splash = TForm3>
  static widgets::Timer& Timer1(Splash& splash) { return splash.Timer1; }
};

}  // namespace redoviri::test
