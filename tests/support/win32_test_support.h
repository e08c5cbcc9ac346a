// Win32 helpers shared by the Windows test executables: a bounded message
// pump, and the pixels of bitmaps and icons.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "widgets/gdi.h"

namespace redoviri::test {

// Dispatches the messages waiting now.
inline void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Dispatches messages until done() holds or timeoutMs has passed; true if done.
// The default is generous: under Wine, hiding the active window can hold the
// program for a second or two, and a busy machine adds to it.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// The layout of 32-bit pixels, row by row from the top.
namespace detail {
inline BOOL CALLBACK CollectFrame(HWND w, LPARAM out) {
  const LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
  if (IsWindowVisible(w) && (ex & WS_EX_NOACTIVATE) && (ex & WS_EX_TOPMOST))
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
  return TRUE;
}
}  // namespace detail

// The frames of the running show and hide animations of this thread's
// windows (shown without activation, on top).
inline std::vector<HWND> AnimationFrames() {
  std::vector<HWND> frames;
  EnumThreadWindows(GetCurrentThreadId(), detail::CollectFrame, reinterpret_cast<LPARAM>(&frames));
  return frames;
}

// True when no animation runs any more (waiting for the running ones).
inline bool AnimationsOver() {
  return PumpUntil([] { return AnimationFrames().empty(); });
}

// The size of a window's client area.
inline SIZE ClientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

inline BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  return bi;
}

// The pixels of a bitmap, row by row from the top, as COLORREF values.
inline std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO bi = TopDown32(width, height);
  std::vector<DWORD> bits(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const widgets::WindowDC screen;
  GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), bits.data(), &bi, DIB_RGB_COLORS);
  std::vector<COLORREF> out;
  out.reserve(bits.size());
  for (const DWORD v : bits) out.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
  return out;
}

// The pixels of an icon drawn at size x size on white.
inline std::vector<COLORREF> IconPixels(HICON icon, int size) {
  const widgets::WindowDC screen;
  const widgets::MemoryDC dc;
  const widgets::OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
  {
    const widgets::ScopedSelect Select(dc.get(), bitmap.get());
    const RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  return BitmapPixels(bitmap.get(), size, size);
}

}  // namespace redoviri::test
