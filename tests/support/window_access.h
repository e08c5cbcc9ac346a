// The tests' way into the windows: their widgets, tray icon and flags,
// which the program's other windows never reach.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/clockwatch.h"
#include "app/oslpash.h"
#include "calendar/maincal.h"
#include "events/editday.h"
#include "events/unit4.h"
#include "reminders/noticewindow.h"
#include "support/win32_test_support.h"
#include "widgets/bitmap.h"
#include "widgets/form.h"

namespace redoviri::test {

struct WindowAccess {
  static widgets::Form& FormOf(widgets::FormWindow& window) { return window.GetForm(); }

  // What a window draws, rendered off screen into size (its client area's).
  static std::vector<COLORREF> RenderedPixels(widgets::FormWindow& window, SIZE size) {
    const widgets::Bitmap shot = widgets::Bitmap::Draw(size.cx, size.cy, [&](HDC dc) { FormOf(window).Render(dc); });
    return BitmapPixels(shot.Handle(), shot.Width(), shot.Height());
  }

  // The main window.
  static TForm1Widgets& Widgets(TForm1& main) { return main; }
  static TTrayIconF& Tray(TForm1& main) { return main.Tray; }
  static int ShowListAfterHide(const TForm1& main) { return main.showListAfterHide_; }
  static std::string TodayStamp(const TForm1& main) { return DayKey(main.presenter_.TodayDate()); }

  // The event list window.
  static TForm2Widgets& Widgets(TForm2& list) { return list; }
  static widgets::Label& Label10(TForm2& list) { return list.Label10; }
  static int ShowGridAfterHide(const TForm2& list) { return list.showGridAfterHide_; }

  // The notice window's list of due events.
  static HWND NoticeList(const TNotice& notice) { return notice.ListHandle(); }

  // The one clock: its look timer and its stamp timer.
  static std::vector<widgets::Timer*> Timers(ClockWatch& clock) { return {&clock.lookTimer_, &clock.stampTimer_}; }

  // The splash.
  static widgets::Image& Image1(TForm3& splash) { return splash.Image1; }
  static widgets::Timer& Timer1(TForm3& splash) { return splash.Timer1; }

  // The about window.
  struct AboutWidgets {
    widgets::Image& Image1;
    widgets::Image& Image2;
    widgets::Timer& Timer1;
    std::array<widgets::Panel*, 4> CloseBoxes;
  };
  static AboutWidgets Widgets(TABOU& about) {
    return {*about.Image1, *about.Image2, *about.Timer1, about.closeBoxes_};
  }

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
};

}  // namespace redoviri::test
