#include "reminders/noticewindow.h"

#include <windows.h>
#include <mmsystem.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "base/colours.h"
#include "components/window_frame.h"
#include "events/eventrecord.h"
#include "resources/resource_ids.h"
#include "widgets/activation.h"

namespace redoviri {

using namespace widgets;

namespace {

constexpr int kWidth = 420;  // a name of 24 characters fits at every scale
constexpr int kTitleHeight = 20;  // the top bar, with the title over it
constexpr int kSide = 10;
constexpr int kBottomBar = 20;  // as high as the top bar: whole close boxes
constexpr int kRowHeight = 36;
constexpr int kRowsVisible = 4;
constexpr int kListHeight = kRowsVisible * kRowHeight;
constexpr int kStripHeight = 28;  // the snooze choice and "Dismiss all"
constexpr int kHeight = kTitleHeight + kListHeight + kStripHeight + kBottomBar;
// From the work area's edges.
constexpr int kMargin = 8;

}  // namespace

TNotice::TNotice(TNoticeDeps deps)
    : FormWindow({.caption = deps.caption,
                  .clientWidth = kWidth,
                  .clientHeight = kHeight,
                  .centered = false,
                  .colour = colours::Silver,
                  .borderless = true,
                  .topmost = true,
                  .hints = deps.hints}),
      model_(deps.model) {
  Form& form = GetForm();
  AddWindowFrame(form, {.topHeight = kTitleHeight,
                        .bottomHeight = kBottomBar,
                        .sideWidth = kSide,
                        .topBoxHeight = kTitleHeight,
                        .bottomBoxHeight = kBottomBar,
                        .bottomHint = "",
                        .onClose = [this] { DismissAllClick(); }});
  form.Add<Label>({.left = 24, .top = 3, .width = kWidth - 48, .height = 15, .caption = deps.caption,
                   .font = Font::Arial(13).Bold(), .fontColour = colours::White},
                  {.align = Align::Center});
  for (int code = 1; code <= kCategoryCount; ++code)
    pictures_.at(static_cast<std::size_t>(code - 1)) = ResourcePicture(resources::CategoryPanelIconId(code));
  list_ = &form.Add<ActionList>({.left = kSide, .top = kTitleHeight, .width = kWidth - 2 * kSide,
                                 .height = kListHeight, .font = Font::Arial(13)},
                                {.buttons = {kSnoozeCaption, kDismissCaption},
                                 .rowHeight = kRowHeight,
                                 .rowsVisible = kRowsVisible,
                                 .chosenColour = static_cast<COLORREF>(SelectedColour),
                                 .pictureKey = resources::kTransparentKey,
                                 .onRow = [this](std::size_t row, int part) {
                                   switch (part) {
                                     case ActionList::kLine: RowClick(row); break;
                                     case 0: SnoozeClick(row); break;
                                     default: DismissClick(row); break;
                                   }
                                 }});
  const int stripTop = kTitleHeight + kListHeight;
  form.Add<Label>({.left = kSide + 4, .top = stripTop + 7, .width = 46, .height = 15, .caption = "Snooze:"}, {});
  for (std::size_t k = 0; k < kSnoozeMinutes.size(); ++k) {
    snoozeChoices_[k] = &form.Add<SpeedButton>(
        {.left = kSide + 50 + static_cast<int>(k) * 50, .top = stripTop + 3, .width = 48, .height = 22,
         .caption = kSnoozeCaptions[k], .onClick = [this, k] { SnoozeChoiceClick(static_cast<int>(k)); }},
        {.tabStop = true});
  }
  dismissAll_ = &form.Add<SpeedButton>({.left = kWidth - kSide - 80, .top = stripTop + 3, .width = 78,
                                        .height = 22, .caption = kDismissAllCaption,
                                        .onClick = [this] { DismissAllClick(); }},
                                       {.flat = false, .tabStop = true});
  Present({.choice = true});
  form.onEscape = [this] { DismissAllClick(); };
  form.onActivate = [this] { KeyboardBackAfterShow(); };
}

TNotice::~TNotice() = default;

void TNotice::Command(const std::function<NoticeRedraw(NoticePresenter&, const ClockReading&)>& command) {
  model_.NoticeCommand(command);
}

void TNotice::KeyboardBackAfterClick() {
  // A click on a line's button took the keyboard (a window manager focuses
  // the window clicked) from where the user was typing.
  if (Visible() && list_->LastRunByMouse() && GetForegroundWindow() == Handle())
    widgets::GiveKeyboardBack(keyboardOwner_);
}

void TNotice::KeyboardBackAfterShow() {
  // A window manager may focus the notice as it maps it again once it has
  // had the keyboard (openbox does, under the pointer or not): an
  // activation in the moment after it came is not the user's, and the
  // keyboard goes back to where the user was typing. (A click on its
  // buttons gives it back too.)
  constexpr ULONGLONG kMapFocusMs = 1500;
  const bool byMap = hadKeyboard_ && GetForegroundWindow() == Handle() && GetTickCount64() - shownAt_ <= kMapFocusMs;
  hadKeyboard_ = true;
  if (byMap) widgets::GiveKeyboardBack(keyboardOwner_);
}

void TNotice::Present(const NoticeRedraw& changed) {
  if (changed.list) ShowLines();
  if (changed.choice) {
    // The chosen time stands out in the details panel's colour.
    for (std::size_t i = 0; i < snoozeChoices_.size(); ++i)
      snoozeChoices_[i]->SetColour(static_cast<int>(i) == model_.Notices().SnoozeChoice() ? SelectedColour
                                                                                          : colours::Silver);
  }
  // The window the user clicked this one from has the keyboard again, or
  // else the one that had it when the notice came.
  if (changed.hide) {
    GetForm().HideGivingKeyboardBack();
    if (!GetForegroundWindow()) widgets::GiveKeyboardBack(keyboardOwner_);
  }
  if (changed.show && !Visible()) {
    const HWND front = GetForegroundWindow();
    keyboardOwner_ = front != Handle() ? front : nullptr;
    PlaceAtCorner();
    shownAt_ = GetTickCount64();
    GetForm().ShowInactive();
  }
}

void TNotice::ShowLines() {
  const NoticeBoard& board = model_.Notices().Board();
  std::vector<ActionRow> rows;
  rows.reserve(board.RowsShown());
  for (std::size_t i = 0; i < board.RowsShown(); ++i) {
    const Notice& n = board.Notices()[i];
    // A reminder's second line says how far away the event is.
    std::string detail = AheadText(n);
    if (const std::string comment = ReadComment(n.line); !comment.empty())
      detail += (detail.empty() ? "" : " - ") + comment;
    ActionRow row{.first = NoticeTimeText(n),
                  .title = ReadName(n.line),
                  .tag = n.late ? kLateText : "",
                  .detail = std::move(detail),
                  .spoken = NoticeSpokenText(n)};
    // The kind's colour along the left edge and its picture.
    const int code = ReadCategoryCode(n.line);
    if (const std::optional<EventCategory> category = CategoryFromCode(code)) {
      row.strip = static_cast<COLORREF>(InfoOf(*category).colour);
      row.picture = pictures_.at(static_cast<std::size_t>(code - 1));
    }
    rows.push_back(std::move(row));
  }
  list_->SetRows(std::move(rows), board.MoreText());
}

HWND TNotice::ListHandle() const { return list_->Handle(); }

void TNotice::PlaceAtCorner() {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  // The notification area is at the taskbar's far end: bottom right for
  // a taskbar at the bottom or on the right, top right at the top, bottom
  // left on the left.
  bool left = false, top = false;
  if (const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr)) {
    RECT bar;
    if (GetWindowRect(taskbar, &bar)) {
      top = bar.bottom <= work.top + 1 && bar.right - bar.left > bar.bottom - bar.top;
      left = bar.right <= work.left + 1 && bar.bottom - bar.top > bar.right - bar.left;
    }
  }
  const Scaler px{GetForm().FormDpi()};
  RECT frame{0, 0, px(kWidth), px(kHeight)};
  AdjustWindowRectAt(frame, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)), px.dpi);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = left ? work.left + px(kMargin) : work.right - px(kMargin) - width;
  const int y = top ? work.top + px(kMargin) : work.bottom - px(kMargin) - height;
  GetForm().SetBounds({x - frame.left, y - frame.top, kWidth, kHeight});
}

void TNotice::DismissClick(std::size_t row) {
  Command([row](NoticePresenter& p, const ClockReading&) { return p.Dismiss(row); });
  KeyboardBackAfterClick();
}

void TNotice::DismissAllClick() {
  Command([](NoticePresenter& p, const ClockReading&) { return p.DismissAll(); });
}

void TNotice::SnoozeClick(std::size_t row) {
  Command([row](NoticePresenter& p, const ClockReading& now) { return p.Snooze(row, now); });
  KeyboardBackAfterClick();
}

void TNotice::SnoozeChoiceClick(int k) {
  Command([k](NoticePresenter& p, const ClockReading&) { return p.ChooseSnooze(k); });
}

void PlayReminderSound() {
  const std::string alias = ReminderSoundAlias([](const std::string& name) -> std::optional<std::string> {
    const std::string key = "AppEvents\\Schemes\\Apps\\.Default\\" + name + "\\.Current";
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
    char file[MAX_PATH] = "";
    DWORD size = sizeof file;
    DWORD type = 0;
    const LONG read = RegQueryValueExA(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(file), &size);
    RegCloseKey(opened);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    file[sizeof file - 1] = '\0';
    return std::string(file);
  });
  if (!alias.empty()) PlaySoundA(alias.c_str(), nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

void TNotice::RowClick(std::size_t row) {
  if (row < Board().Notices().size() && openDay) openDay(row);
}

}  // namespace redoviri
