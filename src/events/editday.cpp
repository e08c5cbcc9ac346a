#include "events/editday.h"

#include <algorithm>

#include "base/colours.h"
#include "base/dateformat.h"
#include "base/text.h"
#include "components/window_frame.h"
#include "resources/resource_ids.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

// ------------------------------------------------------------- Description

namespace {

const FormDesc kListWindow{.clientWidth = 405, .clientHeight = 394, .centered = true, .colour = colours::Silver,
                           .borderless = true, .topmost = true};

constexpr const char* kWindowHint = "Right click show the menu...";
constexpr COLORREF kGridColour = static_cast<COLORREF>(SelectedColour);

// The grid's columns: heading text and width; the last six are hidden and
// carry the rest of the record.
struct GridColumn {
  const char* heading;
  int width;
};
constexpr GridColumn kColumns[kDayColumnCount] = {
    {"                           Name", 177},
    {"      Date", 65},
    {"   Hour", 48},
    {"       Event", 71},
    {"                                       Comment", 0},
    {"each Year", 0},
    {"each Month", 0},
    {"only Ones", 0},
    {"each Days", 0},
    {"each x Days", 0},
};

// The six category buttons of the button area.
struct CategoryButton {
  int left, top;
  const char* caption;
  const char* hint;
  const char* lines[2];  // two lines drawn over a blank caption
};
constexpr CategoryButton kCategoryButtons[kCategoryCount] = {
    {11, 3, "  Lovely", "Click to add a new love event, wedding jubilee, engagement, appointment,..", {}},
    {110, 3, "Birthday", "Click to add a new birthday.", {}},
    {208, 3, "", "Click to add a new working event. busyness, financial,....", {"Busyness", "or Work"}},
    {11, 44, "", "Click to add a new religion event, official event, legal,...", {"Religion", "or Official"}},
    {110, 44, "   Feest", "Click to add a new feest event. holiday,...", {}},
    {209, 44, "  Other", "Click to add a new other event, menstruation, personnal,...", {}},
};

// Where the glyph and the two lines of a blank button begin.
constexpr int kTwoLineGlyphLeft = 14, kTwoLineTextLeft = 38;

// The recurrence check boxes (CheckBox1..4): place, caption, hint.
struct RecurrenceBoxDesc {
  int left, top;
  const char* caption;
  const char* hint;
};
constexpr RecurrenceBoxDesc kRecurrenceBoxes[4] = {
    {43, 178, "Each Year", "Check it to remind it every year."},
    {119, 178, "Each Month", "Check it to remind it every month"},
    {206, 179, "Each", "Check it to remind it every number of days"},
    {139, 193, "Only one time", "Check it to remind it every month"},
};

constexpr const char* kDateFieldHint = "Put the first year of the event.";

FormDesc ListWindowDesc(HintManager* hints) {
  FormDesc d = kListWindow;
  d.hints = hints;
  return d;
}

}  // namespace

// ------------------------------------------------------------- Creation

TForm2::TForm2(TForm2Deps deps)
    : FormWindow(ListWindowDesc(deps.hints)),
      deps_(std::move(deps)),
      model_(deps_.model),
      presenter_(deps_.model.List()),
      Label10(GetForm().Add<Label>({.left = 22, .top = 4, .width = 367, .height = 18, .font = Font::Arial(13),
                                    .fontColour = colours::White},
                                   {.align = Align::Center})) {
  AddWindowFrame(GetForm(), {.closeHints = {kCloseMenuHint, kCloseHint, kCloseHint, kCloseHint},
                             .onClose = [this] { Panel2Click(); }});
  GetForm().SetHint(kWindowHint);
  GetForm().onContextMenu = [this](POINT at) { PopupMenuAt(at); };
  GetForm().onShow = [this] { FormShow(); };
  GetForm().onHide = [this] { FormHide(); };
  GetForm().onEnter = [this] { EnterPressed(); };
  GetForm().onEscape = [this] { EscapePressed(); };
  GetForm().onCtrlKey = [this](UINT key, bool shift) {
    // In a text field the keys are the field's own.
    if (dynamic_cast<Edit*>(MessageWindow::FromHandle(GetFocus()))) return false;
    const std::optional<bool> redo = UndoKey(key, shift);
    if (redo) UndoRedo(*redo);
    return redo.has_value();
  };
  SmoothShow1.SetControl(Handle());
  SmoothShow1.SetColor(colours::Lime);
  SmoothShow1.OnFinish = [this](TSmoothShow&) { SmoothShow1Finish(); };
  // The title line lies on the top bar.
  Label10.BringToFront();
  BuildList();
  BuildButtons();
  BuildEditor();
  // The editor panel lies over the rows and the buttons: Tab stays in it.
  GetForm().SetTabScope(panedit);
  FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::BuildList() {
  GetForm().Add<Image>({.left = 14, .top = 25, .width = 376, .height = 27, .hint = kLegendHint},
                       {.picture = ResourcePicture(IDB_LEGENDLIST), .stretch = true});
  Label1 = &GetForm().Add<Label>({.left = 17, .top = 29, .width = 370, .height = 22, .font = Font::Arial(16)},
                                 {.align = Align::Center});
  std::vector<int> widths;
  for (const GridColumn& c : kColumns) widths.push_back(c.width);
  StringGrid1 = &GetForm().Add<StringGrid>(
      {.left = 19, .top = 53, .width = 367, .height = 185, .hint = "2x Click show the selected row, right Click show the menu",
       .font = Font::Arial(11), .colour = kGridColour, .onDblClick = [this] { StringGrid1DblClick(); },
       .onContextMenu = [this](POINT at) { PopupMenuAt(at); }},
      {.colWidths = widths, .rowCount = 2, .rowHeight = 18, .fixedRows = 1, .rowSelect = true,
       .scrollBars = ScrollBars::Vertical});
  StringGrid1->onKey = [this](UINT key) { return GridKey(key); };
  StringGrid1->onSelect = [this] { FollowGridRow(); };
  // Over the grid's heading row: the legend band and the four column names.
  Panel10 = &GetForm().Add<Panel>({.left = 19, .top = 53, .width = 367, .height = 21, .font = Font::Arial(11)},
                                  {.bevel = Bevel::None});
  Panel10->Add<Image>({.left = 0, .top = 0, .width = 367, .height = 21, .hint = kLegendHint},
                      {.picture = ResourcePicture(IDB_LISTHEAD), .stretch = true});
  const std::pair<int, const char*> names[] = {{54, "Name of the event"}, {199, "Date"}, {246, "Hour"}, {308, "Type"}};
  for (const auto& [left, text] : names)
    Panel10->Add<Label>({.left = left, .top = 3, .width = 110, .height = 15, .caption = text}, {.autoSize = true});
}

void TForm2::BuildButtons() {
  Panel9 = &GetForm().Add<Panel>({.left = 15, .top = 242, .width = 375, .height = 135, .font = Font::Arial(11)},
                                 {.bevel = Bevel::None});
  Panel9->Add<Image>({.left = 0, .top = 91, .width = 376, .height = 43, .hint = kLegendHint},
                     {.picture = ResourcePicture(IDB_LEGENDLOW), .stretch = true});
  for (int code = 1; code <= kCategoryCount; ++code) {
    const CategoryButton& b = kCategoryButtons[code - 1];
    SpeedButton[code] = &Panel9->Add<widgets::SpeedButton>(
        {.left = b.left, .top = b.top, .width = 100, .height = 40, .caption = b.caption, .hint = b.hint,
         .onClick = [this, code] { SpeedButtonClick(code); }},
        {.glyph = ResourcePicture(resources::CategoryPanelIconId(code)),
         .glyphLeft = b.lines[0] ? std::optional<int>(kTwoLineGlyphLeft) : std::nullopt,
         .tabStop = true});
    for (int line = 0; line < 2 && b.lines[line]; ++line) {
      // Drawn over the blank button, right of its glyph; a click there is
      // the button's.
      Panel9->Add<Label>({.left = b.left + kTwoLineTextLeft, .top = b.top + 6 + 14 * line, .width = 60, .height = 14,
                          .caption = b.lines[line], .hint = b.hint, .onClick = [this, code] { SpeedButtonClick(code); }},
                         {});
    }
  }
  SpeedButton[10] = &Panel9->Add<widgets::SpeedButton>(
      {.left = 318, .top = 5, .width = 47, .height = 80, .caption = "Delete",
       .hint = "Click here to delete the selected event", .onClick = [this] { SpeedButton10Click(); }},
      {.glyph = ResourcePicture(IDB_GDELETE), .layout = GlyphLayout::Top, .tabStop = true});
  SpeedButton[7] = &Panel9->Add<widgets::SpeedButton>(
      {.left = 8, .top = 100, .width = 192, .height = 28, .caption = "   Choose an other event date",
       .hint = "Click to choose an other event....", .onClick = [this] { SpeedButton7Click(); }},
      {.glyph = ResourcePicture(IDB_GCHOOSE), .tabStop = true});
  SpeedButton[8] = &Panel9->Add<widgets::SpeedButton>(
      {.left = 212, .top = 100, .width = 152, .height = 27, .caption = "Back to Calendar",
       .hint = "Click here to come back to calendar", .onClick = [this] { SpeedButton8Click(); }},
      {.glyph = ResourcePicture(IDB_GBACK), .tabStop = true});
}

void TForm2::BuildEditor() {
  // Placed at (17, 52) at creation; hidden until a mode shows it.
  panedit = &GetForm().Add<Panel>({.left = 17, .top = 52, .width = 370, .height = 324, .font = Font::Arial(11),
                                   .colour = static_cast<COLORREF>(InfoOf(EventCategory::kOther).colour),
                                   .visible = false},
                                  {.bevel = Bevel::None});
  Panel& p = *panedit;
  // Its own frame; the corner boxes do nothing.
  AddWindowFrame(p, {});
  for (const int top : {58, 111, 164, 217})
    p.Add<Shape>({.left = 32, .top = top, .width = 308, .height = 49, .colour = colours::Silver},
                 {.kind = ShapeKind::RoundRect, .penColour = colours::Silver});
  Label14 = &p.Add<Label>({.left = 19, .top = 28, .width = 331, .height = 38, .font = Font::Arial(19).Underlined(),
                           .fontColour = colours::White},
                          {.align = Align::Center});

  const auto label = [&](int left, int top, const char* text, Font font = Font::Arial(11)) {
    return &p.Add<Label>({.left = left, .top = top, .width = 80, .height = 14, .caption = text, .font = font},
                         {.autoSize = true});
  };
  label(170, 62, "Name");
  namee = &p.Add<Edit>({.left = 110, .top = 78, .width = 152, .height = 21}, {});
  label(97, 115, "month");
  label(141, 115, "day");
  label(174, 115, "year");
  label(243, 115, "time");
  monthe = &p.Add<MaskEdit>({.left = 100, .top = 129, .width = 20, .height = 21, .caption = "01", .hint = kDateFieldHint},
                            {.mask = "!00;1;_"});
  label(124, 130, "/", Font::Arial(16));
  daye = &p.Add<MaskEdit>({.left = 141, .top = 129, .width = 20, .height = 21, .caption = "31", .hint = kDateFieldHint},
                          {.mask = "!00;1;_"});
  label(165, 130, "/", Font::Arial(16));
  yeare = &p.Add<MaskEdit>({.left = 174, .top = 129, .width = 31, .height = 21, .caption = "2002",
                            .hint = kDateFieldHint},
                           {.mask = "!0000;1;_"});
  timee = &p.Add<MaskEdit>({.left = 240, .top = 129, .width = 36, .height = 21, .caption = "00:00",
                            .hint = "Put the time of that event"},
                           {.mask = "!99:99;1;_"});
  SpeedButton9 = &p.Add<widgets::SpeedButton>({.left = 47, .top = 123, .width = 29, .height = 28,
                                               .hint = "Click to choose an other event date....",
                                               .onClick = [this] { SpeedButton7Click(); }},
                                              {.glyph = ResourcePicture(IDB_GCHOOSE)});
  label(133, 165, "Frequency of recall", Font::Arial(11).Underlined());
  for (int k = 1; k <= 4; ++k) {
    const RecurrenceBoxDesc& b = kRecurrenceBoxes[k - 1];
    CheckBox[k] = &p.Add<widgets::CheckBox>({.left = b.left, .top = b.top, .width = k == kOnlyOnceBox ? 95 : 75,
                                             .height = 16, .caption = b.caption, .hint = b.hint,
                                             .colour = colours::Silver, .onClick = [this, k] { CheckBoxClick(k); }},
                                            {.checked = k == 1});
  }
  enfreq = &p.Add<MaskEdit>({.left = 255, .top = 177, .width = 30, .height = 21, .caption = "0  ",
                             .hint = "Put the number of days to wait till the new reminder."},
                            {.mask = "999;1; "});
  label(289, 180, "Days");
  // Below "Each Year", inside the frequency box.
  rulee = &p.Add<Button>({.left = 40, .top = 195, .width = 92, .height = 16, .caption = "More rules...",
                          .hint = "Click to choose an other rule: the nth weekday, the last day, weekdays, an end,..",
                          .onClick = [this] { ruleeClick(); }},
                         {});
  // Right of "Only one time", inside the frequency box, below the day count.
  remindee = &p.Add<Button>({.left = 240, .top = 198, .width = 92, .height = 14, .caption = "Reminders...",
                             .hint = "Click to be reminded ahead of the event: minutes, hours, days or weeks before",
                             .onClick = [this] { remindeeClick(); }},
                            {});
  // A field left half typed is told in the program's own box, with its
  // title, as every other message.
  for (MaskEdit* field : {monthe, daye, yeare, timee, enfreq})
    field->onInvalid = [this](MaskEdit&, const std::string& message) { deps_.showError(message); };
  label(160, 221, "Comment");
  commente = &p.Add<Edit>({.left = 46, .top = 236, .width = 281, .height = 21}, {.maxLength = 50});
  savee = &p.Add<Button>({.left = 96, .top = 279, .width = 75, .height = 18, .caption = "Save",
                          .hint = "Click to save it", .onClick = [this] { saveeClick(); }},
                         {});
  deletee = &p.Add<Button>({.left = 96, .top = 279, .width = 75, .height = 18, .caption = "Delete",
                            .visible = false, .onClick = [this] { deleteeClick(); }},
                           {});
  BitBtn17 = &p.Add<Button>({.left = kExitLeftWithSave, .top = 279, .width = 75, .height = 18, .caption = "Exit",
                             .hint = "Click to exit", .onClick = [this] { BitBtn17Click(); }},
                            {});
  // View mode's free space, right of "Exit".
  changee = &p.Add<Button>({.left = 236, .top = 279, .width = 75, .height = 18, .caption = "Change",
                            .hint = "Click to change it", .visible = false, .onClick = [this] { changeeClick(); }},
                           {});
  rulewords = &p.Add<Label>({.left = 12, .top = 302, .width = 346, .height = 15, .font = Font::Arial(11),
                             .fontColour = colours::White},
                            {.align = Align::Center});
  remindwords = &p.Add<Label>({.left = 12, .top = 266, .width = 346, .height = 13, .font = Font::Arial(11),
                               .fontColour = colours::White},
                              {.align = Align::Center});
}

void TForm2::FormCreate() {
  for (int c = 0; c < kDayColumnCount; ++c) StringGrid1->SetCell(c, 0, kColumns[c].heading);
  Present({.heading = true, .rows = true, .selection = true, .editor = true, .dateFields = true});
}

void TForm2::Command(const std::function<ListRedraw(ListPresenter&)>& command) { model_.ListCommand(command); }

// ------------------------------------------------------------- Showing the list

void TForm2::Present(const ListRedraw& changed) {
  if (changed.heading) {
    Label1->SetCaption(presenter_.HeadingText());
    // The borderless window's text, read by screen readers, is its heading.
    GetForm().SetCaption(Label1->Caption());
  }
  if (changed.rows) ShowRows();
  if (changed.selection && presenter_.SelectedRow() >= 0) StringGrid1->SetRow(presenter_.SelectedRow() + 1);
  if (changed.editor) ShowEditor();
  if (changed.fields) ShowFields(true);
  else if (changed.dateFields) ShowFields(false);
  if (changed.nameFocus && panedit->Visible()) namee->SetFocus();
}

void TForm2::ShowRows() {
  const StringGrid::Update update(*StringGrid1);
  const std::vector<DayRow>& rows = presenter_.Rows();
  // An empty list shows one empty row.
  const int count = std::max(static_cast<int>(rows.size()), 1);
  StringGrid1->SetRowCount(count + 1);
  for (int r = 0; r < count; ++r)
    for (int c = 0; c < kDayColumnCount; ++c)
      StringGrid1->SetCell(c, r + 1, r < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] : "");
}

void TForm2::FollowGridRow() {
  const int row = StringGrid1->Row() - 1;
  if (row != presenter_.SelectedRow()) Command([row](ListPresenter& p) { return p.SelectRow(row); });
}

void TForm2::ShowEditor() {
  if (!presenter_.EditorShown()) {
    if (panedit->Visible()) EditorHidden();
    return;
  }
  const bool deleting = presenter_.DeleteShown();
  SpeedButton9->SetVisible(presenter_.DateChooserShown());
  rulee->SetVisible(presenter_.Writable());
  remindee->SetVisible(presenter_.Writable());
  changee->SetVisible(presenter_.ChangeShown());
  rulewords->SetCaption(presenter_.RuleWords());
  remindwords->SetCaption(presenter_.ReminderWords());
  savee->SetVisible(presenter_.SaveShown());
  deletee->SetVisible(deleting);
  const Bounds exit = BitBtn17->GetBounds();
  BitBtn17->SetBounds({presenter_.ExitLeft(), exit.top, exit.width, exit.height});
  // The buttons' tags carry the category, as the design has them.
  if (presenter_.SaveShown()) savee->SetTag(CodeOf(presenter_.Category()));
  if (deleting) deletee->SetTag(CodeOf(presenter_.Category()));
  panedit->SetColour(static_cast<COLORREF>(presenter_.PanelColour()));
  Label14->SetCaption(std::string(presenter_.Title()));
  SetFieldsWritable(presenter_.Writable());
  panedit->SetVisible(true);
  panedit->BringToFront();
}

void TForm2::ShowFields(bool all) {
  const EventRecord& fields = presenter_.Fields();
  const auto write = [](Edit* field, const std::string& text) {
    if (field->Text() != text) field->SetText(text);
  };
  write(monthe, fields.month);
  write(daye, fields.day);
  write(yeare, fields.year);
  if (!all) return;
  write(namee, fields.name);
  write(timee, fields.time);
  RecurrenceKind recurrence = fields.recurrence;
  for (int k = 1; k <= 4; ++k) CheckBox[k]->SetChecked(RecurrenceBox(recurrence, k));
  write(enfreq, fields.dayCount);
  write(commente, fields.comment);
  rulewords->SetCaption(presenter_.RuleWords());
  remindwords->SetCaption(presenter_.ReminderWords());
}

void TForm2::SetFieldsWritable(bool writable) {
  for (Edit* field : {namee, static_cast<Edit*>(monthe), static_cast<Edit*>(daye), static_cast<Edit*>(yeare),
                      commente, static_cast<Edit*>(timee), static_cast<Edit*>(enfreq)})
    field->SetReadOnly(!writable);
  for (int k = 1; k <= 4; ++k) CheckBox[k]->SetEnabled(writable);
}

void TForm2::EditorHidden() {
  const HWND focus = GetFocus();
  const bool focusInPanel = focus && IsChild(panedit->Handle(), focus);
  panedit->SetVisible(false);
  // The keyboard never stays on a hidden button: it goes back to the rows.
  if (focusInPanel || !focus) StringGrid1->SetFocus();
}

// ------------------------------------------------------------- The user's commands

void TForm2::SpeedButtonClick(int code) {
  const EventRecord typed = TypedFields();
  Command([&](ListPresenter& p) { return p.Add(code, typed); });
}

void TForm2::StringGrid1DblClick() {
  FollowGridRow();
  Command([](ListPresenter& p) { return p.View(EditorMode::View); });
}

void TForm2::SpeedButton10Click() {
  FollowGridRow();
  Command([](ListPresenter& p) { return p.View(EditorMode::Delete); });
}

void TForm2::BitBtn17Click() { Command([](ListPresenter& p) { return p.HideEditor(); }); }

void TForm2::ShowActive() {
  Show();
  TakeKeyboard(Handle(), StringGrid1->Handle());
}

bool TForm2::GridKey(UINT key) {
  switch (key) {
    case VK_F2:
      // The row in view mode, made writable at once.
      StringGrid1DblClick();
      changeeClick();
      return true;
    case VK_DELETE:
      // The row in the delete mode, and its question at once.
      SpeedButton10Click();
      if (presenter_.EditorShown() && presenter_.DeleteShown()) deleteeClick();
      return true;
    default: return false;
  }
}

void TForm2::EnterPressed() {
  if (GetFocus() == StringGrid1->Handle()) StringGrid1DblClick();
}

void TForm2::EscapePressed() {
  if (presenter_.EditorShown()) {
    BitBtn17Click();  // "Exit"
  } else {
    SpeedButton8Click();  // "Back to Calendar"
  }
}

void TForm2::CheckBoxClick(int k) {
  const EventRecord typed = TypedFields();
  Command([&](ListPresenter& p) { return p.CheckBox(k, typed); });
}

void TForm2::changeeClick() {
  Command([](ListPresenter& p) { return p.Change(); });
}

void TForm2::UndoRedo(bool redo) { Tell(redo ? model_.Redo() : model_.Undo()); }

std::vector<widgets::MenuItem> TForm2::UndoItems() {
  std::vector<widgets::MenuItem> items;
  if (const std::string undo = model_.UndoText(); !undo.empty())
    items.push_back({.caption = undo, .onClick = [this] { UndoRedo(false); }});
  if (const std::string redo = model_.RedoText(); !redo.empty())
    items.push_back({.caption = redo, .onClick = [this] { UndoRedo(true); }});
  return items;
}

void TForm2::PopupMenuAt(POINT at) { deps_.popupMenu.Popup(at, UndoItems()); }

void TForm2::ruleeClick() {
  if (!deps_.chooseRule) return;
  const EventRecord typed = TypedFields();
  const std::optional<CivilDate> first = presenter_.TypedFirstDate(typed);
  if (!first) {
    deps_.showError(NotADateMessage(
        JoinNumericDate({.day = typed.day, .month = typed.month, .year = typed.year}, presenter_.Locale().IsMonthFirst())));
    return;
  }
  deps_.chooseRule(*first, presenter_.Fields().rule, [this](const RepeatRule& rule) {
    const EventRecord now = TypedFields();
    Command([&](ListPresenter& p) { return p.SetRule(rule, now); });
  });
}

void TForm2::remindeeClick() {
  if (!deps_.chooseReminders) return;
  deps_.chooseReminders(presenter_.Fields().rule.reminders, [this](const std::vector<int>& reminders) {
    const EventRecord now = TypedFields();
    Command([&](ListPresenter& p) { return p.SetReminders(reminders, now); });
  });
}

EventRecord TForm2::TypedFields() const {
  EventRecord r;
  r.month = monthe->Text();
  r.day = daye->Text();
  r.year = yeare->Text();
  r.time = timee->Text();
  r.recurrence = {CheckBox[1]->Checked(), CheckBox[2]->Checked(), CheckBox[kOnlyOnceBox]->Checked(),
                  CheckBox[3]->Checked()};
  r.dayCount = enfreq->Text();
  r.name = namee->Text();
  r.comment = commente->Text();
  return r;
}

bool TForm2::Tell(const ListOutcome& outcome) {
  switch (outcome.kind) {
    case ListOutcome::Kind::AskSeries:
      if (deps_.askSeries) {
        deps_.askSeries(model_.AskedSeries(), [this](std::optional<SeriesScope> scope) {
          Tell(model_.SeriesChosen(scope));
          // A cancelled delete closes the panel, as "No" to its question
          // does; a cancelled change keeps what was typed.
          if (!scope && presenter_.DeleteShown()) BitBtn17Click();
        });
      }
      break;
    case ListOutcome::Kind::Refused: deps_.showInfo(outcome.message); break;
    case ListOutcome::Kind::InputError: case ListOutcome::Kind::Failed: deps_.showError(outcome.message); break;
    default: break;
  }
  return outcome.written();
}

bool TForm2::SaveEventLine(const std::string& line) { return Tell(model_.SaveLine(line)); }

bool TForm2::DeleteEventLine(const std::string& line) { return Tell(model_.DeleteLine(line)); }

void TForm2::saveeClick() {
  // On a refusal or a failure the panel stays open with what was typed.
  Tell(model_.SaveEvent(TypedFields()));
}

void TForm2::deleteeClick() {
  const ListOutcome asked = model_.AskDelete(TypedFields());
  if (asked.kind != ListOutcome::Kind::Ask) {
    Tell(asked);
    return;
  }
  if (!deps_.confirm(asked.message)) {
    BitBtn17Click();
    return;
  }
  Tell(model_.DeleteAsked());  // on a refusal or a failure the panel stays open
}

// ------------------------------------------------------------- Showing and hiding

void TForm2::SpeedButton7Click() {
  if (deps_.showDateChooser) deps_.showDateChooser();
}

void TForm2::SetShowGridAfterHide(bool on) { showGridAfterHide_ = on ? 1 : 0; }

void TForm2::ShowClockText(const std::string& text) {
  if (Visible()) Label10.SetCaption(text);
}

void TForm2::CloseToCalendar() {
  deps_.form1.ListWindowClosing();
  SetShowGridAfterHide(true);
  Hide();
  // The rows saved meanwhile take their places when the day is listed again.
  Command([](ListPresenter& p) { return p.Closed(); });
}

void TForm2::Panel2Click() { CloseToCalendar(); }

void TForm2::SpeedButton8Click() { CloseToCalendar(); }

void TForm2::SetAnimated(bool on) {
  animated_ = on;
  SmoothShow1.SetEnabled(on);
}

void TForm2::SetAnimationDelay(std::uint16_t ms) { SmoothShow1.SetDelay(ms); }

void TForm2::FormShow() {
  SmoothShow1.SetReverse(false);
  if (animated_) SmoothShow1.Execute();
}

void TForm2::FormHide() {
  SmoothShow1.SetReverse(true);
  if (animated_) SmoothShow1.Execute();
  // Without the animation (or when it cannot run) the hide is over now;
  // with it, SmoothShow1Finish comes at its end.
  if (!SmoothShow1.Animating()) SmoothShow1Finish();
}

void TForm2::SmoothShow1Finish() {
  if (showGridAfterHide_ != 1) return;
  showGridAfterHide_ = 0;
  deps_.form1.ShowCalendar();
}

}  // namespace redoviri
