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

bool StringGrid::createWindow(const WindowSpec& spec) { return create(kWidgetClass, spec); }

WindowSpec StringGrid::windowSpec() const {
  const ScrollBars s = options_.scrollBars;
  return childSpec(WS_TABSTOP | (s == ScrollBars::Vertical || s == ScrollBars::Both ? WS_VSCROLL : 0) |
                       (s == ScrollBars::Horizontal || s == ScrollBars::Both ? WS_HSCROLL : 0),
                   options_.border ? WS_EX_CLIENTEDGE : 0);
}

void StringGrid::realize() {
  WindowedWidget::realize();
  updateScrollBars();
}

void StringGrid::setColCount(int count) {
  count = std::max(count, 0);
  options_.colWidths.resize(static_cast<size_t>(count), 64);
  for (auto& r : cells_) r.resize(static_cast<size_t>(count));
  col_ = std::min(col_, std::max(count - 1, 0));
  updateScrollBars();
  invalidate();
}

int StringGrid::colWidth(int col) const {
  return col >= 0 && col < colCount() ? options_.colWidths[static_cast<size_t>(col)] : 0;
}

void StringGrid::setColWidth(int col, int width) {
  if (col < 0 || col >= colCount()) return;
  options_.colWidths[static_cast<size_t>(col)] = std::max(width, 0);
  updateScrollBars();
  invalidate();
}

void StringGrid::setRowCount(int count) {
  count = std::max(count, options_.fixedRows);
  options_.rowCount = count;
  cells_.resize(static_cast<size_t>(count), std::vector<std::string>(options_.colWidths.size()));
  row_ = std::clamp(row_, options_.fixedRows, std::max(count - 1, options_.fixedRows));
  clampScroll();
  updateScrollBars();
  invalidate();
}

std::string StringGrid::cell(int col, int row) const {
  if (row < 0 || row >= rowCount() || col < 0 || col >= colCount()) return {};
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::setCell(int col, int row, const std::string& text) {
  if (row < 0 || row >= rowCount() || col < 0 || col >= colCount()) return;
  std::string& c = cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
  if (c == text) return;
  c = text;
  const RECT r = cellRect(col, row);
  if (handle() && !IsRectEmpty(&r)) InvalidateRect(handle(), &r, FALSE);
}

void StringGrid::setRow(int row) { select(col_, row, false); }
void StringGrid::setCol(int col) { select(col, row_, false); }

void StringGrid::setTopRow(int row) {
  topRow_ = row;
  clampScroll();
  updateScrollBars();
  invalidate();
}

int StringGrid::visibleRows() const {
  RECT client{0, 0, bounds().width, bounds().height};
  if (handle()) GetClientRect(handle(), &client);
  return std::max(static_cast<int>(client.bottom - fixedHeight()) / rowPitch(), 1);
}

int StringGrid::totalWidth() const {
  int w = 0;
  for (int c = 0; c < colCount(); ++c)
    if (colWidth(c) > 0) w += colWidth(c) + line();
  return w;
}

int StringGrid::colLeft(int col) const {
  int x = -scrollX_;
  for (int c = 0; c < col; ++c)
    if (colWidth(c) > 0) x += colWidth(c) + line();
  return x;
}

int StringGrid::rowAt(int y) const {
  if (y < 0) return -1;
  int r;
  if (y < fixedHeight()) {
    r = y / rowPitch();
  } else {
    r = topRow_ + (y - fixedHeight()) / rowPitch();
  }
  return r < rowCount() ? r : -1;
}

int StringGrid::colAt(int x) const {
  int left = -scrollX_;
  for (int c = 0; c < colCount(); ++c) {
    const int w = colWidth(c);
    if (w == 0) continue;
    if (x >= left && x < left + w + line()) return c;
    left += w + line();
  }
  return -1;
}

RECT StringGrid::cellRect(int col, int row) const {
  if (col < 0 || col >= colCount() || row < 0 || row >= rowCount() || colWidth(col) == 0) return {};
  int top;
  if (row < options_.fixedRows) {
    top = row * rowPitch();
  } else {
    if (row < topRow_) return {};
    top = fixedHeight() + (row - topRow_) * rowPitch();
  }
  const int left = colLeft(col);
  return {left, top, left + colWidth(col), top + options_.rowHeight};
}

void StringGrid::clampScroll() {
  const int scrollable = rowCount() - options_.fixedRows;
  const int maxTop = options_.fixedRows + std::max(scrollable - visibleRows(), 0);
  topRow_ = std::clamp(topRow_, options_.fixedRows, maxTop);
  RECT client{0, 0, bounds().width, bounds().height};
  if (handle()) GetClientRect(handle(), &client);
  scrollX_ = std::clamp(scrollX_, 0, std::max(totalWidth() - static_cast<int>(client.right), 0));
}

void StringGrid::updateScrollBars() {
  if (!handle()) return;
  const ScrollBars s = options_.scrollBars;
  if (s == ScrollBars::Vertical || s == ScrollBars::Both) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(rowCount() - options_.fixedRows - 1, 0);
    si.nPage = static_cast<UINT>(visibleRows());
    si.nPos = topRow_ - options_.fixedRows;
    SetScrollInfo(handle(), SB_VERT, &si, TRUE);
  }
  if (s == ScrollBars::Horizontal || s == ScrollBars::Both) {
    RECT client;
    GetClientRect(handle(), &client);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(totalWidth() - 1, 0);
    si.nPage = static_cast<UINT>(client.right);
    si.nPos = scrollX_;
    SetScrollInfo(handle(), SB_HORZ, &si, TRUE);
  }
}

void StringGrid::scrollIntoView(int row) {
  if (row < options_.fixedRows) return;
  if (row < topRow_) topRow_ = row;
  else if (row >= topRow_ + visibleRows()) topRow_ = row - visibleRows() + 1;
  clampScroll();
  updateScrollBars();
}

void StringGrid::select(int col, int row, bool byUser) {
  if (rowCount() <= options_.fixedRows) return;
  row = std::clamp(row, options_.fixedRows, rowCount() - 1);
  col = std::clamp(col, 0, std::max(colCount() - 1, 0));
  const bool changed = row != row_ || col != col_;
  row_ = row;
  col_ = col;
  scrollIntoView(row);
  invalidate();
  if (changed && byUser && onSelect) onSelect();
}

void StringGrid::scrollTo(int bar, int code, int thumb) {
  if (bar == SB_VERT) {
    int top = topRow_;
    switch (code) {
      case SB_LINEUP: --top; break;
      case SB_LINEDOWN: ++top; break;
      case SB_PAGEUP: top -= visibleRows(); break;
      case SB_PAGEDOWN: top += visibleRows(); break;
      case SB_THUMBTRACK: case SB_THUMBPOSITION: top = options_.fixedRows + thumb; break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = rowCount(); break;
      default: return;
    }
    setTopRow(top);
  } else {
    RECT client;
    GetClientRect(handle(), &client);
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
    clampScroll();
    updateScrollBars();
    invalidate();
  }
}

bool StringGrid::keyDown(WPARAM key) {
  int r = row_, c = col_;
  switch (key) {
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_PRIOR: r -= visibleRows(); break;
    case VK_NEXT: r += visibleRows(); break;
    case VK_HOME: r = options_.fixedRows; break;
    case VK_END: r = rowCount() - 1; break;
    case VK_LEFT: if (options_.rowSelect) return false; --c; break;
    case VK_RIGHT: if (options_.rowSelect) return false; ++c; break;
    default: return false;
  }
  select(c, r, true);
  return true;
}

void StringGrid::paint(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  FillSolid(dc, client, colour());
  const ScopedSelect font(dc, fontHandle());
  SetBkMode(dc, TRANSPARENT);
  const COLORREF lineColour = GetSysColor(COLOR_BTNFACE), fixedLine = GetSysColor(COLOR_BTNSHADOW);
  const bool hasFocus = GetFocus() == handle();

  auto paintRow = [&](int r, int top) {
    const bool fixed = r < options_.fixedRows;
    for (int c = 0; c < colCount(); ++c) {
      const int w = colWidth(c);
      if (w == 0) continue;
      const int left = colLeft(c);
      if (left >= client.right || left + w + line() <= 0) continue;
      RECT cellBox{left, top, left + w, top + options_.rowHeight};
      const bool selected = !fixed && r == row_ && (options_.rowSelect || c == col_);
      COLORREF back = colour(), text = fontColour();
      if (fixed) {
        back = options_.fixedColour;
      } else if (selected) {
        back = GetSysColor(COLOR_HIGHLIGHT);
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
      }
      FillSolid(dc, cellBox, back);
      if (fixed) {
        RECT edge = cellBox;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
      }
      if (line()) {
        const COLORREF lc = fixed ? fixedLine : lineColour;
        FillSolid(dc, {cellBox.right, top, cellBox.right + 1, cellBox.bottom + 1}, lc);
        FillSolid(dc, {left, cellBox.bottom, cellBox.right + 1, cellBox.bottom + 1}, lc);
      }
      SetTextColor(dc, text);
      RECT textBox{left + kTextInset, top + kTextInset, cellBox.right - 1, cellBox.bottom};
      const std::string& s = cells_[static_cast<size_t>(r)][static_cast<size_t>(c)];
      DrawTextA(dc, s.c_str(), -1, &textBox, DT_SINGLELINE | DT_NOPREFIX);
    }
    if (hasFocus && r == row_ && !fixed) {
      RECT focus = options_.rowSelect ? RECT{-scrollX_, top, totalWidth() - scrollX_ - line(), top + options_.rowHeight}
                                      : cellRect(col_, r);
      DrawFocusRect(dc, &focus);
    }
  };

  for (int r = 0; r < options_.fixedRows; ++r) paintRow(r, r * rowPitch());
  for (int r = topRow_, top = fixedHeight(); r < rowCount() && top < client.bottom; ++r, top += rowPitch())
    paintRow(r, top);
}

LRESULT StringGrid::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const PaintDC dc(handle());
      RECT client;
      GetClientRect(handle(), &client);
      const BufferedPaint buffer(dc.get(), client);
      paint(buffer.dc());
      buffer.blit();
      return 0;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_SIZE:
      clampScroll();
      updateScrollBars();
      invalidate();
      break;
    case WM_SETFOCUS: case WM_KILLFOCUS:
      invalidate();
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (keyDown(wp)) return 0;
      break;
    case WM_VSCROLL: case WM_HSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
      GetScrollInfo(handle(), bar, &si);
      scrollTo(bar, LOWORD(wp), si.nTrackPos);
      return 0;
    }
    case WM_MOUSEWHEEL:
      setTopRow(topRow_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * kWheelRows);
      return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      SetFocus(handle());
      const int r = rowAt(GET_Y_LPARAM(lp)), c = colAt(GET_X_LPARAM(lp));
      if (r >= options_.fixedRows && (c >= 0 || options_.rowSelect)) select(c >= 0 ? c : col_, r, true);
      tracking_ = true;
      SetCapture(handle());
      break;  // the handlers run below
    }
    case WM_MOUSEMOVE:
      if (tracking_) {
        // Dragging with the button down moves the selection along.
        const int r = rowAt(GET_Y_LPARAM(lp)), c = colAt(GET_X_LPARAM(lp));
        if (r >= options_.fixedRows) select(c >= 0 ? c : col_, r, true);
      }
      break;
    case WM_LBUTTONUP:
      tracking_ = false;
      if (GetCapture() == handle()) ReleaseCapture();
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
