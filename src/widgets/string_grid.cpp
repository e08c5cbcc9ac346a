#include "widgets/string_grid.h"

#include <windowsx.h>

#include <algorithm>

#include "widgets/form.h"

namespace redoviri::widgets {

namespace {
constexpr int kTextInset = 2;   // text from the cell's left and top edges
constexpr int kWheelRows = 3;   // rows per wheel notch
}  // namespace

StringGrid::StringGrid(Container* parent, const Props& props, const Options& options)
    : WindowedWidget(parent, props),
      options_(options),
      row_(options.fixedRows),
      topRow_(options.fixedRows) {
  options_.rowCount = std::max(options_.rowCount, 0);
  options_.fixedRows = std::clamp(options_.fixedRows, 0, options_.rowCount);
  row_ = topRow_ = options_.fixedRows;
  cells_.assign(static_cast<size_t>(options_.rowCount), std::vector<std::string>(options_.colWidths.size()));
}

bool StringGrid::CreateHandle(const WindowSpec& spec) { return Create(kWidgetClass, spec); }

WindowSpec StringGrid::CreationSpec() const {
  const ScrollBars s = options_.scrollBars;
  return ChildSpec(WS_TABSTOP | (s == ScrollBars::Vertical || s == ScrollBars::Both ? WS_VSCROLL : 0) |
                       (s == ScrollBars::Horizontal || s == ScrollBars::Both ? WS_HSCROLL : 0),
                   options_.border ? WS_EX_CLIENTEDGE : 0);
}

void StringGrid::Realize() {
  WindowedWidget::Realize();
  UpdateScrollBars();
}

int StringGrid::ColWidth(int col) const {
  return col >= 0 && col < ColCount() ? options_.colWidths[static_cast<size_t>(col)] : 0;
}

void StringGrid::SetRowCount(int count) {
  count = std::max(count, options_.fixedRows);
  options_.rowCount = count;
  cells_.resize(static_cast<size_t>(count), std::vector<std::string>(options_.colWidths.size()));
  row_ = std::clamp(row_, options_.fixedRows, std::max(count - 1, options_.fixedRows));
  if (updating_) return;
  ClampScroll();
  UpdateScrollBars();
  Invalidate();
}

void StringGrid::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0) return;
  ClampScroll();
  UpdateScrollBars();
  Invalidate();
}

std::string StringGrid::Cell(int col, int row) const {
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColCount()) return {};
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::SetCell(int col, int row, const std::string& text) {
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColCount()) return;
  std::string& c = cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
  if (c == text) return;
  c = text;
  if (updating_) return;
  const RECT r = DeviceScale()(CellRect(col, row));
  if (Handle() && !IsRectEmpty(&r)) InvalidateRect(Handle(), &r, FALSE);
}

void StringGrid::SetRow(int row) { Select(col_, row, false); }
void StringGrid::SetTopRow(int row) {
  topRow_ = row;
  ClampScroll();
  UpdateScrollBars();
  Invalidate();
}

int StringGrid::VisibleRows() const {
  const RECT client = LayoutClient();
  return std::max(static_cast<int>(client.bottom - FixedHeight()) / RowPitch(), 1);
}

int StringGrid::TotalWidth() const {
  int w = 0;
  for (int c = 0; c < ColCount(); ++c)
    if (ColWidth(c) > 0) w += ColWidth(c) + Line();
  return w;
}

int StringGrid::ColLeft(int col) const {
  int x = -scrollX_;
  for (int c = 0; c < col; ++c)
    if (ColWidth(c) > 0) x += ColWidth(c) + Line();
  return x;
}

int StringGrid::RowAt(int y) const {
  if (y < 0) return -1;
  int r;
  if (y < FixedHeight()) {
    r = y / RowPitch();
  } else {
    r = topRow_ + (y - FixedHeight()) / RowPitch();
  }
  return r < RowCount() ? r : -1;
}

int StringGrid::ColAt(int x) const {
  int left = -scrollX_;
  for (int c = 0; c < ColCount(); ++c) {
    const int w = ColWidth(c);
    if (w == 0) continue;
    if (x >= left && x < left + w + Line()) return c;
    left += w + Line();
  }
  return -1;
}

RECT StringGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount() || ColWidth(col) == 0) return {};
  int top;
  if (row < options_.fixedRows) {
    top = row * RowPitch();
  } else {
    if (row < topRow_) return {};
    top = FixedHeight() + (row - topRow_) * RowPitch();
  }
  const int left = ColLeft(col);
  return {left, top, left + ColWidth(col), top + options_.rowHeight};
}

void StringGrid::ClampScroll() {
  const int scrollable = RowCount() - options_.fixedRows;
  const int maxTop = options_.fixedRows + std::max(scrollable - VisibleRows(), 0);
  topRow_ = std::clamp(topRow_, options_.fixedRows, maxTop);
  const RECT client = LayoutClient();
  scrollX_ = std::clamp(scrollX_, 0, std::max(TotalWidth() - static_cast<int>(client.right), 0));
}

void StringGrid::UpdateScrollBars() {
  if (!Handle()) return;
  const ScrollBars s = options_.scrollBars;
  if (s == ScrollBars::Vertical || s == ScrollBars::Both) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(RowCount() - options_.fixedRows - 1, 0);
    si.nPage = static_cast<UINT>(VisibleRows());
    si.nPos = topRow_ - options_.fixedRows;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  }
  if (s == ScrollBars::Horizontal || s == ScrollBars::Both) {
    RECT client;
    GetClientRect(Handle(), &client);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(TotalWidth() - 1, 0);
    si.nPage = static_cast<UINT>(client.right);
    si.nPos = scrollX_;
    SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  }
}

void StringGrid::ScrollIntoView(int row) {
  if (row < options_.fixedRows) return;
  if (row < topRow_) topRow_ = row;
  else if (row >= topRow_ + VisibleRows()) topRow_ = row - VisibleRows() + 1;
  ClampScroll();
  UpdateScrollBars();
}

void StringGrid::Select(int col, int row, bool byUser) {
  if (RowCount() <= options_.fixedRows) return;
  row = std::clamp(row, options_.fixedRows, RowCount() - 1);
  col = std::clamp(col, 0, std::max(ColCount() - 1, 0));
  const bool changed = row != row_ || col != col_;
  row_ = row;
  col_ = col;
  ScrollIntoView(row);
  Invalidate();
  if (changed && byUser && onSelect) onSelect();
}

void StringGrid::ScrollTo(int bar, int code, int thumb) {
  if (bar == SB_VERT) {
    int top = topRow_;
    switch (code) {
      case SB_LINEUP: --top; break;
      case SB_LINEDOWN: ++top; break;
      case SB_PAGEUP: top -= VisibleRows(); break;
      case SB_PAGEDOWN: top += VisibleRows(); break;
      case SB_THUMBTRACK: case SB_THUMBPOSITION: top = options_.fixedRows + thumb; break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = RowCount(); break;
      default: return;
    }
    SetTopRow(top);
  } else {
    RECT client;
    GetClientRect(Handle(), &client);
    int x = scrollX_;
    switch (code) {
      case SB_LINELEFT: x -= 16; break;
      case SB_LINERIGHT: x += 16; break;
      case SB_PAGELEFT: x -= client.right; break;
      case SB_PAGERIGHT: x += client.right; break;
      case SB_THUMBTRACK: case SB_THUMBPOSITION: x = thumb; break;
      default: return;
    }
    scrollX_ = x;
    ClampScroll();
    UpdateScrollBars();
    Invalidate();
  }
}

bool StringGrid::KeyDown(WPARAM key) {
  int r = row_, c = col_;
  switch (key) {
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_PRIOR: r -= VisibleRows(); break;
    case VK_NEXT: r += VisibleRows(); break;
    case VK_HOME: r = options_.fixedRows; break;
    case VK_END: r = RowCount() - 1; break;
    case VK_LEFT: if (options_.rowSelect) return false; --c; break;
    case VK_RIGHT: if (options_.rowSelect) return false; ++c; break;
    default: return false;
  }
  Select(c, r, true);
  return true;
}


void StringGrid::Paint(HDC dc) {
  // Laid out in layout pixels, drawn at the form's scale.
  const Scaler px = DeviceScale();
  const RECT client = LayoutClient();
  RECT deviceClient;
  GetClientRect(Handle(), &deviceClient);
  FillSolid(dc, deviceClient, Colour());
  const ScopedSelect font(dc, FontHandle());
  SetBkMode(dc, TRANSPARENT);
  const COLORREF lineColour = GetSysColor(COLOR_BTNFACE), fixedLine = GetSysColor(COLOR_BTNSHADOW);
  const bool hasFocus = GetFocus() == Handle();

  auto paintRow = [&](int r, int top) {
    const bool fixed = r < options_.fixedRows;
    for (int c = 0; c < ColCount(); ++c) {
      const int w = ColWidth(c);
      if (w == 0) continue;
      const int left = ColLeft(c);
      if (left >= client.right || left + w + Line() <= 0) continue;
      RECT cellBox{left, top, left + w, top + options_.rowHeight};
      const bool selected = !fixed && r == row_ && (options_.rowSelect || c == col_);
      COLORREF back = Colour(), text = FontColour();
      if (fixed) {
        back = options_.fixedColour;
      } else if (selected) {
        back = GetSysColor(COLOR_HIGHLIGHT);
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
      }
      FillSolid(dc, px(cellBox), back);
      if (fixed) {
        RECT edge = px(cellBox);
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
      }
      if (Line()) {
        const COLORREF lc = fixed ? fixedLine : lineColour;
        FillSolid(dc, px(RECT{cellBox.right, top, cellBox.right + 1, cellBox.bottom + 1}), lc);
        FillSolid(dc, px(RECT{left, cellBox.bottom, cellBox.right + 1, cellBox.bottom + 1}), lc);
      }
      SetTextColor(dc, text);
      // The text ends where the cell or the visible part of the grid does,
      // in "..." if it is longer: never cut in the middle of a letter.
      RECT textBox = px(RECT{left + kTextInset, top + kTextInset, std::min<int>(cellBox.right, client.right) - 1,
                             cellBox.bottom});
      const std::string& s = cells_[static_cast<size_t>(r)][static_cast<size_t>(c)];
      DrawTextA(dc, s.c_str(), -1, &textBox, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (hasFocus && r == row_ && !fixed) {
      RECT focus = options_.rowSelect ? RECT{-scrollX_, top, TotalWidth() - scrollX_ - Line(), top + options_.rowHeight}
                                      : CellRect(col_, r);
      focus = px(focus);
      DrawFocusRect(dc, &focus);
    }
  };

  for (int r = 0; r < options_.fixedRows; ++r) paintRow(r, r * RowPitch());
  for (int r = topRow_, top = FixedHeight(); r < RowCount() && top < client.bottom; ++r, top += RowPitch())
    paintRow(r, top);
}

LRESULT StringGrid::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto painted = PaintSelfDrawn(Handle(), msg, wp, [this](HDC dc, const RECT&) { Paint(dc); }))
    return *painted;
  switch (msg) {
    case WM_SIZE:
      ClampScroll();
      UpdateScrollBars();
      Invalidate();
      break;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      Invalidate();
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (KeyDown(wp)) return 0;
      if (onKey && onKey(static_cast<UINT>(wp))) return 0;
      break;
    case WM_VSCROLL: case WM_HSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
      GetScrollInfo(Handle(), bar, &si);
      ScrollTo(bar, LOWORD(wp), si.nTrackPos);
      return 0;
    }
    case WM_MOUSEWHEEL:
      SetTopRow(topRow_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * kWheelRows);
      return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      ::SetFocus(Handle());
      const int r = RowAt(Unscale(GET_Y_LPARAM(lp), Dpi())), c = ColAt(Unscale(GET_X_LPARAM(lp), Dpi()));
      if (r >= options_.fixedRows && (c >= 0 || options_.rowSelect)) Select(c >= 0 ? c : col_, r, true);
      tracking_ = true;
      SetCapture(Handle());
      break;  // the handlers run below
    }
    case WM_MOUSEMOVE:
      if (tracking_) {
        // Dragging with the button down moves the selection along.
        const int r = RowAt(Unscale(GET_Y_LPARAM(lp), Dpi())), c = ColAt(Unscale(GET_X_LPARAM(lp), Dpi()));
        if (r >= options_.fixedRows) Select(c >= 0 ? c : col_, r, true);
      }
      break;
    case WM_LBUTTONUP:
      tracking_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      break;
    case WM_CAPTURECHANGED:
      tracking_ = false;
      break;
    default:
      break;
  }
  return WindowedWidget::OnMessage(msg, wp, lp);
}

}  // namespace redoviri::widgets
