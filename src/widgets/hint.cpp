#include "widgets/hint.h"

#include "base/text.h"
#include "widgets/form.h"
#include "widgets/widget.h"

#ifndef CS_DROPSHADOW
#define CS_DROPSHADOW 0x00020000
#endif
#ifndef WS_EX_NOACTIVATE
#define WS_EX_NOACTIVATE 0x08000000L
#endif

namespace redoviri::widgets {

namespace {

constexpr WindowClass kHintClass{"RedoviriHint", CS_SAVEBITS | CS_DROPSHADOW};
constexpr int kPadX = 3, kPadY = 2;       // text to frame
constexpr int kMaxTextWidth = 400;        // longer hints wrap
constexpr int kBelowCursor = 20;          // the hint starts under the arrow

}  // namespace

// ---------------------------------------------------- StandardHintWindow

StandardHintWindow::StandardHintWindow() {
  Create(kHintClass, {.style = WS_POPUP | WS_BORDER,
                      .exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                      .mouseThrough = true});
}

void StandardHintWindow::Show(const std::string& text, POINT cursor) {
  text_ = text;
  // At the DPI of the window under the cursor: the monitor the hint
  // shows on.
  const Scaler px{DpiOf(WindowFromPoint(cursor))};
  if (px.dpi != gdi_.Dpi()) gdi_.SetDpi(px.dpi);  // its fonts are selected only while it paints
  RECT r{0, 0, px(kMaxTextWidth), 0};
  {
    const WindowDC dc(Handle());
    const ScopedSelect font(dc.get(), gdi_.GetFont(font_));
    DrawTextA(dc.get(), text_.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  }
  const int w = r.right + 2 * px(kPadX) + 2, h = r.bottom + 2 * px(kPadY) + 2;
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  int x = cursor.x, y = cursor.y + px(kBelowCursor);
  if (x + w > screenW) x = screenW - w;
  if (x < 0) x = 0;
  if (y + h > screenH) y = cursor.y - h - 2;  // no room below: above the cursor
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

void StandardHintWindow::Hide() { ShowWindow(Handle(), SW_HIDE); }

void StandardHintWindow::Paint(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  FillSolid(dc, client, HintColour());
  const ScopedSelect font(dc, gdi_.GetFont(font_));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  const Scaler px{gdi_.Dpi()};
  RECT text{px(kPadX), px(kPadY), client.right - px(kPadX), client.bottom - px(kPadY)};
  DrawTextA(dc, text_.c_str(), -1, &text, DT_NOPREFIX | DT_WORDBREAK);
}

LRESULT StandardHintWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      const PaintDC dc(Handle());
      Paint(dc.get());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the mouse goes through to the window below
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      return DefaultProc(msg, wp, lp);
  }
}

// ----------------------------------------------------------- HintManager

HintManager::HintManager(std::unique_ptr<HintWindow> window) {
  SetWindow(std::move(window));
  // A message-only window carries the timers.
  Create(kWidgetClass, {.parent = HWND_MESSAGE});
}

HintManager::~HintManager() { HideNow(); }

void HintManager::SetWindow(std::unique_ptr<HintWindow> window) {
  HideNow();
  window_ = window ? std::move(window) : std::make_unique<StandardHintWindow>();
  window_->SetOnCancel([this] { Cancel(); });
}

void HintManager::SetEnabled(bool on) {
  enabled_ = on;
  if (!on) Cancel();
}

void HintManager::MouseOver(const Widget* widget, POINT screen) {
  if (widget == current_) {
    // The hint appears where the mouse came to rest.
    if (!done_) point_ = screen;
    return;
  }
  const bool wasShown = shown_;
  HideNow();
  current_ = widget;
  currentForm_ = widget ? &widget->GetForm() : nullptr;
  point_ = screen;
  done_ = false;
  if (!widget || !enabled_ || widget->EffectiveHint().empty()) return;
  SetTimer(Handle(), kShowTimer, wasShown ? timing_.shortPauseMs : timing_.pauseMs, nullptr);
}

void HintManager::MouseLeft(const Widget* widget) {
  if (widget && widget == current_) MouseOver(nullptr, point_);
}

void HintManager::Cancel() {
  HideNow();
  done_ = true;
}

void HintManager::Forget(const Form& form) {
  if (currentForm_ != &form) return;
  HideNow();
  current_ = nullptr;
  currentForm_ = nullptr;
}

void HintManager::HideNow() {
  if (Handle()) {
    KillTimer(Handle(), kShowTimer);
    KillTimer(Handle(), kHideTimer);
  }
  if (shown_) {
    shown_ = false;
    window_->Hide();
  }
}

void HintManager::ShowNow() {
  done_ = true;
  if (!current_ || !enabled_ || !current_->Showing()) return;
  // Read now: a widget's hint may have changed while the mouse rested. A
  // day of a thousand events would make a hint larger than the screen and
  // slow to lay out: only its beginning is shown.
  const std::string text = Abbreviated(current_->EffectiveHint(), kLongestHint);
  if (text.empty()) return;
  // Shown first: a window that refuses the hint cancels from inside Show.
  shown_ = true;
  window_->Show(text, point_);
  if (!shown_) return;
  SetTimer(Handle(), kHideTimer, timing_.hidePauseMs, nullptr);
}

LRESULT HintManager::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    KillTimer(Handle(), wp);
    if (wp == kShowTimer) ShowNow();
    if (wp == kHideTimer) HideNow();
    return 0;
  }
  return DefaultProc(msg, wp, lp);
}

}  // namespace redoviri::widgets
