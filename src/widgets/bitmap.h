// Pictures of images and buttons: shared, immutable bitmaps.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "widgets/dpi.h"
#include "widgets/gdi.h"

namespace redoviri::widgets {

// A bitmap that several widgets may show at once. Copying a Bitmap shares
// the picture (an image "takes the picture" of another); the GDI bitmap is
// deleted with its last holder. An empty Bitmap shows nothing.
//
// A bitmap loaded from a module by number knows where it came from, and
// gives its picture for another screen resolution: the program's pictures
// (base/pictures.h) are drawn again for it at run time.
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

  // The picture for a screen of dpi, Scale(Width(), dpi) x Scale(Height(),
  // dpi) pixels: at 96 DPI or less, and for a bitmap not loaded by number,
  // this one; else the program's picture of that number drawn for that
  // size (pictures::Draw), or, for a number that is none of the program's
  // pictures of this size, this one scaled smoothly to that size. The
  // scaling keeps the pixels of key exact and blends no key into the
  // others; without a key, the magenta key of the program's transparent
  // bitmaps (RGB(255, 0, 255)) is kept so when it is the corner colour.
  // Each result is made once and kept with the picture (shared by its
  // copies).
  Bitmap AtDpi(int dpi) const;
  Bitmap AtDpi(int dpi, COLORREF key) const;

  friend bool operator==(const Bitmap& a, const Bitmap& b) { return a.bits_ == b.bits_; }

 private:
  struct Origin;
  Bitmap ForDpi(int dpi, COLORREF key) const;

  std::shared_ptr<OwnedBitmap> bits_;
  std::shared_ptr<Origin> origin_;  // of a bitmap loaded by number
  SIZE size_{0, 0};
};

// How a bitmap is laid into a destination rectangle.
struct BitmapPlacement {
  bool stretch = false;  // fill the rectangle; else natural size
  bool center = false;   // natural size centred; else at the top-left corner
  std::optional<COLORREF> transparent;  // pixels of this colour are not drawn
};

// Draws bitmap.AtDpi(dpi) (with the placement's transparent colour as its
// key): at its own size, or stretched to dest.
void DrawBitmap(HDC dc, const Bitmap& bitmap, const RECT& dest, const BitmapPlacement& how,
                int dpi = kLayoutDpi);

}  // namespace redoviri::widgets
