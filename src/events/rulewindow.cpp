#include "events/rulewindow.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>
#include <vector>

#include "base/colours.h"
#include "components/window_frame.h"
#include "events/datechoice.h"
#include "events/eventrecord.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

namespace {

// ------------------------------------------------------------- Controls of this window

// A control that hears Alt with a letter while it has the keyboard and
// hands the letter (lower case) on; the handler says whether a control of
// the window goes with it.
struct AltKeys {
  std::function<bool(char)> onAlt;

 protected:
  bool Alt(UINT msg, WPARAM wp) const {
    return msg == WM_SYSCHAR && onAlt && onAlt(static_cast<char>(std::tolower(static_cast<int>(wp & 0xFF))));
  }
};

template <class Base>
class Keyed : public Base, public AltKeys {
 public:
  using Base::Base;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override { return Alt(msg, wp) ? 0 : Base::OnMessage(msg, wp, lp); }
};

// A label whose "&" underlines the letter that Alt goes with.
class KeyLabel : public Label {
 public:
  using Label::Label;

 protected:
  void Paint(HDC dc, const RECT& rect) override {
    const ScopedSelect font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, FontColour());
    RECT r = rect;
    DrawTextA(dc, Caption().c_str(), -1, &r, DT_SINGLELINE | DT_LEFT);
  }
};

// A list that shows its chosen item in a field, with a spin of two arrows
// at its right. Up and Down (Left and Right, Home and End) choose; a click
// on an arrow steps up or down, a click on the field steps on (from the
// last round to the first), the wheel steps. Its window text, which screen
// readers read, is its name and the chosen item ("Repeat: monthly").
class ChoiceBox : public WindowedWidget, public AltKeys {
 public:
  struct Options {
    std::string name{};
    std::function<void(int)> onChoose{};
  };
  ChoiceBox(Container* parent, const Props& props, const Options& options)
      : WindowedWidget(parent, props), options_(options) {}

  void SetItems(std::vector<std::string> items, int chosen) {
    chosen = std::clamp(chosen, 0, std::max(static_cast<int>(items.size()) - 1, 0));
    if (items == items_ && chosen == chosen_) return;
    items_ = std::move(items);
    chosen_ = chosen;
    ShowName();
    Invalidate();
  }

 protected:
  bool CreateHandle(const WindowSpec& spec) override { return Create(kWidgetClass, spec); }
  WindowSpec CreationSpec() const override { return ChildSpec(WS_TABSTOP, WS_EX_CLIENTEDGE); }
  std::optional<COLORREF> DefaultColour() const override { return colours::White; }

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (const auto painted = PaintSelfDrawn(Handle(), msg, wp, [this](HDC dc, const RECT& r) { Paint(dc, r); }))
      return *painted;
    const int last = static_cast<int>(items_.size()) - 1;
    switch (msg) {
      case WM_SETFOCUS: case WM_KILLFOCUS: Invalidate(); break;
      case WM_GETDLGCODE: return DLGC_WANTARROWS;
      case WM_SYSCHAR:
        if (Alt(msg, wp)) return 0;
        break;
      case WM_KEYDOWN:
        switch (wp) {
          case VK_UP: case VK_LEFT: Step(-1, false); return 0;
          case VK_DOWN: case VK_RIGHT: Step(1, false); return 0;
          case VK_HOME: Step(-chosen_, false); return 0;
          case VK_END: Step(last - chosen_, false); return 0;
          default: break;
        }
        break;
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
        SetFocus();
        RECT client;
        GetClientRect(Handle(), &client);
        const bool onSpin = GET_X_LPARAM(lp) >= client.right - DeviceScale()(kSpinWidth);
        Step(onSpin && GET_Y_LPARAM(lp) < client.bottom / 2 ? -1 : 1, !onSpin);
        break;
      }
      case WM_MOUSEWHEEL: Step(GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1, false); return 0;
      default: break;
    }
    return WindowedWidget::OnMessage(msg, wp, lp);
  }

 private:
  static constexpr int kSpinWidth = 13;

  void Step(int delta, bool round) {
    const int n = static_cast<int>(items_.size());
    if (n == 0) return;
    const int next = round ? ((chosen_ + delta) % n + n) % n : std::clamp(chosen_ + delta, 0, n - 1);
    if (next == chosen_) return;
    chosen_ = next;
    ShowName();
    Invalidate();
    if (options_.onChoose) options_.onChoose(chosen_);
  }

  void ShowName() {
    const std::string text = options_.name + ": " + (items_.empty() ? "" : items_[static_cast<std::size_t>(chosen_)]);
    if (!Handle() || Caption() == text) return;
    SetCaption(text);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
  }

  void Paint(HDC dc, const RECT& client) {
    const Scaler px = DeviceScale();
    FillSolid(dc, client, Colour());
    RECT spin{client.right - px(kSpinWidth), client.top, client.right, client.bottom};
    FillSolid(dc, spin, GetSysColor(COLOR_BTNFACE));
    DrawEdge(dc, &spin, EDGE_RAISED, BF_RECT);
    const int x = (spin.left + spin.right) / 2, y = (spin.top + spin.bottom) / 2, half = px(3), gap = px(2);
    const POINT up[] = {{x - half, y - gap}, {x + half, y - gap}, {x, y - gap - half}};
    const POINT down[] = {{x - half, y + gap}, {x + half, y + gap}, {x, y + gap + half}};
    {
      const ScopedSelect pen(dc, GetStockObject(BLACK_PEN)), brush(dc, GetStockObject(BLACK_BRUSH));
      Polygon(dc, up, 3);
      Polygon(dc, down, 3);
    }
    const bool focused = GetFocus() == Handle();
    RECT text{client.left + px(1), client.top + px(1), spin.left - px(1), client.bottom - px(1)};
    if (focused) FillSolid(dc, text, GetSysColor(COLOR_HIGHLIGHT));
    text.left += px(2);
    const ScopedSelect font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : FontColour());
    if (!items_.empty())
      DrawTextA(dc, items_[static_cast<std::size_t>(chosen_)].c_str(), -1, &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  Options options_;
  std::vector<std::string> items_;
  int chosen_ = 0;
};

// The preview line: the rule in words, or in red what keeps it from being
// taken. A window of its own, so that screen readers read its text.
class PreviewLine : public WindowedWidget {
 public:
  struct Options {};
  PreviewLine(Container* parent, const Props& props, const Options&) : WindowedWidget(parent, props) {}

  void ShowText(const std::string& text, bool error) {
    if (text == Caption() && error == error_) return;
    error_ = error;
    SetCaption(text);
    Invalidate();
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
  }

 protected:
  bool CreateHandle(const WindowSpec& spec) override { return Create(kWidgetClass, spec); }
  WindowSpec CreationSpec() const override { return ChildSpec(0); }

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (const auto painted = PaintSelfDrawn(Handle(), msg, wp, [this](HDC dc, const RECT& client) {
          FillSolid(dc, client, Colour());
          const ScopedSelect font(dc, FontHandle());
          SetBkMode(dc, TRANSPARENT);
          SetTextColor(dc, error_ ? colours::Red : FontColour());
          RECT r = client;
          DrawTextA(dc, Caption().c_str(), -1, &r, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
        }))
      return *painted;
    return WindowedWidget::OnMessage(msg, wp, lp);
  }

 private:
  bool error_ = false;
};

// ------------------------------------------------------------- Description

constexpr int kClientWidth = 380, kClientHeight = 315;
constexpr int kBoxLeft = 26, kBoxWidth = 328;
// The silver boxes on the window's colour, as in the list window's editor:
// the repetition, its end, the skipped days, the preview.
struct BoxDesc {
  int top, height;
};
constexpr BoxDesc kBoxes[] = {{30, 64}, {100, 31}, {137, 82}, {225, 40}};
// The rows of controls, and the labels' offset from them.
constexpr int kRepeatRow = 37, kOnRow = 66, kEndRow = 105, kSkipRow = 143, kRemoveRow = 170, kLabelDrop = 4;
constexpr int kListLeft = 80, kFieldHeight = 21;
constexpr int kWeekdayLeft = 36, kWeekdayPitch = 45;
constexpr const char* kMaskedDate = "!99/99/0000;1;_";
constexpr const char* kMaskedCount = "999;1; ";

FormDesc RuleWindowDesc(HintManager* hints) {
  return {.clientWidth = kClientWidth, .clientHeight = kClientHeight, .centered = false,
          .colour = static_cast<COLORREF>(InfoOf(EventCategory::kOther).colour), .font = Font::Arial(11),
          .borderless = true, .topmost = true, .dragBySurface = true, .hints = hints};
}

}  // namespace

struct TRuleWindow::Controls {
  Label* title = nullptr;  // on the top bar
  ChoiceBox* unit = nullptr;
  Label* every = nullptr;
  Keyed<MaskEdit>* interval = nullptr;
  Label* intervalWord = nullptr;
  Label* boxesNote = nullptr;
  std::array<Keyed<CheckBox>*, 7> weekdays{};  // Monday first
  Label* onLabel = nullptr;
  ChoiceBox* day = nullptr;
  ChoiceBox* ordinal = nullptr;
  ChoiceBox* weekday = nullptr;
  ChoiceBox* end = nullptr;
  Keyed<MaskEdit>* until = nullptr;
  Keyed<MaskEdit>* times = nullptr;
  Label* timesWord = nullptr;
  Keyed<MaskEdit>* skip = nullptr;
  Keyed<Button>* add = nullptr;
  Keyed<Button>* remove = nullptr;
  Keyed<StringGrid>* skips = nullptr;
  PreviewLine* preview = nullptr;
  Keyed<Button>* ok = nullptr;
  Keyed<Button>* cancel = nullptr;
};

// ------------------------------------------------------------- Creation

TRuleWindow::TRuleWindow(TRuleWindowDeps deps)
    : FormWindow(RuleWindowDesc(deps.hints)), deps_(std::move(deps)), c_(std::make_unique<Controls>()) {
  Form& form = GetForm();
  Controls& c = *c_;
  AddWindowFrame(form, {.onClose = [this] { CancelClick(); }});
  c.title = &form.Add<Label>({.left = 2, .top = 2, .width = kClientWidth - 4, .height = 18, .hint = kMoveHint,
                              .font = Font::Arial(13), .fontColour = colours::White},
                             {.align = Align::Center});
  for (const BoxDesc& b : kBoxes)
    form.Add<Shape>({.left = kBoxLeft, .top = b.top, .width = kBoxWidth, .height = b.height, .colour = colours::Silver},
                    {.kind = ShapeKind::RoundRect, .penColour = colours::Silver});
  const auto label = [&](int left, int row, const char* text) {
    return &form.Add<KeyLabel>({.left = left, .top = row + kLabelDrop, .width = 40, .height = 14, .caption = text},
                               {.autoSize = true});
  };
  const auto list = [&](int left, int row, int width, const char* name, RuleList which, const char* hint) {
    return &form.Add<ChoiceBox>({.left = left, .top = row, .width = width, .height = kFieldHeight, .hint = hint},
                                {.name = name, .onChoose = [this, which](int index) {
                                   Command([&](RuleChoice& r) { r.Choose(which, index); });
                                 }});
  };
  const auto field = [&](int left, int row, int width, const char* mask, const char* hint,
                         void (RuleChoice::*set)(std::string)) {
    auto* edit = &form.Add<Keyed<MaskEdit>>({.left = left, .top = row, .width = width, .height = kFieldHeight,
                                             .hint = hint},
                                            {.mask = mask});
    edit->onChange = [this, edit, set] { Command([&](RuleChoice& r) { (r.*set)(edit->Text()); }); };
    edit->onInvalid = [this](MaskEdit&, const std::string& message) { ShowPreview(message, true); };
    return edit;
  };

  // The repetition: its kind and interval, then its days.
  label(34, kRepeatRow, "&Repeat");
  c.unit = list(kListLeft, kRepeatRow, 120, "Repeat", RuleList::kUnit, "Choose how the event repeats");
  c.every = label(210, kRepeatRow, "&every");
  c.interval = field(244, kRepeatRow, 28, kMaskedCount,
                     "Put how many weeks, months or years lie between two days of the event",
                     &RuleChoice::SetIntervalText);
  c.intervalWord = label(278, kRepeatRow, "");
  c.boxesNote = &form.Add<Label>({.left = 34, .top = kOnRow - 3, .width = kBoxWidth - 16, .height = 28,
                                  .caption = "Each Year, Each Month, Each N Days or Only one time, as the editor's "
                                             "boxes are checked."},
                                 {.wordWrap = true});
  for (int d = 0; d < 7; ++d) {
    c.weekdays[static_cast<std::size_t>(d)] = &form.Add<Keyed<CheckBox>>(
        {.left = kWeekdayLeft + kWeekdayPitch * d, .top = kOnRow + 2, .width = 44, .height = 17,
         .caption = std::string(WeekdayName(d).substr(0, 3)), .hint = "Check the weekdays the event falls on",
         .colour = colours::Silver, .onClick = [this, d] {
           const bool on = c_->weekdays[static_cast<std::size_t>(d)]->Checked();
           Command([&](RuleChoice& r) { r.SetWeeklyOn(d, on); });
         }},
        {});
  }
  c.onLabel = label(34, kOnRow, "&On");
  c.day = list(kListLeft, kOnRow, 120, "On", RuleList::kDay, "Choose the day of the month the event falls on");
  c.ordinal = list(206, kOnRow, 60, "Which", RuleList::kOrdinal, "Choose which of the month's weekdays");
  c.weekday = list(270, kOnRow, 78, "Weekday", RuleList::kWeekday, "Choose which of the month's weekdays");

  // The end.
  label(34, kEndRow, "E&nds");
  c.end = list(kListLeft, kEndRow, 70, "Ends", RuleList::kEnd, "Choose when the repetition ends");
  c.until = field(156, kEndRow, 72, kMaskedDate, "Put the last day the event may fall on", &RuleChoice::SetUntilText);
  c.times = field(156, kEndRow, 28, kMaskedCount, "Put how many times the event falls", &RuleChoice::SetTimesText);
  c.timesWord = label(190, kEndRow, "times");

  // The skipped days.
  label(34, kSkipRow, "No&t on");
  c.skip = &form.Add<Keyed<MaskEdit>>({.left = kListLeft, .top = kSkipRow, .width = 72, .height = kFieldHeight,
                                       .hint = "Put a day the event does not fall on, then Add"},
                                      {.mask = kMaskedDate});
  c.skip->onInvalid = [this](MaskEdit&, const std::string& message) { ShowPreview(message, true); };
  c.add = &form.Add<Keyed<Button>>({.left = 160, .top = kSkipRow, .width = 64, .height = kFieldHeight,
                                    .caption = "&Add", .hint = "Click to skip the day typed",
                                    .onClick = [this] { AddClick(); }},
                                   {});
  c.remove = &form.Add<Keyed<Button>>({.left = 160, .top = kRemoveRow, .width = 64, .height = kFieldHeight,
                                       .caption = "Re&move", .hint = "Click to fall on the chosen day again",
                                       .onClick = [this] { RemoveClick(); }},
                                      {});
  c.skips = &form.Add<Keyed<StringGrid>>(
      {.left = 232, .top = kSkipRow - 2, .width = 114, .height = 72,
       .hint = "The days the event does not fall on; Delete removes the chosen one"},
      {.colWidths = {110}, .rowCount = 0, .rowHeight = 16, .fixedRows = 0, .rowSelect = true,
       .scrollBars = ScrollBars::Vertical});
  c.skips->onKey = [this](UINT key) {
    if (key != VK_DELETE) return false;
    RemoveClick();
    return true;
  };

  c.preview = &form.Add<PreviewLine>({.left = 34, .top = 229, .width = kBoxWidth - 16, .height = 32,
                                      .hint = "The rule as chosen", .colour = colours::Silver},
                                     {});
  c.ok = &form.Add<Keyed<Button>>({.left = 111, .top = 275, .width = 75, .height = 20, .caption = "OK",
                                   .hint = "Click to take this rule", .onClick = [this] { OkClick(); }},
                                  {.isDefault = true});
  c.cancel = &form.Add<Keyed<Button>>({.left = 193, .top = 275, .width = 75, .height = 20, .caption = "Cancel",
                                       .hint = "Click to keep the rule as it was", .onClick = [this] { CancelClick(); }},
                                      {});
  for (const auto& child : form.Children())
    if (auto* keys = dynamic_cast<AltKeys*>(child.get())) keys->onAlt = [this](char key) { return Accelerator(key); };
  form.onEnter = [this] { OkClick(); };
  form.onEscape = [this] { CancelClick(); };
}

TRuleWindow::~TRuleWindow() = default;

// ------------------------------------------------------------- Showing the choice

void TRuleWindow::Choose(HWND owner, const CivilDate& first, const RepeatRule& current,
                         std::function<void(const RepeatRule&)> chosen) {
  chosen_ = std::move(chosen);
  owner_ = owner;
  // It belongs to the window that asks: above it, and its dialog for a
  // window manager.
  SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  choice_.emplace(first, current, deps_.locale);
  const std::string title = "Repeat the event of " + DateInWords(first);
  c_->title->SetCaption(title);
  // The borderless window's text, read by screen readers: its title line.
  GetForm().SetCaption(title);
  c_->interval->SetText(choice_->IntervalText());
  c_->until->SetText(choice_->UntilText());
  c_->times->SetText(choice_->TimesText());
  c_->skip->SetText("");
  Refresh();
  PlaceOver(owner);
  Show();
  TakeKeyboard(Handle(), c_->unit->Handle());
}

void TRuleWindow::LocaleChanged(DateLocale locale) {
  const bool wasMonthFirst = deps_.locale.IsMonthFirst();
  deps_.locale = std::move(locale);
  if (!choice_) return;
  choice_->SetLocale(deps_.locale);
  c_->until->SetText(choice_->UntilText());
  c_->skip->SetText(RetypedDateChoice(c_->skip->Text(), wasMonthFirst, deps_.locale));
  Refresh();
}

void TRuleWindow::Command(const std::function<void(RuleChoice&)>& command) {
  if (!choice_) return;
  command(*choice_);
  Refresh();
}

void TRuleWindow::Refresh() {
  const RuleChoice& r = *choice_;
  Controls& c = *c_;
  const std::pair<ChoiceBox*, RuleList> lists[] = {{c.unit, RuleList::kUnit},
                                                   {c.day, RuleList::kDay},
                                                   {c.ordinal, RuleList::kOrdinal},
                                                   {c.weekday, RuleList::kWeekday},
                                                   {c.end, RuleList::kEnd}};
  for (const auto& [box, which] : lists) box->SetItems(r.Items(which), r.Chosen(which));
  const auto show = [&r](std::initializer_list<Widget*> widgets, RulePart part) {
    for (Widget* w : widgets) w->SetVisible(r.Shows(part));
  };
  show({c.every, c.interval, c.intervalWord}, RulePart::kInterval);
  c.intervalWord->SetCaption(r.IntervalWord());
  show({c.boxesNote}, RulePart::kBoxes);
  for (int d = 0; d < 7; ++d) {
    c.weekdays[static_cast<std::size_t>(d)]->SetChecked(r.WeeklyOn(d));
    show({c.weekdays[static_cast<std::size_t>(d)]}, RulePart::kWeekdays);
  }
  show({c.onLabel, c.day}, RulePart::kDay);
  show({c.ordinal, c.weekday}, RulePart::kNthWeekday);
  show({c.until}, RulePart::kUntil);
  show({c.times, c.timesWord}, RulePart::kTimes);

  const std::vector<std::string> skips = r.SkipTexts();
  {
    const StringGrid::Update update(*c.skips);
    c.skips->SetRowCount(static_cast<int>(skips.size()));
    for (std::size_t i = 0; i < skips.size(); ++i) c.skips->SetCell(0, static_cast<int>(i), skips[i]);
  }
  // The list's window text, read by screen readers.
  c.skips->SetCaption("Not on: " + (skips.empty()       ? std::string("no day")
                                     : skips.size() == 1 ? skips.front()
                                                         : std::to_string(skips.size()) + " days"));
  ShowPreview(r.Preview(), r.PreviewIsError());
  // The keyboard never stays on a control that went.
  const HWND focus = GetFocus();
  if (focus && IsChild(Handle(), focus) && !IsWindowVisible(focus)) c.unit->SetFocus();
}

void TRuleWindow::ShowPreview(const std::string& text, bool error) { c_->preview->ShowText(text, error); }

// ------------------------------------------------------------- The user's commands

void TRuleWindow::OkClick() {
  if (!choice_) return;
  // A day typed into the skipped days' field and not added yet counts.
  if (const std::string typed = c_->skip->Text(); typed.find_first_of("0123456789") != std::string::npos) {
    const bool added = choice_->AddSkip(typed).empty();
    if (added) c_->skip->SetText("");
    Refresh();
    if (!added) {
      FocusField(RuleField::kSkip);
      return;
    }
  }
  const RuleOutcome outcome = choice_->Outcome();
  if (!outcome.ok()) {
    // The window stays, the keyboard where the fault is.
    ShowPreview(outcome.error, true);
    FocusField(outcome.field);
    return;
  }
  const auto chosen = std::exchange(chosen_, nullptr);
  Close();
  if (chosen) chosen(outcome.rule);
}

void TRuleWindow::CancelClick() {
  chosen_ = nullptr;
  Close();
}

void TRuleWindow::Close() { HideBackTo(std::exchange(owner_, nullptr)); }

void TRuleWindow::AddClick() {
  if (!choice_) return;
  if (choice_->AddSkip(c_->skip->Text()).empty()) c_->skip->SetText("");
  Refresh();
  c_->skip->SetFocus();
}

void TRuleWindow::RemoveClick() {
  Command([this](RuleChoice& r) { r.RemoveSkip(static_cast<std::size_t>(c_->skips->Row())); });
}

void TRuleWindow::FocusField(RuleField field) {
  Controls& c = *c_;
  WindowedWidget* to = nullptr;
  switch (field) {
    case RuleField::kInterval: to = c.interval; break;
    case RuleField::kWeekdays: to = c.weekdays[0]; break;
    case RuleField::kUntil: to = c.until; break;
    case RuleField::kTimes: to = c.times; break;
    case RuleField::kSkip: to = c.skip; break;
    case RuleField::kNone: return;
  }
  to->SetFocus();
  if (auto* edit = dynamic_cast<Edit*>(to)) edit->SelectAll();
}

bool TRuleWindow::Accelerator(char key) {
  Controls& c = *c_;
  const auto focus = [](WindowedWidget* w) {
    if (!IsWindowVisible(w->Handle())) return false;
    w->SetFocus();
    if (auto* edit = dynamic_cast<Edit*>(w)) edit->SelectAll();
    return true;
  };
  switch (key) {
    case 'r': return focus(c.unit);
    case 'e': return focus(c.interval);
    case 'o': return focus(c.day);
    case 'n': return focus(c.end);
    case 't': return focus(c.skip);
    case 'a': AddClick(); return true;
    case 'm': RemoveClick(); return true;
    default: return false;
  }
}

}  // namespace redoviri
