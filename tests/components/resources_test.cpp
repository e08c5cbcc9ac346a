// The compiled resources: every picture loads from the executable with its
// size, and samples of their pixels carry the colours the windows rely on.
#include "resources/resource_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "support/win32_test_support.h"

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

IconImage Icon(int id, int size) {
  auto icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
  EXPECT_NE(icon, nullptr) << "icon " << id << " at " << size;
  if (!icon) return {};
  ICONINFO info{};
  GetIconInfo(icon, &info);
  IconImage out{Read(info.hbmColor), Read(info.hbmMask)};
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  return out;
}

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
  for (const char* cat : {"lov", "bir", "wor", "rel", "fee", "oth"}) {
    wanted.push_back(std::string("ict").append(cat));
    wanted.push_back(std::string("ic").append(cat));
  }
  for (int day = 1; day <= 31; ++day) {
    char name[8];
    std::snprintf(name, sizeof name, "d%d", day);
    wanted.push_back(name);
  }
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
      for (int size : {32, 16}) {
        const IconImage icon = Icon(pic.id, size);
        EXPECT_EQ(icon.colour.width, size) << "an image of this size is stored";
        EXPECT_EQ(icon.colour.height, size);
      }
    }
  }
}

TEST(ResourcesTest, IdHelpersNameTheRightPictures) {
  using namespace resources;
  EXPECT_EQ(DayIconId(1), IDI_D1);
  EXPECT_EQ(DayIconId(31), IDI_D31);
  EXPECT_EQ(CategoryTrayIconId(6), IDI_ICTOTH);
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
    for (int size : {32, 16}) {
      const IconImage icon = Icon(resources::CategoryTrayIconId(k + 1), size);
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

TEST(ResourcesTest, DayIconsDifferByDayAndHaveTransparentCorners) {
  std::set<std::vector<COLORREF>> seen;
  for (int day = 1; day <= 31; ++day) {
    const IconImage icon = Icon(resources::DayIconId(day), 16);
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

}  // namespace
}  // namespace redoviri
