#include "events/editday.h"

#include "calendar/window_frame.h"

namespace redoviri {

using namespace widgets;

namespace {

const FormDesc kListWindow{.clientWidth = 405, .clientHeight = 394, .centered = true, .colour = colours::Silver,
                           .borderless = true, .topmost = true};

constexpr const char* kWindowHint = "Right click show the menu...";

FormDesc ListWindowDesc(HintManager* hints) {
  FormDesc d = kListWindow;
  d.hints = hints;
  return d;
}

}  // namespace

TForm2::TForm2(TForm2Deps deps)
    : FormWindow(ListWindowDesc(deps.hints)),
      deps_(std::move(deps)),
      eventlist(EventFile(deps_.eventFilePath, deps_.files)),
      Label10(GetForm().Add<Label>({.left = 22, .top = 4, .width = 367, .height = 18, .font = Font::Arial(13),
                                 .fontColour = colours::White},
                                {.align = Align::Center})) {
  AddWindowFrame(GetForm(), {.closeHints = {kCloseMenuHint, kCloseHint, kCloseHint, kCloseHint},
                          .onClose = [this] { Panel2Click(); }});
  GetForm().SetHint(kWindowHint);
  GetForm().onContextMenu = [this](POINT at) { popupMenu_.Popup(at); };
  GetForm().onHide = [this] { FormHide(); };
  // The title line lies on the top bar.
  Label10.BringToFront();
  FormCreate();
}

void TForm2::FormCreate() {
  TForm1& main = deps_.form1;
  main.StartClock();

  if (const IoResult loaded = eventlist.LoadEvents(); !loaded.ok()) {
    // The store stays empty; the calendar still shows today and the tray
    // its day number.
    deps_.showError(loaded.error);
  }
  // The main window counts today's events afresh (checktodayClick).
  main.SetEventList(&eventlist);
  main.RefreshAfterLoad();
}

bool TForm2::SaveEventLine(const std::string& line) {
  if (!Settle(eventlist.AppendEvent(line))) return false;
  deps_.form1.checktodayClick();
  return true;
}

bool TForm2::DeleteEventLine(const std::string& line) {
  const int index = eventlist.FindEventLine(line);
  if (index < 0) {
    deps_.showInfo(std::string(EventList::kEventGone));
    return false;
  }
  if (!Settle(eventlist.RemoveEvent(index))) return false;
  RefreshFromStore();
  return true;
}

bool TForm2::Settle(const StoreResult& result) {
  if (result.reloaded) RefreshFromStore();
  if (result.ok()) return true;
  if (result.refused) {
    deps_.showInfo(result.error);
  } else {
    deps_.showError(result.error);
  }
  return false;
}

void TForm2::RefreshFromStore() {
  TForm1& main = deps_.form1;
  main.RefreshAfterLoad();
  main.Button2Click();
  if (!main.SelectedDayText().empty()) main.Button3Click();
}

void TForm2::SetShowGridAfterHide(bool on) { showGridAfterHide_ = on ? 1 : 0; }

void TForm2::ShowClockText(const std::string& text) {
  if (Visible()) Label10.SetCaption(text);
}

void TForm2::Panel2Click() {
  deps_.form1.SetShowListAfterHide(false);
  SetShowGridAfterHide(true);
  Hide();
  deps_.form1.Button4Click();
}

void TForm2::FormHide() {
  // With "Animated window" checked the hide animation ends in
  // SmoothShow1Finish; until this window animates, the hide is over at once
  // whether the option is checked or not.
  SmoothShow1Finish();
}

void TForm2::SmoothShow1Finish() {
  if (showGridAfterHide_ != 1) return;
  showGridAfterHide_ = 0;
  deps_.form1.Show();
}

}  // namespace redoviri
