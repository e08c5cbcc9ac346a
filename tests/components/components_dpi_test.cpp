// The components at the screen resolution the run was started with: every
// length of their 96-DPI layout scaled as MulDiv scales it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "components/BalloonHint.h"
#include "components/FormShaper.h"
#include "components/PopupMenus97.h"
#include "components/SmoothShow.h"
#include "components/fake_shell.h"
#include "support/dpi.h"

namespace redoviri {
namespace {

using test::AtRunDpi;
using test::RunDpi;
using widgets::OwnedRegion;

OwnedRegion WindowRegion(HWND window) {
  OwnedRegion r(CreateRectRgn(0, 0, 0, 0));
  EXPECT_NE(GetWindowRgn(window, r.get()), ERROR);
  return r;
}

// A coordinate lies the scaled 96-DPI distance from the window edge nearer to it.
void ExpectFromNearEdge(int at, int size, int at96, int size96) {
  if (2 * at96 <= size96)
    EXPECT_EQ(at, AtRunDpi(at96));
  else
    EXPECT_EQ(size - at, AtRunDpi(size96 - at96));
}

TEST(ComponentsDpi, BalloonGeometryIsTheLayoutScaledFromItsEdges) {
  const SIZE window96{200, 100}, window{AtRunDpi(200), AtRunDpi(100)};
  for (const TBalloonPosition position : {bpAboveLeft, bpAboveRight, bpBelowLeft, bpBelowRight}) {
    for (const int depth : {0, 8, 16}) {
      SCOPED_TRACE(testing::Message() << "position " << position << ", depth " << depth);
      const BalloonGeometry g96 = GeometryOf(position, window96, depth);
      const BalloonGeometry g = GeometryOf(position, window, depth, RunDpi());
      for (const auto& [r, r96] : {std::pair{g.body, g96.body}, std::pair{g.text, g96.text}}) {
        ExpectFromNearEdge(r.left, window.cx, r96.left, window96.cx);
        ExpectFromNearEdge(r.right, window.cx, r96.right, window96.cx);
        ExpectFromNearEdge(r.top, window.cy, r96.top, window96.cy);
        ExpectFromNearEdge(r.bottom, window.cy, r96.bottom, window96.cy);
      }
      for (std::size_t i = 0; i < g.tail.size(); ++i) {
        ExpectFromNearEdge(g.tail[i].x, window.cx, g96.tail[i].x, window96.cx);
        ExpectFromNearEdge(g.tail[i].y, window.cy, g96.tail[i].y, window96.cy);
      }
      // The narrowest balloon too.
      EXPECT_EQ(BalloonSizeForText({0, 0}, depth, RunDpi()).cx, AtRunDpi(BalloonSizeForText({0, 0}, depth).cx));
    }
  }
}

TEST(ComponentsDpi, ShownBalloonHasTheFontSizeAndCornersOfTheDpi) {
  TBalloonBase settings;
  TBalloonHintWindow balloon(&settings);
  const POINT cursor{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
  balloon.Show("Marked day", cursor);
  EXPECT_EQ(balloon.Dpi(), RunDpi());
  EXPECT_EQ(balloon.FontSpec().lfHeight, widgets::Font::Points("MS Sans Serif", 8).LogFont(RunDpi()).lfHeight);

  // The text as its font lays it out, and the scaled margins.
  const int limit = BalloonTextLimit(cursor.x, GetSystemMetrics(SM_CXSCREEN), settings.EffectiveMaxWidth(RunDpi()),
                                     settings.ShadowDepth(), RunDpi());
  RECT text{0, 0, limit, 0}, window{};
  const widgets::WindowDC dc;
  const widgets::OwnedFont font(CreateFontIndirectA(&balloon.FontSpec()));
  const widgets::ScopedSelect select(dc.get(), font.get());
  DrawTextA(dc.get(), "Marked day", -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  GetWindowRect(balloon.Handle(), &window);
  const SIZE extra96 = BalloonSizeForText({200, 0}, settings.ShadowDepth());
  const int minWidth96 = BalloonSizeForText({0, 0}, 0).cx;
  EXPECT_EQ(window.right - window.left, std::max<LONG>(text.right + AtRunDpi(extra96.cx - 200), AtRunDpi(minWidth96)));
  EXPECT_EQ(window.bottom - window.top - text.bottom, AtRunDpi(extra96.cy));

  // The top-left corner, up to where the shadow starts, is round with the
  // scaled ellipse (18 pixels across at 96 DPI).
  const RECT b = GeometryOf(balloon.Position(), {window.right - window.left, window.bottom - window.top},
                            settings.ShadowDepth(), RunDpi()).body;
  const OwnedRegion corner(CreateRectRgn(b.left, b.top, b.left + AtRunDpi(8), b.top + AtRunDpi(8)));
  const OwnedRegion round(CreateRoundRectRgn(b.left, b.top, b.right, b.bottom, AtRunDpi(18), AtRunDpi(18)));
  const OwnedRegion outline = WindowRegion(balloon.Handle());
  CombineRgn(outline.get(), outline.get(), corner.get(), RGN_AND);
  CombineRgn(round.get(), round.get(), corner.get(), RGN_AND);
  EXPECT_TRUE(EqualRgn(outline.get(), round.get()));

  balloon.SetDpi(2 * RunDpi());
  EXPECT_EQ(balloon.FontSpec().lfHeight, widgets::Font::Points("MS Sans Serif", 8).LogFont(2 * RunDpi()).lfHeight);
}

// The owner window's answer to item 0's measure or draw request.
SIZE Ask(const widgets::TPopupMenu& menu, HDC draw = nullptr, RECT rect = {}) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  GetMenuItemInfoA(menu.Handle(), 0, TRUE, &info);
  MEASUREITEMSTRUCT m{};
  DRAWITEMSTRUCT d{};
  m.CtlType = d.CtlType = ODT_MENU;
  m.itemID = d.itemID = GetMenuItemID(menu.Handle(), 0);
  m.itemData = d.itemData = info.dwItemData;
  d.itemAction = ODA_DRAWENTIRE;
  d.hDC = draw;
  d.rcItem = rect;
  EXPECT_TRUE(SendMessageA(menu.Owner(), draw ? WM_DRAWITEM : WM_MEASUREITEM, 0,
                           draw ? reinterpret_cast<LPARAM>(&d) : reinterpret_cast<LPARAM>(&m)));
  return {static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)};
}

TEST(ComponentsDpi, MenuItemsAndBannerAreMeasuredAndDrawnAtTheOwnersDpi) {
  constexpr COLORREF kGreen = RGB(0, 128, 0), kUntouched = RGB(255, 0, 255);
  widgets::TPopupMenu menu;
  menu.Add({.caption = "Show"});
  TPopupMenus97 menus;
  menus.SetPopupMenu(&menu);
  EXPECT_EQ(menus.Dpi(), RunDpi());
  if (widgets::SystemMetricAt(SM_CYMENUCHECK, RunDpi()) < AtRunDpi(17)) {
    EXPECT_EQ(menus.CheckColumn().cy, AtRunDpi(21));
  }
  LOGFONTA font = menus.Font().log;
  font.lfHeight = AtRunDpi(font.lfHeight);
  const int textHeight = widgets::MeasureText(widgets::OwnedFont(CreateFontIndirectA(&font)).get(), "Show").cy;
  EXPECT_EQ(Ask(menu).cy, std::max<int>(menus.CheckColumn().cy, textHeight + AtRunDpi(6)));

  const int plain = Ask(menu).cx;
  menus.SetBannerColor(kGreen);
  menus.SetBannerEndColor(kGreen);
  menus.SetBanner(true);
  for (const int width : {20, 33}) {
    menus.SetBannerWidth(width);
    const SIZE item = Ask(menu);
    EXPECT_EQ(item.cx - plain, AtRunDpi(width));
    // Drawn: the banner, then the gap before the item's background.
    const widgets::MemoryDC dc;
    const widgets::OwnedBitmap bitmap(CreateCompatibleBitmap(widgets::WindowDC().get(), item.cx, item.cy));
    const widgets::ScopedSelect select(dc.get(), bitmap.get());
    widgets::FillSolid(dc.get(), {0, 0, item.cx, item.cy}, kUntouched);
    Ask(menu, dc.get(), {0, 0, item.cx, item.cy});
    EXPECT_EQ(GetPixel(dc.get(), AtRunDpi(width) - 1, item.cy / 2), kGreen) << width;
    EXPECT_EQ(GetPixel(dc.get(), AtRunDpi(width), item.cy / 2), kUntouched) << width;
  }

  // Told another DPI, until the menu opens again at its owner's.
  menus.SetItemHeight(30);
  EXPECT_EQ(Ask(menu).cy, AtRunDpi(30));
  menus.SetDpi(2 * RunDpi());
  EXPECT_EQ(Ask(menu).cy, widgets::Scale(30, 2 * RunDpi()));
  SendMessageA(menu.Owner(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.Handle()), 0);
  EXPECT_EQ(Ask(menu).cy, AtRunDpi(30));
}

TEST(ComponentsDpi, AnimationFrameAndCustomRectanglesAreScaled) {
  const test::Window window = test::TopLevelWindow(true);
  TSmoothShow show(window.get());
  show.SetMinLocation(mlCustom);
  show.SetMaxLocation(xlCustom);
  show.SetMaxLeft(show.MinLeft());  // 0, 0, 27, 27 to 0, 0, 127, 127
  show.SetMaxTop(show.MinTop());
  show.SetBorderWidth(3);
  EXPECT_EQ(show.MinRect(), (SmoothRect{0, 0, AtRunDpi(27), AtRunDpi(27)}));
  EXPECT_EQ(show.MaxRect(), (SmoothRect{0, 0, AtRunDpi(127), AtRunDpi(127)}));

  show.Execute();
  const OwnedRegion frame = WindowRegion(show.FrameWindow());
  EXPECT_TRUE(PtInRegion(frame.get(), AtRunDpi(3) - 1, AtRunDpi(13)));
  EXPECT_FALSE(PtInRegion(frame.get(), AtRunDpi(3), AtRunDpi(13)));
  EXPECT_TRUE(test::PumpUntil([&] { return !show.Animating(); }));
}

TEST(ComponentsDpi, ShapedOutlineIsTheStoredRegionScaled) {
  // Corners on multiples of 4 scale to whole pixels at every DPI run.
  const OwnedRegion shape96(CreateRectRgn(12, 12, 112, 60)), foot(CreateRectRgn(40, 60, 80, 92));
  CombineRgn(shape96.get(), shape96.get(), foot.get(), RGN_OR);
  const test::Window window = test::TopLevelWindow(true);
  SetWindowPos(window.get(), nullptr, 0, 0, AtRunDpi(200), AtRunDpi(120), SWP_NOMOVE | SWP_NOZORDER);
  TFormShaper shaper(window.get());
  shaper.SetShape(RegionDataOf(shape96.get()));
  shaper.SetActive(true);
  for (const int dpi : {RunDpi(), 2 * RunDpi()}) {
    shaper.SetDpi(dpi);
    const OwnedRegion outline = WindowRegion(window.get());
    RECT box{};
    GetRgnBox(outline.get(), &box);
    const RECT want = widgets::Scale(RECT{12, 12, 112, 92}, dpi);
    EXPECT_TRUE(EqualRect(&box, &want)) << dpi;
    struct Point {
      int x, y;
      bool inside;
    };
    for (const Point p : {Point{13, 13, true}, Point{110, 58, true}, Point{41, 90, true}, Point{10, 30, false},
                          Point{20, 70, false}, Point{82, 70, false}, Point{60, 94, false}}) {
      EXPECT_EQ(PtInRegion(outline.get(), widgets::Scale(p.x, dpi), widgets::Scale(p.y, dpi)) != FALSE, p.inside)
          << p.x << "," << p.y << " at " << dpi;
    }
  }
}

TEST(ComponentsDpi, TrayLoadsItsIconAtTheSmallIconSizeOfItsDpi) {
  const auto width = [](HICON icon) {
    ICONINFO info{};
    BITMAP bits{};
    if (GetIconInfo(icon, &info)) GetObjectA(info.hbmMask, sizeof bits, &bits);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits.bmWidth;
  };
  test::FakeShell shell;
  TTrayIconF tray({}, &shell);
  tray.SetActive(true);
  EXPECT_EQ(width(tray.Icon()), AtRunDpi(16));
  EXPECT_EQ(width(shell.Last().icon), widgets::SystemMetricAt(SM_CXSMICON, RunDpi()));
  tray.SetDpi(2 * RunDpi());
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(width(shell.Last().icon), widgets::SystemMetricAt(SM_CXSMICON, 2 * RunDpi()));
}

}  // namespace
}  // namespace redoviri
