// The pictures drawn in C++ against the bitmaps tools/gen_pictures.py wrote.
#include "base/pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "resource_ids.h"

namespace redoviri::pictures {
namespace {

const std::filesystem::path kDir = REDOVIRI_PICTURES_DIR;

// A 24-bit bottom-up BMP as 0x00RRGGBB rows from the top; empty when absent.
canvas::Image ReadBmp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  canvas::Image img;
  if (b.size() < 54) return img;
  const auto u32 = [&](size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
                                      static_cast<unsigned char>(b[at + 2]) << 16 |
                                      static_cast<unsigned char>(b[at + 3]) << 24);
  };
  img.width = static_cast<int>(u32(18));
  img.height = static_cast<int>(u32(22));
  const size_t row = (static_cast<size_t>(img.width) * 3 + 3) & ~size_t{3};
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const size_t at = u32(10) + (img.height - 1 - y) * row + x * 3;
      img.rgb.push_back(static_cast<unsigned char>(b[at + 2]) << 16 | static_cast<unsigned char>(b[at + 1]) << 8 |
                        static_cast<unsigned char>(b[at]));
    }
  }
  return img;
}

class DrawnAsWritten : public testing::TestWithParam<Picture> {};

// At 100 % the drawing is the written bitmap, pixel for pixel.
TEST_P(DrawnAsWritten, EveryPixel) {
  const Picture picture = GetParam();
  const canvas::Image file = ReadBmp(kDir / (std::string(picture.name) + ".bmp"));
  ASSERT_FALSE(file.rgb.empty()) << picture.name;
  const auto drawn = Draw(picture.id, 96);
  ASSERT_TRUE(drawn);
  ASSERT_EQ(drawn->width, file.width);
  ASSERT_EQ(drawn->height, file.height);
  int differ = 0;
  for (size_t i = 0; i < file.rgb.size(); ++i) {
    if (drawn->rgb[i] != file.rgb[i] && differ++ < 5) {
      ADD_FAILURE() << "(" << i % file.width << ", " << i / file.width << "): " << std::hex << drawn->rgb[i]
                    << " drawn, " << file.rgb[i] << " written";
    }
  }
  EXPECT_EQ(differ, 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, DrawnAsWritten, testing::ValuesIn(All()),
                         [](const auto& info) { return std::string(info.param.name); });

// FNV-1a over the pixels drawn at 120, 144 and 192 DPI.
std::uint64_t Fingerprint(int id) {
  std::uint64_t h = 14695981039346656037ull;
  for (int dpi : {120, 144, 192}) {
    const auto image = Draw(id, dpi);
    for (std::uint32_t v : image->rgb) h = (h ^ v) * 1099511628211ull;
  }
  return h;
}

// The fingerprints of the pictures drawn at 125, 150 and 200 % when they
// were equal, pixel for pixel, to the copies the generator wrote at those
// scales (the copies the program held before it drew them itself).
TEST(Pictures, DrawnLargerAsTheGeneratorDrew) {
  const std::map<std::string, std::uint64_t> expected = {
      {"topbar", 0x3a8c7f36f43a93b1ull},
      {"bottombar", 0x4cf27d1b81c2a706ull},
      {"leftbar", 0x30461fb24ddea12cull},
      {"rightbar", 0x30461fb24ddea12cull},
      {"closetop", 0xf3b157c78e98810bull},
      {"closebottom", 0xc1af8d2d58df95c7ull},
      {"legend", 0x915ba7600a12cd25ull},
      {"legendhead", 0xee742d951a8970eull},
      {"legendpanel", 0x572dc4cc0ea684adull},
      {"splash", 0x36a60472f2f80999ull},
      {"newmoon", 0x28adddc9e110bc04ull},
      {"fullmoon", 0x6e0bc213b7a28e1bull},
      {"eventok", 0xb306cb6a787172f3ull},
      {"ibirth", 0x63c08b43f51ad96ull},
      {"iwor", 0xe229237ec5ab99f3ull},
      {"irel", 0x70075227b38e268cull},
      {"ifee", 0x96fef12e65c099f3ull},
      {"ioth", 0x476b1f33f544a38cull},
      {"eventokto", 0xaa9badd96181ed04ull},
      {"ibirto", 0x31008c94c7672696ull},
      {"iworto", 0xe94e1ba07db7a104ull},
      {"irelto", 0xae9eaba04579a630ull},
      {"ifeeto", 0x1c8bc1eae423a104ull},
      {"iothto", 0x49063b8959c22230ull},
      {"imulto", 0xe5a7664c2326c743ull},
      {"imul", 0x968e30bd41b3c743ull},
      {"eventsel", 0xef3300d926435e96ull},
      {"ibirthsel", 0x8976e6ea129a054ull},
      {"iworsel", 0x494a83c0c27ec96ull},
      {"irelsel", 0x14bd5c0af189190ull},
      {"ifeesel", 0xbb6d5440aa95ec96ull},
      {"iothsel", 0x651ec0c2e4436b90ull},
      {"imulsel", 0xc1c81a7feccaf908ull},
      {"iclov", 0x5ee08acfa3395901ull},
      {"icbir", 0x408135e6ad3c6ffbull},
      {"icwor", 0x681e80bc1ac4b71eull},
      {"icrel", 0x885ea53c2a2b6dcull},
      {"icfee", 0xf8e7307504c99cb2ull},
      {"icoth", 0x4d72c300f724cef9ull},
      {"checkmark", 0x7f72c57e44c540b4ull},
      {"radiomark", 0x9efbf49499eefcdfull},
      {"aboutback", 0x1e28a12c8973907bull},
      {"figure1", 0x9172a625497b3d6cull},
      {"figure2", 0xee7ef3da00aec33ull},
      {"legendlist", 0x810e6bbfb6834b24ull},
      {"listhead", 0x514bb93db169362dull},  // since, its separators moved onto the rows' lines
      {"legendlow", 0x8704fbe55d10dba6ull},
      {"gup", 0x361bff5328a057b5ull},
      {"gdown", 0xb425e1aabf0c3f17ull},
      {"gtoday", 0xe547e4ecf41d58cfull},
      {"gadd", 0xeb6d444c2e1609e4ull},
      {"gmonth", 0x8885b1610c823211ull},
      {"gchoose", 0x4230445e4e7c967aull},
      {"gback", 0x7bccb6d99f9b1279ull},
      {"gdelete", 0xab12bdac4692d6b3ull},
  };
  for (const Picture& p : All()) {
    const auto it = expected.find(p.name);
    EXPECT_TRUE(it != expected.end() && it->second == Fingerprint(p.id))
        << "{\"" << p.name << "\", 0x" << std::hex << Fingerprint(p.id) << "ull},";
  }
}

// Every bitmap of the resources is drawn here, under its id.
TEST(Pictures, EveryBitmapOfTheResources) {
  std::set<std::pair<int, std::string>> resources, drawn;
  for (const auto& p : resources::kPictures) {
    if (p.kind == resources::PictureKind::Bitmap) resources.insert({p.id, p.name});
  }
  for (const Picture& p : All()) drawn.insert({p.id, p.name});
  EXPECT_EQ(drawn, resources);
}

// At any resolution the picture has its 100 % size scaled, and a
// transparent one keeps the key in its bottom-left corner.
TEST(Pictures, SizeAndKeyAtEveryResolution) {
  for (const Picture& p : All()) {
    const auto base = Draw(p.id, 96);
    const bool keyed = base->rgb[static_cast<size_t>(base->height - 1) * base->width] == 0xFF00FFu;
    for (int dpi : {97, 168, 288, 480}) {
      const auto at = Draw(p.id, dpi);
      EXPECT_EQ(at->width, (base->width * dpi + 48) / 96) << p.name << " at " << dpi;
      EXPECT_EQ(at->height, (base->height * dpi + 48) / 96) << p.name << " at " << dpi;
      EXPECT_EQ(at->rgb[static_cast<size_t>(at->height - 1) * at->width] == 0xFF00FFu, keyed) << p.name;
    }
  }
}

// The tray's day number on a dark taskbar: the same digits, light on a
// dark page, at every small-icon size.
TEST(Pictures, TheDayNumberOnADarkTaskbarIsTheLightOnesDigitsInverted) {
  for (const int size : {16, 20, 24, 28, 32, 40, 48}) {  // 28: 175 %
    for (const int day : {1, 14, 31}) {
      const canvas::Canvas light = DayIcon(day, size, kLightTaskbarInk), dark = DayIcon(day, size, kDarkTaskbarInk);
      ASSERT_EQ(light.w(), size);
      int digits = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const auto& l = light.at(x, y);
          const auto& d = dark.at(x, y);
          const bool digit = canvas::Rgb({l.r, l.g, l.b}) == kLightTaskbarInk.digits && l.a == 1.0;
          const bool darkDigit = canvas::Rgb({d.r, d.g, d.b}) == kDarkTaskbarInk.digits && d.a == 1.0;
          EXPECT_EQ(digit, darkDigit) << size << " " << day;
          digits += digit;
        }
      EXPECT_GT(digits, size) << "the digits of " << day << " at " << size;
    }
  }
}

}  // namespace
}  // namespace redoviri::pictures
