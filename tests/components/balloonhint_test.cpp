// Balloon hints: real popup windows on the test display, their regions,
// their pixels, and the program's hint manager showing through them.
#include "components/BalloonHint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/win32_test_support.h"
#include "widgets/widgets.h"

namespace redoviri {
namespace {

using test::PumpFor;
using test::PumpUntil;
using widgets::OwnedRegion;

const std::string kLongHint =
    "Click on a day to see its events, double click to edit them; the arrows change the month "
    "and the year, the moon marks new and full moon days of the month shown here.";

SIZE Screen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

RECT WindowRect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}
SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

// A mouse button seen as held by GetKeyState for the life of the object.
class HeldButton {
 public:
  explicit HeldButton(int vk) {
    GetKeyboardState(saved_);
    BYTE held[256];
    std::memcpy(held, saved_, sizeof held);
    held[vk] |= 0x80;
    SetKeyboardState(held);
  }
  ~HeldButton() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

class Balloon : public ::testing::Test {
 protected:
  Balloon() { settings.SetMaxWidth(-3); }
  // A balloon of the current settings, reporting its cancels.
  TBalloonHintWindow& Make() {
    window = std::make_unique<TBalloonHintWindow>(&settings);
    window->SetOnCancel([this] {
      ++cancels;
      window->Hide();
    });
    return *window;
  }
  TBalloonHintWindow& ShowAt(POINT cursor, const std::string& text = "Today is the marked day") {
    Make().Show(text, cursor);
    // Shown at once (or turned down); waits for its paint.
    EXPECT_TRUE(test::PumpUntil([this] {
      return !IsWindowVisible(window->Handle()) || GetUpdateRect(window->Handle(), nullptr, FALSE) == FALSE;
    }));
    return *window;
  }
  // The window region, in window coordinates.
  OwnedRegion Region() {
    OwnedRegion r(CreateRectRgn(0, 0, 0, 0));
    regionKind = GetWindowRgn(window->Handle(), r.get());
    return r;
  }

  TBalloonBase settings;
  std::unique_ptr<TBalloonHintWindow> window;
  int cancels = 0;
  int regionKind = 0;
};

TEST_F(Balloon, SettingsStartAsDesignedAndKeepToTheirRanges) {
  const TBalloonBase fresh;
  EXPECT_EQ(fresh.BorderColor(), RGB(0, 0, 0));
  EXPECT_EQ(fresh.Color(), GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(fresh.Font(), widgets::Font::Points("MS Sans Serif", 8));
  EXPECT_EQ(fresh.MaxWidth(), -4);
  EXPECT_EQ(fresh.EffectiveMaxWidth(), Screen().cx / 4);
  EXPECT_EQ(fresh.Behavior(), (TBalloonBehaviors{bbNoShowMouseDown, bbUseRegions, bbHideOnPaint}));
  EXPECT_EQ(fresh.Behavior().Bits(), 7u);
  EXPECT_EQ(fresh.Position(), bpAboveRight);
  EXPECT_EQ(fresh.ShadowDepth(), 8);
  EXPECT_EQ(fresh.ShadowStyle(), ssShaded);
  EXPECT_EQ(fresh.Shape(), bsRoundRect);
  EXPECT_EQ(fresh.Style(), hsDefault);

  settings.SetMaxWidth(100000);
  EXPECT_EQ(settings.MaxWidth(), Screen().cx);
  settings.SetMaxWidth(-3);
  EXPECT_EQ(settings.EffectiveMaxWidth(), Screen().cx / 3);  // 341 on 1024 pixels
  settings.SetShadowDepth(40);
  EXPECT_EQ(settings.ShadowDepth(), kMaxShadowDepth);
}

TEST_F(Balloon, SizeWrapsTheTextWithinTheWidthLimitAndNeverGoesBelowTheMinimum) {
  const int w = Screen().cx;
  struct Case {
    int maxWidth, cursorX;
    std::string text;
    int widest;  // 0: the one-line minimum
  } cases[] = {
      {-3, w / 2, "Hi", 0},
      {-3, w / 2, kLongHint, w / 3},
      {-3, w - 10, kLongHint, w / 3},
      {-1, w * 3 / 4, kLongHint, w * 3 / 4},  // room on the left side
      {-1, w / 4, kLongHint, w * 3 / 4},      // room on the right side
      {250, w / 2, kLongHint, 250},
  };
  int oneLine = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 10) + " max " + std::to_string(c.maxWidth) + " x " + std::to_string(c.cursorX));
    settings.SetMaxWidth(c.maxWidth);
    const SIZE size = SizeOf(WindowRect(ShowAt({c.cursorX, Screen().cy / 2}, c.text).Handle()));
    if (c.widest == 0) {
      EXPECT_EQ(size.cx, 59);
      oneLine = size.cy;
    } else {
      EXPECT_LE(size.cx, c.widest);
      EXPECT_GT(size.cx, c.widest - 60);  // lines fill the width
      EXPECT_GT(size.cy, oneLine);        // wrapped onto more lines
    }
  }
}

TEST_F(Balloon, StaysOnScreenAndPointsItsTailAtTheCursor) {
  const SIZE s = Screen();
  const int d = 8;
  struct Case {
    TBalloonPosition wanted;
    POINT cursor;
    TBalloonPosition got;
    POINT tipFromCursor;
  } cases[] = {
      {bpAboveRight, {s.cx / 2, s.cy / 2}, bpAboveRight, {0, -d}},
      {bpAboveRight, {s.cx - 5, s.cy / 2}, bpAboveLeft, {-d, -d}},   // right edge
      {bpAboveRight, {s.cx / 2, 5}, bpBelowRight, {1, 1}},           // top edge
      {bpAboveRight, {s.cx - 5, 5}, bpBelowLeft, {-d, 0}},           // top right corner
      {bpAboveLeft, {5, s.cy / 2}, bpAboveRight, {0, -d}},           // left edge
      {bpBelowLeft, {s.cx / 2, s.cy - 5}, bpAboveLeft, {-d, -d}},    // bottom edge
      {bpBelowRight, {5, s.cy - 5}, bpAboveRight, {0, -d}},          // bottom left corner
      {bpBelowLeft, {s.cx / 2, s.cy / 2}, bpBelowLeft, {-d, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("cursor " + std::to_string(c.cursor.x) + "," + std::to_string(c.cursor.y));
    settings.SetPosition(c.wanted);
    const TBalloonHintWindow& b = ShowAt(c.cursor);
    EXPECT_EQ(b.Position(), c.got);
    const RECT r = WindowRect(b.Handle());
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, s.cx);
    EXPECT_LE(r.bottom, s.cy);

    const BalloonGeometry g = GeometryOf(b.Position(), SizeOf(r), d);
    EXPECT_EQ(r.left + g.tail[0].x - c.cursor.x, c.tipFromCursor.x);
    EXPECT_EQ(r.top + g.tail[0].y - c.cursor.y, c.tipFromCursor.y);
    // The window's outline reaches into the tail, a few pixels from the tip.
    const POINT mid{(g.tail[1].x + g.tail[2].x) / 2, (g.tail[1].y + g.tail[2].y) / 2};
    const OwnedRegion region = Region();
    EXPECT_TRUE(PtInRegion(region.get(), g.tail[0].x + (mid.x - g.tail[0].x) / 6,
                           g.tail[0].y + (mid.y - g.tail[0].y) / 6));
  }
}

TEST_F(Balloon, RegionIsTheBalloonAndItsShadow) {
  struct Case {
    TBalloonShape shape;
    int depth;
  } cases[] = {{bsRoundRect, 8}, {bsRectangle, 8}, {bsRoundRect, 0}, {bsRectangle, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.shape) + " depth " + std::to_string(c.depth));
    settings.SetShape(c.shape);
    settings.SetShadowDepth(c.depth);
    const TBalloonHintWindow& b = ShowAt({Screen().cx / 2, Screen().cy / 2});
    const OwnedRegion region = Region();
    ASSERT_EQ(regionKind, COMPLEXREGION);
    const BalloonGeometry g = GeometryOf(b.Position(), SizeOf(WindowRect(b.Handle())), c.depth);
    const RECT& body = g.body;
    const int midY = (body.top + body.bottom) / 2;
    EXPECT_EQ(PtInRegion(region.get(), body.left, body.top) != 0, c.shape == bsRectangle);  // corner
    EXPECT_EQ(PtInRegion(region.get(), body.right - 1, body.top) != 0, c.shape == bsRectangle);
    EXPECT_TRUE(PtInRegion(region.get(), body.left + 1, midY));
    EXPECT_TRUE(PtInRegion(region.get(), body.right - 2, midY));
    EXPECT_FALSE(PtInRegion(region.get(), body.left - 1, midY));
    // The shadow lies right of and below the body.
    EXPECT_EQ(PtInRegion(region.get(), body.right + c.depth / 2, midY + c.depth) != 0, c.depth > 0);
    const RECT at = WindowRect(b.Handle());  // the mouse goes through to the window under it
    EXPECT_NE(WindowFromPoint({at.left + body.left + 1, at.top + midY}), b.Handle());
    if (c.depth == 0) {
      EXPECT_TRUE(EqualRgn(region.get(), BalloonRegion(g, c.shape, 0).get()));
    }
  }
}

TEST_F(Balloon, PaintsTheShadowOverTheBackgroundThenTheBalloon) {
  constexpr COLORREF kBackground = RGB(255, 255, 255), kFill = RGB(200, 220, 90), kFrame = RGB(0, 0, 200);
  settings.SetStyle(hsCustom);
  settings.SetColor(kFill);
  settings.SetBorderColor(kFrame);
  struct Case {
    TBalloonShadowStyle style;
    int depth;
  } cases[] = {{ssShaded, 8}, {ssSolid, 8}, {ssShaded, 0}, {ssSolid, 15}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.style) + " depth " + std::to_string(c.depth));
    settings.SetShadowStyle(c.style);
    settings.SetShadowDepth(c.depth);
    const TBalloonHintWindow& b = ShowAt({Screen().cx / 2, Screen().cy / 2});
    const SIZE size = SizeOf(WindowRect(b.Handle()));

    const widgets::MemoryDC dc;
    const widgets::OwnedBitmap bitmap(CreateCompatibleBitmap(widgets::WindowDC().get(), size.cx, size.cy));
    {
      const widgets::ScopedSelect select(dc.get(), bitmap.get());
      widgets::FillSolid(dc.get(), {0, 0, size.cx, size.cy}, kBackground);
      b.Paint(dc.get());
    }
    const std::vector<COLORREF> pixels = test::BitmapPixels(bitmap.get(), size.cx, size.cy);
    const BalloonGeometry g = GeometryOf(b.Position(), size, c.depth);
    const OwnedRegion balloon = BalloonRegion(g, bsRoundRect, 0);
    const OwnedRegion shadow = BalloonRegion(g, bsRoundRect, c.depth);
    int wrong = 0, inShadow = 0, textPixels = 0;
    for (int y = 0; y < size.cy; ++y) {
      for (int x = 0; x < size.cx; ++x) {
        const COLORREF p = pixels[static_cast<size_t>(y * size.cx + x)];
        if (PtInRegion(balloon.get(), x, y)) {
          const POINT at{x, y};
          if (PtInRect(&g.text, at) && p == RGB(0, 0, 0)) ++textPixels;
          continue;
        }
        COLORREF want = kBackground;
        if (c.depth > 0 && PtInRegion(shadow.get(), x, y)) {
          ++inShadow;
          if (c.style == ssSolid || (x + y) % 2 == 0) want = RGB(0, 0, 0);
        }
        if (p != want) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(inShadow > 0, c.depth > 0);
    EXPECT_GT(textPixels, 20);
    const int midY = (g.body.top + g.body.bottom) / 2;
    EXPECT_EQ(pixels[static_cast<size_t>(midY * size.cx + g.body.left)], kFrame);
    EXPECT_EQ(pixels[static_cast<size_t>(midY * size.cx + g.body.left + 4)], kFill);
  }
}

// The status-bar font of the window metrics, replaced for one test.
class StatusFontValue {
 public:
  explicit StatusFontValue(const std::vector<BYTE>& value) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", 0, nullptr, 0,
                    KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
    DWORD size = 0;
    if (RegQueryValueExA(key_, "StatusFont", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      saved_.resize(size);
      had_ = RegQueryValueExA(key_, "StatusFont", nullptr, nullptr, saved_.data(), &size) == ERROR_SUCCESS;
    }
    RegSetValueExA(key_, "StatusFont", 0, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
  }
  ~StatusFontValue() {
    if (had_) {
      RegSetValueExA(key_, "StatusFont", 0, REG_BINARY, saved_.data(), static_cast<DWORD>(saved_.size()));
    } else {
      RegDeleteValueA(key_, "StatusFont");
    }
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  std::vector<BYTE> saved_;
  bool had_ = false;
};

std::vector<BYTE> LogFont16(short height, const char* face) {
  std::vector<BYTE> v(50, 0);
  v[0] = static_cast<BYTE>(height & 0xFF);
  v[1] = static_cast<BYTE>((height >> 8) & 0xFF);
  v[8] = 700 & 0xFF;  // bold
  v[9] = 700 >> 8;
  std::strcpy(reinterpret_cast<char*>(v.data() + 18), face);
  return v;
}

template <class LogFont>
std::vector<BYTE> BytesOf(const LogFont& f) {
  const auto* p = reinterpret_cast<const BYTE*>(&f);
  return {p, p + sizeof f};
}

TEST_F(Balloon, StatusFontIsReadInEachStoredForm) {
  LOGFONTA narrow{};
  narrow.lfHeight = -11;
  std::strcpy(narrow.lfFaceName, "Courier New");
  LOGFONTW wide{};
  wide.lfHeight = -12;
  wide.lfItalic = 1;
  std::wcscpy(wide.lfFaceName, L"Times New Roman");
  struct Case {
    std::vector<BYTE> value;
    LONG height;
    const char* face;
  } cases[] = {{LogFont16(-9, "Arial"), -9, "Arial"}, {BytesOf(narrow), -11, "Courier New"},
               {BytesOf(wide), -12, "Times New Roman"}};
  for (const Case& c : cases) {
    const LOGFONTA f = StatusFontFromValue(c.value);
    EXPECT_EQ(f.lfHeight, c.height);
    EXPECT_STREQ(f.lfFaceName, c.face);
  }
  EXPECT_EQ(StatusFontFromValue(LogFont16(-9, "Arial")).lfWeight, 700);
  EXPECT_EQ(StatusFontFromValue(BytesOf(wide)).lfItalic, 1);
}

TEST_F(Balloon, EachStyleTakesItsFontAndColours) {
  const StatusFontValue status(LogFont16(-9, "Arial"));
  const int dpi = widgets::ScreenDpi();
  settings.SetFont(widgets::Font::Pixels("Courier New", 13));
  settings.SetColor(RGB(1, 2, 3));
  settings.SetBorderColor(RGB(4, 5, 6));
  struct Case {
    THintStyle style;
    const char* face;
    LONG height;
    COLORREF fill, frame;
  } cases[] = {
      {hsDefault, "MS Sans Serif", widgets::Font::Points("MS Sans Serif", 8).LogFont(dpi).lfHeight, GetSysColor(COLOR_INFOBK), GetSysColor(COLOR_WINDOWFRAME)},
      {hsCustom, "Courier New", -13, RGB(1, 2, 3), RGB(4, 5, 6)},
      {hsSystem, "Arial", MulDiv(dpi, 9, 72), GetSysColor(COLOR_INFOBK), GetSysColor(COLOR_WINDOWFRAME)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    settings.SetStyle(c.style);
    const TBalloonHintWindow& b = ShowAt({300, 300});
    EXPECT_STREQ(b.FontSpec().lfFaceName, c.face);
    EXPECT_EQ(b.FontSpec().lfHeight, c.height);
    EXPECT_EQ(b.FillColor(), c.fill);
    EXPECT_EQ(b.FrameColor(), c.frame);
  }
  EXPECT_EQ(LookOfStyle(settings).text, GetSysColor(COLOR_INFOTEXT));
}

TEST_F(Balloon, AHeldMouseButtonKeepsTheBalloonAway) {
  struct Case {
    int button;
    bool noShowMouseDown;
    bool shown;
  } cases[] = {{VK_LBUTTON, true, false}, {VK_RBUTTON, true, false}, {VK_MBUTTON, true, false},
               {VK_LBUTTON, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    settings.SetBehavior(c.noShowMouseDown ? TBalloonBehaviors{bbNoShowMouseDown, bbUseRegions}
                                           : TBalloonBehaviors{bbUseRegions});
    cancels = 0;
    const HeldButton held(c.button);
    const TBalloonHintWindow& b = ShowAt({300, 300});
    EXPECT_EQ(IsWindowVisible(b.Handle()) != 0, c.shown);
    EXPECT_EQ(cancels, c.shown ? 0 : 1);
  }
}

TEST_F(Balloon, WithoutRegionsAHookHidesItOnAClickOrAPaintBeneath) {
  const widgets::WindowClass cls{"BalloonTestWindow", 0};
  struct Plain : widgets::MessageWindow {
    Plain(const widgets::WindowClass& c, POINT at) {
      Create(c, {.style = WS_POPUP, .exStyle = WS_EX_TOOLWINDOW, .left = at.x, .top = at.y, .width = 200, .height = 200});
      ShowWindow(Handle(), SW_SHOWNOACTIVATE);  // taking the focus away would slow the test down
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override { return DefaultProc(msg, wp, lp); }
    using MessageWindow::Handle;
  };
  const POINT cursor{500, 400};
  struct Case {
    const char* what;
    POINT windowAt;  // of a window that repaints or is clicked
    bool hideOnPaint;
    UINT message;  // 0: the window repaints
    int cancels;
  } cases[] = {
      {"paint beneath", {cursor.x - 50, cursor.y - 150}, true, 0, 1},
      {"paint elsewhere", {20, 20}, true, 0, 0},
      {"paint beneath, not watched", {cursor.x - 50, cursor.y - 150}, false, 0, 0},
      {"left click", {20, 20}, true, WM_LBUTTONDOWN, 1},
      {"right click on a frame", {20, 20}, false, WM_NCRBUTTONDOWN, 1},
      {"middle click", {20, 20}, false, WM_MBUTTONDOWN, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Plain other(cls, c.windowAt);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(other.Handle()) && GetUpdateRect(other.Handle(), nullptr, FALSE) == FALSE; }));
    settings.SetBehavior(c.hideOnPaint ? TBalloonBehaviors{bbHideOnPaint} : TBalloonBehaviors{});
    cancels = 0;
    const TBalloonHintWindow& b = ShowAt(cursor);
    ASSERT_TRUE(IsWindowVisible(b.Handle()));
    Region();
    EXPECT_EQ(regionKind, ERROR);  // rectangular
    EXPECT_EQ(TBalloonWindow::CurrentBalloon(), b.Handle());
    if (c.message) {
      PostMessageA(other.Handle(), c.message, 0, 0);
    } else {
      InvalidateRect(other.Handle(), nullptr, TRUE);
    }
    if (c.cancels > 0) {
      EXPECT_TRUE(PumpUntil([&] { return cancels >= c.cancels; }));
    } else {
      PumpFor(50);  // the paint comes and goes: no cancel
    }
    EXPECT_EQ(cancels, c.cancels);
    EXPECT_EQ(IsWindowVisible(b.Handle()) != 0, c.cancels == 0);
    window->Hide();
    EXPECT_EQ(TBalloonWindow::CurrentBalloon(), nullptr);  // and the hook is gone
  }
}

TEST(BalloonHint, WhileActiveTheHintManagerShowsEveryHintInABalloon) {
  widgets::HintManager hints;
  hints.SetTiming({.pauseMs = 20, .shortPauseMs = 10, .hidePauseMs = 5000});
  widgets::Form form({.caption = "balloon test", .left = 8, .top = 8, .clientWidth = 200, .clientHeight = 60,
                      .centered = false, .hints = &hints});
  const widgets::Widget& label =
      form.Add<widgets::Label>({.left = 10, .top = 10, .width = 100, .height = 18, .caption = "Today",
                                .hint = "This the date of now"});
  form.ShowInactive();
  const auto hintShownIn = [&](const char* windowClass) {
    hints.MouseOver(nullptr, {0, 0});
    hints.MouseOver(&label, {400, 300});
    if (!PumpUntil([&] { return hints.Showing(); }, 2000)) return false;
    const HWND shown = FindWindowA(windowClass, nullptr);
    return shown && IsWindowVisible(shown);
  };

  auto balloon = std::make_unique<TBalloonHint>(&hints);
  EXPECT_TRUE(balloon->Active());
  EXPECT_EQ(TBalloonHint::Current(), balloon.get());
  EXPECT_TRUE(hintShownIn("RedoviriBalloon"));
  {
    const HeldButton held(VK_LBUTTON);  // the balloon turns the hint down
    hints.MouseOver(nullptr, {0, 0});
    hints.MouseOver(&label, {400, 300});
    PumpFor(100);
    EXPECT_FALSE(hints.Showing());
  }
  balloon->SetActive(false);
  EXPECT_TRUE(hintShownIn("RedoviriHint"));
  balloon->SetActive(true);
  EXPECT_TRUE(hintShownIn("RedoviriBalloon"));
  balloon.reset();
  EXPECT_EQ(TBalloonHint::Current(), nullptr);
  EXPECT_TRUE(hintShownIn("RedoviriHint"));
}

}  // namespace
}  // namespace redoviri
