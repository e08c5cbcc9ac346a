// The components at the screen resolution the run was started with: every
// length of their 96-DPI layout scaled as MulDiv scales it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "components/BalloonHint.h"
#include "components/FormShaper.h"
#include "components/PopupMenus97.h"
#include "components/SmoothShow.h"
#include "components/TrayIconF.h"
#include "components/fake_shell.h"
#include "components/tray_test_support.h"
#include "support/dpi.h"
#include "support/win32_test_support.h"
#include "widgets/popup_menu.h"

namespace redoviri {
namespace {

using test::AtRunDpi;
using test::RunDpi;
using widgets::OwnedRegion;

RECT Box(HRGN region) {
  RECT r{};
  GetRgnBox(region, &r);
  return r;
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

SIZE WindowSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

TEST(ComponentsDpi, WindowsAreDrawnAtTheRunsDpi) {
  const test::Window window = test::TopLevelWindow(true);
  EXPECT_EQ(widgets::DpiOf(window.get()), RunDpi());
  std::printf("DpiOf %d, LOGPIXELSY %d, SM_CXSMICON %d\n", widgets::DpiOf(window.get()), widgets::ScreenDpi(),
              GetSystemMetrics(SM_CXSMICON));
}

// ---------------------------------------------------------------- balloon

// A coordinate at the run's DPI lies the scaled 96-DPI distance from the
// window edge nearer to it.
void ExpectScaledFromNearEdge(int at, int size, int at96, int size96, const char* what) {
  if (2 * at96 <= size96)
    EXPECT_EQ(at, AtRunDpi(at96)) << what;
  else
    EXPECT_EQ(size - at, AtRunDpi(size96 - at96)) << what;
}

TEST(ComponentsDpi, BalloonGeometryIsTheLayoutScaledFromItsEdges) {
  const SIZE window96{200, 100};
  const SIZE window{AtRunDpi(window96.cx), AtRunDpi(window96.cy)};
  for (const TBalloonPosition position : {bpAboveLeft, bpAboveRight, bpBelowLeft, bpBelowRight}) {
    for (const int depth : {0, 8, 16}) {
      SCOPED_TRACE(testing::Message() << "position " << position << ", depth " << depth);
      const BalloonGeometry g96 = GeometryOf(position, window96, depth);
      const BalloonGeometry g = GeometryOf(position, window, depth, RunDpi());
      for (const auto& [r, r96] : {std::pair{g.body, g96.body}, std::pair{g.text, g96.text}}) {
        ExpectScaledFromNearEdge(r.left, window.cx, r96.left, window96.cx, "left");
        ExpectScaledFromNearEdge(r.right, window.cx, r96.right, window96.cx, "right");
        ExpectScaledFromNearEdge(r.top, window.cy, r96.top, window96.cy, "top");
        ExpectScaledFromNearEdge(r.bottom, window.cy, r96.bottom, window96.cy, "bottom");
      }
      for (std::size_t i = 0; i < g.tail.size(); ++i) {
        ExpectScaledFromNearEdge(g.tail[i].x, window.cx, g96.tail[i].x, window96.cx, "tail x");
        ExpectScaledFromNearEdge(g.tail[i].y, window.cy, g96.tail[i].y, window96.cy, "tail y");
      }
      const SIZE text{120, 40};
      const SIZE size96 = BalloonSizeForText(text, depth), size = BalloonSizeForText(text, depth, RunDpi());
      EXPECT_EQ(size.cx - text.cx, AtRunDpi(size96.cx - text.cx));
      EXPECT_EQ(size.cy - text.cy, AtRunDpi(size96.cy - text.cy));
      EXPECT_EQ(BalloonSizeForText({0, 0}, depth, RunDpi()).cx, AtRunDpi(BalloonSizeForText({0, 0}, depth).cx));
    }
  }
}

TEST(ComponentsDpi, ShownBalloonHasTheFontCornersAndMarginsOfTheDpi) {
  TBalloonBase settings;
  settings.SetShadowDepth(8);
  TBalloonHintWindow balloon(&settings);
  const std::string text = "Marked day";
  const POINT cursor{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  balloon.Show(text, cursor);
  ASSERT_TRUE(IsWindowVisible(balloon.Handle()));
  EXPECT_EQ(balloon.Dpi(), RunDpi());
  EXPECT_EQ(balloon.FontSpec().lfHeight, widgets::Font::Points("MS Sans Serif", 8).LogFont(RunDpi()).lfHeight);

  // The window is the text, as its font lays it out, and the scaled margins.
  RECT measured{0, 0,
                BalloonTextLimit(cursor.x, GetSystemMetrics(SM_CXSCREEN), settings.EffectiveMaxWidth(RunDpi()), 8,
                                 RunDpi()),
                0};
  {
    const widgets::WindowDC dc;
    const widgets::OwnedFont font(CreateFontIndirectA(&balloon.FontSpec()));
    const widgets::ScopedSelect select(dc.get(), font.get());
    DrawTextA(dc.get(), text.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  const SIZE size = WindowSize(balloon.Handle());
  const int extraWidth96 = BalloonSizeForText({200, 0}, 8).cx - 200;
  const int minWidth96 = BalloonSizeForText({0, 0}, 0).cx;
  EXPECT_EQ(size.cx, std::max<LONG>(measured.right + AtRunDpi(extraWidth96), AtRunDpi(minWidth96)));
  EXPECT_EQ(size.cy - measured.bottom, AtRunDpi(BalloonSizeForText({0, 0}, 8).cy));

  // The outline's top-left corner, up to where the shadow starts, is a
  // round corner of the scaled size (18 pixels across at 96 DPI).
  OwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(balloon.Handle(), region.get()), ERROR);
  const BalloonGeometry g = GeometryOf(balloon.Position(), size, 8, RunDpi());
  const RECT& b = g.body;
  const OwnedRegion corner(CreateRectRgn(b.left, b.top, b.left + AtRunDpi(8), b.top + AtRunDpi(8)));
  const OwnedRegion round(CreateRoundRectRgn(b.left, b.top, b.right, b.bottom, AtRunDpi(18), AtRunDpi(18)));
  CombineRgn(region.get(), region.get(), corner.get(), RGN_AND);
  CombineRgn(round.get(), round.get(), corner.get(), RGN_AND);
  EXPECT_TRUE(EqualRgn(region.get(), round.get()));

  // At another DPI it is laid out anew.
  balloon.SetDpi(2 * RunDpi());
  EXPECT_EQ(balloon.FontSpec().lfHeight, widgets::Font::Points("MS Sans Serif", 8).LogFont(2 * RunDpi()).lfHeight);
  EXPECT_GT(WindowSize(balloon.Handle()).cy, size.cy);
}

// ---------------------------------------------------------------- menus

SIZE Measure(const widgets::TPopupMenu& menu, int pos) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  GetMenuItemInfoA(menu.Handle(), static_cast<UINT>(pos), TRUE, &info);
  MEASUREITEMSTRUCT m{};
  m.CtlType = ODT_MENU;
  m.itemID = GetMenuItemID(menu.Handle(), pos);
  m.itemData = info.dwItemData;
  EXPECT_TRUE(SendMessageA(menu.Owner(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)));
  return {static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)};
}

TEST(ComponentsDpi, MenuItemsAndBannerMeasureAtTheOwnersDpi) {
  widgets::TPopupMenu menu;
  menu.Add({.caption = "Show"});
  menu.Add({.caption = "Help"});
  TPopupMenus97 menus;
  menus.SetPopupMenu(&menu);
  EXPECT_EQ(menus.Dpi(), widgets::DpiOf(menu.Owner()));
  EXPECT_EQ(menus.Dpi(), RunDpi());

  const int glyph = AtRunDpi(17);
  if (widgets::SystemMetricAt(SM_CYMENUCHECK, RunDpi()) < glyph) {
    EXPECT_EQ(menus.CheckColumn().cy, AtRunDpi(21));
  }
  LOGFONTA font = menus.Font().log;
  font.lfHeight = AtRunDpi(font.lfHeight);
  const int textHeight = static_cast<int>(widgets::MeasureText(widgets::OwnedFont(CreateFontIndirectA(&font)).get(), "Show").cy);
  EXPECT_EQ(Measure(menu, 0).cy, std::max<int>(menus.CheckColumn().cy, textHeight + AtRunDpi(6)));

  const int plain = Measure(menu, 0).cx;
  for (const int width : {20, 33}) {
    menus.SetBannerWidth(width);
    menus.SetBanner(true);
    EXPECT_EQ(Measure(menu, 0).cx - plain, AtRunDpi(width)) << width;
    menus.SetBanner(false);
  }
  menus.SetItemHeight(30);
  EXPECT_EQ(Measure(menu, 1).cy, AtRunDpi(30));

  // Told another DPI, until the menu opens again at its owner's.
  menus.SetDpi(2 * RunDpi());
  EXPECT_EQ(Measure(menu, 1).cy, widgets::Scale(30, 2 * RunDpi()));
  SendMessageA(menu.Owner(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.Handle()), 0);
  EXPECT_EQ(Measure(menu, 1).cy, AtRunDpi(30));
}

TEST(ComponentsDpi, MenuBannerIsDrawnAsWideAsTheDpiMakesIt) {
  constexpr COLORREF kGreen = RGB(0, 128, 0);
  constexpr COLORREF kUntouched = RGB(255, 0, 255);
  widgets::TPopupMenu menu;
  menu.Add({.caption = "Show"});
  TPopupMenus97 menus;
  menus.SetBannerColor(kGreen);
  menus.SetBannerEndColor(kGreen);
  menus.SetBanner(true);
  menus.SetBrush(RGB(255, 255, 255));
  menus.SetPopupMenu(&menu);
  const SIZE item = Measure(menu, 0);

  const widgets::MemoryDC dc;
  const widgets::OwnedBitmap bitmap(CreateCompatibleBitmap(widgets::WindowDC().get(), item.cx, item.cy));
  const widgets::ScopedSelect select(dc.get(), bitmap.get());
  widgets::FillSolid(dc.get(), {0, 0, item.cx, item.cy}, kUntouched);
  DRAWITEMSTRUCT d{};
  d.CtlType = ODT_MENU;
  d.itemID = GetMenuItemID(menu.Handle(), 0);
  d.itemAction = ODA_DRAWENTIRE;
  d.hDC = dc.get();
  d.rcItem = {0, 0, item.cx, item.cy};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  GetMenuItemInfoA(menu.Handle(), 0, TRUE, &info);
  d.itemData = info.dwItemData;
  ASSERT_TRUE(SendMessageA(menu.Owner(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d)));
  EXPECT_EQ(GetPixel(dc.get(), AtRunDpi(20) - 1, item.cy / 2), kGreen);
  // Then the gap before the items' background.
  EXPECT_EQ(GetPixel(dc.get(), AtRunDpi(20), item.cy / 2), kUntouched);
  EXPECT_EQ(GetPixel(dc.get(), AtRunDpi(22), item.cy / 2), RGB(255, 255, 255));
}

// ---------------------------------------------------------------- shapes

TEST(ComponentsDpi, AnimationFrameAndCustomRectanglesAreScaled) {
  const test::Window window = test::TopLevelWindow(true);
  TSmoothShow show(window.get());
  show.SetMinLocation(mlCustom);
  show.SetMaxLocation(xlCustom);
  show.SetMinLeft(100);
  show.SetMinTop(80);
  show.SetMinWidth(60);
  show.SetMinHeight(60);
  show.SetMaxLeft(100);
  show.SetMaxTop(80);
  show.SetMaxWidth(60);
  show.SetMaxHeight(60);
  show.SetBorderWidth(3);
  const SmoothRect min = show.MinRect();
  const RECT want = AtRunDpi(RECT{100, 80, 160, 140});
  EXPECT_EQ(min, (SmoothRect{want.left, want.top, want.right - want.left, want.bottom - want.top}));
  EXPECT_EQ(show.MaxRect(), min);

  show.Execute();
  ASSERT_TRUE(show.Animating());
  OwnedRegion frame(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(show.FrameWindow(), frame.get()), ERROR);
  const int border = AtRunDpi(3), middle = min.height / 2;
  EXPECT_TRUE(PtInRegion(frame.get(), border - 1, middle));
  EXPECT_FALSE(PtInRegion(frame.get(), border, middle));
  EXPECT_TRUE(test::PumpUntil([&] { return !show.Animating(); }));
}

TEST(ComponentsDpi, ShapedOutlineIsTheStoredRegionScaled) {
  // Corners on multiples of 4 scale to whole pixels at every DPI run.
  const OwnedRegion shape96(CreateRectRgn(12, 12, 112, 60));
  const OwnedRegion foot(CreateRectRgn(40, 60, 80, 92));
  CombineRgn(shape96.get(), shape96.get(), foot.get(), RGN_OR);
  const test::Window window = test::TopLevelWindow(true);
  SetWindowPos(window.get(), nullptr, 0, 0, AtRunDpi(200), AtRunDpi(120), SWP_NOMOVE | SWP_NOZORDER);
  TFormShaper shaper(window.get());
  shaper.SetShape(RegionDataOf(shape96.get()));
  shaper.SetActive(true);
  EXPECT_EQ(shaper.Dpi(), RunDpi());

  OwnedRegion outline(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window.get(), outline.get()), ERROR);
  EXPECT_TRUE(Same(Box(outline.get()), AtRunDpi(RECT{12, 12, 112, 92})));
  struct Case {
    POINT at96;
    bool inside;
  };
  for (const Case& c : {Case{{13, 13}, true}, Case{{110, 58}, true}, Case{{41, 90}, true}, Case{{60, 70}, true},
                        Case{{10, 30}, false}, Case{{20, 70}, false}, Case{{82, 70}, false}, Case{{60, 94}, false}}) {
    EXPECT_EQ(PtInRegion(outline.get(), AtRunDpi(c.at96.x), AtRunDpi(c.at96.y)) != FALSE, c.inside)
        << c.at96.x << "," << c.at96.y;
  }

  shaper.SetDpi(2 * RunDpi());
  ASSERT_NE(GetWindowRgn(window.get(), outline.get()), ERROR);
  EXPECT_TRUE(Same(Box(outline.get()), widgets::Scale(RECT{12, 12, 112, 92}, 2 * RunDpi())));
}

// ---------------------------------------------------------------- tray

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bits{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bits.bmWidth;
}

TEST(ComponentsDpi, TrayLoadsItsIconAtTheSmallIconSizeOfItsDpi) {
  test::FakeShell shell;
  TTrayIconF tray({}, &shell);
  EXPECT_EQ(tray.Dpi(), RunDpi());
  tray.SetActive(true);
  ASSERT_EQ(shell.Last().message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(IconWidth(tray.Icon()), widgets::SystemMetricAt(SM_CXSMICON, RunDpi()));
  EXPECT_EQ(IconWidth(tray.Icon()), AtRunDpi(16));

  tray.SetDpi(2 * RunDpi());
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(IconWidth(tray.Icon()), widgets::SystemMetricAt(SM_CXSMICON, 2 * RunDpi()));
}

}  // namespace
}  // namespace redoviri
