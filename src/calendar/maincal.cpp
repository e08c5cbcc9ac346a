#include "calendar/maincal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "astro/moonmarks.h"
#include "base/colours.h"
#include "base/dateformat.h"
#include "base/monthgrid.h"
#include "base/pictures.h"
#include "components/window_frame.h"
#include "resources/resource_ids.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

// ------------------------------------------------------------- Description

namespace {

constexpr int kClientWidth = 353, kClientHeight = 311;

constexpr const char* kMenuHint = "Right click show the menu...";
constexpr const char* kClockHint = "This the date of now";
constexpr const char* kDetailsHint = "Click to see the details of the day selected";
constexpr const char* kCountHint = "Click to see the details";
constexpr const char* kFirstWeekHint =
    "Click show the icons-event in the above panel. 2x Click give you the details and the edition.";

// Count labels and icons of the details panel, by category 1..6.
struct CountPlace {
  int labelLeft;
  COLORREF colour;
  const char* face;
  bool rightAligned;
  int iconLeft, iconTop;
};
constexpr CountPlace kCounts[kCategoryCount] = {
    {13, RGB(255, 0, 0), "Arial", true, 33, 22},      // llov, iclov
    {64, RGB(0, 0, 255), "Arial", false, 83, 22},     // lbir, icbir
    {114, RGB(128, 128, 0), "Arial", false, 134, 23}, // lwor, icwor
    {167, RGB(255, 0, 255), "System", false, 187, 22},// lrel, icrel
    {223, RGB(0, 255, 0), "System", false, 241, 22},  // lfee, icfee
    {275, RGB(0, 128, 128), "System", false, 293, 22},// loth, icoth
};

// Grid panel calp and its cells.
constexpr int kGridLeft = 18, kGridTop = 95, kGridWidth = 317, kGridHeight = 198;
constexpr int kHeaderLefts[7] = {1, 44, 90, 135, 180, 225, 270};
constexpr int kHeaderTop = 1, kHeaderWidth = 46, kHeaderHeight = 20;
constexpr int kCellWidth = 46, kCellHeight = 30, kCellPitchX = 45, kCellPitchY = 29, kCellTop = 21;

constexpr COLORREF AsColorref(Colour c) { return static_cast<COLORREF>(c); }

bool IsBlankText(std::string_view text) { return TrimBlanks(text).empty(); }

// The year field: at most four digits typed; the up and down arrow keys
// step the year as the +1 and -1 buttons do, carrying the selected day.
class YearEdit : public Edit {
 public:
  YearEdit(Container* parent, const Props& props, const Options& options) : Edit(parent, props, options) {}

  Handler onStepUp, onStepDown;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_KEYDOWN && (wp == VK_UP || wp == VK_DOWN)) {
      const Handler& step = wp == VK_UP ? onStepUp : onStepDown;
      if (step) step();
      return 0;
    }
    return Edit::OnMessage(msg, wp, lp);
  }
};

// The day grid: a panel that takes the keyboard (a Tab stop; the arrow
// keys, Enter and Space are its own) and a click's focus.
class DayGrid : public Panel {
 public:
  DayGrid(Container* parent, const Props& props, const Options& options) : Panel(parent, props, options) {}

  std::function<bool(UINT key)> onKey;

 protected:
  WindowSpec CreationSpec() const override {
    WindowSpec window = Panel::CreationSpec();
    window.style |= WS_TABSTOP;
    return window;
  }
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: if (!Focused()) SetFocus(); break;
      case WM_KEYDOWN:
        if (onKey && onKey(static_cast<UINT>(wp))) return 0;
        break;
      default: break;
    }
    return Panel::OnMessage(msg, wp, lp);
  }
};

}  // namespace

// The window's pictures: the event picture of each DayMark code in the
// normal and the selected look (code 0 has none), and the moon marks.
struct TForm1::Pictures {
  std::array<Bitmap, kSeveralMark + 1> normal;
  std::array<Bitmap, kSeveralMark + 1> selected;
  Bitmap newMoon = ResourcePicture(IDB_NEWMOON);
  Bitmap fullMoon = ResourcePicture(IDB_FULLMOON);

  Pictures() {
    for (int code = 1; code <= kSeveralMark; ++code) normal[code] = ResourcePicture(resources::DayMarkPictureId(code));
    // Today's pictures look the same selected and unselected.
    for (int code = 1; code <= kSeveralMark; ++code) {
      const bool hasSelectedLook = code <= kCategoryCount || code == kSeveralMark;
      selected[code] = hasSelectedLook ? ResourcePicture(resources::SelectedDayMarkPictureId(code)) : normal[code];
    }
  }
};

// ------------------------------------------------------------- Creation

TForm1::TForm1(TForm1Deps deps)
    : FormWindow({.caption = "Redoviri",
             .clientWidth = kClientWidth,
             .clientHeight = kClientHeight,
             .centered = true,
             .colour = colours::Silver,
             .font = Font::Points("MS Sans Serif", 8),
             .borderless = true,
             .topmost = true,
             .dragBySurface = true,
             .taskbarButton = false,
             .hints = deps.hints}),
      model_(deps.model),
      presenter_(deps.model.Calendar()),
      pictures_(std::make_unique<Pictures>()),
      SmoothShow1(Handle()),
      BalloonHint1(deps.hints),
      Tray(deps.trayApp, deps.shell) {
  SmoothShow1.SetColor(colours::Lime);
  SmoothShow1.OnFinish = [this](TSmoothShow&) { SmoothShow1Finish(); };
  SetupBalloonHint();
  BuildFrame();
  BuildDetailsPanel();
  BuildMonthFields();
  BuildGrid();
  Timer1 = &GetForm().AddTimer({.interval = 1000, .enabled = false, .onTimer = [this] { Timer1Timer(); }});
  Timer3 = &GetForm().AddTimer({.interval = kBlinkIntervalMs, .enabled = false, .onTimer = [this] { Timer3Timer(); }});
  GetForm().onShow = [this] { FormShow(); };
  // Escape anywhere in the window hides it, as its close boxes do.
  GetForm().onEscape = [this] { Panel2Click(); };
  GetForm().onCtrlKey = [this](UINT key, bool shift) {
    const std::optional<bool> redo = widgets::UndoKey(key, shift);
    if (!redo || !undoKey) return false;
    undoKey(*redo);
    return true;
  };
  GetForm().onHide = [this] { FormHide(); };
  GetForm().onContextMenu = [this](POINT screen) {
    if (popupMenu_) popupMenu_->Popup(screen);
  };
  LoadTrayIcons();
  SetupTray();
  FormCreate();
  FollowSystemChanges();
}

TForm1::~TForm1() = default;

void TForm1::FollowSystemChanges() {
  // The window is top level, so the system's broadcasts reach it even
  // while it is hidden. (The clock's changes and a wake-up reach the
  // application's one clock.)
  GetForm().onSettingChange = [this](std::string_view section) {
    if (section == "intl" && regionalSettingsChanged) regionalSettingsChanged();
    // The taskbar's theme, or high contrast, changed: the day number is
    // drawn again in its colours.
    if (section == "ImmersiveColorSet" || section.empty()) {
      LoadTrayIcons();
      datetrayClick();
    }
  };
}

void TForm1::BuildFrame() {
  const WindowFrame frame = AddWindowFrame(GetForm(), {.leftHint = kMenuHint, .onClose = [this] { Panel2Click(); }});
  TopBar = &frame.top;
  BottomBar = &frame.bottom;
  LeftBar = &frame.left;
  RightBar = &frame.right;
  CloseBoxes = frame.close;

  // Windowless, so above the bars and below the close boxes.
  Label2 = &GetForm().Add<Label>({.left = 15, .top = 4, .width = 316, .height = 18, .hint = kClockHint,
                              .font = Font::Arial(13), .fontColour = colours::White},
                             {.align = Align::Center});
  LegendStrip = &GetForm().Add<Image>({.left = 15, .top = 65, .width = 11, .height = 32, .hint = kLegendHint},
                                  {.picture = ResourcePicture(IDB_LEGEND), .stretch = true});
}

void TForm1::BuildDetailsPanel() {
  const Handler details = [this] { Label1Click(); };
  paicon = &GetForm().Add<Panel>({.left = 15, .top = 25, .width = 324, .height = 40,
                                  .font = Font::Pixels("System", 13).Bold(),
                                  .colour = AsColorref(SelectedColour), .onClick = details},
                                 {.border = BorderStyle::Line, .bevel = Bevel::None});
  // Back to front: the legend band, the counts and icons, the details label.
  paicon->Add<Image>({.left = 0, .top = 0, .width = 322, .height = 22, .hint = kLegendHint},
                     {.picture = ResourcePicture(IDB_LEGENDPANEL),
                      .stretch = true,
                      .transparent = true,
                      .transparentColour = resources::kTransparentKey});
  for (int c = 1; c <= kCategoryCount; ++c) {
    const CountPlace& place = kCounts[c - 1];
    const Bitmap icon = ResourcePicture(resources::CategoryPanelIconId(c));
    CountLabel[c] = &paicon->Add<Label>({.left = place.labelLeft, .top = 22, .width = 15, .height = 16,
                                         .hint = kCountHint, .font = Font::Pixels(place.face, 13).Bold(),
                                         .fontColour = place.colour, .visible = false},
                                        {.align = place.rightAligned ? Align::Right : Align::Left});
    CategoryIcon[c] = &paicon->Add<Image>({.left = place.iconLeft, .top = place.iconTop, .width = icon.Width(),
                                           .height = icon.Height(), .hint = kCountHint, .visible = false,
                                           .onClick = details},
                                          {.picture = icon, .transparent = true,
                                           .transparentColour = resources::kTransparentKey});
  }
  Label1 = &paicon->Add<Label>({.left = 5, .top = 1, .width = 311, .height = 36, .hint = kDetailsHint,
                                .font = Font::Arial(15), .onClick = details},
                               // One line at the top, clear of the counts below it.
                               {.align = Align::Center, .layout = VAlign::Top});
}

void TForm1::BuildMonthFields() {
  Edit2 = &GetForm().Add<Edit>({.left = 25, .top = 67, .width = 30, .height = 26, .hint = "This is the month in number",
                            .font = Font::Arial(16).Bold(), .colour = colours::Silver},
                           // The month fields only show the month: Tab goes
                           // between the year field and the day grid.
                           {.readOnly = true, .tabStop = false, .onChange = [this] { Edit2Change(); }});
  Edit1 = &GetForm().Add<Edit>({.left = 54, .top = 67, .width = 126, .height = 26, .hint = "This is the month in string",
                            .font = Font::Arial(16).Bold()},
                           {.readOnly = true, .tabStop = false});

  Panel& chooser = GetForm().Add<Panel>({.left = 180, .top = 65, .width = 27, .height = 30});
  SpeedButton5 = &chooser.Add<SpeedButton>(
      {.left = 1, .top = 3, .width = 24, .height = 24, .hint = "Click to choose a month",
       .onClick = [this] { SpeedButton5Click(); }},
      {.glyph = ResourcePicture(IDB_GMONTH)});

  auto& year = GetForm().Add<YearEdit>(
      {.left = 207, .top = 67, .width = 54, .height = 26,
       .hint = "Choose the year calendar. You can use also the up and down arrow or use the keyboard.",
       .font = Font::Arial(19)},
      {.maxLength = 4, .onChange = [this] { UpDown2Change(); }});
  year.onStepUp = [this] { UpDown2Step(+1); };
  year.onStepDown = [this] { UpDown2Step(-1); };
  UpDown2 = &year;

  Panel& nav = GetForm().Add<Panel>(
      {.left = 263, .top = 66, .width = 74, .height = 30, .colour = AsColorref(SelectedColour)});
  SpeedButton3 = &nav.Add<SpeedButton>({.left = 0, .top = 3, .width = 18, .height = 12,
                                        .hint = "Click to set year + 1...", .onClick = [this] { SpeedButton3Click(); }},
                                       {.glyph = ResourcePicture(IDB_GUP)});
  SpeedButton4 = &nav.Add<SpeedButton>({.left = 0, .top = 15, .width = 18, .height = 12,
                                        .hint = "Click to set year - 1...", .onClick = [this] { SpeedButton4Click(); }},
                                       {.glyph = ResourcePicture(IDB_GDOWN)});
  SpeedButton1 = &nav.Add<SpeedButton>({.left = 19, .top = 2, .width = 24, .height = 24,
                                        .hint = "Click to see the present month calendar.",
                                        .onClick = [this] { SpeedButton1Click(); }},
                                       {.glyph = ResourcePicture(IDB_GTODAY)});
  SpeedButton2 = &nav.Add<SpeedButton>({.left = 45, .top = 2, .width = 24, .height = 24,
                                        .hint = "Click to add an event....", .onClick = [this] { SpeedButton2Click(); }},
                                       {.glyph = ResourcePicture(IDB_GADD)});
}

void TForm1::BuildGrid() {
  auto& grid = GetForm().Add<DayGrid>({.left = kGridLeft, .top = kGridTop, .width = kGridWidth,
                                       .height = kGridHeight, .font = Font::Arial(13)},
                                      {.border = BorderStyle::Line, .bevel = Bevel::None});
  grid.onKey = [this](UINT key) { return DayGridKey(key); };
  calp = &grid;
  for (int c = 0; c < 7; ++c) {
    const int width = c == 0 ? kHeaderWidth - 1 : kHeaderWidth;
    Panel& header = calp->Add<Panel>({.left = kHeaderLefts[c], .top = kHeaderTop, .width = width,
                                      .height = kHeaderHeight, .font = Font::Arial(13).Bold(),
                                      .colour = AsColorref(HeaderColour)});
    header.Add<Image>({.left = 0, .top = 0, .width = width, .height = kHeaderHeight, .hint = kLegendHint},
                      {.picture = ResourcePicture(IDB_LEGENDHEAD), .stretch = true, .transparent = true,
                       .transparentColour = resources::kTransparentKey});
    // Drawn exactly over the panel's own caption, so the two read as one;
    // it covers the legend picture, so it shows the legend's hint too.
    HeaderLabel[c] = &header.Add<Label>({.left = 0, .top = 0, .width = width, .height = kHeaderHeight,
                                         .hint = kLegendHint},
                                        {.align = Align::Center, .layout = VAlign::Center});
    HeaderPanel[c] = &header;
  }

  for (int k = 1; k <= kCellPanels; ++k) {
    const int left = kCellPitchX * CellColumn(k), top = kCellTop + kCellPitchY * CellRow(k);
    // A one-pixel black frame round the cell's colour; neighbours share
    // their frame's line.
    Shape& cell = calp->Add<Shape>({.left = left, .top = top, .width = kCellWidth, .height = kCellHeight,
                                    .colour = AsColorref(NormalCellColour)},
                                   {.kind = ShapeKind::Rectangle, .penColour = colours::Black});
    pd[k] = &cell;
    if (k > kDayCellCount) continue;
    // The day label covers the cell inside its frame; a click on the
    // frame selects the cell too.
    cell.onClick = [this, k] { ldClick(k); };
    const int innerLeft = left + 1, innerTop = top + 1;
    const int inner = kCellWidth - 2, innerHeight = kCellHeight - 2;
    id[k] = &calp->Add<Image>({.left = innerLeft, .top = innerTop, .width = inner, .height = innerHeight});
    moon[k] = &calp->Add<Image>({.left = innerLeft, .top = innerTop + 12, .width = 16, .height = 16},
                                {.transparent = true, .transparentColour = resources::kTransparentKey});
    ld[k] = &calp->Add<Label>({.left = innerLeft, .top = innerTop, .width = inner, .height = innerHeight,
                               .hint = k <= 7 ? kFirstWeekHint : "", .font = Font::Arial(19),
                               .onClick = [this, k] { ldClick(k); }, .onDblClick = [this] { ld1DblClick(); }},
                              {.align = Align::Center, .layout = VAlign::Center});
  }

  // The month chooser lies over the fields and the grid while it is shown.
  StringGrid1 = &GetForm().Add<StringGrid>(
      {.left = 19, .top = 65, .width = 186, .height = 244, .hint = "Choose your month calendar",
       .font = Font::Arial(16).Bold(), .visible = false,
       .onMouseUp = [this](const MouseEvent& e) {
         if (StringGrid1->RowAt(e.y) >= 0) StringGrid1MouseUp();
       }},
      {.colWidths = {40, 140}, .rowCount = 12, .rowHeight = 19, .fixedRows = 0, .rowSelect = true,
       .scrollBars = ScrollBars::None});
}

namespace {

// The colours of the taskbar the day number sits on: high contrast's (the
// system's window colours), a dark one's or a light one's.
pictures::DayIconInk TaskbarInk() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof contrast;
  if (SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
      (contrast.dwFlags & HCF_HIGHCONTRASTON)) {
    const auto rgb = [](int index) {
      const COLORREF c = GetSysColor(index);
      return canvas::Rgb{static_cast<double>(GetRValue(c)), static_cast<double>(GetGValue(c)),
                         static_cast<double>(GetBValue(c))};
    };
    return pictures::DayIconInk{rgb(COLOR_WINDOW), rgb(COLOR_WINDOW), rgb(COLOR_WINDOWTEXT)};
  }
  DWORD light = 1, size = sizeof light;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                   "SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) == ERROR_SUCCESS &&
      light == 0)
    return pictures::kDarkTaskbarInk;
  return pictures::kLightTaskbarInk;
}

// An icon of a drawn picture, its edges smoothed by their alpha.
OwnedIcon IconOf(const canvas::Canvas& picture) {
  const int w = picture.w(), h = picture.h();
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const OwnedBitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const OwnedBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
  if (!colour || !mask) return OwnedIcon();
  const std::vector<std::uint32_t> argb = canvas::Argb(picture);
  std::copy(argb.begin(), argb.end(), static_cast<std::uint32_t*>(bits));
  {
    // The mask's pixels all set: the alpha decides.
    const MemoryDC dc;
    const ScopedSelect select(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, w, h, BLACKNESS);
  }
  ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
  return OwnedIcon(CreateIconIndirect(&icon));
}

}  // namespace

void TForm1::LoadTrayIcons() {
  // Drawn for the tray's small-icon size at the screen's DPI; the day
  // number in the colours of the taskbar it sits on, the kinds in theirs.
  const int size = SystemMetricAt(SM_CXSMICON, DpiOf(nullptr));
  const pictures::DayIconInk ink = TaskbarInk();
  for (int day = 1; day <= 31; ++day)
    dayIcons_[static_cast<std::size_t>(day - 1)] = IconOf(pictures::DayIcon(day, size, ink));
  for (int c = 0; c < kCategoryCount; ++c)
    categoryIcons_[static_cast<std::size_t>(c)] = IconOf(pictures::KindIcon(c, size));
}

void TForm1::SetupTray() {
  Tray.SetAnimate(false);
  Tray.SetAnimateInterval(1000);
  Tray.SetMinimizeApp(true);
  Tray.OnClick = [this](TTrayIconF&) { TrayClick(); };
  Tray.OnDblClick = [this](TTrayIconF&) { TrayDblClick(); };
  // Today's number from the first moment on; the tooltip comes with the
  // first count of today's events.
  datetrayClick();
  Tray.SetActive(true);
}

void TForm1::FillMonthChooser() {
  for (int r = 1; r <= 12; ++r) {
    const CivilDate date{2000, r, r};
    StringGrid1->SetCell(0, r - 1, FormatDate("mm", presenter_.Locale(), date));
    StringGrid1->SetCell(1, r - 1, UpperCaseAscii(FormatDate("mmmm", presenter_.Locale(), date)));
  }
}

void TForm1::FormCreate() {
  FillMonthChooser();
  Present({.fields = true, .grid = true, .looks = true, .details = true, .clock = true});
}

// ------------------------------------------------------------- Showing the calendar

void TForm1::Present(const CalendarRedraw& changed) {
  if (changed.fields) ShowMonthFields();
  if (changed.grid) {
    const MonthView& view = presenter_.View();
    const int todayColumn = view.TodayCell() ? CellColumn(*view.TodayCell()) : -1;  // -1: none
    for (int c = 0; c < 7; ++c) {
      const std::string& name = presenter_.Locale().ShortDayName(HeaderDayNumber(c));
      const COLORREF text = AsColorref(todayColumn == c ? TodayTextColour : NormalTextColour);
      HeaderPanel[c]->SetCaption(name);
      HeaderLabel[c]->SetCaption(name);
      HeaderPanel[c]->SetColour(AsColorref(todayColumn == c ? TodayColour : HeaderColour));
      HeaderPanel[c]->SetFontColour(text);
      HeaderLabel[c]->SetFontColour(text);
    }
    for (int k = 1; k <= kDayCellCount; ++k) {
      const MonthCell& cell = view.Cell(k);
      ld[k]->SetCaption(cell.text);
      ld[k]->SetFontColour(AsColorref(CellTextColour(cell.look)));
      MarkMoon(k, cell.moon);
      ShowCellLook(k);
    }
  }
  if (changed.marks)
    for (int k = 1; k <= kDayCellCount; ++k) checkClick(k);
  if (changed.looks) ShowLooks();
  if (changed.selectedDate) ShowCounts(false);
  if (changed.details) Label1->SetCaption(presenter_.DetailsText());
  if (changed.dayList) ShowCounts(true);
  if (changed.today) ShowTodayInTray();
  if (changed.clock) Label2->SetCaption(ClockLineText());
  if (changed.grid || changed.looks || changed.details) ShowAccessibleText();
}

void TForm1::ShowMonthFields() {
  const MonthFieldTexts fields = presenter_.Fields();
  writingFields_ = true;
  if (Edit1->Text() != fields.name) Edit1->SetText(fields.name);
  if (Edit2->Text() != fields.number) Edit2->SetText(fields.number);
  if (UpDown2->Text() != fields.year) UpDown2->SetText(fields.year);
  writingFields_ = false;
}

void TForm1::ShowLooks() {
  for (int k = 1; k <= kDayCellCount; ++k) {
    ShowCellLook(k);
    ShowPicture(k);
  }
}

void TForm1::ShowPicture(int k) {
  if (presenter_.PictureSelected(k)) {
    selClick(k);
  } else {
    noselClick(k);
  }
}

void TForm1::ShowCounts(bool shown) {
  const DayListing& listing = presenter_.Listing();
  for (int c = 1; c <= kCategoryCount; ++c) {
    const int count = shown ? listing.counts[static_cast<std::size_t>(c - 1)] : 0;
    CountLabel[c]->SetTag(count);
    CountLabel[c]->SetCaption(std::to_string(count));
    CountLabel[c]->SetVisible(count != 0);
    CategoryIcon[c]->SetVisible(count != 0);
  }
}

void TForm1::ShowAccessibleText() {
  const std::string text = presenter_.AccessibleText();
  char current[256] = {};
  GetWindowTextA(calp->Handle(), current, sizeof current);
  if (text == current) return;
  // The window's text, not the panel's caption: nothing of it is drawn.
  SetWindowTextA(calp->Handle(), text.c_str());
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, calp->Handle(), OBJID_CLIENT, CHILDID_SELF);
  if (GetFocus() == calp->Handle()) NotifyWinEvent(EVENT_OBJECT_FOCUS, calp->Handle(), OBJID_CLIENT, CHILDID_SELF);
}

// ------------------------------------------------------------- Month grid

void TForm1::Button1Click() { Command([&](CalendarPresenter& p) { return p.Refill(); }); }

void TForm1::ShowCellLook(int k) { pd[k]->SetColour(AsColorref(CellColour(presenter_.View().Cell(k).look))); }

void TForm1::MarkMoon(int k, astro::MoonMark mark) {
  moon[k]->SetTag(static_cast<int>(mark));
  switch (mark) {
    case astro::MoonMark::NewMoon: moon[k]->SetPicture(pictures_->newMoon); break;
    case astro::MoonMark::FullMoon: moon[k]->SetPicture(pictures_->fullMoon); break;
    case astro::MoonMark::None: moon[k]->SetPicture({}); break;
  }
}

void TForm1::selClick(int k) {
  const int code = id[k]->Tag();
  if (code >= 0 && code <= kSeveralMark) id[k]->SetPicture(pictures_->selected[static_cast<std::size_t>(code)]);
}

void TForm1::noselClick(int k) {
  const int code = id[k]->Tag();
  if (code >= 0 && code <= kSeveralMark) id[k]->SetPicture(pictures_->normal[static_cast<std::size_t>(code)]);
}

// ------------------------------------------------------------- Day selection

void TForm1::ldClick(int k) { Command([&](CalendarPresenter& p) { return p.SelectCell(k); }); }

void TForm1::Button2Click() { Command([&](CalendarPresenter& p) { return p.ShowSelectedDay(); }); }

void TForm1::Button3Click() { Command([&](CalendarPresenter& p) { return p.ListSelectedDay(); }); }

void TForm1::SelectToday() { Command([&](CalendarPresenter& p) { return p.SelectToday(); }); }

void TForm1::ShowCalendar() {
  const bool shownAlready = Visible();
  Show();
  Activate(shownAlready);
}

void TForm1::Label1Click() {
  if (IsBlankText(Label1->Caption())) return;
  OpenEventList();
}

void TForm1::ld1DblClick() {
  if (presenter_.SelectedDayText().empty()) return;
  OpenEventList();
}

void TForm1::OpenEventList() {
  showListAfterHide_ = 1;
  // A window hidden already (the date chooser was opened from the list
  // window or the menu) has no hide to finish.
  const bool wasVisible = Visible();
  Hide();
  // Without the animation nothing waits for the hide to finish: the list
  // comes at once, and the flag is spent.
  if (!animated_ || !wasVisible) {
    showListAfterHide_ = 0;
    if (showEventList) showEventList();
  }
}

void TForm1::JumpToDay(const std::string& dayText, const CivilDate& date) {
  Command([&](CalendarPresenter& p) { return p.JumpToDay(dayText, date); });
}

void TForm1::SetSelectedDayText(const std::string& dayText) {
  Command([&](CalendarPresenter& p) {
    p.SetSelectedDayText(dayText);
    return CalendarRedraw{};
  });
}

// ------------------------------------------------------------- Navigation

void TForm1::UnselectFirstRows() { Command([&](CalendarPresenter& p) { return p.UnselectFirstRows(); }); }

void TForm1::Edit2Change() {
  if (writingFields_) return;
  Command([&](CalendarPresenter& p) { return p.MonthNumberChanged(Edit2->Text()); });
}

void TForm1::UpDown2Change() {
  if (writingFields_) return;
  Command([&](CalendarPresenter& p) { return p.YearTypedByKey(UpDown2->Text()); });
}

void TForm1::SpeedButton1Click() { model_.GoToToday(); }

void TForm1::SpeedButton2Click() {
  if (showDateChooser) showDateChooser();
}

void TForm1::SpeedButton3Click() { Command([&](CalendarPresenter& p) { return p.StepYearField(+1); }); }

void TForm1::SpeedButton4Click() { Command([&](CalendarPresenter& p) { return p.StepYearField(-1); }); }

void TForm1::UpDown2Step(int step) { Command([step](CalendarPresenter& p) { return p.StepYearFieldByKey(step); }); }

void TForm1::SpeedButton5Click() {
  StringGrid1->SetRow(presenter_.Month() - 1);  // opens on the shown month
  StringGrid1->SetVisible(true);
  StringGrid1->BringToFront();
}

void TForm1::StringGrid1MouseUp() {
  StringGrid1->SetVisible(false);
  const int row = StringGrid1->Row();
  Command([&](CalendarPresenter& p) { return p.MonthNumberChanged(StringGrid1->Cell(0, row)); });
}

bool TForm1::DayGridKey(UINT key) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_LEFT: Command([](CalendarPresenter& p) { return p.MoveSelection(-1); }); return true;
    case VK_RIGHT: Command([](CalendarPresenter& p) { return p.MoveSelection(+1); }); return true;
    case VK_UP: Command([](CalendarPresenter& p) { return p.MoveSelection(-7); }); return true;
    case VK_DOWN: Command([](CalendarPresenter& p) { return p.MoveSelection(+7); }); return true;
    case VK_PRIOR: Command([ctrl](CalendarPresenter& p) { return ctrl ? p.StepYearByKey(-1) : p.StepMonthByKey(-1); }); return true;
    case VK_NEXT: Command([ctrl](CalendarPresenter& p) { return ctrl ? p.StepYearByKey(+1) : p.StepMonthByKey(+1); }); return true;
    case VK_HOME: SpeedButton1Click(); return true;
    case VK_RETURN: case VK_SPACE: ld1DblClick(); return true;
    default: return false;
  }
}

// ------------------------------------------------------------- Frame

std::string TForm1::ClockLineText() const {
  const LocalDateTime now = model_.ReadClock().local;
  return "Today " + FormatDate(DateForm::LongWithTime, presenter_.Locale(), now.date, now.time);
}

void TForm1::Timer1Timer() {
  const std::string text = ClockLineText();
  Label2->SetCaption(text);
  if (clockTextChanged) clockTextChanged(text);
}

void TForm1::TrayClick() {
  // The last action wins: a click brings the calendar to the front and
  // gives it the keyboard also while it shows already, behind the list
  // window or without the focus, and the list a double click asked for
  // while the calendar hid does not come any more.
  showListAfterHide_ = 0;
  const bool shownAlready = Visible();
  if (!shownAlready) Show();
  Activate(shownAlready);
}

void TForm1::Activate(bool shownAlready) {
  if (!Visible()) return;
  // A window that showed already is mapped again where only a map brings
  // the window manager's focus.
  if (shownAlready && widgets::FocusComesOnlyWithAMap()) GetForm().Remap();
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TakeKeyboard(Handle(), calp->Handle());
}

void TForm1::Panel2Click() { Hide(); }

void TForm1::FormShow() {}

void TForm1::FormHide() {
  SmoothShow1.SetReverse(true);
  if (!animated_) return;
  SmoothShow1.Execute();
  // An animation that cannot run (switched off, or one still running)
  // must not keep the other window away.
  if (!SmoothShow1.Animating()) SmoothShow1Finish();
}

void TForm1::SetAnimated(bool on) {
  animated_ = on;
  SmoothShow1.SetEnabled(on);
}

void TForm1::SetBlinking(bool on) { Command([&](CalendarPresenter& p) { return p.SetBlinking(on); }); }

void TForm1::SetAnimationDelay(std::uint16_t ms) { SmoothShow1.SetDelay(ms); }

void TForm1::SetupBalloonHint() {
  // Every hint of the program shows in a balloon with these settings.
  BalloonHint1.SetBorderColor(colours::Black);
  BalloonHint1.SetColor(GetSysColor(COLOR_INFOBK));
  BalloonHint1.SetFont(Font::Arial(13));
  BalloonHint1.SetMaxWidth(-3);
  BalloonHint1.SetBehavior({bbNoShowMouseDown, bbUseRegions, bbHideOnPaint});
  BalloonHint1.SetPosition(bpAboveRight);
  BalloonHint1.SetShadowDepth(15);
  BalloonHint1.SetShape(bsRoundRect);
}

void TForm1::SmoothShow1Finish() {
  if (showListAfterHide_ != 1) return;
  showListAfterHide_ = 0;
  if (showEventList) showEventList();
}

// ------------------------------------------------------------- Operations

void TForm1::StartClock() { Timer1->SetEnabled(true); }

void TForm1::StopTimers() {
  Timer3->SetEnabled(false);
  Timer1->SetEnabled(false);
}

void TForm1::Command(const std::function<CalendarRedraw(CalendarPresenter&)>& command) {
  model_.CalendarCommand(command);
}

void TForm1::SetShowListAfterHide(bool on) { showListAfterHide_ = on ? 1 : 0; }

void TForm1::AttachPopupMenu(TPopupMenu& menu) {
  popupMenu_ = &menu;
  Tray.PopupMenu = {menu.Handle(), menu.Owner(), menu.Alignment()};
}

void TForm1::RemoveTrayIcon() { Tray.SetActive(false); }

void TForm1::LocaleChanged() { FillMonthChooser(); }

}  // namespace redoviri
