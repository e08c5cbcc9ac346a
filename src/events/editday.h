// The event list window Form2: the events of the selected day in a grid,
// the six buttons that add an event of each kind, the editor panel
// `panedit` (add, view and delete), the way back to the calendar. It shows
// what its ListPresenter says and hands every click and key to the
// application model (ListModel), which owns the event store; the popup menu
// that all windows share is the application's.
#pragma once

#include <cstdint>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/dateformat.h"
#include "base/locale.h"
#include "components/SmoothShow.h"
#include "events/dayrows.h"
#include "events/eventeditor.h"
#include "events/eventlist.h"
#include "events/listpresenter.h"
#include "events/mainwindow_ops.h"
#include "widgets/popup_menu.h"
#include "widgets/widgets.h"

namespace redoviri {

struct TForm2Deps {
  MainWindowOps& form1;
  ListModel& model;                // the application model: the presenter and the store
  widgets::TPopupMenu& popupMenu;  // the menu every window shares
  // Shows the message of a failed operation; the program goes on.
  std::function<void(const std::string& message)> showError;
  // Shows an information message (an event refused as saved already).
  std::function<void(const std::string& message)> showInfo;
  // Asks a question with the buttons Yes and No; true for Yes.
  std::function<bool(const std::string& question)> confirm;
  // Shows the date chooser.
  std::function<void()> showDateChooser;
  // Shows the rule window for an event whose first date is `first`, its
  // rule `current`; `chosen` gets the rule the user chose with OK.
  std::function<void(const CivilDate& first, const RepeatRule& current,
                     std::function<void(const RepeatRule&)> chosen)>
      chooseRule;
  // Shows the reminder window for an event's reminders `current` (minutes
  // ahead); `chosen` gets the reminders the user chose with OK.
  std::function<void(const std::vector<int>& current, std::function<void(const std::vector<int>&)> chosen)>
      chooseReminders;
  // Asks which days of a repeating event a change or delete is for;
  // `answered` gets the choice, or none.
  std::function<void(const SeriesQuestion& question, std::function<void(std::optional<SeriesScope>)> answered)>
      askSeries;
  widgets::HintManager* hints = nullptr;
};

// The widgets of the list window and its editor panel, by the names of
// their design.
struct TForm2Widgets {
  widgets::Label* Label1 = nullptr;  // heading: "Here are the events for " and the day
  widgets::StringGrid* StringGrid1 = nullptr;
  widgets::Panel* Panel10 = nullptr;  // the grid's heading
  widgets::Panel* Panel9 = nullptr;   // the buttons
  // SpeedButton1..6 add an event of category 1..6; SpeedButton7 the date
  // chooser, SpeedButton8 back to the calendar, SpeedButton10 delete
  // (index 0 and 9 unused).
  std::array<widgets::SpeedButton*, 11> SpeedButton{};

  // The editor panel.
  widgets::Panel* panedit = nullptr;
  widgets::Label* Label14 = nullptr;  // the mode's title
  widgets::Edit* namee = nullptr;
  widgets::MaskEdit* monthe = nullptr;
  widgets::MaskEdit* daye = nullptr;
  widgets::MaskEdit* yeare = nullptr;
  widgets::MaskEdit* timee = nullptr;
  widgets::MaskEdit* enfreq = nullptr;  // the day count
  widgets::Edit* commente = nullptr;
  widgets::SpeedButton* SpeedButton9 = nullptr;  // the date chooser
  // Each Year, Each Month, Each (N days), Only one time (index 0 unused).
  std::array<widgets::CheckBox*, 5> CheckBox{};
  widgets::Button* savee = nullptr;    // its tag: the category of add mode
  widgets::Button* deletee = nullptr;  // its tag: the category of the row shown
  widgets::Button* BitBtn17 = nullptr;  // Exit
  widgets::Button* rulee = nullptr;     // the rule window, in add mode
  widgets::Button* changee = nullptr;   // view mode: the fields made writable
  widgets::Label* rulewords = nullptr;  // the rule in words
  widgets::Button* remindee = nullptr;     // the reminder window, while the fields are writable
  widgets::Label* remindwords = nullptr;   // the reminders in words
};

class TForm2 : public widgets::FormWindow, private TForm2Widgets {
 public:
  // Runs FormCreate: needs the main window fully built.
  explicit TForm2(TForm2Deps deps);
  ~TForm2();

  // ---- What the other windows ask of this one
  // ShowGridAfterHide: show the main window once this one has finished
  // hiding.
  void SetShowGridAfterHide(bool on);
  // The clock line of the main window, shown in the title line while this
  // window is visible.
  void ShowClockText(const std::string& text);
  // Shows what a change of the model changed, part by part.
  void Present(const ListRedraw& changed);
  // Shown for the user's action: in front, the keyboard in the rows.
  void ShowActive();
  // The menu that every window and the tray icon share.
  widgets::TPopupMenu& PopupMenu() { return deps_.popupMenu; }

  // ---- Changes to the event store, as the editor's Save and Delete make
  // them: true when written; a refusal or a failure is told to the user.
  bool SaveEventLine(const std::string& line);
  bool DeleteEventLine(const std::string& line);
  const EventList& Events() const { return model_.Events(); }

  // ---- Handlers
  void StringGrid1DblClick();   // view mode on the selected row
  void SpeedButtonClick(int code);  // add mode for category 1..6
  void SpeedButton10Click();    // delete mode on the selected row
  void SpeedButton7Click();     // the date chooser
  void SpeedButton8Click();     // back to the calendar
  void saveeClick();
  void deleteeClick();
  void BitBtn17Click();          // Exit: hides the editor
  void CheckBoxClick(int k);    // keeps "Only one time" exclusive
  void ruleeClick();             // the rule window for the typed first date
  void remindeeClick();          // the reminder window for the event's reminders
  void changeeClick();           // "Change" (F2 in the rows): the viewed event changed
  // Ctrl+Z, Ctrl+Y: the last change taken back, or done again.
  void UndoRedo(bool redo);
  // The menu's "Undo …" and "Redo …" items for what there is to take back
  // or do again (none: the menu as every window shows it).
  std::vector<widgets::MenuItem> UndoItems();
  // Any close box: hide this window, the main window comes back.
  void Panel2Click();
  // The hide is over: hand the screen back to the main window when the
  // flag asks for it.
  void SmoothShow1Finish();
  // "Animated window": whether showing and hiding animate (at first they
  // do not).
  void SetAnimated(bool on);
  // Milliseconds between the animation's steps.
  void SetAnimationDelay(std::uint16_t ms);

 private:
  friend struct test::WindowAccess;

  void FormCreate();
  void FormShow();
  void FormHide();
  // The keys: Enter on the rows views the selected one (the form presses a
  // focused button itself), Delete asks to delete it, Escape leaves the
  // editor, else goes back to the calendar.
  bool GridKey(UINT key);
  void EnterPressed();
  void EscapePressed();
  // The shared menu with this window's own items above it.
  void PopupMenuAt(POINT at);
  void BuildList();
  void BuildButtons();
  void BuildEditor();
  // A command of the list presenter, through the model.
  void Command(const std::function<ListRedraw(ListPresenter&)>& command);
  // The grid's selected row handed to the presenter.
  void FollowGridRow();
  void ShowRows();
  void ShowEditor();
  void ShowFields(bool all);
  void SetFieldsWritable(bool writable);
  // The editor panel hidden: the keyboard back in the rows.
  void EditorHidden();
  // The editor's fields as typed (the category is the editor's).
  EventRecord TypedFields() const;
  // Tells the user what became of a save or a delete; true when written.
  bool Tell(const ListOutcome& outcome);
  // Hides this window with the main window to come back.
  void CloseToCalendar();

  TForm2Deps deps_;
  ListModel& model_;
  const ListPresenter& presenter_;
  TSmoothShow SmoothShow1;
  widgets::Label& Label10;  // title line: "Today " and the date and time
  int showGridAfterHide_ = 0;  // ShowGridAfterHide, the window's tag
  bool animated_ = false;
};

}  // namespace redoviri
