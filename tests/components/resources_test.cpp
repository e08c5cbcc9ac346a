// The compiled resources: every picture loads from the executable with its
// size, and samples of their pixels carry the colours the windows rely on.
#include "resources/resource_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/pictures.h"
#include "support/win32_test_support.h"
#include "widgets/bitmap.h"
#include "widgets/dpi.h"

namespace redoviri {
namespace {

using resources::kPictures;
using resources::PictureKind;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// The pixels of a bitmap, row by row from the top.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> rgb;
  COLORREF At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

Pixels Read(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight, test::BitmapPixels(bitmap, info.bmWidth, info.bmHeight)};
}

Pixels Bitmap(int id) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  EXPECT_NE(bitmap, nullptr) << "bitmap " << id;
  if (!bitmap) return {};
  Pixels p = Read(bitmap);
  DeleteObject(bitmap);
  return p;
}

// The colour image and the mask of an icon loaded at the given size.
struct IconImage {
  Pixels colour, mask;
};

IconImage Read(HICON icon) {
  EXPECT_NE(icon, nullptr);
  if (!icon) return {};
  ICONINFO info{};
  GetIconInfo(icon, &info);
  IconImage out{Read(info.hbmColor), Read(info.hbmMask)};
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return out;
}

IconImage Icon(int id, int size) {
  const widgets::OwnedIcon icon(
      static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
  return Read(icon.get());
}

// The tray's icons as the generator draws them.
IconImage Reference(const std::string& name, int size) { return Read(test::GeneratorIcon(name, size).get()); }

const COLORREF kCategory[] = {RGB(255, 0, 0),   RGB(0, 0, 255),   RGB(128, 128, 0),
                              RGB(128, 0, 128), RGB(0, 128, 0), RGB(0, 128, 128)};
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kToday = RGB(128, 255, 255);
constexpr COLORREF kSelected = RGB(255, 255, 221);

int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// The category (0..5) whose colour is nearest to c.
int NearestCategory(COLORREF c) {
  int best = 0;
  for (int k = 1; k < 6; ++k) {
    if (Distance(c, kCategory[k]) < Distance(c, kCategory[best])) best = k;
  }
  return best;
}

bool HasPicture(const std::string& name) {
  for (const auto& pic : kPictures) {
    if (name == pic.name) return true;
  }
  return false;
}

TEST(ResourcesTest, EveryPictureTheWindowsUseIsThere) {
  std::vector<std::string> wanted = {
      "redoviri", "topbar", "bottombar", "leftbar", "rightbar", "closetop", "closebottom", "legend",
      "legendhead", "legendpanel", "splash", "newmoon", "fullmoon", "eventok", "ibirth", "iwor",
      "irel", "ifee", "ioth", "imul", "eventokto", "ibirto", "iworto", "irelto", "ifeeto", "iothto",
      "imulto", "eventsel", "ibirthsel", "iworsel", "irelsel", "ifeesel", "iothsel", "imulsel",
      "checkmark", "radiomark"};
  for (const char* cat : {"lov", "bir", "wor", "rel", "fee", "oth"}) wanted.push_back(std::string("ic").append(cat));
  for (const auto& name : wanted) EXPECT_TRUE(HasPicture(name)) << name;
}

TEST(ResourcesTest, EveryPictureLoadsWithItsSize) {
  std::set<int> ids;
  std::set<std::string> names;
  for (const auto& pic : kPictures) {
    SCOPED_TRACE(pic.name);
    EXPECT_TRUE(ids.insert(pic.id).second) << "id used twice";
    EXPECT_TRUE(names.insert(pic.name).second) << "name used twice";
    if (pic.kind == PictureKind::Bitmap) {
      const Pixels p = Bitmap(pic.id);
      EXPECT_EQ(p.width, pic.width);
      EXPECT_EQ(p.height, pic.height);
    } else {
      EXPECT_NE(LoadIconA(Module(), MAKEINTRESOURCEA(pic.id)), nullptr);
      for (int size : resources::kIconSizes) {
        const IconImage icon = Icon(pic.id, size);
        EXPECT_EQ(icon.colour.width, size) << "an image of this size is stored";
        EXPECT_EQ(icon.colour.height, size);
      }
    }
  }
}

TEST(ResourcesTest, IdHelpersNameTheRightPictures) {
  using namespace resources;
  EXPECT_EQ(CategoryPanelIconId(3), IDB_ICWOR);
  EXPECT_EQ(DayMarkPictureId(1), IDB_EVENTOK);
  EXPECT_EQ(DayMarkPictureId(9), IDB_IWORTO);
  EXPECT_EQ(DayMarkPictureId(13), IDB_IMULTO);
  EXPECT_EQ(DayMarkPictureId(14), IDB_IMUL);
  EXPECT_EQ(SelectedDayMarkPictureId(2), IDB_IBIRTHSEL);
  EXPECT_EQ(SelectedDayMarkPictureId(14), IDB_IMULSEL);
}

TEST(ResourcesTest, LegendStripShowsTheSixColoursTopToBottom) {
  const Pixels strip = Bitmap(IDB_LEGEND);
  ASSERT_EQ(strip.height, 32);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(strip.At(5, 3 + 5 * k), kCategory[k]) << "band " << k;
  }
}

TEST(ResourcesTest, EventPicturesSitOnTheirCellColourAndCarryTheirCategory) {
  struct Set {
    int firstId;
    COLORREF cell;
  };
  for (const Set& set : {Set{IDB_EVENTOK, RGB(255, 255, 255)}, Set{IDB_EVENTOKTO, kToday},
                         Set{IDB_EVENTSEL, kSelected}}) {
    for (int k = 0; k < 6; ++k) {
      SCOPED_TRACE(testing::Message() << "picture " << set.firstId + k);
      const Pixels p = Bitmap(set.firstId + k);
      ASSERT_EQ(p.width, 44);
      // The middle, where the day number stands, stays close to the cell colour.
      EXPECT_LT(Distance(p.At(22, 14), set.cell), 80);
      // The frame and the corner mark carry the category colour.
      EXPECT_EQ(p.At(0, 14), kCategory[k]);
      EXPECT_EQ(p.At(42, 1), kCategory[k]);
    }
  }
  // Several events: the six colours side by side along the top.
  for (int id : {IDB_IMUL, IDB_IMULTO, IDB_IMULSEL}) {
    const Pixels p = Bitmap(id);
    std::set<int> seen;
    for (int x = 0; x < p.width; ++x) {
      const COLORREF c = p.At(x, 3);
      if (Distance(c, kCategory[NearestCategory(c)]) == 0) seen.insert(NearestCategory(c));
    }
    EXPECT_EQ(seen.size(), 6u) << "picture " << id;
  }
  EXPECT_EQ(Bitmap(IDB_IMULTO).At(22, 14), kToday);
  EXPECT_EQ(Bitmap(IDB_IMULSEL).At(22, 14), kSelected);
}

TEST(ResourcesTest, MoonPicturesAreDiscsOnTheTransparentKey) {
  const Pixels newMoon = Bitmap(IDB_NEWMOON);
  const Pixels fullMoon = Bitmap(IDB_FULLMOON);
  for (const Pixels* p : {&newMoon, &fullMoon}) {
    EXPECT_EQ(p->At(0, 15), kKey) << "bottom-left pixel is the key";
    EXPECT_EQ(p->At(15, 0), kKey);
    EXPECT_EQ(p->At(15, 15), kKey) << "the right side stays clear of the day number";
  }
  const COLORREF dark = newMoon.At(6, 9);
  const COLORREF bright = fullMoon.At(6, 9);
  EXPECT_LT(GetRValue(dark) + GetGValue(dark) + GetBValue(dark), 200);
  EXPECT_GT(GetRValue(bright) + GetGValue(bright), 450);
  EXPECT_LT(GetBValue(bright), GetRValue(bright)) << "pale yellow";
}

TEST(ResourcesTest, CategoryIconsShowTheirCategoryColour) {
  for (int k = 0; k < 6; ++k) {
    for (int size : resources::kIconSizes) {
      const IconImage icon = Reference(test::KindIconName(k), size);
      ASSERT_EQ(icon.colour.width, size);
      // Just inside the tile's left edge, above the white symbol.
      const COLORREF edge = icon.colour.At(size / 8, size / 4);
      EXPECT_EQ(NearestCategory(edge), k) << "tray icon " << k << " at " << size;
    }
    const Pixels panel = Bitmap(resources::CategoryPanelIconId(k + 1));
    EXPECT_EQ(NearestCategory(panel.At(2, panel.height / 4)), k) << "panel icon " << k;
    EXPECT_EQ(panel.At(0, panel.height - 1), kKey);
  }
}

// The program draws the tray's icons itself; at each size of the icon
// files they are the generator's images, alpha and all.
// The program draws the tray's icons itself; at each size of the icon
// files they are the generator's images, alpha and all.
TEST(ResourcesTest, TheTraysDrawnIconsAreTheGeneratorsPixelForPixel) {
  const auto argb = [](const std::string& name, int size) {
    ICONINFO info{};
    GetIconInfo(test::GeneratorIcon(name, size).get(), &info);
    const widgets::OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAPINFO bi = test::TopDown32(size, size);
    std::vector<std::uint32_t> bits(static_cast<size_t>(size) * size);
    GetDIBits(widgets::WindowDC().get(), colour.get(), 0, size, bits.data(), &bi, DIB_RGB_COLORS);
    for (std::uint32_t& v : bits) v = v >> 24 ? v : 0;
    return bits;
  };
  for (int size : resources::kIconSizes) {
    for (int day = 1; day <= 31; ++day)
      EXPECT_EQ(canvas::Argb(pictures::DayIcon(day, size, pictures::kLightTaskbarInk)),
                argb(test::DayIconName(day), size))
          << "day " << day << " at " << size;
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(canvas::Argb(pictures::KindIcon(k, size)), argb(test::KindIconName(k), size))
          << "kind " << k << " at " << size;
  }
}

TEST(ResourcesTest, DayIconsDifferByDayAndHaveTransparentCorners) {
  std::set<std::vector<COLORREF>> seen;
  for (int day = 1; day <= 31; ++day) {
    const IconImage icon = Reference(test::DayIconName(day), 16);
    ASSERT_EQ(icon.colour.width, 16);
    EXPECT_TRUE(seen.insert(icon.colour.rgb).second) << "day " << day << " looks like another day";
    // The mask is set (transparent) in the corner outside the rounded page.
    EXPECT_EQ(icon.mask.At(0, 0), RGB(255, 255, 255)) << "day " << day;
    // Dark digits on the light page body.
    int dark = 0;
    for (int y = 6; y < 14; ++y) {
      for (int x = 2; x < 14; ++x) dark += GetRValue(icon.colour.At(x, y)) < 80;
    }
    EXPECT_GE(dark, 10) << "day " << day;
  }
}

TEST(ResourcesTest, DayIconDigitsAreDrawnAtEverySize) {
  // The digits are drawn in solid ink on the light page at each size, so
  // the page's body holds ink and light colours only; an image scaled from
  // another size would have greys around the digits.
  constexpr COLORREF kInk = RGB(24, 24, 40);
  for (int day : {1, 8, 28}) {
    for (int size : resources::kIconSizes) {
      SCOPED_TRACE(testing::Message() << "day " << day << " at " << size);
      const IconImage icon = Reference(test::DayIconName(day), size);
      ASSERT_EQ(icon.colour.width, size);
      int ink = 0, between = 0;
      for (int y = size * 6 / 16; y < size * 14 / 16; ++y) {
        for (int x = size / 8; x < size * 7 / 8; ++x) {
          const COLORREF c = icon.colour.At(x, y);
          ink += c == kInk;
          between += c != kInk && GetRValue(c) < 200;
        }
      }
      EXPECT_EQ(between, 0);
      EXPECT_GE(ink, size * size / 16) << "the digits grow with the icon";
    }
  }
}

using widgets::Scale;
constexpr int kDpis[] = {96, 120, 144, 168, 192, 240};

// The program's picture drawn for dpi, as Bitmap::AtDpi shows it.
Pixels Drawn(int id, int dpi) {
  const auto image = pictures::Draw(id, dpi);
  EXPECT_TRUE(image) << "picture " << id;
  if (!image) return {};
  Pixels p{image->width, image->height, {}};
  for (std::uint32_t v : image->rgb) p.rgb.push_back(RGB(v >> 16, (v >> 8) & 0xFF, v & 0xFF));
  return p;
}

widgets::Bitmap Picture(int id) { return widgets::Bitmap::FromResource(Module(), MAKEINTRESOURCEA(id)); }
Pixels Read(const widgets::Bitmap& b) {
  return {b.Width(), b.Height(), test::BitmapPixels(b.Handle(), b.Width(), b.Height())};
}

TEST(ResourcesTest, EveryBitmapHasItsSizeAtEveryDpi) {
  for (const auto& pic : kPictures) {
    if (pic.kind != PictureKind::Bitmap) continue;
    const widgets::Bitmap bitmap = Picture(pic.id);
    for (int dpi : kDpis) {
      SCOPED_TRACE(testing::Message() << pic.name << " at " << dpi);
      const widgets::Bitmap at = bitmap.AtDpi(dpi);
      EXPECT_EQ(at.Width(), MulDiv(pic.width, dpi, 96));
      EXPECT_EQ(at.Height(), MulDiv(pic.height, dpi, 96));
      // Above 96 DPI the picture is drawn for the size, not stretched.
      if (dpi > 96) {
        EXPECT_EQ(Read(at).rgb, Drawn(pic.id, dpi).rgb);
      }
    }
    EXPECT_TRUE(bitmap.AtDpi(96) == bitmap);
    EXPECT_TRUE(bitmap.AtDpi(144) == bitmap.AtDpi(144)) << "made once";
  }
}

// The longest run of pixels between the inside colour and the corner tab's
// colour across the tab's slanted edge, over the rows of the event
// picture's upper part.
int SlantWidth(const Pixels& p, int dpi) {
  int widest = 0;
  for (int y = Scale(3, dpi); y < Scale(9, dpi); ++y) {
    const COLORREF inside = p.At(p.width / 2, y);
    int run = 0;
    for (int x = p.width / 2; x < p.width; ++x) {
      const COLORREF c = p.At(x, y);
      run = (c != inside && c != kCategory[0]) ? run + 1 : 0;
      widest = std::max(widest, run);
    }
  }
  return widest;
}

TEST(ResourcesTest, LargerPicturesAreDrawnNotStretched) {
  // The tab's edge runs from pixel corner to pixel corner at 100 and 200 %:
  // one blended pixel a row, as sharp at twice the size; at 125 to 300 %
  // (175 and 225 % included) at most two.
  const widgets::Bitmap picture = Picture(IDB_EVENTOK);
  EXPECT_EQ(SlantWidth(Read(picture), 96), 1);
  EXPECT_EQ(SlantWidth(Read(picture.AtDpi(192)), 192), 1);
  for (int dpi : {120, 144, 168, 216, 288}) EXPECT_LE(SlantWidth(Read(picture.AtDpi(dpi)), dpi), 2) << dpi;
  // A copy of the small one stretched to that size is not as sharp.
  const widgets::Bitmap stretched = widgets::Bitmap::Draw(88, 56, [&](HDC dc) {
    widgets::DrawBitmap(dc, picture, {0, 0, 88, 56}, {.stretch = true, .transparent = {}});
  });
  EXPECT_GE(SlantWidth(Read(stretched), 192), 2);
  // Across a bar the shading changes from row to row, not every second row.
  const Pixels bar = Read(Picture(IDB_TOPBAR).AtDpi(192));
  ASSERT_EQ(bar.height, 44);
  for (int y = 0; y + 1 < bar.height; y += 2) EXPECT_NE(bar.At(5, y), bar.At(5, y + 1)) << y;
}

TEST(ResourcesTest, TransparentPicturesKeepTheirKeyAtEveryDpi) {
  struct Case {
    int id;
    std::optional<COLORREF> key;  // none: the magenta of the corner
  };
  std::vector<Case> cases = {{IDB_CHECKMARK, RGB(255, 255, 255)}, {IDB_RADIOMARK, RGB(255, 255, 255)}};
  for (const auto& pic : kPictures) {
    if (pic.kind == PictureKind::Bitmap && Bitmap(pic.id).At(0, pic.height - 1) == kKey) cases.push_back({pic.id, {}});
  }
  ASSERT_GE(cases.size(), 20u);
  for (const Case& c : cases) {
    const widgets::Bitmap bitmap = Picture(c.id);
    for (int dpi : kDpis) {
      SCOPED_TRACE(testing::Message() << "picture " << c.id << " at " << dpi);
      const widgets::Bitmap at = c.key ? bitmap.AtDpi(dpi, *c.key) : bitmap.AtDpi(dpi);
      const Pixels p = Read(at);
      if (!c.key) {
        EXPECT_EQ(p.At(0, p.height - 1), kKey) << "the bottom-left pixel is the key";
      }
      if (dpi > 96) {
        // Drawn for the size, key and all: no key is blended into a colour.
        EXPECT_EQ(p.rgb, Drawn(c.id, dpi).rgb);
      } else {
        EXPECT_TRUE(at == bitmap);
      }
    }
  }
}

TEST(ResourcesTest, ScaledPicturesAreHeldAndGivenBack) {
  const long before = widgets::Held().gdiObjects;
  {
    const widgets::Bitmap bitmap = Picture(IDB_GADD);
    const widgets::Bitmap at = bitmap.AtDpi(168);
    const long held = widgets::Held().gdiObjects;
    EXPECT_GT(held, before + 1) << "the scaled picture is counted";
    EXPECT_TRUE(widgets::Bitmap(bitmap).AtDpi(168) == at) << "copies share what was made";
    EXPECT_EQ(widgets::Held().gdiObjects, held);
  }
  EXPECT_EQ(widgets::Held().gdiObjects, before);
  // A picture not loaded from the module by number stays itself.
  const widgets::Bitmap solid = widgets::Bitmap::Solid(10, 10, RGB(1, 2, 3));
  EXPECT_TRUE(solid.AtDpi(192) == solid);
}

TEST(ResourcesTest, DrawBitmapDrawsThePictureForItsDpi) {
  const widgets::Bitmap glyph = Picture(IDB_GADD);
  constexpr COLORREF kGround = RGB(0, 200, 0);
  for (int dpi : kDpis) {
    SCOPED_TRACE(dpi);
    const Pixels want = Read(glyph.AtDpi(dpi));
    for (bool stretch : {false, true}) {
      const Pixels got = Read(widgets::Bitmap::Draw(want.width + 6, want.height + 6, [&](HDC dc) {
        widgets::FillSolid(dc, {0, 0, want.width + 6, want.height + 6}, kGround);
        const RECT dest = stretch ? RECT{3, 3, 3 + want.width, 3 + want.height} : RECT{3, 3, 100, 100};
        widgets::DrawBitmap(dc, glyph, dest, {.stretch = stretch, .transparent = kKey}, dpi);
      }));
      int wrong = 0;
      for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
          const bool in = x >= 3 && y >= 3 && x < 3 + want.width && y < 3 + want.height;
          const COLORREF w = in && want.At(x - 3, y - 3) != kKey ? want.At(x - 3, y - 3) : kGround;
          wrong += got.At(x, y) != w;
        }
      }
      EXPECT_EQ(wrong, 0) << (stretch ? "stretched" : "natural size");
    }
  }
}

}  // namespace
}  // namespace redoviri
