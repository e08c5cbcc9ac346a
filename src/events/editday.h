// The event list window Form2: the owner of the event store `eventlist` and
// of the popup menu that all windows share. It loads the event file when it
// is created and then has the main window refresh itself.
//
// The window's frame, title line and close boxes are here; the event grid,
// the category buttons and the editor panel grow onto it.
#pragma once

#include <functional>
#include <string>

#include "calendar/maincal.h"
#include "events/eventlist.h"
#include "widgets/popup_menu.h"
#include "widgets/widgets.h"

namespace redoviri {

struct TForm2Deps {
  TForm1& form1;
  FileSystem& files;
  std::string eventFilePath;
  // Shows the message of a failed operation; the program goes on.
  std::function<void(const std::string& message)> showError;
  // Shows an information message (an event refused as saved already).
  std::function<void(const std::string& message)> showInfo;
  widgets::HintManager* hints = nullptr;
};

class TForm2 : public widgets::FormWindow {
 public:
  // Runs FormCreate: needs the main window fully built.
  explicit TForm2(TForm2Deps deps);

  // ---- What the other windows ask of this one
  // ShowGridAfterHide: show the main window once this one has finished
  // hiding.
  void SetShowGridAfterHide(bool on);
  // The clock line of the main window, shown in the title line while this
  // window is visible.
  void ShowClockText(const std::string& text);
  // The menu that every window and the tray icon share.
  widgets::TPopupMenu& PopupMenu() { return popupMenu_; }
  // The event store, as loaded.
  const EventList& Events() const { return eventlist; }
  // The editor's year field (the date chooser's year).
  void SetEditorYear(const std::string& year) { editorYear_ = year; }

  // ---- Changes to the event store (the editor's Save and Delete)
  // Saves an event line, then counts today's events afresh. An equal event
  // saved already is refused with a message; a failed write shows the
  // runtime's message; either way nothing changes. True when saved.
  bool SaveEventLine(const std::string& line);
  // Removes the first stored event equal to `line`, then refreshes the
  // calendar, the tray and the selected day's list. One that is not (or no
  // longer) stored is refused with a message. True when removed.
  bool DeleteEventLine(const std::string& line);

  // ---- Handlers
  // Any close box: hide this window, the main window comes back.
  void Panel2Click();
  // The hide is over: hand the screen back to the main window when the
  // flag asks for it.
  void SmoothShow1Finish();

 private:
  friend struct test::WindowAccess;

  void FormCreate();
  void FormHide();
  // After a store operation: when the file had changed outside the program
  // and was loaded again, everything shown follows the fresh store; a
  // refusal or a failure is shown. True when the operation was made.
  bool Settle(const StoreResult& result);
  // The calendar, the tray and the selected day's list, from the store.
  void RefreshFromStore();

  TForm2Deps deps_;
  EventList eventlist;
  widgets::TPopupMenu popupMenu_;
  widgets::Label& Label10;  // title line: "Today " and the date and time
  int showGridAfterHide_ = 0;  // ShowGridAfterHide, the window's tag
  std::string editorYear_;
};

}  // namespace redoviri
