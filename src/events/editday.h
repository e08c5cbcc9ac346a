// The event list window Form2: the events of the selected day in a grid,
// the six buttons that add an event of each kind, the editor panel
// `panedit` (add, view and delete), the way back to the calendar. It loads
// the event store `eventlist` when it is created and writes through it; the
// store and the popup menu that all windows share are the application's.
#pragma once

#include <cstdint>

#include <array>
#include <chrono>
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
#include "events/mainwindow_ops.h"
#include "widgets/popup_menu.h"
#include "widgets/widgets.h"

namespace redoviri {

struct TForm2Deps {
  MainWindowOps& form1;
  EventList& events;               // the program's event store
  widgets::TPopupMenu& popupMenu;  // the menu every window shares
  DateLocale locale;
  // Shows the message of a failed operation; the program goes on.
  std::function<void(const std::string& message)> showError;
  // Shows an information message (an event refused as saved already).
  std::function<void(const std::string& message)> showInfo;
  // Asks a question with the buttons Yes and No; true for Yes.
  std::function<bool(const std::string& question)> confirm;
  // Shows the date chooser.
  std::function<void()> showDateChooser;
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
  // The selected day changed: the heading and the editor's date fields
  // follow (none: the heading loses its date, the fields keep theirs).
  void ShowSelectedDate(const std::optional<CivilDate>& date);
  // The rows of the selected day's events, in store order.
  void ShowDayListing(const DayListing& listing);
  // The editor's year field (the date chooser's year).
  void SetEditorYear(const std::string& year);
  // The day and month names and the date order are now these: the
  // heading is written again with them.
  void LocaleChanged(DateLocale locale);
  // Shown for the user's action: in front, the keyboard in the rows.
  void ShowActive();
  // The menu that every window and the tray icon share.
  widgets::TPopupMenu& PopupMenu() { return deps_.popupMenu; }
  // The event store, as loaded.
  const EventList& Events() const { return eventlist; }

  // ---- Changes to the event store (the editor's Save and Delete)
  // Saves an event line, then counts today's events afresh. An equal event
  // saved already is refused with a message (today's events are counted
  // all the same); a failed write shows the runtime's message; either way
  // nothing changes. True when saved. `relisted`, if given, tells whether
  // the file had changed outside the program, so that everything shown,
  // the day's rows included, was listed afresh from the store.
  bool SaveEventLine(const std::string& line, bool* relisted = nullptr);
  // Removes the first stored event equal to `line`, then refreshes the
  // calendar, the tray and the selected day's list. One that is not (or no
  // longer) stored is refused with a message. True when removed.
  bool DeleteEventLine(const std::string& line);

  // ---- Handlers
  // The grid: back to one empty row; one more event row, with the stored
  // line it shows.
  void ClearEventRows();
  void AddEventRow(const DayRow& row, std::string line);
  void StringGrid1DblClick();   // view mode on the selected row
  void SpeedButtonClick(int code);  // add mode for category 1..6
  void SpeedButton10Click();    // delete mode on the selected row
  void SpeedButton7Click();     // the date chooser
  void SpeedButton8Click();     // back to the calendar
  void saveeClick();
  void deleteeClick();
  void BitBtn17Click();          // Exit: hides the editor
  void CheckBoxClick(int k);    // keeps "Only one time" exclusive
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
  // The editor panel hidden, the keyboard back in the rows.
  void HideEditor();
  void BuildList();
  void BuildButtons();
  void BuildEditor();
  // Shows the selected row in the editor, read-only, in view or delete mode.
  void ShowRow(EditorMode mode);
  // The editor's title for its mode and its colour for its category.
  void ShowEditorLook();
  void SetFieldsWritable(bool writable);
  // Whether a row of the grid reads exactly so.
  bool GridHolds(const DayRow& row) const;
  // The editor's fields as typed (the category is the editor's).
  EventRecord TypedFields() const;
  // Hides this window with the main window to come back.
  void CloseToCalendar();
  // What the heading says: a lead-in and a date, if any, in the given form.
  struct Heading {
    std::string lead;
    DateForm form = DateForm::Heading;
    std::optional<CivilDate> date;
  };
  void ShowHeading(Heading heading);
  // After a store operation: when the file had changed outside the program
  // and was loaded again, everything shown follows the fresh store; a
  // refusal or a failure is shown. True when the operation was made.
  bool FollowStoreResult(const StoreResult& result);
  // The calendar, the tray and the selected day's list, from the store.
  void RefreshFromStore();
  // After a write: the store confirms the file's stamp once the stamp's
  // resolution has passed, off the user's way, so that the next save need
  // not read the whole file first.
  // The first look comes when a fine stamp's resolution (some tens of ms)
  // has passed.
  void ConfirmStampLater(std::chrono::milliseconds wait = std::chrono::milliseconds(60));
  void StampTimerTimer();

  TForm2Deps deps_;
  EventList& eventlist;
  TSmoothShow SmoothShow1;
  widgets::Label& Label10;  // title line: "Today " and the date and time
  int showGridAfterHide_ = 0;  // ShowGridAfterHide, the window's tag
  bool animated_ = false;
  Heading heading_;
  // The stored line of each event row of the grid (row r at r - 1): the
  // editor's delete removes that line as it is stored, so a hand-edited
  // line that the editor's fields cannot rebuild goes too.
  std::vector<std::string> rowLines_;
  EventEditor editor_;
  widgets::Timer& stampTimer_;  // one shot, for ConfirmStampLater
};

}  // namespace redoviri
