// Small Win32 helpers for the tray icon tests: solid-colour icons and
// hidden top-level windows.
#pragma once

#include <windows.h>

#include <memory>

#include "support/win32_test_support.h"

namespace redoviri::test {

using Icon = widgets::OwnedIcon;

// A 16 x 16 icon of one colour.
inline Icon SolidIcon(COLORREF colour) {
  constexpr int kSize = 16;
  HDC screen = GetDC(nullptr);
  HBITMAP colourBits = CreateCompatibleBitmap(screen, kSize, kSize);
  HBITMAP maskBits = CreateBitmap(kSize, kSize, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  const RECT all{0, 0, kSize, kSize};
  HGDIOBJ old = SelectObject(dc, colourBits);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, maskBits);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // all opaque
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info{TRUE, 0, 0, maskBits, colourBits};
  Icon icon(CreateIconIndirect(&info));
  DeleteObject(colourBits);
  DeleteObject(maskBits);
  return icon;
}

// The colour an icon shows in its middle, drawn on white.
inline COLORREF CentreColour(HICON icon) {
  constexpr int kSize = 16;
  return IconPixels(icon, kSize)[kSize / 2 * kSize + kSize / 2];
}

struct WindowDeleter {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// A top-level window of the system "STATIC" class, visible or not. It lies
// off the screen: Wine then leaves it out of X, where hiding a shown window
// waits for a window manager that the test display does not have.
inline Window TopLevelWindow(bool visible) {
  return Window(CreateWindowExA(0, "STATIC", "tray test", WS_POPUP | (visible ? WS_VISIBLE : 0), -30000,
                                -30000, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
}

}  // namespace redoviri::test
