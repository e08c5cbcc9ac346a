#include "calendar/maincal.h"

#include <string_view>
#include <utility>

#include "astro/moonmarks.h"
#include "base/colours.h"
#include "base/dateformat.h"
#include "base/monthgrid.h"
#include "components/window_frame.h"
#include "resources/resource_ids.h"

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

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

bool IsBlankText(std::string_view text) { return TrimBlanks(text).empty(); }

// The year field: at most four digits typed; the up and down arrow keys
// step the year like the +1 and -1 buttons.
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
      clock_(deps.clock),
      locale_(std::move(deps.locale)),
      pictures_(std::make_unique<Pictures>()),
      calendar_(deps.clock.Now().date),
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
  Timer2 = &GetForm().AddTimer({.interval = 60000, .enabled = true, .onTimer = [this] { Timer2Timer(); }});
  Timer3 = &GetForm().AddTimer({.interval = kBlinkIntervalMs, .enabled = false, .onTimer = [this] { Timer3Timer(); }});
  GetForm().onShow = [this] { FormShow(); };
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
  // while it is hidden. A laptop opened the next morning, or a clock set
  // by hand, shows the new day at once rather than within the minute.
  GetForm().onTimeChange = [this] { CheckDayChange(); };
  GetForm().onResume = [this] { CheckDayChange(); };
  GetForm().onSettingChange = [this](std::string_view section) {
    if (section == "intl" && regionalSettingsChanged) regionalSettingsChanged();
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
                           {.readOnly = true, .onChange = [this] { Edit2Change(); }});
  Edit1 = &GetForm().Add<Edit>({.left = 54, .top = 67, .width = 126, .height = 26, .hint = "This is the month in string",
                            .font = Font::Arial(16).Bold()},
                           {.readOnly = true});

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
  year.onStepUp = [this] { SpeedButton3Click(); };
  year.onStepDown = [this] { SpeedButton4Click(); };
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
  calp = &GetForm().Add<Panel>({.left = kGridLeft, .top = kGridTop, .width = kGridWidth, .height = kGridHeight,
                            .font = Font::Arial(13)},
                           {.border = BorderStyle::Line, .bevel = Bevel::None});
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

void TForm1::LoadTrayIcons() {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  auto load = [&](int id) {
    return OwnedIcon(static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, 0)));
  };
  for (int day = 1; day <= 31; ++day) dayIcons_[static_cast<std::size_t>(day - 1)] = load(resources::DayIconId(day));
  for (int c = 1; c <= kCategoryCount; ++c)
    categoryIcons_[static_cast<std::size_t>(c - 1)] = load(resources::CategoryTrayIconId(c));
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
    StringGrid1->SetCell(0, r - 1, FormatDate("mm", locale_, date));
    StringGrid1->SetCell(1, r - 1, UpperCaseAscii(FormatDate("mmmm", locale_, date)));
  }
}

void TForm1::FormCreate() {
  FillMonthChooser();
  const LocalDateTime now = clock_.Now();
  TodayStamp = DayKey(now.date);
  SelectedDay.ShowDate(now.date);
  Label1->SetCaption(SelectedDay.DetailsText(locale_));
  Label2->SetCaption(ClockLineText());
  SetMonthFields(now.date);  // ReadyFlag is 0: the fields' handlers wait
  Button1Click();
  Edit1->SetTag(1);
}

int TForm1::ReadyFlag() const { return Edit1->Tag(); }

// ------------------------------------------------------------- Month grid

void TForm1::Button1Click() {
  view_.Fill(calendar_.Year(), calendar_.Month(), clock_.Now().date);
  const int todayColumn = view_.TodayCell() ? CellColumn(*view_.TodayCell()) : -1;  // -1: none
  for (int c = 0; c < 7; ++c) {
    const std::string& name = locale_.ShortDayName(HeaderDayNumber(c));
    const COLORREF text = AsColorref(todayColumn == c ? TodayTextColour : NormalTextColour);
    HeaderPanel[c]->SetCaption(name);
    HeaderLabel[c]->SetCaption(name);
    HeaderPanel[c]->SetColour(AsColorref(todayColumn == c ? TodayColour : HeaderColour));
    HeaderPanel[c]->SetFontColour(text);
    HeaderLabel[c]->SetFontColour(text);
  }
  for (int k = 1; k <= kDayCellCount; ++k) {
    const MonthCell& cell = view_.Cell(k);
    ld[k]->SetCaption(cell.text);
    ld[k]->SetFontColour(AsColorref(CellTextColour(cell.look)));
    MarkMoon(k, cell.moon);
    ShowCellLook(k);
  }
}

void TForm1::ShowCellLook(int k) { pd[k]->SetColour(AsColorref(CellColour(view_.Cell(k).look))); }

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

void TForm1::ldClick(int k) {
  SelectedDay.SelectCell(view_, k);
  view_.Select(k);
  for (int j = 1; j <= kDayCellCount; ++j) {
    ShowCellLook(j);
    if (j != k) noselClick(j);
  }
  selClick(k);
  Button2Click();
  SelectedDay.ShowCellMoon();
  Label1->SetCaption(SelectedDay.DetailsText(locale_));
  if (!SelectedDay.Empty()) Button3Click();
}

std::optional<CivilDate> TForm1::SelectedDate() const { return SelectedDay.DateIn(calendar_.Year(), calendar_.Month()); }

void TForm1::Button2Click() {
  const std::optional<CivilDate> date = SelectedDate();
  SelectedDay.ShowSelectedDate(date);
  Label1->SetCaption(SelectedDay.DetailsText(locale_));
  if (selectedDateChanged) selectedDateChanged(date);
  for (int c = 1; c <= kCategoryCount; ++c) {
    CountLabel[c]->SetVisible(false);
    CategoryIcon[c]->SetVisible(false);
  }
}

void TForm1::Button3Click() {
  for (int c = 1; c <= kCategoryCount; ++c) {
    CountLabel[c]->SetVisible(false);
    CategoryIcon[c]->SetVisible(false);
    CountLabel[c]->SetTag(0);
  }
  const std::optional<CivilDate> date = SelectedDate();
  DayListing listing;
  if (date && events_) listing = ListDay(*events_, *date, locale_.IsMonthFirst());
  for (int c = 1; c <= kCategoryCount; ++c) {
    const int count = listing.counts[static_cast<std::size_t>(c - 1)];
    CountLabel[c]->SetTag(count);
    CountLabel[c]->SetCaption(std::to_string(count));
    if (count == 0) continue;
    CountLabel[c]->SetVisible(true);
    CategoryIcon[c]->SetVisible(true);
  }
  if (dayListed) dayListed(listing);
}

void TForm1::SelectToday() {
  if (const std::optional<int> k = view_.TodayCell()) ldClick(*k);
}

CivilDate TForm1::ShownDate() const { return calendar_.Date(); }

void TForm1::ShowCalendar() { Show(); }

void TForm1::Label1Click() {
  if (IsBlankText(Label1->Caption())) return;
  OpenEventList();
}

void TForm1::ld1DblClick() {
  if (SelectedDay.Empty()) return;
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
  SelectedDay.SelectDayText(dayText);
  WriteCalendarMonth(date.month);
  WriteCalendarYear(date.year);
  // The calendar stands on the date already: the fields' handlers wait
  // rather than move it through the old year and back.
  Edit1->SetTag(0);
  Edit1->SetText(UpperCaseAscii(FormatDate("mmmm", locale_, date)));
  Edit2->SetText(FormatDate("mm", locale_, date));
  UpDown2->SetText(std::to_string(calendar_.Year()));
  Edit1->SetTag(1);
  Button2Click();
  if (!SelectedDay.Empty()) Button3Click();
}

// ------------------------------------------------------------- Navigation

void TForm1::WriteCalendarMonth(int month) {
  if (calendar_.SetMonth(month)) Calendar1Change();
}

void TForm1::WriteCalendarYear(int year) {
  if (calendar_.SetYear(year)) Calendar1Change();
}

void TForm1::Calendar1Change() {
  Button1Click();
  Button4Click();
  UnselectFirstRows();
}

void TForm1::UnselectFirstRows() {
  for (int first : {15, 8, 1})
    for (int k = first; k < first + 7; ++k) noselClick(k);
}

void TForm1::SetMonthFields(const CivilDate& date) {
  Edit1->SetText(UpperCaseAscii(FormatDate("mmmm", locale_, date)));
  Edit2->SetText(FormatDate("mm", locale_, date));
  UpDown2->SetText(FormatDate("yyyy", locale_, date));
}

void TForm1::Edit2Change() {
  if (ReadyFlag() != 1) return;
  if (IsBlankText(Edit2->Text())) {
    const CivilDate today = clock_.Now().date;
    Edit2->SetText(FormatDate("mm", locale_, today));
    Edit1->SetText(UpperCaseAscii(FormatDate("mmmm", locale_, today)));
  }
  if (const std::optional<int> month = ReadInteger(Edit2->Text())) WriteCalendarMonth(*month);
  if (const std::optional<int> year = ReadInteger(UpDown2->Text())) WriteCalendarYear(*year);
}

void TForm1::UpDown2Change() {
  if (ReadyFlag() != 1) return;
  const YearFieldChange change = ReadYearField(UpDown2->Text(), clock_.Now().date.year);
  if (change.fieldText) UpDown2->SetText(*change.fieldText);
  WriteCalendarYear(change.year);
  if (const std::optional<int> month = ReadInteger(Edit2->Text())) WriteCalendarMonth(*month);
}

void TForm1::SpeedButton1Click() {
  const LocalDateTime now = clock_.Now();
  WriteCalendarMonth(now.date.month);
  WriteCalendarYear(now.date.year);
  SelectedDay.ShowDate(now.date);
  Label1->SetCaption(SelectedDay.DetailsText(locale_));
  Label2->SetCaption(ClockLineText());
  SetMonthFields(now.date);
  // The details show today: the counts beside them and the list they open
  // are today's too, not those of the day selected before.
  SelectToday();
}

void TForm1::SpeedButton2Click() {
  if (showDateChooser) showDateChooser();
}

void TForm1::SpeedButton3Click() {
  if (const std::optional<std::string> text = SteppedYearText(UpDown2->Text(), +1)) UpDown2->SetText(*text);
}

void TForm1::SpeedButton4Click() {
  if (const std::optional<std::string> text = SteppedYearText(UpDown2->Text(), -1)) UpDown2->SetText(*text);
}

void TForm1::SpeedButton5Click() {
  StringGrid1->SetRow(calendar_.Month() - 1);  // opens on the shown month
  StringGrid1->SetVisible(true);
  StringGrid1->BringToFront();
}

void TForm1::StringGrid1MouseUp() {
  StringGrid1->SetVisible(false);
  const int row = StringGrid1->Row();
  Edit2->SetText(StringGrid1->Cell(0, row));
  Edit1->SetText(StringGrid1->Cell(1, row));
}

// ------------------------------------------------------------- Frame

std::string TForm1::ClockLineText() const {
  const LocalDateTime now = clock_.Now();
  return "Today " + FormatDate(DateForm::LongWithTime, locale_, now.date, now.time);
}

void TForm1::Timer1Timer() {
  const std::string text = ClockLineText();
  Label2->SetCaption(text);
  if (clockTextChanged) clockTextChanged(text);
}

void TForm1::TrayClick() {
  if (!Visible()) Show();
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

void TForm1::SetBlinking(bool on) { blinking_ = on; }

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
  Timer2->SetEnabled(false);
}

void TForm1::RefreshAfterStoreChange() {
  const TTrayIconF::Update trayUpdate(Tray);  // the icon stays in its place
  Button1Click();
  Button4Click();
  checktodayClick();
  UnselectFirstRows();
  Tray.SetActive(false);
  datetrayClick();
  Tray.SetActive(true);
}

void TForm1::SetShowListAfterHide(bool on) { showListAfterHide_ = on ? 1 : 0; }

void TForm1::AttachPopupMenu(TPopupMenu& menu) {
  popupMenu_ = &menu;
  Tray.PopupMenu = {menu.Handle(), menu.Owner(), menu.Alignment()};
}

void TForm1::RemoveTrayIcon() { Tray.SetActive(false); }

void TForm1::LocaleChanged(DateLocale locale) {
  locale_ = std::move(locale);
  FillMonthChooser();
  Button1Click();  // the column headers
  // The month number and the year read the same in any language.
  Edit1->SetText(UpperCaseAscii(FormatDate("mmmm", locale_, calendar_.Date())));
  Label1->SetCaption(SelectedDay.DetailsText(locale_));
  Label2->SetCaption(ClockLineText());
}

}  // namespace redoviri
