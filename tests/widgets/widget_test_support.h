// Helpers of the widget tests: rendering a form into a bitmap, reading its
// pixels, clicks.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "support/win32_test_support.h"
#include "widgets/widgets.h"

namespace redoviri::widgets::test {

using redoviri::test::PumpFor;
using redoviri::test::PumpPending;
using redoviri::test::PumpUntil;

// A top-left corner away from the middle of the screen, where the X
// pointer rests: real mouse messages must not disturb the tests.
inline FormDesc TestForm(int width, int height) {
  return {.caption = "widget test", .left = 8, .top = 8, .clientWidth = width, .clientHeight = height,
          .centered = false};
}

// The pixels of a window's whole tree as Container::render draws them.
class Snapshot {
 public:
  explicit Snapshot(Container& c) {
    RECT client;
    GetClientRect(c.Handle(), &client);
    width_ = client.right;
    height_ = client.bottom;
    const BITMAPINFO bi = redoviri::test::TopDown32(width_, height_);
    void* bits = nullptr;
    const MemoryDC dc;
    bitmap_.reset(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const ScopedSelect Select(dc.get(), bitmap_.get());
    c.Render(dc.get());
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels_.assign(p, p + static_cast<size_t>(width_) * static_cast<size_t>(height_));
  }

  COLORREF at(int x, int y) const {
    const DWORD v = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // Pixels of one colour inside a rectangle.
  int count(const RECT& r, COLORREF colour) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (at(x, y) == colour) ++n;
    return n;
  }

 private:
  OwnedBitmap bitmap_;
  int width_ = 0, height_ = 0;
  std::vector<DWORD> pixels_;
};

// Screen point of a point in a window's client area.
inline POINT ScreenPoint(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  return p;
}

inline LPARAM PointParam(POINT p) { return MAKELPARAM(p.x, p.y); }

// A left click at a client point of a window, as the mouse sends it.
inline void Click(HWND hwnd, int x, int y) {
  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace redoviri::widgets::test
