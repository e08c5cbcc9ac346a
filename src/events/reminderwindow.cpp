#include "events/reminderwindow.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <utility>

#include "base/colours.h"
#include "components/window_frame.h"
#include "events/eventrecord.h"
#include "events/eventrule.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

namespace {

// A control that hands Alt with a letter (lower case), and the arrow keys
// when asked to, to the window while it has the keyboard; the handler says
// whether it took the key.
template <class Base>
class Keyed : public Base {
 public:
  using Base::Base;
  std::function<bool(char)> onAlt;
  std::function<bool(UINT)> onArrow;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_SYSCHAR && onAlt && onAlt(static_cast<char>(std::tolower(static_cast<int>(wp & 0xFF))))) return 0;
    if (msg == WM_GETDLGCODE && onArrow) return Base::OnMessage(msg, wp, lp) | DLGC_WANTARROWS;
    if (msg == WM_KEYDOWN && onArrow && onArrow(static_cast<UINT>(wp))) return 0;
    return Base::OnMessage(msg, wp, lp);
  }
};

// ------------------------------------------------------------- Description

constexpr int kClientWidth = 350;
// The silver box around the check boxes and the preview line.
constexpr int kBoxLeft = 22, kBoxTop = 30, kBoxWidth = kClientWidth - 2 * kBoxLeft;
// Two columns of check boxes, top to bottom.
constexpr int kFirstRow = 38, kRowPitch = 19, kCheckHeight = 17, kColumnWidth = 140;
constexpr std::array<int, 2> kColumnLeft = {34, 184};
constexpr int kPreviewHeight = 30, kButtonWidth = 75, kButtonHeight = 20, kGap = 9;
// The frame's bars and corner boxes (AddWindowFrame's).
constexpr int kTopBar = 22, kBottomBar = 15, kSideBar = 15, kCornerBox = 20;
// "At the time", the usual times, and as many others as an event can have.
constexpr std::size_t kMostBoxes = 1 + std::size(kUsualReminders) + kMaxReminders;

constexpr const char* kTitle = "Reminders of the event";
constexpr const char* kAtTheTimeHint = "The notice at the event's time always comes (a day event's at 09:00)";
constexpr const char* kBoxHint = "Check it to be reminded that long before the event";

FormDesc ReminderWindowDesc(HintManager* hints) {
  return {.clientWidth = kClientWidth, .clientHeight = 240, .centered = false,
          .colour = static_cast<COLORREF>(InfoOf(EventCategory::kOther).colour), .font = Font::Arial(11),
          .borderless = true, .topmost = true, .dragBySurface = true, .hints = hints};
}

}  // namespace

struct TReminderWindow::Controls {
  std::unique_ptr<WindowFrame> frame;
  Label* title = nullptr;  // on the top bar
  Shape* box = nullptr;
  std::array<Keyed<CheckBox>*, kMostBoxes> boxes{};
  Label* preview = nullptr;
  Keyed<Button>* ok = nullptr;
  Keyed<Button>* cancel = nullptr;
};

// ------------------------------------------------------------- Creation

TReminderWindow::TReminderWindow(HintManager* hints)
    : FormWindow(ReminderWindowDesc(hints)), c_(std::make_unique<Controls>()) {
  Form& form = GetForm();
  Controls& c = *c_;
  c.frame = std::make_unique<WindowFrame>(AddWindowFrame(form, {.onClose = [this] { CancelClick(); }}));
  c.title = &form.Add<Label>({.left = 2, .top = 2, .width = kClientWidth - 4, .height = 18, .caption = kTitle,
                              .hint = kMoveHint, .font = Font::Arial(13), .fontColour = colours::White},
                             {.align = Align::Center});
  c.box = &form.Add<Shape>({.left = kBoxLeft, .top = kBoxTop, .width = kBoxWidth, .height = 100,
                            .colour = colours::Silver},
                           {.kind = ShapeKind::RoundRect, .penColour = colours::Silver});
  for (std::size_t i = 0; i < kMostBoxes; ++i) {
    auto* box = &form.Add<Keyed<CheckBox>>({.left = kColumnLeft[0], .top = kFirstRow, .width = kColumnWidth,
                                            .height = kCheckHeight, .colour = colours::Silver,
                                            .onClick = [this, i] { BoxClicked(i); }},
                                           {});
    box->onArrow = [this, i](UINT key) {
      const int rows = static_cast<int>(boxes_.size() + 1) / 2;
      switch (key) {
        case VK_UP: MoveFrom(i, -1); return true;
        case VK_DOWN: MoveFrom(i, 1); return true;
        case VK_LEFT: MoveFrom(i, -rows); return true;
        case VK_RIGHT: MoveFrom(i, rows); return true;
        default: return false;
      }
    };
    c.boxes[i] = box;
  }
  c.preview = &form.Add<Label>({.left = kBoxLeft + 8, .top = kFirstRow, .width = kBoxWidth - 16,
                                .height = kPreviewHeight, .hint = "The reminders as chosen"},
                               {.align = Align::Center, .wordWrap = true});
  c.ok = &form.Add<Keyed<Button>>({.left = kClientWidth / 2 - kButtonWidth - 4, .top = 0, .width = kButtonWidth,
                                   .height = kButtonHeight, .caption = "OK", .hint = "Click to take these reminders",
                                   .onClick = [this] { OkClick(); }},
                                  {.isDefault = true});
  c.cancel = &form.Add<Keyed<Button>>({.left = kClientWidth / 2 + 4, .top = 0, .width = kButtonWidth,
                                       .height = kButtonHeight, .caption = "Cancel",
                                       .hint = "Click to keep the reminders as they were",
                                       .onClick = [this] { CancelClick(); }},
                                      {});
  const auto alt = [this](char key) { return Accelerator(key); };
  for (Keyed<CheckBox>* box : c.boxes) box->onAlt = alt;
  c.ok->onAlt = c.cancel->onAlt = alt;
  form.onEnter = [this] { OkClick(); };
  form.onEscape = [this] { CancelClick(); };
  Layout();
}

TReminderWindow::~TReminderWindow() = default;

// ------------------------------------------------------------- Showing the choice

void TReminderWindow::Choose(HWND owner, const std::vector<int>& current,
                             std::function<void(const std::vector<int>&)> chosen) {
  chosen_ = std::move(chosen);
  owner_ = owner;
  // It belongs to the window that asks: above it, and its dialog for a
  // window manager.
  SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  boxes_ = ReminderBoxes(current);
  if (boxes_.size() > kMostBoxes) boxes_.resize(kMostBoxes);
  for (std::size_t i = 0; i < kMostBoxes; ++i) {
    Keyed<CheckBox>& box = *c_->boxes[i];
    const bool shown = i < boxes_.size();
    // Its window text, the caption, is what screen readers read.
    box.SetCaption(shown ? boxes_[i].caption : "");
    box.SetChecked(shown && boxes_[i].checked);
    box.SetEnabled(shown && boxes_[i].minutes > 0);
    box.SetHint(shown && boxes_[i].minutes == 0 ? kAtTheTimeHint : kBoxHint);
    box.SetVisible(shown);
  }
  // The borderless window's text, read by screen readers: its title line.
  GetForm().SetCaption(kTitle);
  Layout();
  ShowPreview();
  PlaceOver(owner);
  Show();
  TakeKeyboard(Handle(), c_->boxes[boxes_.size() > 1 ? 1 : 0]->Handle());
}

void TReminderWindow::Layout() {
  Controls& c = *c_;
  const int rows = static_cast<int>(std::max<std::size_t>(boxes_.size(), 2) + 1) / 2;
  for (std::size_t i = 0; i < kMostBoxes; ++i) {
    const int column = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
    c.boxes[i]->SetBounds({kColumnLeft[static_cast<std::size_t>(std::min(column, 1))], kFirstRow + kRowPitch * row,
                           kColumnWidth, kCheckHeight});
  }
  const int previewTop = kFirstRow + kRowPitch * rows + 2;
  const int boxBottom = previewTop + kPreviewHeight + 4;
  c.preview->SetBounds({kBoxLeft + 8, previewTop, kBoxWidth - 16, kPreviewHeight});
  c.box->SetBounds({kBoxLeft, kBoxTop, kBoxWidth, boxBottom - kBoxTop});
  const int buttonsTop = boxBottom + kGap;
  for (Button* button : {static_cast<Button*>(c.ok), static_cast<Button*>(c.cancel)}) {
    const Bounds b = button->GetBounds();
    button->SetBounds({b.left, buttonsTop, b.width, b.height});
  }
  // The window ends below the buttons; its frame follows.
  const int w = kClientWidth, h = buttonsTop + kButtonHeight + kGap + kBottomBar;
  WindowFrame& f = *c.frame;
  f.bottom.SetBounds({0, h - kBottomBar, w, kBottomBar});
  f.left.SetBounds({0, kTopBar, kSideBar, h - kTopBar - kBottomBar});
  f.right.SetBounds({w - kSideBar, kTopBar, kSideBar, h - kTopBar - kBottomBar});
  f.close[kBottomLeft]->SetBounds({0, h - kCornerBox, kCornerBox, kCornerBox});
  f.close[kBottomRight]->SetBounds({w - kCornerBox, h - kCornerBox, kCornerBox, kCornerBox});
  const Bounds b = GetForm().GetBounds();
  GetForm().SetBounds({b.left, b.top, w, h});
}

void TReminderWindow::ShowPreview() {
  const ReminderOutcome outcome = ChosenReminders(boxes_);
  c_->preview->SetFontColour(outcome.ok ? colours::Black : colours::Red);
  c_->preview->SetCaption(outcome.words);
}

// ------------------------------------------------------------- The user's commands

void TReminderWindow::BoxClicked(std::size_t box) {
  if (box >= boxes_.size()) return;
  boxes_[box].checked = c_->boxes[box]->Checked();
  ShowPreview();
}

void TReminderWindow::MoveFrom(std::size_t from, int by) {
  const auto to = static_cast<std::ptrdiff_t>(from) + by;
  if (to < 0 || to >= static_cast<std::ptrdiff_t>(boxes_.size())) return;
  CheckBox& box = *c_->boxes[static_cast<std::size_t>(to)];
  if (IsWindowEnabled(box.Handle())) box.SetFocus();
}

bool TReminderWindow::Accelerator(char key) {
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const std::string& caption = boxes_[i].caption;
    const std::size_t amp = caption.find('&');
    if (amp == std::string::npos || amp + 1 >= caption.size() ||
        std::tolower(static_cast<unsigned char>(caption[amp + 1])) != key)
      continue;
    // As a dialog does: the box takes the keyboard and is checked or unchecked.
    c_->boxes[i]->SetFocus();
    SendMessageA(c_->boxes[i]->Handle(), BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

void TReminderWindow::OkClick() {
  const ReminderOutcome outcome = ChosenReminders(boxes_);
  if (!outcome.ok) {
    // The window stays: the preview line says what to uncheck.
    ShowPreview();
    return;
  }
  const auto chosen = std::exchange(chosen_, nullptr);
  Close();
  if (chosen) chosen(outcome.reminders);
}

void TReminderWindow::CancelClick() {
  chosen_ = nullptr;
  Close();
}

void TReminderWindow::Close() { HideBackTo(std::exchange(owner_, nullptr)); }

}  // namespace redoviri
