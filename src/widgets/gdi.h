// Owned GDI objects and scoped device-context state.
//
// Paint code never pairs SelectObject/DeleteObject or GetDC/ReleaseDC by
// hand: every handle and every selection lives in one of these and is given
// back when the scope ends.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace redoviri::widgets {

// Colours as the window system's 0x00BBGGRR values.
namespace colours {
inline constexpr COLORREF Black = RGB(0, 0, 0);
inline constexpr COLORREF White = RGB(255, 255, 255);
inline constexpr COLORREF Silver = RGB(192, 192, 192);
inline constexpr COLORREF Gray = RGB(128, 128, 128);
inline constexpr COLORREF Red = RGB(255, 0, 0);
inline constexpr COLORREF Navy = RGB(0, 0, 128);
inline constexpr COLORREF Green = RGB(0, 128, 0);
inline constexpr COLORREF Lime = RGB(0, 255, 0);
}  // namespace colours

// What the layer's owners hold at this moment: windows bound to their
// objects, GDI objects and icons, running timers. A long run that leaks
// nothing keeps them flat (the system's own counts are not available
// everywhere).
struct Holdings {
  long windows = 0;
  long gdiObjects = 0;
  long icons = 0;
  long timers = 0;
  friend bool operator==(const Holdings&, const Holdings&) = default;
};
inline Holdings& Held() {
  static Holdings held;
  return held;
}

struct GdiDeleter {
  static void Delete(HGDIOBJ h) { DeleteObject(h); }
  static long& Count() { return Held().gdiObjects; }
};
struct IconDeleter {
  static void Delete(HICON h) { DestroyIcon(h); }
  static long& Count() { return Held().icons; }
};

// A handle that is given back with its owner: a GDI object (HFONT,
// HBRUSH, HPEN, HBITMAP, HRGN) or an icon. Movable, not copyable.
template <class Handle, class Deleter = GdiDeleter>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle h) : h_(h) {
    if (h_) ++Deleter::Count();
  }
  GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset(Handle h = nullptr) {
    if (h_) {
      Deleter::Delete(h_);
      --Deleter::Count();
    }
    h_ = h;
    if (h_) ++Deleter::Count();
  }
  // Gives the object up (to the system, as a window region): not deleted.
  [[nodiscard]] Handle release() {
    if (h_) --Deleter::Count();
    return std::exchange(h_, nullptr);
  }

 private:
  Handle h_ = nullptr;
};

using OwnedFont = GdiObject<HFONT>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedPen = GdiObject<HPEN>;
using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedRegion = GdiObject<HRGN>;
// An icon that is destroyed with its owner.
using OwnedIcon = GdiObject<HICON, IconDeleter>;

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC/RestoreDC around a change of origin, clipping or text settings.
class ScopedDCState {
 public:
  explicit ScopedDCState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ScopedDCState(const ScopedDCState&) = delete;
  ScopedDCState& operator=(const ScopedDCState&) = delete;
  ~ScopedDCState() { RestoreDC(dc_, saved_); }

 private:
  HDC dc_;
  int saved_;
};

// GetDC/ReleaseDC; a null window gives the screen's DC.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd = nullptr) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() { ReleaseDC(hwnd_, dc_); }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint/EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  HDC get() const { return dc_; }
  const RECT& Area() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A memory DC compatible with another DC (or the screen).
class MemoryDC {
 public:
  explicit MemoryDC(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() { DeleteDC(dc_); }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// An off-screen bitmap for one area of a target DC: draw into Dc() with
// the target's coordinates, then Blit() copies the whole area in one step,
// so the screen never shows a half-painted state.
class BufferedPaint {
 public:
  BufferedPaint(HDC target, const RECT& area);
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;
  HDC Dc() const { return memory_.get(); }
  void Blit() const;

 private:
  HDC target_;
  RECT area_;
  MemoryDC memory_;
  OwnedBitmap bitmap_;
  ScopedSelect selected_;
};

// The paint messages of a window that draws its whole client area itself:
// WM_ERASEBKGND erases nothing (no flicker), WM_PAINT draws off-screen and
// shows the result in one step, WM_PRINTCLIENT draws into the DC it hands
// over. The message's result when it was one of them, else none.
std::optional<LRESULT> PaintSelfDrawn(HWND window, UINT msg, WPARAM wp,
                                      const std::function<void(HDC dc, const RECT& client)>& paint);

// Fills a rectangle with a solid colour without keeping a brush around.
void FillSolid(HDC dc, const RECT& r, COLORREF colour);
// A one-pixel frame of a solid colour just inside the rectangle.
void FrameSolid(HDC dc, const RECT& r, COLORREF colour);

}  // namespace redoviri::widgets
