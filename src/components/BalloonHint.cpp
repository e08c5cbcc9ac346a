#include "components/BalloonHint.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>

namespace redoviri {

using widgets::MemoryDC;
using widgets::Scaler;
using widgets::OwnedBitmap;
using widgets::OwnedBrush;
using widgets::OwnedFont;
using widgets::OwnedRegion;
using widgets::ScopedDCState;
using widgets::ScopedSelect;
using widgets::WindowDC;

namespace {

constexpr widgets::WindowClass kBalloonClass{"RedoviriBalloon", CS_SAVEBITS};

// Pixels of a 96-DPI screen.
constexpr int kCornerEllipse = 18;  // width and height of the round corners
constexpr int kTextInset = 9;       // body edge to text
constexpr int kTailWidth = 15;      // room left of (or right of) the body for the tail
constexpr int kTailHeight = 19;     // room above (or below) the body for the tail
constexpr int kTailNear = 21;       // tip to the tail's base points, across
constexpr int kTailFar = 41;
constexpr int kTailRiseAbove = 20;  // tip to the base, up from a tip below the body
constexpr int kTailDropBelow = 19;  // tip to the base, down from a tip above the body
constexpr int kExtraWidth = 33;     // window width beyond the text and the shadow
constexpr int kExtraHeight = 38;    // window height beyond the text and the shadow
constexpr int kMinWidth = 59;
constexpr int kFrameWidth = 1;      // the outline, and the solid shadow's
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX;
// Destination AND pattern.
constexpr DWORD kRopPatternAndDest = 0x00A000C9;

constexpr const char* kMetricsKey = "Control Panel\\Desktop\\WindowMetrics";
constexpr const char* kStatusFontValue = "StatusFont";
constexpr std::size_t kLogFont16Size = 50;

bool IsRight(TBalloonPosition p) { return (p & 1) != 0; }
bool IsBelow(TBalloonPosition p) { return (p & 2) != 0; }

SIZE ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

LOGFONTA DefaultHintFont(int dpi) { return widgets::Font::Points("MS Sans Serif", 8).LogFont(dpi); }

// 8 x 8 pixels, black where x + y is even: every other pixel of the shadow.
HBRUSH CheckerboardBrush() {
  static const OwnedBitmap bitmap = [] {
    // Rows of 16 bits, the leftmost pixel in the high bit; a 0 bit takes the
    // DC's text colour (black), a 1 bit its background colour (white).
    static constexpr WORD kRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    return OwnedBitmap(CreateBitmap(8, 8, 1, 1, kRows));
  }();
  static const OwnedBrush brush(CreatePatternBrush(bitmap.get()));
  return brush.get();
}

std::optional<std::vector<BYTE>> ReadStatusFontValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kMetricsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD size = 0;
  std::optional<std::vector<BYTE>> value;
  if (RegQueryValueExA(key, kStatusFontValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0) {
    std::vector<BYTE> bytes(size);
    if (RegQueryValueExA(key, kStatusFontValue, nullptr, nullptr, bytes.data(), &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      value = std::move(bytes);
    }
  }
  RegCloseKey(key);
  return value;
}

// The status-bar font of the window metrics, sized for dpi; the default
// hint font when the registry has none.
LOGFONTA SystemStatusFont(int dpi) {
  const auto value = ReadStatusFontValue();
  if (!value) return DefaultHintFont(dpi);
  LOGFONTA font = StatusFontFromValue(*value);
  font.lfHeight = MulDiv(dpi, -font.lfHeight, 72);
  return font;
}

// The DPI of the window under the cursor (the one the hint is for), else
// that of `fallback`.
int DpiAtCursor(POINT cursor, HWND fallback) {
  const HWND under = WindowFromPoint(cursor);
  return widgets::DpiOf(under ? under : fallback);
}

// Down as this thread has seen it, or down now (pressed over another
// program's window).
bool ButtonDown(int vk) { return GetKeyState(vk) < 0 || GetAsyncKeyState(vk) < 0; }

bool AnyMouseButtonDown() { return ButtonDown(VK_LBUTTON) || ButtonDown(VK_RBUTTON) || ButtonDown(VK_MBUTTON); }

const TBalloonBase* g_settings = nullptr;      // of the newest TBalloonHint
TBalloonWindow* g_watchingBalloon = nullptr;   // shown, with the hook on
HHOOK g_hook = nullptr;

}  // namespace

// ------------------------------------------------------------ settings

TBalloonBase::TBalloonBase() : color_(widgets::HintColour()) { SetMaxWidth(-4); }

void TBalloonBase::SetMaxWidth(int value) { maxWidth_ = std::min(value, static_cast<int>(ScreenSize().cx)); }

int TBalloonBase::EffectiveMaxWidth(int dpi) const {
  if (maxWidth_ >= 0) return widgets::Scale(maxWidth_, dpi);
  return static_cast<int>(ScreenSize().cx / -static_cast<long long>(maxWidth_));
}

void TBalloonBase::SetShadowDepth(int depth) {
  shadowDepth_ = static_cast<TShadowDepth>(std::clamp(depth, 0, static_cast<int>(kMaxShadowDepth)));
}

TBalloonHint::TBalloonHint(widgets::HintManager* hints) : hints_(hints) {
  g_settings = this;
  SetActive(true);
}

TBalloonHint::~TBalloonHint() {
  if (g_settings == this) g_settings = nullptr;
  SetActive(false);
}

void TBalloonHint::SetActive(bool value) {
  active_ = value;
  if (!hints_) return;
  // Hints off while the window changes, so none is left showing in the old
  // window; then the switch as it was.
  const bool wasEnabled = hints_->Enabled();
  hints_->SetEnabled(false);
  if (value) {
    hints_->SetWindow(std::make_unique<TBalloonHintWindow>());
  } else {
    hints_->SetWindow(nullptr);
  }
  hints_->SetEnabled(wasEnabled);
}

const TBalloonBase* TBalloonHint::Current() { return g_settings; }

// ------------------------------------------------------------ shape

BalloonLook LookOfStyle(const TBalloonBase& settings, int dpi) {
  if (dpi <= 0) dpi = widgets::ScreenDpi();
  BalloonLook look;
  switch (settings.Style()) {
    case hsCustom:
      look.font = settings.Font().LogFont(dpi);
      look.text = GetSysColor(COLOR_WINDOWTEXT);
      look.fill = settings.Color();
      look.frame = settings.BorderColor();
      break;
    case hsSystem:
      look.font = SystemStatusFont(dpi);
      look.text = GetSysColor(COLOR_INFOTEXT);
      look.fill = GetSysColor(COLOR_INFOBK);
      look.frame = GetSysColor(COLOR_WINDOWFRAME);
      break;
    case hsDefault:
    default:
      look.font = DefaultHintFont(dpi);
      look.text = GetSysColor(COLOR_WINDOWTEXT);
      look.fill = widgets::HintColour();
      look.frame = GetSysColor(COLOR_WINDOWFRAME);
      break;
  }
  return look;
}

LOGFONTA StatusFontFromValue(const std::vector<BYTE>& value) {
  LOGFONTA font{};
  if (value.size() == kLogFont16Size) {
    // The 16-bit LOGFONT: five little-endian 16-bit numbers, eight bytes,
    // a 32-byte face name.
    const auto int16At = [&](std::size_t at) {
      return static_cast<LONG>(static_cast<INT16>(value[at] | value[at + 1] << 8));
    };
    font.lfHeight = int16At(0);
    font.lfWidth = int16At(2);
    font.lfEscapement = int16At(4);
    font.lfOrientation = int16At(6);
    font.lfWeight = int16At(8);
    font.lfItalic = value[10];
    font.lfUnderline = value[11];
    font.lfStrikeOut = value[12];
    font.lfCharSet = value[13];
    font.lfOutPrecision = value[14];
    font.lfClipPrecision = value[15];
    font.lfQuality = value[16];
    font.lfPitchAndFamily = value[17];
    std::memcpy(font.lfFaceName, value.data() + 18, LF_FACESIZE);
  } else if (value.size() == sizeof(LOGFONTW)) {
    // Windows NT keeps the wide form.
    LOGFONTW wide;
    std::memcpy(&wide, value.data(), sizeof wide);
    std::memcpy(&font, &wide, offsetof(LOGFONTA, lfFaceName));
    wide.lfFaceName[LF_FACESIZE - 1] = L'\0';
    WideCharToMultiByte(CP_ACP, 0, wide.lfFaceName, -1, font.lfFaceName, LF_FACESIZE, nullptr, nullptr);
  } else {
    std::memcpy(&font, value.data(), std::min(value.size(), sizeof font));
  }
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return font;
}

int BalloonShadowOffset(int depth, int dpi) { return widgets::Scale(depth, dpi); }

int BalloonTextLimit(int cursorX, int screenWidth, int effectiveMaxWidth, int depth, int dpi) {
  const int room = std::max(screenWidth - cursorX, cursorX);
  return std::max(1, std::min(effectiveMaxWidth, room) - widgets::Scale(depth + kExtraWidth, dpi));
}

SIZE BalloonSizeForText(SIZE textSize, int depth, int dpi) {
  const Scaler s{dpi};
  return {std::max(textSize.cx + s(depth + kExtraWidth), static_cast<LONG>(s(kMinWidth))),
          textSize.cy + s(depth + kExtraHeight)};
}

BalloonGeometry GeometryOf(TBalloonPosition position, SIZE window, int depth, int dpi) {
  // Each edge is a 96-DPI distance from the window edge next to it, scaled
  // as one length, so every margin is the same at every scale.
  const Scaler s{dpi};
  const int w = window.cx, h = window.cy, d = depth;
  const bool right = IsRight(position), below = IsBelow(position);
  // From the left and top edges, and from the right and bottom edges.
  const int bodyLeft = right ? kTailWidth : 0, bodyTop = below ? kTailHeight : 0;
  const int bodyRight = right ? d : d + kTailWidth, bodyBottom = below ? d : d + kTailHeight;
  BalloonGeometry g;
  g.body = {s(bodyLeft), s(bodyTop), w - s(bodyRight), h - s(bodyBottom)};
  g.text = {s(bodyLeft + kTextInset), s(bodyTop + kTextInset), w - s(bodyRight + kTextInset),
            h - s(bodyBottom + kTextInset)};

  // The tip, then the two base points on the body's edge nearest the cursor.
  const auto across = [&](int fromTip) { return right ? s(fromTip) : w - s(d + fromTip); };
  const int baseY = below ? s(kTailDropBelow) : h - s(d + kTailRiseAbove);
  g.tail = {POINT{across(0), below ? 0 : h - s(d)}, POINT{across(kTailNear), baseY}, POINT{across(kTailFar), baseY}};
  return g;
}

OwnedRegion BalloonRegion(const BalloonGeometry& g, TBalloonShape shape, int offset, int dpi) {
  RECT body = g.body;
  std::array<POINT, 3> tail = g.tail;
  if (offset >= 1) {
    OffsetRect(&body, offset, offset);
    for (POINT& p : tail) {
      p.x += offset;
      p.y += offset;
    }
  }
  const int corner = widgets::Scale(kCornerEllipse, dpi);
  OwnedRegion region(shape == bsRectangle
                         ? CreateRectRgnIndirect(&body)
                         : CreateRoundRectRgn(body.left, body.top, body.right, body.bottom, corner, corner));
  const OwnedRegion tailRegion(CreatePolygonRgn(tail.data(), static_cast<int>(tail.size()), ALTERNATE));
  CombineRgn(region.get(), region.get(), tailRegion.get(), RGN_OR);
  return region;
}

POINT PlaceAtCursor(TBalloonPosition position, POINT cursor, SIZE window) {
  switch (position) {
    case bpAboveLeft:
      return {cursor.x - window.cx, cursor.y - window.cy};
    case bpAboveRight:
      return {cursor.x, cursor.y - window.cy};
    case bpBelowLeft:
      return {cursor.x - window.cx, cursor.y};
    case bpBelowRight:
    default:
      return {cursor.x + 1, cursor.y + 1};
  }
}

TBalloonPosition FitOnScreen(TBalloonPosition position, POINT cursor, SIZE window, SIZE screen) {
  const POINT at = PlaceAtCursor(position, cursor, window);
  bool below = IsBelow(position), right = IsRight(position);
  if (at.y + window.cy > screen.cy) below = false;
  if (at.y < 0) below = true;
  if (at.x + window.cx > screen.cx) right = false;
  if (at.x < 0) right = true;
  return static_cast<TBalloonPosition>((right ? 1 : 0) + 2 * (below ? 1 : 0));
}

// ------------------------------------------------------------ window

TBalloonWindow::TBalloonWindow(const TBalloonBase* settings) {
  static const TBalloonBase defaults;
  settings_ = settings ? settings : TBalloonHint::Current();
  if (!settings_) settings_ = &defaults;
  position_ = settings_->Position();
  dpi_ = widgets::ScreenDpi();
  ApplyStyle();
  // Over the controls it speaks of, it takes none of their clicks.
  Create(kBalloonClass,
         {.style = WS_POPUP | WS_DISABLED, .exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW, .mouseThrough = true});
  if (const int dpi = widgets::DpiOf(Handle()); dpi != dpi_) SetDpi(dpi);
}

TBalloonWindow::~TBalloonWindow() {
  if (g_watchingBalloon == this) {
    g_watchingBalloon = nullptr;
    RemoveHook();
  }
}

HWND TBalloonWindow::CurrentBalloon() { return g_watchingBalloon ? g_watchingBalloon->Handle() : nullptr; }

void TBalloonWindow::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TBalloonWindow::ApplyStyle() {
  look_ = LookOfStyle(*settings_, dpi_);
  font_.reset(CreateFontIndirectA(&look_.font));
}

SIZE TBalloonWindow::Size() const {
  RECT r;
  GetWindowRect(Handle(), &r);
  return {r.right - r.left, r.bottom - r.top};
}

void TBalloonWindow::Resize() {
  const int depth = settings_->ShadowDepth();
  RECT text{0, 0,
            BalloonTextLimit(cursor_.x, ScreenSize().cx, settings_->EffectiveMaxWidth(dpi_), depth, dpi_), 0};
  {
    const WindowDC dc(Handle());
    const ScopedSelect font(dc.get(), font_.get());
    DrawTextA(dc.get(), text_.c_str(), -1, &text, DT_CALCRECT | kTextFormat);
  }
  const SIZE size = BalloonSizeForText({text.right, text.bottom}, depth, dpi_);
  SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TBalloonWindow::SetText(const std::string& text) { SetWindowTextA(Handle(), text.c_str()); }

void TBalloonWindow::CaptureBackground(POINT at, SIZE size) {
  const WindowDC screen;
  background_.reset(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
  const MemoryDC dc(screen.get());
  const ScopedSelect select(dc.get(), background_.get());
  BitBlt(dc.get(), 0, 0, size.cx, size.cy, screen.get(), at.x, at.y, SRCCOPY);
}

void TBalloonWindow::Paint(HDC dc) const {
  const SIZE size = Size();
  const int depth = settings_->ShadowDepth();
  const int offset = BalloonShadowOffset(depth, dpi_);
  const int line = widgets::Scale(kFrameWidth, dpi_);
  const TBalloonShape shape = settings_->Shape();
  const BalloonGeometry g = GeometryOf(position_, size, depth, dpi_);
  const OwnedRegion balloon = BalloonRegion(g, shape, 0, dpi_);
  const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));

  if (depth > 0) {
    const OwnedRegion shadow = BalloonRegion(g, shape, offset, dpi_);
    if (settings_->ShadowStyle() == ssSolid) {
      FillRgn(dc, shadow.get(), black);
      FrameRgn(dc, shadow.get(), black, line, line);
    } else {
      // Every other pixel of the balloon and its shadow turns black; the
      // balloon itself is painted over next.
      const OwnedRegion area(CreateRectRgn(0, 0, 0, 0));
      CombineRgn(area.get(), balloon.get(), shadow.get(), RGN_OR);
      const ScopedDCState state(dc);
      SelectClipRgn(dc, area.get());
      SetTextColor(dc, widgets::colours::Black);
      SetBkColor(dc, widgets::colours::White);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      const ScopedSelect brush(dc, CheckerboardBrush());
      PatBlt(dc, 0, 0, size.cx, size.cy, kRopPatternAndDest);
    }
  }

  const OwnedBrush fill(CreateSolidBrush(look_.fill));
  const OwnedBrush frame(CreateSolidBrush(look_.frame));
  FillRgn(dc, balloon.get(), fill.get());
  FrameRgn(dc, balloon.get(), frame.get(), line, line);

  const ScopedDCState state(dc);
  const ScopedSelect font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, look_.text);
  RECT text = g.text;
  DrawTextA(dc, text_.c_str(), -1, &text, kTextFormat);
}

void TBalloonWindow::OnPaint() {
  const widgets::PaintDC target(Handle());
  const SIZE size = Size();
  const MemoryDC buffer(target.get());
  const OwnedBitmap bitmap(CreateCompatibleBitmap(target.get(), size.cx, size.cy));
  const ScopedSelect selectBuffer(buffer.get(), bitmap.get());
  // The balloon is drawn over what lies behind the window.
  if (background_) {
    const MemoryDC behind(target.get());
    const ScopedSelect selectBehind(behind.get(), background_.get());
    BitBlt(buffer.get(), 0, 0, size.cx, size.cy, behind.get(), 0, 0, SRCCOPY);
  } else {
    BitBlt(buffer.get(), 0, 0, size.cx, size.cy, target.get(), 0, 0, SRCCOPY);
  }
  Paint(buffer.get());
  BitBlt(target.get(), 0, 0, size.cx, size.cy, buffer.get(), 0, 0, SRCCOPY);
}

void TBalloonWindow::InstallHook() {
  if (!g_hook) g_hook = SetWindowsHookExA(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId());
}

void TBalloonWindow::RemoveHook() {
  if (g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}

LRESULT CALLBACK TBalloonWindow::GetMessageHook(int code, WPARAM wp, LPARAM lp) {
  // Passed on first: watching may take the hook away.
  const LRESULT result = CallNextHookEx(g_hook, code, wp, lp);
  if (code == HC_ACTION && g_watchingBalloon) {
    const auto watch = [lp] {
      if (g_watchingBalloon) g_watchingBalloon->WatchMessage(*reinterpret_cast<const MSG*>(lp));
      return LRESULT{0};
    };
    widgets::Guarded(watch, [] { return LRESULT{0}; });
  }
  return result;
}

void TBalloonWindow::WatchMessage(const MSG& msg) {
  switch (msg.message) {
    case WM_PAINT: {
      if (msg.hwnd == Handle() || !settings_->Behavior().Has(bbHideOnPaint)) break;
      // A window repainting under the balloon would paint over it.
      RECT update;
      if (!GetUpdateRect(msg.hwnd, &update, FALSE)) break;
      MapWindowPoints(msg.hwnd, nullptr, reinterpret_cast<POINT*>(&update), 2);
      RECT mine, both;
      GetWindowRect(Handle(), &mine);
      if (IntersectRect(&both, &update, &mine)) CancelHint();
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      CancelHint();
      break;
    default:
      break;
  }
}

LRESULT TBalloonWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETTEXT: {
      const LRESULT result = DefaultProc(msg, wp, lp);
      text_ = lp ? reinterpret_cast<const char*>(lp) : "";
      Resize();
      return result;
    }
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DPICHANGED:
      SetDpi(LOWORD(wp));
      return 0;
    case WM_NCPAINT:
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SHOWWINDOW:
      if (!wp && g_watchingBalloon == this) {
        g_watchingBalloon = nullptr;
        RemoveHook();
      }
      return DefaultProc(msg, wp, lp);
    default:
      return DefaultProc(msg, wp, lp);
  }
}

void TBalloonHintWindow::Show(const std::string& text, POINT cursor) {
  const TBalloonBase& settings = Settings();
  if (settings.Behavior().Has(bbNoShowMouseDown) && AnyMouseButtonDown()) {
    CancelHint();
    return;
  }
  cursor_ = cursor;
  dpi_ = DpiAtCursor(cursor, Handle());
  SetText(text);
  ApplyStyle();
  Resize();
  Place();
}

void TBalloonWindow::SetDpi(int dpi) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  ApplyStyle();
  Resize();
  if (!IsWindowVisible(Handle())) return;
  // Hidden first, so that what is kept of the background is not the balloon.
  Hide();
  Place();
}

void TBalloonWindow::Place() {
  const TBalloonBase& settings = Settings();
  const SIZE size = Size();
  const TBalloonPosition wanted = settings.Position();
  position_ = FitOnScreen(wanted, cursor_, size, ScreenSize());
  const POINT at = PlaceAtCursor(position_, cursor_, size);

  CaptureBackground(at, size);
  SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_SHOWWINDOW);

  const int depth = settings.ShadowDepth();
  if (!settings.Behavior().Has(bbUseRegions)) {
    InstallHook();
    SetWindowRgn(Handle(), nullptr, TRUE);
    g_watchingBalloon = this;
  } else {
    if (g_watchingBalloon == this) {
      g_watchingBalloon = nullptr;
      RemoveHook();
    }
    const BalloonGeometry g = GeometryOf(position_, size, depth, dpi_);
    const OwnedRegion balloon = BalloonRegion(g, settings.Shape(), 0, dpi_);
    const OwnedRegion shadow = BalloonRegion(g, settings.Shape(), BalloonShadowOffset(depth, dpi_), dpi_);
    // The system owns the window's region once it has taken it.
    const HRGN outline = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(outline, balloon.get(), depth > 0 ? shadow.get() : balloon.get(), RGN_OR);
    if (!SetWindowRgn(Handle(), outline, TRUE)) DeleteObject(outline);
  }
  // Shown again while visible, it must draw the new text.
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

}  // namespace redoviri
