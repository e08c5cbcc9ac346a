#include "events/unit4.h"

#include "base/colours.h"
#include "base/dateformat.h"
#include "components/window_frame.h"
#include "events/datechoice.h"
#include "resources/resource_ids.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

namespace {

FormDesc ChooserDesc(HintManager* hints, HWND owner) {
  return {.clientWidth = 301, .clientHeight = 149, .centered = true, .colour = colours::Silver,
          .borderless = true, .topmost = true, .dragBySurface = true, .owner = owner, .hints = hints};
}

}  // namespace

TForm4::TForm4(TForm4Deps deps) : FormWindow(ChooserDesc(deps.hints, deps.owner)), deps_(std::move(deps)) {
  Form& form = GetForm();
  const WindowFrame frame =
      AddWindowFrame(form, {.closeHints = {kCloseMenuHint, kCloseMenuHint, kCloseHint, kCloseHint},
                            .onClose = [this] { Panel2Click(); }});
  TopBar = &frame.top;
  BottomBar = &frame.bottom;
  CloseBoxes = frame.close;

  // Windowless, so above the bars and under the close boxes; it covers
  // the top bar, so it says what the bar says.
  Label10 = &form.Add<Label>({.left = 2, .top = 2, .width = 301, .height = 18,
                              .caption = "Choose your new event date", .hint = kMoveHint, .font = Font::Arial(13),
                              .fontColour = colours::White},
                             {.align = Align::Center});
  FieldLegend = &form.Add<Image>({.left = 15, .top = 22, .width = 271, .height = 66, .hint = kLegendHint},
                                 {.picture = ResourcePicture(IDB_LEGENDLOW), .stretch = true});
  // The borderless window's text, read by screen readers: its title line.
  form.SetCaption(Label10->Caption());
  Label1 = &form.Add<Label>({.left = 69, .top = 25, .width = 172, .height = 14,
                             .caption = "New Event Date in your date-format", .font = Font::Arial(11),
                             .fontColour = colours::White});
  MaskEdit1 = &form.Add<MaskEdit>({.left = 97, .top = 41, .width = 104, .height = 30, .font = Font::Arial(19)},
                                  {.mask = "!99/99/0000;1;_"});

  // The buttons' panel is the strip itself: it drags the window like the
  // rest of the surface, and the buttons sit at (12, 8) and (164, 8) on it.
  constexpr int kStripLeft = 16, kStripTop = 87;
  ButtonLegend = &form.Add<Image>(
      {.left = kStripLeft, .top = kStripTop, .width = 269, .height = 46, .hint = kLegendHint},
      {.picture = ResourcePicture(IDB_LEGENDLOW), .stretch = true});
  Button1 = &form.Add<SpeedButton>({.left = kStripLeft + 12, .top = kStripTop + 8, .width = 138, .height = 29,
                                    .caption = "OK for that Date", .onClick = [this] { Button1Click(); }},
                                   {.flat = true, .tabStop = true});
  Button2 = &form.Add<SpeedButton>({.left = kStripLeft + 164, .top = kStripTop + 8, .width = 70, .height = 29,
                                    .caption = "Cancel", .onClick = [this] { Button2Click(); }},
                                   {.flat = true, .tabStop = true});
  SmoothShow1.SetControl(Handle());
  SmoothShow1.SetColor(static_cast<COLORREF>(SelectedColour));
  form.onHide = [this] { FormHide(); };
  form.onEnter = [this] { Button1Click(); };   // "OK for that Date"
  form.onEscape = [this] { Button2Click(); };  // "Cancel"
  FormCreate();
}

TForm4::~TForm4() = default;

void TForm4::FormHide() {
  SmoothShow1.SetReverse(true);
  SmoothShow1.Execute();
}

void TForm4::SetAnimated(bool on) { SmoothShow1.SetEnabled(on); }

void TForm4::SetAnimationDelay(std::uint16_t ms) { SmoothShow1.SetDelay(ms); }

void TForm4::FormCreate() {
  // Today in the order the user types dates in ("dd/mm/yyyy" or
  // "mm/dd/yyyy"), which is the shape of the mask.
  MaskEdit1->SetText(FormatDate(DateForm::Numeric, deps_.locale, deps_.clock.Now().date));
}

void TForm4::Button1Click() {
  Hide();
  const DateChoice choice = ReadDateChoice(MaskEdit1->Text(), deps_.locale.IsMonthFirst());
  MainWindowOps& main = deps_.form1;
  if (!choice.date) {
    // The day is taken before the date is read: it stays chosen, while the
    // calendar, its fields and the list keep what they showed.
    main.SetSelectedDayText(choice.dayText);
    deps_.showError(choice.error);
    return;
  }
  main.JumpToDay(choice.dayText, *choice.date);
  if (deps_.setEditorYear) deps_.setEditorYear(choice.yearText);
  // A real date always names its day: the list opens on it.
  main.OpenEventList();
}

void TForm4::Button2Click() {
  Hide();
  deps_.form1.KeyboardBack();
}

void TForm4::ShowActive() {
  Show();
  TakeKeyboard(Handle(), MaskEdit1->Handle());
  MaskEdit1->SelectAll();
}

void TForm4::LocaleChanged(DateLocale locale) {
  const bool wasMonthFirst = deps_.locale.IsMonthFirst();
  deps_.locale = std::move(locale);
  // Anything but a whole date is left as typed.
  const std::string retyped = RetypedDateChoice(MaskEdit1->Text(), wasMonthFirst, deps_.locale);
  if (retyped != MaskEdit1->Text()) MaskEdit1->SetText(retyped);
}

void TForm4::Panel2Click() {
  Hide();
  deps_.form1.KeyboardBack();
}

}  // namespace redoviri
