#include "reminders/noticewindow.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "base/colours.h"
#include "components/window_frame.h"
#include "events/eventrecord.h"
#include "resources/resource_ids.h"

namespace redoviri {

using namespace widgets;

namespace {

constexpr int kWidth = 360;
constexpr int kTitleHeight = 20;  // the top bar, with the title over it
constexpr int kSide = 10;
constexpr int kBottomBar = 10;
constexpr int kRowHeight = 36;
constexpr int kRowsVisible = 4;
constexpr int kListHeight = kRowsVisible * kRowHeight;
constexpr int kStripHeight = 28;  // the snooze choice and "Dismiss all"
constexpr int kHeight = kTitleHeight + kListHeight + kStripHeight + kBottomBar;
// From the work area's edges.
constexpr int kMargin = 8;
// The line buttons, from the row's right edge.
constexpr int kButtonWidth = 52, kButtonHeight = 18, kButtonGap = 4;
constexpr COLORREF kLateColour = RGB(255, 0, 0);
constexpr COLORREF kCommentColour = RGB(64, 64, 64);

enum class RowPart { Line, Snooze, Dismiss };

}  // namespace

// The scrolled list of the board's notices, drawn in one pass: a line per
// notice with its two buttons, and "... N more" past the rows it shows.
// Up and Down choose a line; Enter opens its day, Space snoozes it and
// Delete dismisses it.
class NoticeList : public WindowedWidget {
 public:
  struct Options {
    const NoticeBoard* board = nullptr;
    std::function<void(std::size_t row, RowPart part)> onRow{};
  };
  NoticeList(Container* parent, const Props& props, const Options& options)
      : WindowedWidget(parent, props), options_(options) {
    for (int code = 1; code <= kCategoryCount; ++code)
      pictures_.at(static_cast<std::size_t>(code - 1)) = ResourcePicture(resources::CategoryPanelIconId(code));
  }

  // The board changed.
  void Refresh() {
    current_ = std::min(current_, RowCount() == 0 ? 0 : RowCount() - 1);
    ClampTop();
    UpdateScrollBar();
    Invalidate();
    ShowSpokenText();
  }
  int Current() const { return current_; }

 protected:
  bool CreateHandle(const WindowSpec& window) override { return Create(kWidgetClass, window); }
  WindowSpec CreationSpec() const override { return ChildSpec(WS_TABSTOP | WS_VSCROLL); }
  void Realize() override {
    WindowedWidget::Realize();
    UpdateScrollBar();
  }

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (const auto painted =
            PaintSelfDrawn(Handle(), msg, wp, [this](HDC dc, const RECT& client) { Paint(dc, client); }))
      return *painted;
    switch (msg) {
      case WM_SETFOCUS: case WM_KILLFOCUS:
        Invalidate();
        break;
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
      case WM_KEYDOWN:
        if (Key(static_cast<UINT>(wp))) return 0;
        break;
      case WM_VSCROLL: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), SB_VERT, &si);
        switch (LOWORD(wp)) {
          case SB_LINEUP: ScrollTo(top_ - 1); break;
          case SB_LINEDOWN: ScrollTo(top_ + 1); break;
          case SB_PAGEUP: ScrollTo(top_ - kRowsVisible); break;
          case SB_PAGEDOWN: ScrollTo(top_ + kRowsVisible); break;
          case SB_THUMBTRACK: case SB_THUMBPOSITION: ScrollTo(si.nTrackPos); break;
          case SB_TOP: ScrollTo(0); break;
          case SB_BOTTOM: ScrollTo(RowCount()); break;
          default: break;
        }
        return 0;
      }
      case WM_MOUSEWHEEL:
        ScrollTo(top_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA);
        return 0;
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        // A click does not take the keyboard from where the user types;
        // the window takes it when the user activates it.
        pressed_ = HitAt(Unscale(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, Dpi()));
        SetCapture(Handle());
        return 0;
      case WM_LBUTTONUP: {
        // Taken before the capture goes: its WM_CAPTURECHANGED forgets the press.
        const std::optional<Hit> pressed = pressed_;
        pressed_.reset();
        if (GetCapture() == Handle()) ReleaseCapture();
        const std::optional<Hit> hit = HitAt(Unscale(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, Dpi()));
        if (hit && pressed && hit->row == pressed->row && hit->part == pressed->part) Run(*hit);
        return 0;
      }
      case WM_CAPTURECHANGED:
        pressed_.reset();
        break;
      default:
        break;
    }
    return WindowedWidget::OnMessage(msg, wp, lp);
  }

 private:
  struct Hit {
    int row;
    RowPart part;
  };

  int RowCount() const { return static_cast<int>(options_.board->RowsShown()); }
  // Rows on the screen, with the "more" line below the last one.
  int Lines() const { return RowCount() + (options_.board->MoreText().empty() ? 0 : 1); }

  void Run(const Hit& hit) {
    current_ = hit.row;
    if (options_.onRow) options_.onRow(static_cast<std::size_t>(hit.row), hit.part);
  }

  bool Key(UINT key) {
    const int rows = RowCount();
    if (rows == 0) return false;
    switch (key) {
      case VK_UP: Choose(current_ - 1); return true;
      case VK_DOWN: Choose(current_ + 1); return true;
      case VK_HOME: Choose(0); return true;
      case VK_END: Choose(rows - 1); return true;
      case VK_PRIOR: Choose(current_ - kRowsVisible); return true;
      case VK_NEXT: Choose(current_ + kRowsVisible); return true;
      case VK_RETURN: Run({current_, RowPart::Line}); return true;
      case VK_SPACE: Run({current_, RowPart::Snooze}); return true;
      case VK_DELETE: Run({current_, RowPart::Dismiss}); return true;
      default: return false;
    }
  }

  void Choose(int row) {
    current_ = std::clamp(row, 0, std::max(RowCount() - 1, 0));
    if (current_ < top_) ScrollTo(current_);
    else if (current_ >= top_ + kRowsVisible) ScrollTo(current_ - kRowsVisible + 1);
    Invalidate();
    ShowSpokenText();
  }

  // The window's text is the line the keys act on, for screen readers
  // (nothing of it is drawn as such).
  void ShowSpokenText() {
    if (!Handle()) return;
    const std::vector<Notice>& notices = options_.board->Notices();
    const std::string text =
        notices.empty() ? std::string() : NoticeSpokenText(notices[static_cast<std::size_t>(current_)]);
    char current[512] = "";
    GetWindowTextA(Handle(), current, sizeof current);
    if (text == current) return;
    SetWindowTextA(Handle(), text.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
    if (Focused()) NotifyWinEvent(EVENT_OBJECT_FOCUS, Handle(), OBJID_CLIENT, CHILDID_SELF);
  }

  void ClampTop() { top_ = std::clamp(top_, 0, std::max(Lines() - kRowsVisible, 0)); }
  void ScrollTo(int top) {
    top_ = top;
    ClampTop();
    UpdateScrollBar();
    Invalidate();
  }
  void UpdateScrollBar() {
    if (!Handle()) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(Lines() - 1, 0);
    si.nPage = kRowsVisible;
    si.nPos = top_;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  }

  int Width() const { return LayoutClient().right; }
  RECT ButtonRect(int line, RowPart part) const {
    const int right = Width() - kButtonGap - (part == RowPart::Snooze ? kButtonWidth + kButtonGap : 0);
    const int top = (line - top_) * kRowHeight + (kRowHeight - kButtonHeight) / 2;
    return {right - kButtonWidth, top, right, top + kButtonHeight};
  }
  std::optional<Hit> HitAt(POINT p) const {
    if (p.y < 0) return std::nullopt;
    const int row = top_ + p.y / kRowHeight;
    if (row >= RowCount()) return std::nullopt;
    for (RowPart part : {RowPart::Snooze, RowPart::Dismiss}) {
      const RECT r = ButtonRect(row, part);
      if (PtInRect(&r, p)) return Hit{row, part};
    }
    return Hit{row, RowPart::Line};
  }

  // Laid out in layout pixels, drawn at the form's scale.
  void Paint(HDC dc, const RECT& deviceClient) {
    FillSolid(dc, deviceClient, colours::White);
    const Scaler px = DeviceScale();
    const RECT client = LayoutClient();
    SetBkMode(dc, TRANSPARENT);
    Form& form = GetForm();
    const Font base = GetFont();
    const HFONT normal = form.Gdi().GetFont(base);
    const HFONT bold = form.Gdi().GetFont(base.Bold());
    const std::vector<Notice>& notices = options_.board->Notices();
    const int lines = Lines();
    for (int line = top_; line < lines && (line - top_) * kRowHeight < client.bottom; ++line) {
      const int top = (line - top_) * kRowHeight;
      RECT row = px(RECT{0, top, client.right, top + kRowHeight});
      if (line >= RowCount()) {
        const ScopedSelect font(dc, normal);
        SetTextColor(dc, kCommentColour);
        std::string more = options_.board->MoreText();
        DrawTextA(dc, more.c_str(), -1, &row, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        continue;
      }
      const Notice& n = notices[static_cast<std::size_t>(line)];
      const int code = ReadCategoryCode(n.line);
      const std::optional<EventCategory> category = CategoryFromCode(code);
      if (line == current_ && Focused()) FillSolid(dc, row, SelectedColour);
      // The kind's colour along the left edge and its picture.
      if (category) {
        FillSolid(dc, px(RECT{0, top, 5, top + kRowHeight}), InfoOf(*category).colour);
        DrawBitmap(dc, Picture(code), px(RECT{10, top + 10, 26, top + 26}),
                   {.transparent = resources::kTransparentKey}, px.dpi);
      }
      {
        const ScopedSelect font(dc, bold);
        SetTextColor(dc, colours::Black);
        RECT time = px(RECT{32, top + 3, 74, top + 18});
        const std::string minute = MinuteText(n.minute);
        DrawTextA(dc, minute.c_str(), -1, &time, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        const RECT snooze = ButtonRect(line, RowPart::Snooze);
        RECT name = px(RECT{76, top + 3, snooze.left - 4, top + 18});
        const std::string nameText = ReadName(n.line);
        DrawTextA(dc, nameText.c_str(), -1, &name, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      }
      {
        const ScopedSelect font(dc, normal);
        if (n.late) {
          SetTextColor(dc, kLateColour);
          RECT late = px(RECT{32, top + 18, 74, top + 33});
          DrawTextA(dc, kLateText, -1, &late, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        }
        SetTextColor(dc, kCommentColour);
        const RECT snooze = ButtonRect(line, RowPart::Snooze);
        RECT comment = px(RECT{76, top + 18, snooze.left - 4, top + 33});
        const std::string commentText = ReadComment(n.line);
        DrawTextA(dc, commentText.c_str(), -1, &comment,
                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(dc, colours::Black);
        for (RowPart part : {RowPart::Snooze, RowPart::Dismiss}) {
          RECT b = px(ButtonRect(line, part));
          FillSolid(dc, b, colours::Silver);
          DrawEdge(dc, &b, EDGE_RAISED, BF_RECT);
          DrawTextA(dc, part == RowPart::Snooze ? kSnoozeCaption : kDismissCaption, -1, &b,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
      }
      FillSolid(dc, px(RECT{0, top + kRowHeight - 1, client.right, top + kRowHeight}), colours::Silver);
      if (line == current_ && Focused()) {
        RECT focus = px(RECT{5, top, client.right, top + kRowHeight - 1});
        DrawFocusRect(dc, &focus);
      }
    }
  }

  const Bitmap& Picture(int code) const { return pictures_.at(static_cast<std::size_t>(code - 1)); }

  Options options_;
  int top_ = 0;      // the first line on the screen
  int current_ = 0;  // the line the keys act on
  std::optional<Hit> pressed_;
  std::array<Bitmap, kCategoryCount> pictures_{};  // the kinds' pictures, by code 1..6
};

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
  list_ = &form.Add<NoticeList>({.left = kSide, .top = kTitleHeight, .width = kWidth - 2 * kSide,
                                 .height = kListHeight, .font = Font::Arial(13)},
                                {.board = &model_.Notices().Board(), .onRow = [this](std::size_t row, RowPart part) {
                                   switch (part) {
                                     case RowPart::Line: RowClick(row); break;
                                     case RowPart::Snooze: SnoozeClick(row); break;
                                     case RowPart::Dismiss: DismissClick(row); break;
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
}

TNotice::~TNotice() = default;

void TNotice::Command(const std::function<NoticeRedraw(NoticePresenter&, const ClockReading&)>& command) {
  model_.NoticeCommand(command);
}

void TNotice::Present(const NoticeRedraw& changed) {
  if (changed.list) list_->Refresh();
  if (changed.choice) {
    // The chosen time stands out in the details panel's colour.
    for (std::size_t i = 0; i < snoozeChoices_.size(); ++i)
      snoozeChoices_[i]->SetColour(static_cast<int>(i) == model_.Notices().SnoozeChoice() ? SelectedColour
                                                                                          : colours::Silver);
  }
  if (changed.hide) Hide();
  if (changed.show && !Visible()) {
    PlaceAtCorner();
    GetForm().ShowInactive();
  }
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
}

void TNotice::DismissAllClick() {
  Command([](NoticePresenter& p, const ClockReading&) { return p.DismissAll(); });
}

void TNotice::SnoozeClick(std::size_t row) {
  Command([row](NoticePresenter& p, const ClockReading& now) { return p.Snooze(row, now); });
}

void TNotice::SnoozeChoiceClick(int k) {
  Command([k](NoticePresenter& p, const ClockReading&) { return p.ChooseSnooze(k); });
}

void TNotice::RowClick(std::size_t row) {
  if (row < Board().Notices().size() && openDay) openDay(row);
}

}  // namespace redoviri
