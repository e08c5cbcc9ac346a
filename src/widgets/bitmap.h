// Pictures of images and buttons: shared, immutable bitmaps.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "widgets/gdi.h"

namespace redoviri::widgets {

// A bitmap that several widgets may show at once. Copying a Bitmap shares
// the picture (an image "takes the picture" of another); the GDI bitmap is
// deleted with its last holder. An empty Bitmap shows nothing.
class Bitmap {
 public:
  Bitmap() = default;

  // A BITMAP resource of a module, by name or MAKEINTRESOURCE id; empty
  // when the module has no such resource.
  static Bitmap FromResource(HINSTANCE module, const char* name);
  // Takes ownership of a bitmap handle.
  static Bitmap Adopt(HBITMAP bitmap);
  // A screen-compatible bitmap of the given size, drawn by a function.
  static Bitmap Draw(int width, int height, const std::function<void(HDC)>& painter);
  static Bitmap Solid(int width, int height, COLORREF colour);

  explicit operator bool() const { return bits_ != nullptr; }
  HBITMAP Handle() const { return bits_ ? bits_->get() : nullptr; }
  int Width() const { return size_.cx; }
  int Height() const { return size_.cy; }
  COLORREF Pixel(int x, int y) const;
  // The colour treated as transparent when none is given: the pixel of the
  // bottom-left corner.
  COLORREF CornerColour() const { return Pixel(0, Height() - 1); }

  friend bool operator==(const Bitmap& a, const Bitmap& b) { return a.bits_ == b.bits_; }

 private:
  std::shared_ptr<OwnedBitmap> bits_;
  SIZE size_{0, 0};
};

// How a bitmap is laid into a destination rectangle.
struct BitmapPlacement {
  bool stretch = false;  // fill the rectangle; else natural size
  bool center = false;   // natural size centred; else at the top-left corner
  std::optional<COLORREF> transparent;  // pixels of this colour are not drawn
};

void DrawBitmap(HDC dc, const Bitmap& bitmap, const RECT& dest, const BitmapPlacement& how, int dpi = 96);

}  // namespace redoviri::widgets
