// The rule window: where the user chooses how the event being added in the
// list window's editor repeats. It shows over the window that asks
// (Choose), takes the keyboard, and hands the chosen rule back on OK only;
// Cancel, Escape and the corner boxes hand back nothing. Either way the
// asking window gets the keyboard back. What the choice means is the
// RuleChoice's (rulechoice.h); the window only shows it.
//
// The keys: Tab and Shift+Tab go through every control; Up and Down (Left
// and Right) choose in a list; Enter is OK, Escape Cancel; Alt with the
// underlined letter goes to a control (Repeat, every, On, Ends, Not on) or
// presses a button (Add, Remove); Delete in the skipped days removes one.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/datetime.h"
#include "base/locale.h"
#include "events/eventrule.h"
#include "events/rulechoice.h"
#include "widgets/widgets.h"

namespace redoviri {

struct TRuleWindowDeps {
  DateLocale locale;  // the order dates are typed in
  widgets::HintManager* hints = nullptr;
};

class TRuleWindow : public widgets::FormWindow {
 public:
  explicit TRuleWindow(TRuleWindowDeps deps);
  ~TRuleWindow();

  // Shows the window over `owner` for an event of that first date (a real
  // date) and rule, with the keyboard in its first list; `chosen` runs on
  // OK only, after the window went.
  void Choose(HWND owner, const CivilDate& first, const RepeatRule& current,
              std::function<void(const RepeatRule&)> chosen);
  // Dates are now typed in this locale's order.
  void LocaleChanged(DateLocale locale);

  // ---- Handlers
  void OkClick();
  void CancelClick();
  void AddClick();
  void RemoveClick();

 private:
  friend struct test::WindowAccess;
  struct Controls;

  // Shows what the choice says: its lists, the parts that belong to it,
  // the skipped days and the preview line.
  void Refresh();
  void Command(const std::function<void(RuleChoice&)>& command);
  void ShowPreview(const std::string& text, bool error);
  void Close();
  bool Accelerator(char key);
  void FocusField(RuleField field);

  TRuleWindowDeps deps_;
  std::optional<RuleChoice> choice_;
  std::function<void(const RepeatRule&)> chosen_;
  HWND owner_ = nullptr;
  std::unique_ptr<Controls> c_;  // where the form's widgets are
};

}  // namespace redoviri
