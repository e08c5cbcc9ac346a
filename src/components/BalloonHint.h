// TBalloonHint: every hint of the program drawn as a speech balloon.
//
// While Active, the component puts a TBalloonHintWindow into the program's
// hint manager, so the hint of any widget of any form appears in a balloon:
// a rectangle or rounded rectangle with a triangular tail whose tip points
// at the mouse cursor, a drop shadow, on the side of the cursor that keeps
// it on the screen. When and what is shown stays with the hint manager.
//
// The balloon windows read the settings of the most recently created
// TBalloonHint. Everything runs on the user-interface thread.
//
// Sizes are pixels of a 96-DPI screen: a balloon is drawn at the DPI of the
// window under the cursor it shows for (the tail, margins, round corners,
// shadow and fonts all scaled by it).
#pragma once

#include <windows.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "widgets/dpi.h"
#include "widgets/font.h"
#include "widgets/gdi.h"
#include "widgets/hint.h"
#include "widgets/window.h"

namespace redoviri {

enum TBalloonShape : unsigned char { bsRoundRect, bsRectangle };
enum TBalloonShadowStyle : unsigned char { ssShaded, ssSolid };
// Bit 0: right of the cursor; bit 1: below it.
enum TBalloonPosition : unsigned char { bpAboveLeft, bpAboveRight, bpBelowLeft, bpBelowRight };
enum TBalloonBehavior : unsigned char { bbNoShowMouseDown, bbUseRegions, bbHideOnPaint };
enum THintStyle : unsigned char { hsDefault, hsCustom, hsSystem };
using TShadowDepth = unsigned char;  // 0..16 pixels

inline constexpr TShadowDepth kMaxShadowDepth = 16;

// A set of TBalloonBehavior, one bit each.
class TBalloonBehaviors {
 public:
  constexpr TBalloonBehaviors() = default;
  constexpr TBalloonBehaviors(std::initializer_list<TBalloonBehavior> items) {
    for (const TBalloonBehavior b : items) bits_ |= Bit(b);
  }
  constexpr bool Has(TBalloonBehavior b) const { return (bits_ & Bit(b)) != 0; }
  constexpr unsigned Bits() const { return bits_; }
  friend constexpr bool operator==(TBalloonBehaviors, TBalloonBehaviors) = default;

 private:
  static constexpr unsigned Bit(TBalloonBehavior b) { return 1u << b; }
  unsigned bits_ = 0;
};

// The settings of the balloons. BorderColor, Color and Font count only
// with Style hsCustom.
class TBalloonBase {
 public:
  TBalloonBase();

  COLORREF BorderColor() const { return borderColor_; }
  void SetBorderColor(COLORREF c) { borderColor_ = c; }
  // Fill colour [the application's hint colour].
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF c) { color_ = c; }
  const widgets::Font& Font() const { return font_; }
  void SetFont(const widgets::Font& f) { font_ = f; }

  // Widest balloon in pixels when >= 0; a negative value -n allows the
  // n-th part of the screen's width [-4]. Values above the screen's width
  // are stored as the screen's width.
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value);
  // In pixels at dpi: a width in pixels is scaled, a part of the screen is not.
  int EffectiveMaxWidth(int dpi = widgets::kLayoutDpi) const;

  TBalloonBehaviors Behavior() const { return behavior_; }
  void SetBehavior(TBalloonBehaviors b) { behavior_ = b; }
  // Where the balloon goes first; it moves to another side of the cursor
  // when it would leave the screen [bpAboveRight].
  TBalloonPosition Position() const { return position_; }
  void SetPosition(TBalloonPosition p) { position_ = p; }
  // Pixels [8]; values above kMaxShadowDepth are stored as kMaxShadowDepth.
  TShadowDepth ShadowDepth() const { return shadowDepth_; }
  void SetShadowDepth(int depth);
  TBalloonShadowStyle ShadowStyle() const { return shadowStyle_; }
  void SetShadowStyle(TBalloonShadowStyle s) { shadowStyle_ = s; }
  TBalloonShape Shape() const { return shape_; }
  void SetShape(TBalloonShape s) { shape_ = s; }
  THintStyle Style() const { return style_; }
  void SetStyle(THintStyle s) { style_ = s; }

 private:
  COLORREF borderColor_ = widgets::colours::Black;
  COLORREF color_;
  widgets::Font font_;
  int maxWidth_ = 0;
  TBalloonBehaviors behavior_{bbNoShowMouseDown, bbUseRegions, bbHideOnPaint};
  TBalloonPosition position_ = bpAboveRight;
  TShadowDepth shadowDepth_ = 8;
  TBalloonShadowStyle shadowStyle_ = ssShaded;
  TBalloonShape shape_ = bsRoundRect;
  THintStyle style_ = hsDefault;
};

class TBalloonHint : public TBalloonBase {
 public:
  // hints: the program's hint manager (null: none); it must outlive the
  // component. Starts active, and its settings become the balloons'.
  explicit TBalloonHint(widgets::HintManager* hints);
  ~TBalloonHint();
  TBalloonHint(const TBalloonHint&) = delete;
  TBalloonHint& operator=(const TBalloonHint&) = delete;

  // True: the hint manager shows its hints in balloons; false: in the
  // standard hint window.
  bool Active() const { return active_; }
  void SetActive(bool value);

  // The settings the balloon windows read: those of the newest
  // TBalloonHint, or null when there is none.
  static const TBalloonBase* Current();

 private:
  widgets::HintManager* hints_;
  bool active_ = false;
};

// ------------------------------------------------ the balloon's shape

// What a balloon looks like with a style: its font (sized for dpi; 0 is
// the screen's), text, fill and frame colours.
struct BalloonLook {
  LOGFONTA font{};
  COLORREF text = 0, fill = 0, frame = 0;
};
BalloonLook LookOfStyle(const TBalloonBase& settings, int dpi = 0);

// The status-bar font as the registry stores it: a 50-byte 16-bit LOGFONT,
// a LOGFONTW, or a LOGFONTA. The height is the stored one.
LOGFONTA StatusFontFromValue(const std::vector<BYTE>& value);

// The shapes below take the shadow depth in 96-DPI pixels and give pixels
// at dpi; the sizes and positions they take are pixels at dpi.

// Window size for a text measured at textSize, with a shadow depth.
SIZE BalloonSizeForText(SIZE textSize, int depth, int dpi = widgets::kLayoutDpi);
// Width within which the text of a balloon wraps, for a cursor at x.
int BalloonTextLimit(int cursorX, int screenWidth, int effectiveMaxWidth, int depth,
                     int dpi = widgets::kLayoutDpi);

struct BalloonGeometry {
  RECT body{};                  // the rectangle holding the text
  std::array<POINT, 3> tail{};  // tip first
  RECT text{};                  // where the text is drawn
};
// Every edge and point lies a scaled 96-DPI distance from the window edge
// nearest to it.
BalloonGeometry GeometryOf(TBalloonPosition position, SIZE window, int depth, int dpi = widgets::kLayoutDpi);
// The balloon outline moved by (offset, offset) pixels: body and tail
// united, the round corners sized for dpi.
widgets::OwnedRegion BalloonRegion(const BalloonGeometry& g, TBalloonShape shape, int offset,
                                   int dpi = widgets::kLayoutDpi);
// The shadow's offset in pixels at dpi.
int BalloonShadowOffset(int depth, int dpi);

// Top-left corner of a window of a size placed at the cursor.
POINT PlaceAtCursor(TBalloonPosition position, POINT cursor, SIZE window);
// The position to use instead, so the window stays on a screen of a size.
TBalloonPosition FitOnScreen(TBalloonPosition position, POINT cursor, SIZE window, SIZE screen);

// ------------------------------------------------ the windows

// A popup that draws a balloon for its window text.
class TBalloonWindow : public widgets::HintWindow, protected widgets::MessageWindow {
 public:
  void Hide() override;

  using widgets::MessageWindow::Handle;
  TBalloonPosition Position() const { return position_; }
  COLORREF FillColor() const { return look_.fill; }
  COLORREF FrameColor() const { return look_.frame; }
  const LOGFONTA& FontSpec() const { return look_.font; }

  // Draws the balloon over what the DC holds (the background).
  void Paint(HDC dc) const;

  // The DPI the balloon is laid out at: that of the window under the
  // cursor when it was last shown.
  int Dpi() const { return dpi_; }
  // Lays the balloon out again at another DPI (WM_DPICHANGED): font, size
  // and, when shown, place and outline.
  void SetDpi(int dpi);

  // The balloon window on screen that watches messages, or null.
  static HWND CurrentBalloon();

 protected:
  // settings: null reads TBalloonHint::Current() (or the defaults when
  // there is no TBalloonHint).
  explicit TBalloonWindow(const TBalloonBase* settings);
  ~TBalloonWindow() override;

  const TBalloonBase& Settings() const { return *settings_; }
  void ApplyStyle();
  // Fits the window to its text for a cursor.
  void Resize();
  void SetText(const std::string& text);
  SIZE Size() const;
  void CaptureBackground(POINT at, SIZE size);
  void InstallHook();
  static void RemoveHook();

  // Places the window at the cursor and gives it its outline.
  void Place();

  TBalloonPosition position_;
  POINT cursor_{};
  int dpi_ = widgets::kLayoutDpi;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  static LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp);
  void WatchMessage(const MSG& msg);
  void OnPaint();

  const TBalloonBase* settings_;
  BalloonLook look_;
  widgets::OwnedFont font_;
  std::string text_;
  widgets::OwnedBitmap background_;  // what lay behind the window when shown
};

// The balloon that the hint manager shows.
class TBalloonHintWindow final : public TBalloonWindow {
 public:
  explicit TBalloonHintWindow(const TBalloonBase* settings = nullptr) : TBalloonWindow(settings) {}

  // Shows the balloon with its tail at the cursor, unless a mouse button is
  // down and the settings say not to.
  void Show(const std::string& text, POINT cursor) override;
};

}  // namespace redoviri
