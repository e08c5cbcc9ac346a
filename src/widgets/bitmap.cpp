#include "widgets/bitmap.h"

namespace redoviri::widgets {

Bitmap Bitmap::FromResource(HINSTANCE module, const char* name) {
  return Adopt(static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
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

void DrawBitmap(HDC dc, const Bitmap& bitmap, const RECT& dest, const BitmapPlacement& how, int) {
  if (!bitmap) return;
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
