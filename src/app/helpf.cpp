#include "app/helpf.h"

#include "components/window_frame.h"
#include "resources/resource_ids.h"

namespace redoviri {

using namespace widgets;

namespace {

struct HelpLine {
  int left, top;
  const char* text;
};
// The spellings are the program's own.
constexpr HelpLine kLines[] = {
    {29, 10, "Use your right mouse button to see the menu."},
    {8, 26, "You may right click on the tray icon or on the calendar."},
    {15, 56, "When you click with the left button on the trayicon, "},
    {92, 73, "it show the calenar"},
    {25, 102, "Select then a date for the begining of the event,"},
    {87, 117, "then a type of event."},
    {31, 142, "< Click on the square-corner to hide the calendar."},
};

}  // namespace

Thelp::Thelp(HintManager* hints, const AppOptions& options, HWND owner)
    : FormWindow({.caption = "                  Help for Redoviri", .clientWidth = 273, .clientHeight = 194,
                  .centered = true, .font = Font::Points("MS Sans Serif", 8), .borderless = false,
                  .dragBySurface = false, .dialog = true, .owner = owner, .hints = hints}),
      options_(options) {
  for (const HelpLine& line : kLines)
    GetForm().Add<Label>({.left = line.left, .top = line.top, .width = 250, .height = 13, .caption = line.text},
                         {.autoSize = true});
  // A picture of the close box, not a control: a click on it does nothing.
  Panel& box = GetForm().Add<Panel>({.left = 8, .top = 138, .width = 20, .height = 22, .caption = "X",
                                     .hint = kCloseMenuHint, .font = Font::Points("MS Sans Serif", 8).Bold()});
  box.Add<Image>({.left = 0, .top = 0, .width = 20, .height = 22, .hint = kCloseMenuHint},
                 {.picture = ResourcePicture(IDB_CLOSETOP), .stretch = true});
  Button1 = &GetForm().Add<Button>({.left = 110, .top = 166, .width = 53, .height = 20, .caption = "OK",
                                    .onClick = [this] { Button1Click(); }},
                                   {.isDefault = true});
  SmoothShow1.SetControl(Handle());
  SmoothShow1.SetColor(colours::Silver);
  GetForm().onShow = [this] { FormShow(); };
  GetForm().onHide = [this] { FormHide(); };
  GetForm().onEnter = [this] { Button1Click(); };
  GetForm().onEscape = [this] { Button1Click(); };
}

void Thelp::ShowActive() {
  Show();
  SetForegroundWindow(Handle());
  Button1->SetFocus();
}

Thelp::~Thelp() = default;

void Thelp::SetAnimated(bool on) { SmoothShow1.SetEnabled(on); }

void Thelp::SetAnimationDelay(std::uint16_t ms) { SmoothShow1.SetDelay(ms); }

void Thelp::FormShow() {
  SmoothShow1.SetReverse(false);
  if (options_.animatedWindow) SmoothShow1.Execute();
}

void Thelp::FormHide() {
  SmoothShow1.SetReverse(true);
  if (options_.animatedWindow) SmoothShow1.Execute();
}

void Thelp::Button1Click() {
  Hide();
  if (showMainWindow) showMainWindow();
}

}  // namespace redoviri
