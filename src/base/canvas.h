// A small portable canvas that draws the program's pictures from shapes,
// the same way tools/gen_pictures.py draws them (same double arithmetic,
// same 4 x 4 supersampling, same rounding), so that a picture drawn here at
// 96 DPI is the committed 100 % bitmap pixel for pixel, and at any other
// DPI is the same design at that size.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace redoviri::canvas {

struct Rgb {
  double r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kSilver{192, 192, 192};
inline constexpr Rgb kKey{255, 0, 255};  // the transparent bitmaps' key colour

// a at t = 0, b at t = 1.
Rgb Mix(const Rgb& a, const Rgb& b, double t);
struct Stop {
  double t;
  Rgb colour;
};
// The colour at t (0..1) along stops.
Rgb Ramp(const std::vector<Stop>& stops, double t);
inline Rgb Lighter(const Rgb& c, double t) { return Mix(c, kWhite, t); }
inline Rgb Darker(const Rgb& c, double t) { return Mix(c, kBlack, t); }

// A region in design pixels: inside(x, y) and its bounding box; pixel (i, j)
// covers [i, i + 1) x [j, j + 1).
using Inside = std::function<bool(double, double)>;
struct Shape {
  Inside inside;
  double x0, y0, x1, y1;
};
using Point = std::pair<double, double>;
using Polyline = std::vector<Point>;

Shape Rect(double x0, double y0, double x1, double y1);
Shape RoundedRect(double x0, double y0, double x1, double y1, double r);
Shape Ellipse(double cx, double cy, double rx, double ry);
inline Shape Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }
Shape Polygon(std::vector<Point> points);
// Thick lines with round ends and joins; a line of one point is a dot.
Shape Strokes(const std::vector<Polyline>& lines, double width);
Shape Union(std::vector<Shape> shapes);
Shape Minus(Shape a, Shape b);
Shape Moved(Shape s, double dx, double dy);
Shape Heart(double cx, double cy, double size);
Shape Star(double cx, double cy, double outer, double inner, int points = 5, double turn = -90.0);
// Points along an elliptic arc, angles in degrees counter-clockwise with y
// up; steps 0: one per 10 degrees, at least 4.
Polyline ArcPoints(double cx, double cy, double rx, double ry, double a0, double a1, int steps = 0);

// The pixels of a design `n` pixels long on a screen of dpi (96: 100 %),
// rounded half up as MulDiv rounds.
inline int AtDpi(int n, int dpi) { return dpi == 96 ? n : (n * dpi + 48) / 96; }

using ColourFn = std::function<Rgb(double, double)>;

// RGBA pixels, straight alpha 0..1. Width x height are design pixels; the
// canvas has AtDpi() as many real ones and every shape, colour function and
// paste given in design pixels lands scaled. Set(), w, h are real pixels.
class Canvas {
 public:
  struct Pixel {
    double r, g, b, a;
  };

  Canvas(int width, int height, int dpi);  // transparent
  Canvas(int width, int height, const Rgb& fill, int dpi);

  int dpi() const { return dpi_; }
  int w() const { return w_; }
  int h() const { return h_; }
  const Pixel& at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

  void Blend(int x, int y, const Rgb& rgb, double a);
  void Set(int x, int y, const Rgb& rgb, double a = 1.0);
  // The design coordinates of real pixel (x, y)'s centre.
  Point Design(int x, int y) const;
  // Sets design pixel (x, y): the real pixels whose centres it covers.
  void Block(int x, int y, const Rgb& rgb);
  void Fill(const Shape& shape, const Rgb& colour, double alpha = 1.0, int ss = 4);
  void Fill(const Shape& shape, const ColourFn& colour, double alpha = 1.0, int ss = 4);
  // Blends another canvas of the same dpi in at design (dx, dy).
  void Paste(const Canvas& other, double dx, double dy);

 private:
  void FillWith(const Shape& shape, const Rgb* solid, const ColourFn* colour, double alpha, int ss);

  int dpi_, w_, h_;
  double kx_, ky_;
  std::vector<Pixel> px_;
};

// The real pixel edge nearest to v.
int Edge(double v);

// The picture as the 24-bit bitmap holds it: 0x00RRGGBB, rows from the top.
// A transparent picture has the key where it is mostly empty and its edges
// smoothed onto background; an opaque one is laid on background.
struct Image {
  int width = 0, height = 0;
  std::vector<std::uint32_t> rgb;
};
Image Flatten(const Canvas& canvas, const Rgb& background, bool transparent);

// The picture as an icon's image holds it: 0xAARRGGBB with straight alpha,
// rows from the top, each channel rounded as the generator rounds; a pixel
// of no alpha is 0.
std::vector<std::uint32_t> Argb(const Canvas& canvas);

}  // namespace redoviri::canvas
