#include "widgets/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "base/pictures.h"

namespace redoviri::widgets {

struct Bitmap::Origin {
  HINSTANCE module;
  int id;
  COLORREF corner;
  // The program's picture of this id drawn for a dpi (empty: none).
  std::map<int, Bitmap> drawn;
  // The pictures made for (dpi, key); key CLR_INVALID when there is none.
  std::map<std::pair<int, COLORREF>, Bitmap> made;
};

namespace {

constexpr COLORREF kMagentaKey = RGB(255, 0, 255);

HBITMAP LoadBitmapResource(HINSTANCE module, const char* name) {
  return static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// 0x00RRGGBB pixels, rows from the top.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> bgrx;
};

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

Pixels Read(HBITMAP bitmap, int width, int height) {
  Pixels p{width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
  BITMAPINFO info = TopDown32(width, height);
  const MemoryDC dc;
  GetDIBits(dc.get(), bitmap, 0, height, p.bgrx.data(), &info, DIB_RGB_COLORS);
  return p;
}

OwnedBitmap Write(const Pixels& p) {
  BITMAPINFO info = TopDown32(p.width, p.height);
  void* bits = nullptr;
  OwnedBitmap out(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (out && bits) std::copy(p.bgrx.begin(), p.bgrx.end(), static_cast<std::uint32_t*>(bits));
  GdiFlush();
  return out;
}

std::uint32_t AsPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// How much of each source pixel (of `from`) falls into each of `to`
// destination pixels laid over the same length.
struct Tap {
  int source;
  double weight;
};
std::vector<std::vector<Tap>> Footprints(int from, int to) {
  std::vector<std::vector<Tap>> taps(to);
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double a = i * step, b = (i + 1) * step;
    for (int s = static_cast<int>(std::floor(a)); s < b && s < from; ++s) {
      const double w = std::min<double>(b, s + 1) - std::max<double>(a, s);
      if (w > 1e-9) taps[i].push_back({s, w});
    }
  }
  return taps;
}

// A box filter over the pixels' areas. Pixels of the key count for
// nothing; a destination pixel is the key when the source pixel under its
// centre is, so the key's outline stays as hard as it was.
Pixels Resample(const Pixels& src, int width, int height, bool keyed, std::uint32_t key) {
  const auto across = Footprints(src.width, width);
  const auto down = Footprints(src.height, height);
  struct Sum {
    double r = 0, g = 0, b = 0, w = 0;
  };
  // Across first: every source row to the destination width.
  std::vector<Sum> rows(static_cast<size_t>(src.height) * width);
  for (int y = 0; y < src.height; ++y) {
    const std::uint32_t* line = &src.bgrx[static_cast<size_t>(y) * src.width];
    for (int x = 0; x < width; ++x) {
      Sum& sum = rows[static_cast<size_t>(y) * width + x];
      for (const Tap& t : across[x]) {
        const std::uint32_t c = line[t.source] & 0xFFFFFFu;
        if (keyed && c == key) continue;
        sum.r += t.weight * ((c >> 16) & 0xFF);
        sum.g += t.weight * ((c >> 8) & 0xFF);
        sum.b += t.weight * (c & 0xFF);
        sum.w += t.weight;
      }
    }
  }
  Pixels out{width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    const int cy = std::min(src.height - 1, static_cast<int>((y + 0.5) * src.height / height));
    for (int x = 0; x < width; ++x) {
      std::uint32_t& pixel = out.bgrx[static_cast<size_t>(y) * width + x];
      const int cx = std::min(src.width - 1, static_cast<int>((x + 0.5) * src.width / width));
      if (keyed && (src.bgrx[static_cast<size_t>(cy) * src.width + cx] & 0xFFFFFFu) == key) {
        pixel = key;
        continue;
      }
      Sum sum;
      for (const Tap& t : down[y]) {
        const Sum& row = rows[static_cast<size_t>(t.source) * width + x];
        sum.r += t.weight * row.r;
        sum.g += t.weight * row.g;
        sum.b += t.weight * row.b;
        sum.w += t.weight * row.w;
      }
      if (sum.w <= 0) {  // only key around: the pixel under the centre
        pixel = src.bgrx[static_cast<size_t>(cy) * src.width + cx] & 0xFFFFFFu;
        continue;
      }
      const auto channel = [&](double v) { return static_cast<std::uint32_t>(std::lround(v / sum.w)) & 0xFF; };
      pixel = (channel(sum.r) << 16) | (channel(sum.g) << 8) | channel(sum.b);
      if (keyed && pixel == key) pixel ^= 1;  // a blend of other colours, never the key itself
    }
  }
  return out;
}

}  // namespace

Bitmap Bitmap::FromResource(HINSTANCE module, const char* name) {
  Bitmap b = Adopt(LoadBitmapResource(module, name));
  if (b && IS_INTRESOURCE(name)) {
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    b.origin_ = std::make_shared<Origin>(Origin{module, id, b.CornerColour(), {}, {}});
  }
  return b;
}

Bitmap Bitmap::AtDpi(int dpi) const {
  if (!origin_ || dpi <= kLayoutDpi) return *this;
  return ForDpi(dpi, origin_->corner == kMagentaKey ? kMagentaKey : CLR_INVALID);
}

Bitmap Bitmap::AtDpi(int dpi, COLORREF key) const {
  if (!origin_ || dpi <= kLayoutDpi) return *this;
  return ForDpi(dpi, key);
}

Bitmap Bitmap::ForDpi(int dpi, COLORREF key) const {
  auto& made = origin_->made;
  const auto it = made.find({dpi, key});
  if (it != made.end()) return it->second;

  // The program's picture drawn for exactly this size, when the id is one
  // of its pictures and of this one's size; else this one scaled smoothly.
  const int width = Scale(Width(), dpi), height = Scale(Height(), dpi);
  const auto [at, first] = origin_->drawn.try_emplace(dpi);
  if (first) {
    const auto image = pictures::Draw(origin_->id, dpi);
    if (image && image->width == width && image->height == height) {
      at->second = Adopt(Write({image->width, image->height, image->rgb}).release());
    }
  }
  Bitmap result = at->second;
  if (!result) {
    const Pixels scaled = Resample(Read(Handle(), Width(), Height()), width, height, key != CLR_INVALID, AsPixel(key));
    result = Adopt(Write(scaled).release());
  }
  made.emplace(std::pair{dpi, key}, result);
  return result;
}

Bitmap Bitmap::Adopt(HBITMAP bitmap) {
  Bitmap b;
  if (!bitmap) return b;
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  b.bits_ = std::make_shared<OwnedBitmap>(bitmap);
  b.size_ = {info.bmWidth, info.bmHeight};
  return b;
}

Bitmap Bitmap::Draw(int width, int height, const std::function<void(HDC)>& painter) {
  const WindowDC screen;
  OwnedBitmap bits(CreateCompatibleBitmap(screen.get(), width, height));
  {
    const MemoryDC dc(screen.get());
    const ScopedSelect select(dc.get(), bits.get());
    painter(dc.get());
  }
  Bitmap b;
  b.bits_ = std::make_shared<OwnedBitmap>(std::move(bits));
  b.size_ = {width, height};
  return b;
}

Bitmap Bitmap::Solid(int width, int height, COLORREF colour) {
  return Draw(width, height, [&](HDC dc) { FillSolid(dc, {0, 0, width, height}, colour); });
}

COLORREF Bitmap::Pixel(int x, int y) const {
  if (!bits_) return CLR_INVALID;
  const MemoryDC dc;
  const ScopedSelect select(dc.get(), bits_->get());
  return GetPixel(dc.get(), x, y);
}

void DrawBitmap(HDC dc, const Bitmap& bitmap, const RECT& dest, const BitmapPlacement& how, int dpi) {
  if (!bitmap) return;
  if (dpi > kLayoutDpi) {
    const Bitmap picture = how.transparent ? bitmap.AtDpi(dpi, *how.transparent) : bitmap.AtDpi(dpi);
    if (!(picture == bitmap)) {
      DrawBitmap(dc, picture, dest, how);
      return;
    }
  }
  const int w = bitmap.Width(), h = bitmap.Height();
  RECT to = dest;
  if (!how.stretch) {
    int left = dest.left, top = dest.top;
    if (how.center) {
      left += (dest.right - dest.left - w) / 2;
      top += (dest.bottom - dest.top - h) / 2;
    }
    to = {left, top, left + w, top + h};
    // A picture larger than its widget is cut at the widget's edges.
    ScopedDCState state(dc);
    IntersectClipRect(dc, dest.left, dest.top, dest.right, dest.bottom);
    DrawBitmap(dc, bitmap, to, {.stretch = true, .transparent = how.transparent});
    return;
  }
  const MemoryDC source(dc);
  const ScopedSelect select(source.get(), bitmap.Handle());
  const int tw = to.right - to.left, th = to.bottom - to.top;
  if (how.transparent) {
    TransparentBlt(dc, to.left, to.top, tw, th, source.get(), 0, 0, w, h, *how.transparent);
  } else if (tw == w && th == h) {
    BitBlt(dc, to.left, to.top, w, h, source.get(), 0, 0, SRCCOPY);
  } else {
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, to.left, to.top, tw, th, source.get(), 0, 0, w, h, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  }
}

}  // namespace redoviri::widgets
