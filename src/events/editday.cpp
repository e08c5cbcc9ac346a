#include "events/editday.h"

#include "calendar/window_frame.h"

namespace redoviri {

using namespace widgets;

namespace {

const FormDesc kListWindow{.clientWidth = 405, .clientHeight = 394, .centered = true, .color = colors::Silver,
                           .borderless = true, .topmost = true};

constexpr const char* kWindowHint = "Right click show the menu...";

}  // namespace

TForm2::TForm2(TForm2Deps deps)
    : Form([&] {
        FormDesc d = kListWindow;
        d.hints = deps.hints;
        return d;
      }()),
      eventlist(EventFile(deps.eventFilePath, deps.files)),
      Label10(add<Label>({.left = 22, .top = 4, .width = 367, .height = 18, .font = Font::Arial(13),
                          .fontColor = colors::White},
                         {.align = Align::Center})),
      deps_(std::move(deps)) {
  AddWindowFrame(*this, {.closeHints = {kCloseMenuHint, kCloseHint, kCloseHint, kCloseHint},
                         .onClose = [this] { Panel2Click(); }});
  setHint(kWindowHint);
  onContextMenu = [this](POINT at) { PopupMenu.Popup(at); };
  onHide = [this] { FormHide(); };
  // The title line lies on the top bar.
  Label10.bringToFront();
  FormCreate();
}

void TForm2::FormCreate() {
  TForm1& main = deps_.form1;
  main.Timer1->setEnabled(true);  // the clock line runs from now on

  if (const IoResult loaded = eventlist.LoadEvents(); !loaded.ok()) {
    // The store stays empty; the calendar still shows today and the tray
    // its day number.
    deps_.showError(loaded.error);
  }
  // The main window counts today's events afresh (checktodayClick).
  main.SetEventList(&eventlist);

  main.Button1Click();
  main.Button4Click();
  main.checktodayClick();
  for (int first : {15, 8, 1})
    for (int k = first; k < first + 7; ++k) main.noselClick(k);
  main.Tray.SetActive(false);
  main.datetrayClick();
  main.Tray.SetActive(true);
}

void TForm2::Panel2Click() {
  deps_.form1.Tag = 0;  // ShowListAfterHide
  setTag(1);            // ShowGridAfterHide
  hide();
  deps_.form1.Button4Click();
}

void TForm2::FormHide() {
  // With "Animated window" checked the hide animation ends in
  // SmoothShow1Finish; until this window animates, the hide is over at once
  // whether the option is checked or not.
  SmoothShow1Finish();
}

void TForm2::SmoothShow1Finish() {
  if (tag() != 1) return;
  setTag(0);
  deps_.form1.window().show();
}

}  // namespace redoviri
