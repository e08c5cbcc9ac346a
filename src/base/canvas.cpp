#include "base/canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

// Every operation keeps the order of tools/gen_pictures.py's: the same
// doubles come out, and so the same pixels.

namespace redoviri::canvas {

namespace {
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;  // as Python's math.radians
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Ramp(const std::vector<Stop>& stops, double t) {
  t = std::min(std::max(t, 0.0), 1.0);
  for (size_t i = 0; i + 1 < stops.size(); ++i) {
    const Stop& s0 = stops[i];
    const Stop& s1 = stops[i + 1];
    if (t <= s1.t) return Mix(s0.colour, s1.colour, s1.t == s0.t ? 0.0 : (t - s0.t) / (s1.t - s0.t));
  }
  return stops.back().colour;
}

Shape Rect(double x0, double y0, double x1, double y1) {
  return {[=](double x, double y) { return x0 <= x && x < x1 && y0 <= y && y < y1; }, x0, y0, x1, y1};
}

Shape RoundedRect(double x0, double y0, double x1, double y1, double r) {
  return {[=](double x, double y) {
            if (!(x0 <= x && x < x1 && y0 <= y && y < y1)) return false;
            const double cx = std::min(std::max(x, x0 + r), x1 - r);
            const double cy = std::min(std::max(y, y0 + r), y1 - r);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
          },
          x0, y0, x1, y1};
}

Shape Ellipse(double cx, double cy, double rx, double ry) {
  return {[=](double x, double y) {
            const double u = (x - cx) / rx, v = (y - cy) / ry;
            return u * u + v * v <= 1.0;
          },
          cx - rx, cy - ry, cx + rx, cy + ry};
}

Shape Polygon(std::vector<Point> points) {
  double x0 = points[0].first, y0 = points[0].second, x1 = x0, y1 = y0;
  for (const auto& [x, y] : points) {
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
  return {[points = std::move(points)](double x, double y) {
            bool hit = false;
            size_t j = points.size() - 1;
            for (size_t i = 0; i < points.size(); ++i) {
              const auto [xi, yi] = points[i];
              const auto [xj, yj] = points[j];
              if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) hit = !hit;
              j = i;
            }
            return hit;
          },
          x0, y0, x1, y1};
}

namespace {
struct Segment {
  double ax, ay, bx, by;
};

double SegmentDistance2(double px, double py, const Segment& s) {
  const double dx = s.bx - s.ax, dy = s.by - s.ay;
  const double length2 = dx * dx + dy * dy;
  double t = 0.0;
  if (length2 != 0) {
    const double v = ((px - s.ax) * dx + (py - s.ay) * dy) / length2;
    t = std::max(0.0, std::min(1.0, v));
  }
  const double qx = s.ax + t * dx - px, qy = s.ay + t * dy - py;
  return qx * qx + qy * qy;
}
}  // namespace

Shape Strokes(const std::vector<Polyline>& lines, double width) {
  std::vector<Segment> segments;
  for (const Polyline& line : lines) {
    if (line.size() == 1) segments.push_back({line[0].first, line[0].second, line[0].first, line[0].second});
    for (size_t i = 0; i + 1 < line.size(); ++i) {
      segments.push_back({line[i].first, line[i].second, line[i + 1].first, line[i + 1].second});
    }
  }
  const double r = width / 2.0;
  const double r2 = r * r;
  double x0 = segments[0].ax, y0 = segments[0].ay, x1 = x0, y1 = y0;
  for (const Segment& s : segments) {
    x0 = std::min({x0, s.ax, s.bx}), x1 = std::max({x1, s.ax, s.bx});
    y0 = std::min({y0, s.ay, s.by}), y1 = std::max({y1, s.ay, s.by});
  }
  // The segments by columns of the box, each column's list holding every
  // segment whose reach (with a margin) meets the column: a point asks only
  // those of its column, and the others would have failed the reach test.
  const double left = x0 - r, span = x1 - x0 + 2 * r;
  const int n = std::max(1, std::min(64, static_cast<int>(segments.size()) / 4));
  const double cw = span / n, margin = cw * 0.01;
  std::vector<std::vector<Segment>> columns(n);
  for (const Segment& s : segments) {
    const double a = std::min(s.ax, s.bx) - r, b = std::max(s.ax, s.bx) + r;
    for (int k = 0; k < n; ++k) {
      if (a <= left + (k + 1) * cw + margin && b >= left + k * cw - margin) columns[k].push_back(s);
    }
  }
  return {[columns = std::move(columns), left, cw, r, r2](double x, double y) {
            const double at = std::floor((x - left) / cw);
            const int k = at < 0 ? 0 : std::min(static_cast<int>(columns.size()) - 1, static_cast<int>(at));
            for (const Segment& s : columns[k]) {
              if (std::min(s.ax, s.bx) - r <= x && x <= std::max(s.ax, s.bx) + r &&
                  std::min(s.ay, s.by) - r <= y && y <= std::max(s.ay, s.by) + r &&
                  SegmentDistance2(x, y, s) <= r2) {
                return true;
              }
            }
            return false;
          },
          x0 - r, y0 - r, x1 + r, y1 + r};
}

Shape Union(std::vector<Shape> shapes) {
  double x0 = shapes[0].x0, y0 = shapes[0].y0, x1 = shapes[0].x1, y1 = shapes[0].y1;
  for (const Shape& s : shapes) {
    x0 = std::min(x0, s.x0), y0 = std::min(y0, s.y0), x1 = std::max(x1, s.x1), y1 = std::max(y1, s.y1);
  }
  return {[shapes = std::move(shapes)](double x, double y) {
            return std::any_of(shapes.begin(), shapes.end(), [&](const Shape& s) { return s.inside(x, y); });
          },
          x0, y0, x1, y1};
}

Shape Minus(Shape a, Shape b) {
  const double x0 = a.x0, y0 = a.y0, x1 = a.x1, y1 = a.y1;
  return {[a = std::move(a.inside), b = std::move(b.inside)](double x, double y) { return a(x, y) && !b(x, y); },
          x0, y0, x1, y1};
}

Shape Moved(Shape s, double dx, double dy) {
  return {[f = std::move(s.inside), dx, dy](double x, double y) { return f(x - dx, y - dy); }, s.x0 + dx,
          s.y0 + dy, s.x1 + dx, s.y1 + dy};
}

Shape Heart(double cx, double cy, double size) {
  const double half = size * 0.5;
  return {[=](double x, double y) {
            const double u = (x - cx) / (size * 0.5) * 1.15;
            const double v = -(y - cy) / (size * 0.5) * 1.15 + 0.15;
            return std::pow(u * u + v * v - 1.0, 3.0) - u * u * std::pow(v, 3.0) <= 0.0;
          },
          cx - half, cy - half, cx + half, cy + half};
}

Shape Star(double cx, double cy, double outer, double inner, int points, double turn) {
  std::vector<Point> pts;
  for (int i = 0; i < points * 2; ++i) {
    const double r = i % 2 == 0 ? outer : inner;
    const double a = (turn + i * 180.0 / points) * kDegToRad;
    pts.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  return Polygon(std::move(pts));
}

Polyline ArcPoints(double cx, double cy, double rx, double ry, double a0, double a1, int steps) {
  if (steps == 0) steps = std::max(4, static_cast<int>(std::abs(a1 - a0) / 10));
  Polyline out;
  for (int i = 0; i <= steps; ++i) {
    const double a = (a0 + (a1 - a0) * i / steps) * kDegToRad;
    out.emplace_back(cx + rx * std::cos(a), cy + ry * std::sin(a));
  }
  return out;
}

int Edge(double v) { return static_cast<int>(std::floor(v + 0.5)); }

Canvas::Canvas(int width, int height, int dpi) : Canvas(width, height, kBlack, dpi) {
  for (Pixel& p : px_) p.a = 0.0;
}

Canvas::Canvas(int width, int height, const Rgb& fill, int dpi)
    : dpi_(dpi),
      w_(AtDpi(width, dpi)),
      h_(AtDpi(height, dpi)),
      kx_(static_cast<double>(w_) / width),
      ky_(static_cast<double>(h_) / height),
      px_(static_cast<size_t>(w_) * h_, Pixel{fill.r, fill.g, fill.b, 1.0}) {}

void Canvas::Blend(int x, int y, const Rgb& rgb, double a) {
  if (a <= 0.0 || !(0 <= x && x < w_ && 0 <= y && y < h_)) return;
  Pixel& p = px_[static_cast<size_t>(y) * w_ + x];
  const double out = a + p.a * (1.0 - a);
  if (out <= 0.0) return;
  const double k = p.a * (1.0 - a);
  p = {(rgb.r * a + p.r * k) / out, (rgb.g * a + p.g * k) / out, (rgb.b * a + p.b * k) / out, out};
}

void Canvas::Set(int x, int y, const Rgb& rgb, double a) {
  if (0 <= x && x < w_ && 0 <= y && y < h_) px_[static_cast<size_t>(y) * w_ + x] = {rgb.r, rgb.g, rgb.b, a};
}

Point Canvas::Design(int x, int y) const {
  if (dpi_ == 96) return {x + 0.5, y + 0.5};
  return {(x + 0.5) / kx_, (y + 0.5) / ky_};
}

void Canvas::Block(int x, int y, const Rgb& rgb) {
  if (dpi_ == 96) {
    Set(x, y, rgb);
    return;
  }
  for (int yy = Edge(y * ky_); yy < Edge((y + 1) * ky_); ++yy) {
    for (int xx = Edge(x * kx_); xx < Edge((x + 1) * kx_); ++xx) Set(xx, yy, rgb);
  }
}

void Canvas::Fill(const Shape& shape, const Rgb& colour, double alpha, int ss) {
  FillWith(shape, &colour, nullptr, alpha, ss);
}

void Canvas::Fill(const Shape& shape, const ColourFn& colour, double alpha, int ss) {
  FillWith(shape, nullptr, &colour, alpha, ss);
}

void Canvas::FillWith(const Shape& shape, const Rgb* solid, const ColourFn* colour, double alpha, int ss) {
  const bool scaled = dpi_ != 96;
  const double kx = kx_, ky = ky_;
  double x0 = shape.x0, y0 = shape.y0, x1 = shape.x1, y1 = shape.y1;
  if (scaled) x0 *= kx, y0 *= ky, x1 *= kx, y1 *= ky;
  const auto inside = [&](double x, double y) { return scaled ? shape.inside(x / kx, y / ky) : shape.inside(x, y); };
  const double step = 1.0 / ss;
  std::vector<double> offsets;
  for (int i = 0; i < ss; ++i) offsets.push_back((i + 0.5) * step);
  const int total = ss * ss;
  const int ya = std::max(0, static_cast<int>(std::floor(y0))), yb = std::min(h_, static_cast<int>(std::ceil(y1)));
  const int xa = std::max(0, static_cast<int>(std::floor(x0))), xb = std::min(w_, static_cast<int>(std::ceil(x1)));
  for (int y = ya; y < yb; ++y) {
    for (int x = xa; x < xb; ++x) {
      int hits = 0;
      for (double oy : offsets) {
        for (double ox : offsets) {
          if (inside(x + ox, y + oy)) ++hits;
        }
      }
      if (!hits) continue;
      Rgb c;
      if (solid) {
        c = *solid;
      } else if (scaled) {
        c = (*colour)((x + 0.5) / kx, (y + 0.5) / ky);
      } else {
        c = (*colour)(x + 0.5, y + 0.5);
      }
      Blend(x, y, c, alpha * hits / total);
    }
  }
}

void Canvas::Paste(const Canvas& other, double dx, double dy) {
  const int ox = Edge(dx * kx_), oy = Edge(dy * ky_);
  for (int y = 0; y < other.h_; ++y) {
    for (int x = 0; x < other.w_; ++x) {
      const Pixel& p = other.at(x, y);
      Blend(x + ox, y + oy, {p.r, p.g, p.b}, p.a);
    }
  }
}

Image Flatten(const Canvas& canvas, const Rgb& background, bool transparent) {
  Image out{canvas.w(), canvas.h(), std::vector<std::uint32_t>(static_cast<size_t>(canvas.w()) * canvas.h())};
  const auto key = [](const Rgb& c) {
    return (static_cast<std::uint32_t>(c.r) << 16) | (static_cast<std::uint32_t>(c.g) << 8) |
           static_cast<std::uint32_t>(c.b);
  };
  for (int y = 0; y < canvas.h(); ++y) {
    for (int x = 0; x < canvas.w(); ++x) {
      const Canvas::Pixel& p = canvas.at(x, y);
      std::uint32_t& pixel = out.rgb[static_cast<size_t>(y) * canvas.w() + x];
      double a = p.a;
      if (transparent && a < 0.4) {
        pixel = key(kKey);
        continue;
      }
      if (transparent) a = std::min(1.0, a / 0.9);
      const Rgb m = Mix(background, {p.r, p.g, p.b}, a);
      // Rounded half to even, as Python's round().
      pixel = key({std::nearbyint(m.r), std::nearbyint(m.g), std::nearbyint(m.b)});
      if (transparent && pixel == key(kKey)) pixel = key({254, 0, 255});
    }
  }
  return out;
}

std::vector<std::uint32_t> Argb(const Canvas& canvas) {
  std::vector<std::uint32_t> out(static_cast<size_t>(canvas.w()) * canvas.h());
  const auto byte = [](double v) { return static_cast<std::uint32_t>(std::nearbyint(v)); };
  for (int y = 0; y < canvas.h(); ++y) {
    for (int x = 0; x < canvas.w(); ++x) {
      const Canvas::Pixel& p = canvas.at(x, y);
      const std::uint32_t alpha = byte(p.a * 255);
      if (alpha) out[static_cast<size_t>(y) * canvas.w() + x] = alpha << 24 | byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b);
    }
  }
  return out;
}

}  // namespace redoviri::canvas
