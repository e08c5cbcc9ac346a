// The pictures drawn in C++ against the bitmaps tools/gen_pictures.py wrote.
#include "base/pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
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

struct Case {
  Picture picture;
  int percent;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const Picture& p : All()) {
    for (int percent : {100, 125, 150, 200}) cases.push_back({p, percent});
  }
  return cases;
}

class DrawnAsWritten : public testing::TestWithParam<Case> {};

TEST_P(DrawnAsWritten, EveryPixel) {
  const auto [picture, percent] = GetParam();
  std::string name = picture.name;
  if (percent != 100) name += '_' + std::to_string(percent);
  const canvas::Image file = ReadBmp(kDir / (name + ".bmp"));
  if (file.rgb.empty() && percent != 100) GTEST_SKIP() << "no written copy at " << percent << " %";
  ASSERT_FALSE(file.rgb.empty()) << name;
  const auto drawn = Draw(picture.id, 96 * percent / 100);
  ASSERT_TRUE(drawn);
  ASSERT_EQ(drawn->width, file.width) << name;
  ASSERT_EQ(drawn->height, file.height) << name;
  int differ = 0;
  for (size_t i = 0; i < file.rgb.size(); ++i) {
    if (drawn->rgb[i] != file.rgb[i] && differ++ < 5) {
      ADD_FAILURE() << name << " (" << i % file.width << ", " << i / file.width << "): " << std::hex
                    << drawn->rgb[i] << " drawn, " << file.rgb[i] << " written";
    }
  }
  EXPECT_EQ(differ, 0) << name;
}

INSTANTIATE_TEST_SUITE_P(Pictures, DrawnAsWritten, testing::ValuesIn(Cases()), [](const auto& info) {
  return std::string(info.param.picture.name) + "_" + std::to_string(info.param.percent);
});

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
    for (int dpi : {97, 110, 168, 240, 288, 480}) {
      const auto at = Draw(p.id, dpi);
      EXPECT_EQ(at->width, (base->width * dpi + 48) / 96) << p.name << " at " << dpi;
      EXPECT_EQ(at->height, (base->height * dpi + 48) / 96) << p.name << " at " << dpi;
      EXPECT_EQ(at->rgb[static_cast<size_t>(at->height - 1) * at->width] == 0xFF00FFu, keyed) << p.name;
    }
  }
}

}  // namespace
}  // namespace redoviri::pictures
