#include "widgets/action_list.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "widgets/dpi.h"
#include "widgets/form.h"
#include "widgets/gdi.h"

namespace redoviri::widgets {

namespace {

// The row's buttons, from its right edge; the picture and the texts from its left.
constexpr int kButtonWidth = 52, kButtonHeight = 18, kButtonGap = 4;
constexpr COLORREF kTagColour = RGB(255, 0, 0);
constexpr COLORREF kDetailColour = RGB(64, 64, 64);

}  // namespace

ActionList::ActionList(Container* parent, const Props& props, Options options)
    : WindowedWidget(parent, props), options_(std::move(options)) {}

void ActionList::SetRows(std::vector<ActionRow> rows, std::string more) {
  rows_ = std::move(rows);
  more_ = std::move(more);
  current_ = std::min(current_, RowCount() == 0 ? 0 : RowCount() - 1);
  ClampTop();
  UpdateScrollBar();
  Invalidate();
  ShowSpokenText();
}

bool ActionList::CreateHandle(const WindowSpec& window) { return Create(kWidgetClass, window); }

WindowSpec ActionList::CreationSpec() const { return ChildSpec(WS_TABSTOP | WS_VSCROLL); }

void ActionList::Realize() {
  WindowedWidget::Realize();
  UpdateScrollBar();
}

LRESULT ActionList::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto painted = PaintSelfDrawn(Handle(), msg, wp, [this](HDC dc, const RECT& client) { Paint(dc, client); }))
    return *painted;
  const int page = options_.rowsVisible;
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
        case SB_PAGEUP: ScrollTo(top_ - page); break;
        case SB_PAGEDOWN: ScrollTo(top_ + page); break;
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
      // A click does not take the keyboard from where the user types; the
      // window takes it when the user activates it.
      pressed_ = HitAt(Unscale(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, Dpi()));
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONUP: {
      // Taken before the capture goes: its WM_CAPTURECHANGED forgets the press.
      const std::optional<Hit> pressed = pressed_;
      pressed_.reset();
      if (GetCapture() == Handle()) ReleaseCapture();
      const std::optional<Hit> hit = HitAt(Unscale(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, Dpi()));
      if (hit && pressed && hit->row == pressed->row && hit->part == pressed->part) Run(*hit, true);
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

void ActionList::Run(const Hit& hit, bool byMouse) {
  current_ = hit.row;
  lastRunByMouse_ = byMouse;
  if (options_.onRow) options_.onRow(static_cast<std::size_t>(hit.row), hit.part);
}

bool ActionList::Key(UINT key) {
  const int rows = RowCount();
  if (rows == 0) return false;
  const int buttons = static_cast<int>(options_.buttons.size());
  switch (key) {
    case VK_UP: Choose(current_ - 1); return true;
    case VK_DOWN: Choose(current_ + 1); return true;
    case VK_HOME: Choose(0); return true;
    case VK_END: Choose(rows - 1); return true;
    case VK_PRIOR: Choose(current_ - options_.rowsVisible); return true;
    case VK_NEXT: Choose(current_ + options_.rowsVisible); return true;
    case VK_RETURN: Run({current_, kLine}); return true;
    case VK_SPACE: if (buttons < 1) return false; Run({current_, 0}); return true;
    case VK_DELETE: if (buttons < 2) return false; Run({current_, 1}); return true;
    default: return false;
  }
}

void ActionList::Choose(int row) {
  current_ = std::clamp(row, 0, std::max(RowCount() - 1, 0));
  if (current_ < top_) ScrollTo(current_);
  else if (current_ >= top_ + options_.rowsVisible) ScrollTo(current_ - options_.rowsVisible + 1);
  Invalidate();
  ShowSpokenText();
}

void ActionList::ShowSpokenText() {
  if (!Handle()) return;
  const std::string text = rows_.empty() ? std::string() : rows_[static_cast<std::size_t>(current_)].spoken;
  char shown[512] = "";
  GetWindowTextA(Handle(), shown, sizeof shown);
  if (text == shown) return;
  SetWindowTextA(Handle(), text.c_str());
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
  if (Focused()) NotifyWinEvent(EVENT_OBJECT_FOCUS, Handle(), OBJID_CLIENT, CHILDID_SELF);
}

void ActionList::ClampTop() { top_ = std::clamp(top_, 0, std::max(Lines() - options_.rowsVisible, 0)); }

void ActionList::ScrollTo(int top) {
  top_ = top;
  ClampTop();
  UpdateScrollBar();
  Invalidate();
}

void ActionList::UpdateScrollBar() {
  if (!Handle()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(Lines() - 1, 0);
  si.nPage = static_cast<UINT>(options_.rowsVisible);
  si.nPos = top_;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

RECT ActionList::ButtonRect(int line, int button) const {
  const int fromRight = static_cast<int>(options_.buttons.size()) - 1 - button;
  const int right = LayoutClient().right - kButtonGap - fromRight * (kButtonWidth + kButtonGap);
  const int top = (line - top_) * options_.rowHeight + (options_.rowHeight - kButtonHeight) / 2;
  return {right - kButtonWidth, top, right, top + kButtonHeight};
}

std::optional<ActionList::Hit> ActionList::HitAt(POINT p) const {
  if (p.y < 0) return std::nullopt;
  const int row = top_ + p.y / options_.rowHeight;
  if (row >= RowCount()) return std::nullopt;
  for (int b = 0; b < static_cast<int>(options_.buttons.size()); ++b) {
    const RECT r = ButtonRect(row, b);
    if (PtInRect(&r, p)) return Hit{row, b};
  }
  return Hit{row, kLine};
}

// Laid out in layout pixels, drawn at the form's scale.
void ActionList::Paint(HDC dc, const RECT& deviceClient) {
  FillSolid(dc, deviceClient, colours::White);
  const Scaler px = DeviceScale();
  const RECT client = LayoutClient();
  const int height = options_.rowHeight;
  SetBkMode(dc, TRANSPARENT);
  Form& form = GetForm();
  const Font base = GetFont();
  const HFONT normal = form.Gdi().GetFont(base);
  const HFONT bold = form.Gdi().GetFont(base.Bold());
  const int lines = Lines();
  for (int line = top_; line < lines && (line - top_) * height < client.bottom; ++line) {
    const int top = (line - top_) * height;
    RECT row = px(RECT{0, top, client.right, top + height});
    if (line >= RowCount()) {
      const ScopedSelect font(dc, normal);
      SetTextColor(dc, kDetailColour);
      DrawTextA(dc, more_.c_str(), -1, &row, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      continue;
    }
    const ActionRow& r = rows_[static_cast<std::size_t>(line)];
    if (line == current_ && Focused()) FillSolid(dc, row, options_.chosenColour);
    if (r.strip) FillSolid(dc, px(RECT{0, top, 5, top + height}), *r.strip);
    if (r.picture)
      DrawBitmap(dc, r.picture, px(RECT{10, top + 10, 26, top + 26}), {.transparent = options_.pictureKey}, px.dpi);
    // The texts end where the first button starts.
    const int textRight = (options_.buttons.empty() ? client.right : ButtonRect(line, 0).left) - 4;
    {
      const ScopedSelect font(dc, bold);
      SetTextColor(dc, colours::Black);
      RECT first = px(RECT{32, top + 3, 74, top + 18});
      DrawTextA(dc, r.first.c_str(), -1, &first, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      RECT title = px(RECT{76, top + 3, textRight, top + 18});
      DrawTextA(dc, r.title.c_str(), -1, &title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    {
      const ScopedSelect font(dc, normal);
      if (!r.tag.empty()) {
        SetTextColor(dc, kTagColour);
        RECT tag = px(RECT{32, top + 18, 74, top + 33});
        DrawTextA(dc, r.tag.c_str(), -1, &tag, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      }
      SetTextColor(dc, kDetailColour);
      RECT detail = px(RECT{76, top + 18, textRight, top + 33});
      DrawTextA(dc, r.detail.c_str(), -1, &detail, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      SetTextColor(dc, colours::Black);
      for (int b = 0; b < static_cast<int>(options_.buttons.size()); ++b) {
        RECT button = px(ButtonRect(line, b));
        FillSolid(dc, button, colours::Silver);
        DrawEdge(dc, &button, EDGE_RAISED, BF_RECT);
        DrawTextA(dc, options_.buttons[static_cast<std::size_t>(b)].c_str(), -1, &button,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
    }
    FillSolid(dc, px(RECT{0, top + height - 1, client.right, top + height}), colours::Silver);
    if (line == current_ && Focused()) {
      RECT focus = px(RECT{5, top, client.right, top + height - 1});
      DrawFocusRect(dc, &focus);
    }
  }
}

}  // namespace redoviri::widgets
