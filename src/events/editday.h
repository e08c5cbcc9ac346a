// The event list window Form2: the owner of the event store `eventlist` and
// of the popup menu that all windows share. It loads the event file when it
// is created and then has the main window refresh itself.
//
// The window's frame, title line and close boxes are here; the event grid,
// the category buttons and the editor panel grow onto it.
#pragma once

#include <functional>
#include <string>

#include "app/popupmenu.h"
#include "calendar/maincal.h"
#include "events/eventlist.h"
#include "widgets/widgets.h"

namespace redoviri {

struct TForm2Deps {
  TForm1& form1;
  FileSystem& files;
  std::string eventFilePath;
  // Shows the message of a failed operation; the program goes on.
  std::function<void(const std::string& message)> showError;
  widgets::HintManager* hints = nullptr;
};

class TForm2 : public widgets::Form {
 public:
  // Runs FormCreate: needs the main window fully built.
  explicit TForm2(TForm2Deps deps);

  // The flag `ShowGridAfterHide` is the window's tag: 1 while the main
  // window is to come back once this window has finished hiding.
  int ShowGridAfterHide() const { return tag(); }

  // Any close box: hide this window, the main window comes back.
  void Panel2Click();
  // The hide is over: hand the screen back to the main window when the
  // flag asks for it.
  void SmoothShow1Finish();

  EventList eventlist;
  TPopupMenu PopupMenu;
  widgets::Label& Label10;  // title line: "Today " and the date and time

 private:
  void FormCreate();
  void FormHide();

  TForm2Deps deps_;
};

}  // namespace redoviri
