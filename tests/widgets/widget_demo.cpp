// A form with one of each widget, to look at: widget_demo.exe [seconds]
// (the form closes by itself after that many seconds; 0 or none: never).
// Drag it by its surface, hover for hints, the corner "X" quits.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "widgets/widgets.h"

using namespace redoviri::widgets;

namespace {

constexpr COLORREF kTodayColour = RGB(128, 255, 255);
constexpr COLORREF kSelectedColour = RGB(255, 255, 221);
constexpr const char* kLegendHint =
    "LEGEND  Red=Lovelyday Blue=Birthday Olive=Workingday Purple=Religionday Green=Feestday Teal=Other";

Bitmap Bar(int width, int height) {
  return Bitmap::Draw(width, height, [&](HDC dc) {
    for (int y = 0; y < height; ++y) {
      const int shade = 60 + 120 * y / height;
      FillSolid(dc, {0, y, width, y + 1}, RGB(0, shade / 2, shade));
    }
  });
}

Bitmap Legend(int width, int height) {
  static constexpr COLORREF kColours[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(128, 128, 0),
                                          RGB(128, 0, 128), RGB(0, 128, 0), RGB(0, 128, 128)};
  return Bitmap::Draw(width, height, [&](HDC dc) {
    const int n = static_cast<int>(std::size(kColours));
    for (int i = 0; i < n; ++i)
      FillSolid(dc, {i * width / n, 0, (i + 1) * width / n, height}, kColours[i]);
  });
}

// A 16 x 16 disc on magenta, which the image leaves out.
Bitmap Moon(COLORREF colour) {
  return Bitmap::Draw(16, 16, [&](HDC dc) {
    FillSolid(dc, {0, 0, 16, 16}, RGB(255, 0, 255));
    const OwnedBrush brush(CreateSolidBrush(colour));
    const ScopedSelect b(dc, brush.get());
    const ScopedSelect p(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, 2, 2, 15, 15);
  });
}

Bitmap Glyph(COLORREF colour) {
  return Bitmap::Draw(16, 16, [&](HDC dc) {
    FillSolid(dc, {0, 0, 16, 16}, RGB(255, 0, 255));
    FillSolid(dc, {3, 3, 13, 13}, colour);
    FrameSolid(dc, {3, 3, 13, 13}, colours::Black);
  });
}

std::string Now() {
  const std::time_t t = std::time(nullptr);
  char text[64];
  std::strftime(text, sizeof text, "Today %A, %B %d %Y %H:%M:%S", std::localtime(&t));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  HintManager hints;
  Form form({.caption = "Widget demo", .clientWidth = 420, .clientHeight = 340, .topmost = true,
             .hints = &hints});

  // Frame: bars, clock line on the top bar, a close box.
  form.Add<Image>({.left = 0, .top = 0, .width = 420, .height = 22,
                   .hint = "Click here and drag to move the mixer..."},
                  {.picture = Bar(8, 22), .stretch = true});
  form.Add<Image>({.left = 0, .top = 325, .width = 420, .height = 15,
                   .hint = "Click here and drag to move the mixer..."},
                  {.picture = Bar(8, 15), .stretch = true});
  Label& clock = form.Add<Label>({.left = 22, .top = 4, .width = 376, .height = 18, .caption = Now(),
                                  .hint = "This the date of now", .font = Font::Arial(13),
                                  .fontColour = colours::White},
                                 {.align = Align::Center});
  form.Add<Panel>({.left = 400, .top = 0, .width = 20, .height = 22, .caption = "X",
                   .hint = "Click to hide the panel...", .font = Font::Points("MS Sans Serif", 8).Bold(),
                   .onClick = [] { PostQuitMessage(0); }});

  // Details panel with a centred label.
  Panel& details = form.Add<Panel>({.left = 15, .top = 27, .width = 390, .height = 40,
                                    .hint = "Click to see the details of the day selected",
                                    .colour = kSelectedColour},
                                   {.border = BorderStyle::Single});
  details.Add<Label>({.left = 5, .top = 1, .width = 378, .height = 36,
                      .caption = "Thursday, December 25 2003\nFull moon", .font = Font::Arial(15)},
                     {.align = Align::Center});

  // A legend strip lying on the form (drags it) and a row of day cells.
  form.Add<Image>({.left = 15, .top = 72, .width = 11, .height = 32, .hint = kLegendHint},
                  {.picture = Legend(6, 32), .stretch = true});
  Panel& cells = form.Add<Panel>({.left = 30, .top = 72, .width = 325, .height = 32,
                                  .font = Font::Arial(13)},
                                 {.border = BorderStyle::Single, .bevel = Bevel::None});
  for (int k = 0; k < 7; ++k) {
    const bool today = k == 3;
    Panel& cell = cells.Add<Panel>({.left = 1 + 46 * k, .top = 0, .width = 46, .height = 30,
                                    .colour = today ? kTodayColour : colours::White},
                                   {.border = BorderStyle::Single});
    if (k == 5) cell.Add<Image>({.left = 0, .top = 12, .width = 16, .height = 16},
                                {.picture = Moon(RGB(230, 200, 0)), .transparent = true});
    cell.Add<Label>({.left = 0, .top = 0, .width = 44, .height = 28, .caption = std::to_string(22 + k),
                     .hint = k == 3 ? " birthday : Anna," : "", .font = Font::Arial(19),
                     .fontColour = today ? colours::Red : colours::Black},
                    {.align = Align::Center});
  }
  form.Add<SpeedButton>({.left = 360, .top = 74, .width = 24, .height = 24, .hint = "Click to choose a month"},
                        {.glyph = Glyph(RGB(0, 128, 0))});

  // Fields on a rounded silver shape.
  form.Add<Shape>({.left = 15, .top = 110, .width = 390, .height = 36, .colour = colours::Silver},
                  {.kind = ShapeKind::RoundRect});
  form.Add<Edit>({.left = 25, .top = 115, .width = 126, .height = 26, .caption = "DECEMBER",
                  .hint = "This is the month in string", .font = Font::Arial(16).Bold(),
                  .colour = colours::Silver},
                 {.readOnly = true});
  form.Add<MaskEdit>({.left = 160, .top = 115, .width = 104, .height = 26, .caption = "25/12/2003",
                      .hint = "New Event Date in your date-format", .font = Font::Arial(19)},
                     {.mask = "!99/99/0000;1;_"});
  form.Add<Edit>({.left = 272, .top = 115, .width = 54, .height = 26, .caption = "2003",
                  .hint = "Choose the year calendar.", .font = Font::Arial(19)},
                 {.maxLength = 4});
  form.Add<CheckBox>({.left = 334, .top = 120, .caption = "Each", .hint = "Check it"}, {.checked = true});

  // The event list.
  StringGrid& grid = form.Add<StringGrid>(
      {.left = 15, .top = 152, .width = 390, .height = 100,
       .hint = "2x Click show the selected row, right Click show the menu", .font = Font::Arial(11),
       .colour = kSelectedColour},
      {.colWidths = {177, 65, 48, 71}, .rowCount = 6, .rowHeight = 18, .rowSelect = true,
       .scrollBars = ScrollBars::Vertical});
  const char* headings[] = {"Name", "Date", "Hour", "Event"};
  const char* rows[][4] = {{"Anna", "12/25/2003", "08:00", "birthday"},
                           {"Wedding jubilee", "12/25/1980", "12:00", "lovely"},
                           {"Tax return", "12/25/2003", "09:30", "work/business"},
                           {"Christmas", "12/25/2003", "00:00", "religion/legal"},
                           {"Holiday", "12/25/2003", "00:00", "feest"}};
  for (int c = 0; c < 4; ++c) grid.SetCell(c, 0, headings[c]);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 4; ++c) grid.SetCell(c, r + 1, rows[r][c]);
  grid.SetRow(2);

  // Buttons: flat speed buttons on a panel, a push button, check boxes.
  Panel& buttons = form.Add<Panel>({.left = 15, .top = 258, .width = 390, .height = 62,
                                    .font = Font::Arial(11)},
                                   {.border = BorderStyle::Single});
  buttons.Add<SpeedButton>({.left = 4, .top = 3, .width = 100, .height = 40, .caption = "Birthday",
                            .hint = "Click to add a new birthday."},
                           {.glyph = Glyph(RGB(0, 0, 255))});
  buttons.Add<SpeedButton>({.left = 104, .top = 3, .width = 100, .height = 40, .caption = "  Lovely",
                            .hint = "Click to add a new love event"},
                           {.glyph = Glyph(RGB(255, 0, 0))});
  buttons.Add<SpeedButton>({.left = 208, .top = 3, .width = 47, .height = 56, .caption = "Delete",
                            .hint = "Click here to delete the selected event"},
                           {.glyph = Glyph(RGB(128, 0, 128)), .layout = GlyphLayout::Top});
  buttons.Add<Button>({.left = 262, .top = 6, .width = 120, .height = 24, .caption = "OK for that Date",
                       .font = Font::Points("MS Sans Serif", 8)});
  buttons.Add<CheckBox>({.left = 8, .top = 40, .caption = "Each Year", .hint = "Check it to remind it every year.",
                         .font = Font::Points("MS Sans Serif", 8)},
                        {.checked = true});
  buttons.Add<CheckBox>({.left = 100, .top = 40, .caption = "Only one time",
                         .font = Font::Points("MS Sans Serif", 8)});

  form.AddTimer({.interval = 1000, .onTimer = [&] { clock.SetCaption(Now()); }});
  if (seconds > 0)
    form.AddTimer({.interval = static_cast<UINT>(seconds) * 1000, .onTimer = [] { PostQuitMessage(0); }});

  form.Show();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsFormDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
