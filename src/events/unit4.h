// The date chooser Form4: a small window in which the user types a date to
// jump to. "OK for that Date" moves the main calendar to the date's month,
// makes its day the selected day and opens the event list window on it with
// the editor's year set; "Cancel" and the corner boxes only hide the window.
//
// The field keeps what was typed last: today's date goes into it only when
// the window is created.
#pragma once

#include <cstdint>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/locale.h"
#include "components/SmoothShow.h"
#include "events/mainwindow_ops.h"
#include "widgets/widgets.h"

namespace redoviri {

struct TForm4Deps {
  MainWindowOps& form1;
  const Clock& clock;
  DateLocale locale;  // the order the date is typed in
  // Shows the message of a failed conversion; the program goes on.
  std::function<void(const std::string& message)> showError;
  // The editor's year field of the event list window.
  std::function<void(const std::string& year)> setEditorYear;
  widgets::HintManager* hints = nullptr;
  // The main window: the chooser is its dialog, so a window manager gives
  // the keyboard back to it when the chooser closes.
  HWND owner = nullptr;
};

class TForm4 : public widgets::FormWindow {
 public:
  explicit TForm4(TForm4Deps deps);
  ~TForm4();

  // ---- Handlers
  // "OK for that Date".
  void Button1Click();
  // "Cancel".
  void Button2Click();
  // Any corner box.
  void Panel2Click();
  // Shown for the user's action: in front, the date field taking the
  // keyboard with its text selected. Enter is "OK for that Date", Escape
  // "Cancel".
  void ShowActive();
  // Dates are now typed in this locale's order: a date in the field is
  // turned round to it.
  void LocaleChanged(DateLocale locale);
  // "Animated window": whether hiding animates.
  void SetAnimated(bool on);
  // Milliseconds between the animation's steps.
  void SetAnimationDelay(std::uint16_t ms);

 private:
  friend struct test::WindowAccess;

  void FormCreate();
  void FormHide();

  TForm4Deps deps_;
  widgets::Label* Label10 = nullptr;  // title line on the top bar
  widgets::Label* Label1 = nullptr;
  widgets::MaskEdit* MaskEdit1 = nullptr;
  widgets::SpeedButton* Button1 = nullptr;
  widgets::SpeedButton* Button2 = nullptr;
  widgets::Image* FieldLegend = nullptr;   // the strip behind the field
  widgets::Image* ButtonLegend = nullptr;  // the strip behind the buttons
  std::array<widgets::Panel*, 4> CloseBoxes{};  // by Corner
  widgets::Image* TopBar = nullptr;
  widgets::Image* BottomBar = nullptr;
  TSmoothShow SmoothShow1;
};

}  // namespace redoviri
