// The owner-drawn popup menu: which items it takes over and gives back, the
// sizes it answers, the pixels it draws (items rendered into a bitmap
// through the owner window's WM_DRAWITEM), the banner's gradient and the
// menu-character search.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "components/PopupMenus97.h"
#include "support/win32_test_support.h"
#include "widgets/gdi.h"
#include "widgets/popup_menu.h"

namespace redoviri {
namespace {

using widgets::MenuItem;
using widgets::TPopupMenu;

constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kLime = RGB(0, 255, 0);
constexpr COLORREF kUntouched = RGB(255, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

MENUITEMINFOA Info(HMENU menu, int pos) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STATE;
  GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info);
  return info;
}

SIZE Measure(const TPopupMenu& menu, HMENU in, int pos) {
  MEASUREITEMSTRUCT m{};
  m.CtlType = ODT_MENU;
  m.itemID = GetMenuItemID(in, pos);
  m.itemData = Info(in, pos).dwItemData;
  EXPECT_TRUE(SendMessageA(menu.Owner(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)));
  return {static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)};
}

// A 32-bit top-down bitmap to draw items into.
class Surface {
 public:
  Surface(int width, int height)
      : width_(width), height_(height), bitmap_(Create(width, height, &bits_)), selected_(dc_.get(), bitmap_.get()) {
    widgets::FillSolid(dc_.get(), {0, 0, width, height}, kUntouched);
  }
  HDC Dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    const std::uint32_t v = bits_[at];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  std::set<COLORREF> Colours(const RECT& r) const {
    std::set<COLORREF> out;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.insert(At(x, y));
    return out;
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  static HBITMAP Create(int w, int h, std::uint32_t** bits) {
    const BITMAPINFO bi = test::TopDown32(w, h);
    void* raw = nullptr;
    const HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(raw);
    return b;
  }
  int width_, height_;
  std::uint32_t* bits_ = nullptr;
  widgets::MemoryDC dc_;
  widgets::OwnedBitmap bitmap_;
  widgets::ScopedSelect selected_;
};

// Sends the owner window the draw request of item `pos` of `in`.
void Draw(const TPopupMenu& menu, HMENU in, int pos, UINT state, const RECT& rect, const Surface& surface) {
  DRAWITEMSTRUCT d{};
  d.CtlType = ODT_MENU;
  d.itemID = GetMenuItemID(in, pos);
  d.itemAction = ODA_DRAWENTIRE;
  d.itemState = state;
  d.hwndItem = reinterpret_cast<HWND>(in);
  d.hDC = surface.Dc();
  d.rcItem = rect;
  d.itemData = Info(in, pos).dwItemData;
  EXPECT_TRUE(SendMessageA(menu.Owner(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d)));
}

int TextWidth(const TMenuFont& font, const std::string& text) {
  const widgets::WindowDC screen;
  const widgets::OwnedFont f(CreateFontIndirectA(&font.log));
  const widgets::ScopedSelect s(screen.get(), f.get());
  SIZE size{};
  GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

TEST(PopupMenus97Test, ConstructorValues) {
  TPopupMenus97 m;
  EXPECT_EQ(m.BannerImage(), -1);
  EXPECT_EQ(m.BannerJustification(), bjCenter);
  EXPECT_EQ(m.BannerWidth(), 20);
  EXPECT_EQ(m.BannerText(), "");
  EXPECT_STREQ(m.BannerFont().log.lfFaceName, "Arial");
  EXPECT_EQ(m.BannerFont().log.lfHeight, -MulDiv(12, GetDeviceCaps(widgets::WindowDC().get(), LOGPIXELSY), 72));
  EXPECT_EQ(m.BannerColor(), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(m.BannerEndColor(), RGB(0, 0, 0));
  EXPECT_EQ(m.BannerNumColors(), 16);
  EXPECT_FALSE(m.Banner());
  EXPECT_EQ(m.PopupMenu(), nullptr);
  EXPECT_EQ(m.ItemHeight(), 0);
  EXPECT_EQ(m.ItemWidth(), 0);
  EXPECT_EQ(m.Images(), nullptr);
  EXPECT_EQ(m.Font(), TMenuFont::SystemMenu());
  EXPECT_EQ(m.Brush(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(m.Canvas(), nullptr);
  EXPECT_EQ(m.HiliteBar(), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(m.HiliteFont().color, GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(m.Menus97Look(), mlOffice97Look);
  EXPECT_TRUE(m.DefaultFont());
}

TEST(PopupMenus97Test, AttachingTakesOverItemsAndDetachingGivesThemBack) {
  TPopupMenu menu;
  menu.Add({.caption = "&Show Calendar"});
  menu.Add({.caption = "-"});
  menu.Add({.caption = "-Options"});
  const int looks = menu.Add({.caption = "Looks", .submenu = true});
  menu.Add({.caption = "Animated window", .checked = true}, looks);
  const HMENU root = menu.Handle();
  const HMENU sub = menu.SubmenuOf(looks);
  const std::vector<std::string> captions = {"&Show Calendar", "", "-Options", "Looks"};

  auto menus = std::make_unique<TPopupMenus97>();
  menus->SetPopupMenu(&menu);
  EXPECT_EQ(menus->PopupMenu(), &menu);
  // A plain "-" stays the system's separator; "-word" is ours to draw.
  EXPECT_EQ(Info(root, 1).fType & (MFT_SEPARATOR | MFT_OWNERDRAW), static_cast<UINT>(MFT_SEPARATOR));
  for (const int pos : {0, 2, 3}) {
    EXPECT_TRUE(Info(root, pos).fType & MFT_OWNERDRAW) << pos;
    ASSERT_NE(menus->ItemOf(Info(root, pos).dwItemData), nullptr) << pos;
    EXPECT_EQ(menus->ItemOf(Info(root, pos).dwItemData)->caption, captions[pos]);
  }
  // "-word" is a label: disabled while we draw it, enabled again after.
  EXPECT_TRUE(Info(root, 2).fState & MFS_DISABLED);
  EXPECT_FALSE(Info(root, 0).fState & MFS_DISABLED);
  EXPECT_TRUE(Info(sub, 0).fType & MFT_OWNERDRAW) << "submenus too";
  EXPECT_TRUE(Info(sub, 0).fState & MFS_CHECKED) << "the check mark stays";

  // An item added later is taken over when the menu opens.
  menu.Add({.caption = "Help"});
  SendMessageA(menu.Owner(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(root), 0);
  EXPECT_TRUE(Info(root, 4).fType & MFT_OWNERDRAW);

  const auto plain = [&] {
    for (int pos : {0, 2, 3, 4}) {
      EXPECT_FALSE(Info(root, pos).fType & MFT_OWNERDRAW) << pos;
      EXPECT_EQ(Info(root, pos).dwItemData, 0u) << pos;
    }
    EXPECT_FALSE(Info(sub, 0).fType & MFT_OWNERDRAW);
    EXPECT_FALSE(Info(root, 2).fState & MFS_DISABLED);
    char text[64] = {};
    GetMenuStringA(root, 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "-Options");
    GetMenuStringA(sub, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Animated window");
  };
  menus->SetPopupMenu(nullptr);
  plain();
  menus->SetPopupMenu(&menu);
  menus.reset();  // destroying the component detaches too
  plain();

  // And a menu destroyed first leaves the component detached.
  auto shortLived = std::make_unique<TPopupMenu>();
  shortLived->Add({.caption = "x"});
  TPopupMenus97 survivor;
  survivor.SetPopupMenu(shortLived.get());
  shortLived.reset();
  EXPECT_EQ(survivor.PopupMenu(), nullptr);
}

TEST(PopupMenus97Test, MeasuredSizes) {
  TPopupMenus97 m;
  const int check = m.CheckColumn().cx;
  const TMenuFont font = m.Font();
  const auto w = [&](const std::string& s) { return TextWidth(font, s); };

  if (GetSystemMetrics(SM_CYMENUCHECK) < 17 && GetSystemMetrics(SM_CXMENUCHECK) < 17) {
    EXPECT_EQ(m.CheckColumn().cx, 21);
    EXPECT_EQ(m.CheckColumn().cy, 21);
  }
  struct Case {
    const char* name;
    std::vector<std::string> captions;  // the items of one menu
    int measured;                       // which one
    bool banner;
    int want;
  };
  const Case cases[] = {
      {"widest caption", {"Show", "Terminate Redoviri and Quit"}, 0, false, w("Terminate Redoviri and Quit") + check},
      {"shortcut beside its caption", {"Show", "Hide\tCtrl+H"}, 0, false, w("Hide") + w("Ctrl+H") + 2 * check},
      {"a long caption leaves room", {"Terminate Redoviri and Quit and more", "H\tX"}, 1, false,
       w("Terminate Redoviri and Quit and more") + check},
      {"the & is not drawn", {"&Show Calendar"}, 0, false, w("&Show Calendar") + check / 2 + check - w("&")},
      {"only item", {"Show"}, 0, false, w("Show") + check / 2 + check},
      {"banner menu is wider", {"Show", "Help"}, 1, true, std::max(w("Show"), w("Help")) + check + 20},
  };
  for (const Case& c : cases) {
    TPopupMenu menu;
    for (const std::string& caption : c.captions) menu.Add({.caption = caption});
    m.SetBanner(c.banner);
    m.SetPopupMenu(&menu);
    const SIZE size = Measure(menu, menu.Handle(), c.measured);
    EXPECT_EQ(size.cx, c.want) << c.name;
    const int textHeight = [&] {
      const widgets::WindowDC screen;
      const widgets::OwnedFont f(CreateFontIndirectA(&font.log));
      const widgets::ScopedSelect s(screen.get(), f.get());
      RECT r{};
      DrawTextA(screen.get(), "Show", -1, &r, DT_CALCRECT | DT_SINGLELINE);
      return static_cast<int>(r.bottom);
    }();
    EXPECT_EQ(size.cy, std::max<int>(m.CheckColumn().cy, textHeight + 6)) << c.name;
    if (textHeight + 6 <= 21 && m.CheckColumn().cy == 21) {
      EXPECT_EQ(size.cy, 21) << c.name;
    }
    m.SetPopupMenu(nullptr);
  }

  // A submenu item keeps room for its arrow.
  TPopupMenu withSub;
  withSub.Add({.caption = "Looks", .submenu = true});
  withSub.Add({.caption = "Looks"});
  m.SetBanner(false);
  m.SetPopupMenu(&withSub);
  EXPECT_EQ(Measure(withSub, withSub.Handle(), 1).cx, w("Looks") + 2 * check);

  // Fixed sizes replace the measured ones, then the handler has the last word.
  m.SetItemHeight(30);
  m.SetItemWidth(100);
  EXPECT_EQ(Measure(withSub, withSub.Handle(), 1).cy, 30);
  EXPECT_EQ(Measure(withSub, withSub.Handle(), 1).cx, 100);
  m.OnMeasureItem = [](TCustomMenus97&, const TMenus97Item& item, int& width, int& height) {
    if (item.submenu) width += 5, height = 7;
  };
  EXPECT_EQ(Measure(withSub, withSub.Handle(), 0).cx, 105);
  EXPECT_EQ(Measure(withSub, withSub.Handle(), 0).cy, 7);
}

TEST(PopupMenus97Test, TurningDefaultFontOnRestoresTheSystemMenuFont) {
  TPopupMenus97 m;
  const TMenuFont system = TMenuFont::SystemMenu();
  m.SetFont(TMenuFont::Make("Courier New", -20, RGB(255, 0, 0)));
  m.SetHiliteFont(TMenuFont::Make("Courier New", -20, RGB(0, 0, 255)));
  EXPECT_FALSE(m.DefaultFont());
  EXPECT_NE(m.Font(), system);
  m.SetDefaultFont(true);
  EXPECT_EQ(m.Font(), system);
  TMenuFont hilite = system;
  hilite.color = GetSysColor(COLOR_HIGHLIGHTTEXT);
  EXPECT_EQ(m.HiliteFont(), hilite);
}

TEST(PopupMenus97Test, BannerBandsSplitTheHeightAndBlendTheColours) {
  struct Case {
    const char* name;
    COLORREF start, end;
    int count, height;
    std::vector<TBannerBand> want;  // (first, second, last) or all
  };
  const Case cases[] = {
      {"equal colours: one solid band", kGreen, kGreen, 16, 100, {{{0, 0, 20, 100}, kGreen}}},
      {"one colour: one band in the start colour", kGreen, kLime, 1, 100, {{{0, 0, 20, 100}, kGreen}}},
      {"two bands: start and end", RGB(0, 0, 0), RGB(255, 100, 10), 2, 9,
       {{{0, 0, 20, 5}, RGB(0, 0, 0)}, {{0, 5, 20, 9}, RGB(255, 100, 10)}}},
      {"green to lime in 16", kGreen, kLime, 16, 100,
       {{{0, 0, 20, 6}, RGB(0, 128, 0)}, {{0, 6, 20, 13}, RGB(0, 136, 0)}, {{0, 94, 20, 100}, kLime}}},
      {"falling colours", RGB(200, 200, 200), RGB(0, 0, 0), 3, 30,
       {{{0, 0, 20, 10}, RGB(200, 200, 200)}, {{0, 10, 20, 20}, RGB(100, 100, 100)}, {{0, 20, 20, 30}, 0}}},
  };
  for (const Case& c : cases) {
    const std::vector<TBannerBand> got = BannerBands({0, 0, 20, c.height}, c.start, c.end, c.count);
    ASSERT_EQ(got.size(), static_cast<std::size_t>(c.count == 16 && c.start != c.end ? 16 : c.want.size())) << c.name;
    if (got.size() == c.want.size()) {
      EXPECT_EQ(got, c.want) << c.name;
    } else {
      EXPECT_EQ(got[0], c.want[0]) << c.name;
      EXPECT_EQ(got[1], c.want[1]) << c.name;
      EXPECT_EQ(got.back(), c.want[2]) << c.name;
      for (std::size_t i = 1; i < got.size(); ++i) EXPECT_EQ(got[i].rect.top, got[i - 1].rect.bottom) << c.name;
    }
  }
}

// The list window's menu, as the program sets it up.
void SetUpLikeTheListWindow(TPopupMenus97& m) {
  m.SetBannerText("DUZOVU");
  m.SetBannerFont(TMenuFont::Make("Arial", -16, RGB(255, 255, 255)));
  m.SetBannerColor(kGreen);
  m.SetBannerEndColor(kLime);
  m.SetBanner(true);
}

TEST(PopupMenus97Test, TheBannerStripRunsDownTheItemsOfTheTopMenu) {
  struct Case {
    const char* name;
    COLORREF start, end;
    int count;
    std::size_t bands;  // distinct colours down the strip's edge
  };
  const Case cases[] = {
      {"green to lime", kGreen, kLime, 16, 16},
      {"equal colours", kGreen, kGreen, 16, 1},
      {"one band", kGreen, kLime, 1, 1},
      {"four bands", RGB(0, 0, 255), RGB(255, 0, 0), 4, 4},
  };
  for (const Case& c : cases) {
    TPopupMenu menu;
    for (const char* caption : {"Show Calendar", "Hide calendar", "Edit new event", "Help", "Quit"})
      menu.Add({.caption = caption});
    TPopupMenus97 m;
    SetUpLikeTheListWindow(m);
    m.SetBannerColor(c.start);
    m.SetBannerEndColor(c.end);
    m.SetBannerNumColors(c.count);
    m.SetBrush(kYellow);
    m.SetPopupMenu(&menu);
    int top = 0;
    std::vector<RECT> rects;
    for (int pos = 0; pos < 5; ++pos) {
      const SIZE s = Measure(menu, menu.Handle(), pos);
      rects.push_back({0, top, s.cx, top + s.cy});
      top += s.cy;
    }
    Surface surface(rects[0].right, top);
    Draw(menu, menu.Handle(), 2, 0, rects[2], surface);  // one item draws the whole strip

    std::set<COLORREF> edge;
    for (int y = 0; y < top; ++y) edge.insert(surface.At(0, y));
    EXPECT_EQ(edge.size(), c.bands) << c.name;
    EXPECT_EQ(surface.At(0, 0), c.start) << c.name;
    EXPECT_EQ(surface.At(0, top - 1), c.count > 1 ? c.end : c.start) << c.name;
    // The text reads upwards in its colour, inside the strip.
    EXPECT_TRUE(surface.Colours({0, 0, 20, top}).count(RGB(255, 255, 255))) << c.name;
    // The item itself starts after the strip and a gap.
    EXPECT_EQ(surface.At(21, rects[2].top + 1), kUntouched) << c.name;
    EXPECT_EQ(surface.At(22, rects[2].top + 1), kYellow) << c.name;
    EXPECT_EQ(surface.At(22, rects[1].top + 1), kUntouched) << c.name << ": other items untouched";
  }

  // Without the banner the item fills its whole rectangle.
  TPopupMenu menu;
  menu.Add({.caption = "Show"});
  TPopupMenus97 m;
  m.SetBrush(kYellow);
  m.SetPopupMenu(&menu);
  const SIZE s = Measure(menu, menu.Handle(), 0);
  Surface surface(s.cx, s.cy);
  Draw(menu, menu.Handle(), 0, 0, {0, 0, s.cx, s.cy}, surface);
  EXPECT_EQ(surface.At(0, 0), kYellow);
}

TEST(PopupMenus97Test, CheckAndRadioBoxesAreSunkenOrRaised) {
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF bar = RGB(0, 0, 128);
  struct Case {
    const char* name;
    UINT state;
    bool radio;
    TMenus97Look look;
    COLORREF topLeft, bottomRight;  // of the check column's frame
    COLORREF centre;                // of the glyph
  };
  const COLORREF none = 0xFFFFFFFF;  // the item's background
  const Case cases[] = {
      {"checked: sunken", ODS_CHECKED, false, mlOffice97Look, dark, light, RGB(0, 0, 0)},
      {"checked and highlighted: raised", ODS_CHECKED | ODS_SELECTED, false, mlOffice97Look, light, dark,
       RGB(0, 0, 0)},
      {"unchecked: no box", 0, false, mlOffice97Look, none, none, none},
      {"unchecked highlighted: no box", ODS_SELECTED, false, mlOffice97Look, none, none, none},
      {"radio checked: sunken dot", ODS_CHECKED, true, mlOffice97Look, dark, light, RGB(0, 0, 0)},
      {"radio unchecked: raised", 0, true, mlOffice97Look, light, dark, none},
      {"IE4 look: no boxes", ODS_CHECKED, false, mlIE4Look, none, none, RGB(0, 0, 0)},
      {"disabled: no mark", ODS_CHECKED | ODS_DISABLED | ODS_GRAYED, false, mlOffice97Look, none, none, none},
  };
  for (const Case& c : cases) {
    TPopupMenu menu;
    menu.Add({.caption = "Animated window", .checked = true});
    TPopupMenus97 m;
    m.SetBrush(kYellow);
    m.SetHiliteBar(bar);
    m.SetMenus97Look(c.look);
    m.SetPopupMenu(&menu);
    if (c.radio) {
      MENUITEMINFOA info = Info(menu.Handle(), 0);
      info.fMask = MIIM_FTYPE;
      info.fType |= MFT_RADIOCHECK;
      SetMenuItemInfoA(menu.Handle(), 0, TRUE, &info);
    }
    const SIZE s = Measure(menu, menu.Handle(), 0);
    const SIZE col = m.CheckColumn();
    Surface surface(s.cx, s.cy);
    Draw(menu, menu.Handle(), 0, c.state, {0, 0, s.cx, s.cy}, surface);
    const COLORREF background = (c.state & ODS_SELECTED) ? bar : kYellow;
    const int top = (s.cy - col.cy) / 2;
    EXPECT_EQ(surface.At(0, top), c.topLeft == none ? background : c.topLeft) << c.name;
    EXPECT_EQ(surface.At(col.cx - 1, top + col.cy - 1), c.bottomRight == none ? background : c.bottomRight) << c.name;
    EXPECT_EQ(surface.At(col.cx / 2, top + col.cy / 2 + (c.radio ? 0 : 1)), c.centre == none ? background : c.centre)
        << c.name;
    if (c.centre != none) {
      // The glyph's checkerboard: silver stays, white shows the background.
      const std::set<COLORREF> glyph = surface.Colours({2, top + 2, 4, top + 4});
      EXPECT_EQ(glyph, (std::set<COLORREF>{RGB(192, 192, 192), background})) << c.name;
    }
  }
}

TEST(PopupMenus97Test, TextLinesShortcutsAndDisabledItems) {
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  TPopupMenu menu;
  menu.Add({.caption = "Hide calendar\tCtrl+H"});
  menu.Add({.caption = "-Options"});
  menu.Add({.caption = "Quit"});
  EnableMenuItem(menu.Handle(), 2, MF_BYPOSITION | MF_GRAYED);
  TPopupMenus97 m;
  m.SetBrush(kYellow);
  m.SetFont(TMenuFont::Make("Arial", -13, RGB(255, 0, 0)));
  m.SetPopupMenu(&menu);
  const int check = m.CheckColumn().cx;

  const SIZE s = Measure(menu, menu.Handle(), 0);
  const auto draw = [&](int pos, UINT state) {
    auto surface = std::make_unique<Surface>(s.cx, s.cy);
    Draw(menu, menu.Handle(), pos, state, {0, 0, s.cx, s.cy}, *surface);
    return surface;
  };

  // The shortcut ends a check column short of the right edge.
  const auto shortcut = draw(0, 0);
  int rightmost = -1;
  for (int x = 0; x < s.cx; ++x)
    for (int y = 0; y < s.cy; ++y)
      if (shortcut->At(x, y) == RGB(255, 0, 0)) rightmost = x;
  EXPECT_GT(rightmost, s.cx - check - 4);
  EXPECT_LT(rightmost, s.cx - check);

  // "-word": an etched line across the middle, the word embossed on it.
  const auto line = draw(1, 0);
  const int middle = s.cy / 2;
  EXPECT_EQ(line->At(s.cx - 2, middle), dark);
  EXPECT_EQ(line->At(s.cx - 2, middle + 1), light);
  EXPECT_EQ(line->At(s.cx - 1, middle), kYellow);
  EXPECT_FALSE(line->Colours({0, 0, s.cx, s.cy}).count(RGB(255, 0, 0)));
  EXPECT_TRUE(line->Colours({check, 0, check + 30, s.cy}).count(dark)) << "the word";

  // A disabled item: embossed in the highlight and shadow colours.
  const auto disabled = draw(2, ODS_DISABLED | ODS_GRAYED);
  const std::set<COLORREF> colours = disabled->Colours({0, 0, s.cx, s.cy});
  EXPECT_FALSE(colours.count(RGB(255, 0, 0)));
  EXPECT_TRUE(colours.count(dark));
  EXPECT_TRUE(colours.count(light));

  // An owner's handler may draw the item itself.
  m.OnDrawItem = [](TCustomMenus97& sender, const TMenus97Item& item, const RECT&, UINT) {
    return sender.Canvas() != nullptr && item.caption == "Quit";
  };
  EXPECT_EQ(draw(2, 0)->Colours({0, 0, s.cx, s.cy}), std::set<COLORREF>{kUntouched});
  EXPECT_NE(draw(0, 0)->Colours({0, 0, s.cx, s.cy}), std::set<COLORREF>{kUntouched});
  EXPECT_EQ(m.Canvas(), nullptr) << "only while drawing";
}

// Keys for the menu loop, one a tick: posted to the window that has the
// menu, where the loop reads them.
struct MenuKeys {
  static inline HWND owner = nullptr;
  static inline std::vector<WPARAM> keys;
  static inline std::size_t next = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (next >= keys.size()) return;
    PostMessageA(owner, WM_KEYDOWN, keys[next], 0);
    PostMessageA(owner, WM_KEYUP, keys[next], 0xC0000000);
    ++next;
  }
};

TEST(PopupMenus97Test, ALabelLineCannotBeChosen) {
  TPopupMenu menu;
  const int label = menu.Add({.caption = "-Options"});
  menu.Add({.caption = "Quit"});
  TPopupMenus97 m;
  m.SetBanner(true);
  m.SetPopupMenu(&menu);
  // Down to the first item, Return on it, then Escape for a loop still open.
  MenuKeys::owner = menu.Owner();
  MenuKeys::keys = {VK_DOWN, VK_RETURN, VK_ESCAPE, VK_ESCAPE};
  MenuKeys::next = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, &MenuKeys::Tick);
  SetForegroundWindow(menu.Owner());
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.Handle(), TPM_RETURNCMD | TPM_NONOTIFY, 100, 100, 0, menu.Owner(), nullptr));
  KillTimer(nullptr, timer);
  test::PumpPending();
  EXPECT_NE(chosen, menu.CommandOf(label));
  EXPECT_GE(MenuKeys::next, 2u) << "the keys reached the menu";
}

TEST(PopupMenus97Test, TypedCharactersChooseEnabledItemsByAccelerator) {
  TPopupMenu menu;
  menu.Add({.caption = "&Show Calendar"});                      // 0
  menu.Add({.caption = "&Hide calendar"});                      // 1
  const int looks = menu.Add({.caption = "Looks", .submenu = true});  // 2
  menu.Add({.caption = "&Animated window"}, looks);
  menu.Add({.caption = "&Blincking icons"}, looks);
  menu.Add({.caption = "&Quit"});                               // 3
  menu.Add({.caption = "Fish && &Chips"});                      // 4
  EnableMenuItem(menu.Handle(), 3, MF_BYPOSITION | MF_GRAYED);
  TPopupMenus97 m;
  m.SetPopupMenu(&menu);
  const HMENU root = menu.Handle();
  const HMENU sub = menu.SubmenuOf(looks);
  struct Case {
    HMENU in;
    char typed;
    LRESULT want;
  };
  const LRESULT ignore = 0;  // the system's own answer: beep
  const Case cases[] = {
      {root, 's', MAKELRESULT(0, MNC_EXECUTE)},
      {root, 'H', MAKELRESULT(1, MNC_EXECUTE)},
      {root, 'b', MAKELRESULT(2, MNC_EXECUTE)},  // inside Looks: opens it
      {sub, 'b', MAKELRESULT(1, MNC_EXECUTE)},
      {sub, 's', ignore},
      {root, 'q', ignore},  // disabled
      {root, 'c', MAKELRESULT(4, MNC_EXECUTE)},
      {root, '&', ignore},
      {root, 'z', ignore},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessageA(menu.Owner(), WM_MENUCHAR, MAKEWPARAM(static_cast<BYTE>(c.typed), MF_POPUP),
                           reinterpret_cast<LPARAM>(c.in)),
              c.want)
        << c.typed;
}

}  // namespace
}  // namespace redoviri
