#pragma once

// The windows are laid out in pixels of a 96-DPI screen. On a screen of
// another resolution every position, size and font height of that layout
// goes through one scale, the window's DPI over 96.

#include <windows.h>

namespace redoviri::widgets {

inline constexpr int kLayoutDpi = 96;

// A layout length at dpi, rounded as MulDiv rounds (half away from zero).
inline int Scale(int v, int dpi) { return dpi == kLayoutDpi ? v : MulDiv(v, dpi, kLayoutDpi); }
// A length at dpi back in layout pixels.
inline int Unscale(int v, int dpi) { return dpi == kLayoutDpi ? v : MulDiv(v, kLayoutDpi, dpi); }

// A layout rectangle at dpi: its edges scaled, so that rectangles that touch
// at 96 DPI touch at every scale.
inline RECT Scale(const RECT& r, int dpi) {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi), Scale(r.bottom, dpi)};
}
inline POINT Unscale(POINT p, int dpi) { return {Unscale(p.x, dpi), Unscale(p.y, dpi)}; }

// The scale of one window, for the code that draws it.
struct Scaler {
  int dpi = kLayoutDpi;
  int operator()(int v) const { return Scale(v, dpi); }
  RECT operator()(const RECT& r) const { return Scale(r, dpi); }
};

// The DPI a window is drawn at (GetDpiForWindow where the system has it,
// else the screen's LOGPIXELSY).
int DpiOf(HWND window);

// The size of a system metric at dpi (GetSystemMetricsForDpi where the
// system has it, else the metric scaled from the screen's DPI).
int SystemMetricAt(int index, int dpi);

// The window rectangle around a client rectangle at dpi (the frame's
// metrics of that DPI where the system has them).
void AdjustWindowRectAt(RECT& r, DWORD style, DWORD exStyle, int dpi);

// Asks to be told each monitor's DPI and to draw at it (per-monitor v2,
// else per-monitor, else system-aware). The manifest asks the same; this
// is for programs started without it. A refusal changes nothing.
void BecomeDpiAware();

}  // namespace redoviri::widgets
