// Animated showing and hiding of a window: a hollow frame of one colour
// grows in ten accelerating steps from a small rectangle (by default the
// centre of the screen) to the window's rectangle, and only then does the
// window itself appear; in reverse the frame shrinks from the window back
// to the small rectangle while the window has already gone.
//
// The owning window's show handler sets Reverse(false) and calls Execute;
// its hide handler sets Reverse(true) and calls Execute. While the frame
// runs the window keeps an empty outline (its window region), so it cannot
// be seen; the last step gives the outline back.
//
//   TSmoothShow SmoothShow1{form.Handle()};
//   SmoothShow1.SetColor(colours::Lime);
//   SmoothShow1.OnFinish = [this](TSmoothShow&) { SmoothShow1Finish(); };
//
// The border width and the custom rectangles are pixels of a 96-DPI
// screen, scaled to the DPI of the window animated.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "widgets/dpi.h"
#include "widgets/gdi.h"
#include "widgets/window.h"

namespace redoviri {

enum TMinLoc { mlCenter, mlTopLeft, mlTopRight, mlBottomLeft, mlBottomRight, mlCustom };
enum TMaxLoc { xlDefault, xlCustom };

// A rectangle as left, top, width, height.
struct SmoothRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const SmoothRect&, const SmoothRect&) = default;
};

// The step after p percent: 0, 2, 5, 9, 15, 24, 38, 59, 90, 100.
constexpr int NextSmoothStep(int p) { return p * 3 / 2 + 2 < 100 ? p * 3 / 2 + 2 : 100; }

// The rectangle at p percent of the way from start to end (truncating).
constexpr SmoothRect SmoothRectAt(const SmoothRect& start, const SmoothRect& end, int p) {
  return {start.left + (end.left - start.left) * p / 100, start.top + (end.top - start.top) * p / 100,
          start.width + (end.width - start.width) * p / 100, start.height + (end.height - start.height) * p / 100};
}

// The frame's outline within a window of that size: the whole window less
// the inside inset by `border` on each side; the whole window when the
// border leaves no inside.
widgets::OwnedRegion HollowFrameRegion(int width, int height, int border);

class TSmoothShow {
 public:
  using NotifyEvent = std::function<void(TSmoothShow& sender)>;

  // control: the window animated (its owner), or null.
  explicit TSmoothShow(HWND control = nullptr);
  ~TSmoothShow();
  TSmoothShow(const TSmoothShow&) = delete;
  TSmoothShow& operator=(const TSmoothShow&) = delete;

  COLORREF Color() const { return color_; }
  void SetColor(COLORREF c) { color_ = c; }
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w) { borderWidth_ = w < 0 ? 0 : w; }
  std::uint16_t Delay() const { return delay_; }
  void SetDelay(std::uint16_t ms) { delay_ = ms; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  TMinLoc MinLocation() const { return minLocation_; }
  void SetMinLocation(TMinLoc l) { minLocation_ = l; }
  int MinLeft() const { return minLeft_; }
  void SetMinLeft(int v) { minLeft_ = v; }
  int MinTop() const { return minTop_; }
  void SetMinTop(int v) { minTop_ = v; }
  std::uint16_t MinWidth() const { return minWidth_; }
  void SetMinWidth(std::uint16_t v) { minWidth_ = v; }
  std::uint16_t MinHeight() const { return minHeight_; }
  void SetMinHeight(std::uint16_t v) { minHeight_ = v; }
  TMaxLoc MaxLocation() const { return maxLocation_; }
  void SetMaxLocation(TMaxLoc l) { maxLocation_ = l; }
  int MaxLeft() const { return maxLeft_; }
  void SetMaxLeft(int v) { maxLeft_ = v; }
  int MaxTop() const { return maxTop_; }
  void SetMaxTop(int v) { maxTop_ = v; }
  std::uint16_t MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(std::uint16_t v) { maxWidth_ = v; }
  std::uint16_t MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(std::uint16_t v) { maxHeight_ = v; }
  bool Reverse() const { return reverse_; }
  void SetReverse(bool on) { reverse_ = on; }
  // The window animated; null once that window is destroyed.
  HWND Control() const;
  // Ignored while animating or when unchanged.
  void SetControl(HWND control);

  // Fired at the last step, before the frame goes.
  NotifyEvent OnFinishing;
  // Fired once the window has its outline back.
  NotifyEvent OnFinish;

  // The small and the large rectangle, in screen coordinates at Dpi().
  SmoothRect MinRect() const;
  SmoothRect MaxRect() const;
  // The DPI of the window animated (the screen's without one).
  int Dpi() const;
  // The frame's border in pixels at Dpi().
  int BorderPixels() const { return widgets::Scale(borderWidth_, Dpi()); }

  // Runs the animation; does nothing while one runs, without a window or
  // when not enabled.
  void Execute();
  bool Animating() const { return animating_; }
  // The percentage the next step draws.
  int Percent() const { return p_; }
  // The frame window while animating, else null.
  HWND FrameWindow() const;

  // One step now, as the timer does (for tests that do not wait).
  void Step();

 private:
  class Frame;
  void Finish();

  COLORREF color_ = RGB(0, 0, 0);
  int borderWidth_ = 1;
  std::uint16_t delay_ = 50;
  bool enabled_ = true;
  TMinLoc minLocation_ = mlCenter;
  int minLeft_ = 0, minTop_ = 0;
  std::uint16_t minWidth_ = 27, minHeight_ = 27;
  TMaxLoc maxLocation_ = xlDefault;
  int maxLeft_ = 100, maxTop_ = 100;
  std::uint16_t maxWidth_ = 127, maxHeight_ = 127;
  bool reverse_ = false;
  HWND control_ = nullptr;

  bool animating_ = false;
  int p_ = 0;
  SmoothRect start_, end_;
  int border_ = 1;  // in pixels, while animating
  std::unique_ptr<Frame> frame_;
  // The control's outline before the animation: none, or its region.
  bool hadRegion_ = false;
  RECT placed_{};  // the window's rectangle when a show began
  widgets::OwnedRegion savedRegion_;
  HWND animated_ = nullptr;  // the control while animating
};

}  // namespace redoviri
