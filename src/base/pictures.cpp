#include "base/pictures.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

// The producers of tools/gen_pictures.py, line for line; the designs, their
// numbers and the order of every operation are the generator's.

namespace redoviri::pictures {

using namespace canvas;

namespace {

constexpr Rgb kToday{128, 255, 255};
constexpr Rgb kSelected{255, 255, 221};
const std::vector<Rgb> kCategory = {{255, 0, 0}, {0, 0, 255}, {128, 128, 0},
                                    {128, 0, 128}, {0, 128, 0}, {0, 128, 128}};
constexpr Rgb kFrameLight{92, 150, 178};
constexpr Rgb kFrameMid{38, 92, 122};
constexpr Rgb kFrameDark{14, 44, 70};
constexpr Rgb kFrameEdge{6, 22, 38};

// Main window frame ----------------------------------------------------------

Rgb BarColour(double t) {
  return Ramp({{0.0, kFrameLight}, {0.12, kFrameMid}, {0.75, kFrameDark}, {1.0, kFrameEdge}}, t);
}

Canvas HorizontalBar(int width, int height, int dpi) {
  Canvas c(width, height, dpi);
  for (int y = 0; y < c.h(); ++y) {
    const Rgb colour = BarColour(static_cast<double>(y) / (c.h() - 1));
    for (int x = 0; x < c.w(); ++x) c.Set(x, y, colour);
  }
  return c;
}

Canvas VerticalBar(int width, int height, int dpi) {
  Canvas c(width, height, dpi);
  for (int x = 0; x < c.w(); ++x) {
    const Rgb colour = BarColour(static_cast<double>(x) / (c.w() - 1));
    for (int y = 0; y < c.h(); ++y) c.Set(x, y, colour);
  }
  return c;
}

Canvas CloseBox(int width, int height, int dpi) {
  Canvas c = HorizontalBar(width, height, dpi);
  const ColourFn face = [height](double, double y) {
    return Ramp({{0, {74, 128, 156}}, {1, {24, 66, 96}}}, y / height);
  };
  c.Fill(RoundedRect(1.5, 1.5, width - 1.5, height - 1.5, 3.0), kFrameEdge);
  c.Fill(RoundedRect(2.5, 2.5, width - 2.5, height - 2.5, 2.2), face);
  c.Fill(Rect(3.5, 2.5, width - 3.5, 3.5), {130, 180, 205}, 0.6);
  const double cx = width / 2.0, cy = height / 2.0, r = 3.6;
  std::vector<Polyline> cross = {{{cx - r, cy - r}, {cx + r, cy + r}}, {{cx - r, cy + r}, {cx + r, cy - r}}};
  std::vector<Polyline> shadow = cross;
  for (Polyline& line : shadow) {
    for (Point& p : line) p = {p.first + 0.7, p.second + 0.7};
  }
  c.Fill(Strokes(shadow, 2.3), kFrameEdge, 0.7);
  c.Fill(Strokes(cross, 2.3), kWhite);
  return c;
}

Canvas LegendStrip(int dpi) {
  Canvas c(11, 32, {60, 60, 60}, dpi);
  for (int k = 0; k < 6; ++k) {
    for (int y = 1 + 5 * k; y < 6 + 5 * k; ++y) {
      for (int x = 1; x < 10; ++x) c.Block(x, y, x == 1 ? Lighter(kCategory[k], 0.25) : kCategory[k]);
    }
  }
  return c;
}

// Six equal segments in the category colours across [x0, x1).
void CategoryBand(Canvas& c, double x0, double x1, double y0, double y1) {
  for (int k = 0; k < 6; ++k) {
    const double a = x0 + (x1 - x0) * k / 6.0;
    const double b = x0 + (x1 - x0) * (k + 1) / 6.0;
    c.Fill(Rect(a, y0, b, y1), kCategory[k]);
  }
}

Canvas LegendHeader(int dpi) {
  Canvas c(46, 20, dpi);
  CategoryBand(c, 0, 46, 17, 19);
  return c;
}

Canvas LegendPanel(int dpi) {
  Canvas c(322, 22, dpi);
  CategoryBand(c, 0, 322, 0, 3);
  return c;
}

// Moon marks ---------------------------------------------------------------

constexpr double kMoonCx = 6.5, kMoonCy = 9.5, kMoonR = 5.5;

ColourFn MoonBody(Rgb from, Rgb to) {
  return [=](double x, double y) {
    return Ramp({{0, from}, {1, to}}, ((x - kMoonCx) + (y - kMoonCy)) / (2 * kMoonR) + 0.5);
  };
}

Canvas NewMoon(int dpi) {
  Canvas c(16, 16, dpi);
  c.Fill(Circle(kMoonCx, kMoonCy, kMoonR), {150, 160, 190});
  c.Fill(Circle(kMoonCx, kMoonCy, kMoonR - 1.0), MoonBody({70, 76, 100}, {26, 28, 42}));
  return c;
}

Canvas FullMoon(int dpi) {
  Canvas c(16, 16, dpi);
  c.Fill(Circle(kMoonCx, kMoonCy, kMoonR), {196, 160, 40});
  c.Fill(Circle(kMoonCx, kMoonCy, kMoonR - 0.9), MoonBody({255, 252, 214}, {246, 218, 100}));
  c.Fill(Circle(kMoonCx + 1.6, kMoonCy - 1.2, 1.1), {236, 206, 110}, 0.7);
  c.Fill(Circle(kMoonCx - 1.8, kMoonCy + 1.8, 0.8), {236, 206, 110}, 0.7);
  return c;
}

// Day-cell event pictures ------------------------------------------------------

constexpr int kCellW = 44, kCellH = 28;
constexpr Rgb kMultiFrame{72, 72, 96};

// One category (0..5), or all of them for -1.
Canvas EventPicture(const Rgb& background, int category, bool selected, int dpi) {
  Canvas c(kCellW, kCellH, background, dpi);
  const bool single = category >= 0;
  const Rgb frame = single ? kCategory[category] : kMultiFrame;
  const double width = selected ? 3.0 : 2.0;
  const double r = 5.0;
  if (single && background == kWhite) c.Fill(RoundedRect(0, 0, kCellW, kCellH, r), Mix(background, frame, 0.10));
  c.Fill(Minus(RoundedRect(0, 0, kCellW, kCellH, r),
               RoundedRect(width, width, kCellW - width, kCellH - width, r - width)),
         frame);
  if (single) {
    c.Fill(Polygon({{kCellW - 13, 0}, {kCellW, 0}, {kCellW, 13}}), frame);
  } else {
    CategoryBand(c, width + 2, kCellW - width - 2, width, width + 3);
  }
  return c;
}

// Calendar page, category tiles ------------------------------------------------

Canvas CalendarPage(int size, double bodyTop, int dpi, const Rgb& bodyFrom = {255, 255, 255},
                    const Rgb& bodyTo = {226, 228, 236}) {
  const double s = size / 16.0;
  Canvas c(size, size, dpi);
  c.Fill(RoundedRect(0.5 * s, 1.0 * s, 15.5 * s, 15.8 * s, 1.6 * s), {64, 64, 76});
  const Shape inner = RoundedRect(0.5 * s + 1, 1.0 * s + 1, 15.5 * s - 1, 15.8 * s - 1, 1.6 * s - 1);
  const ColourFn head = [=](double, double y) {
    return Ramp({{0, {236, 74, 64}}, {1, {176, 24, 24}}}, (y / s - 1.0) / (bodyTop - 1.0));
  };
  const ColourFn body = [=](double, double y) {
    return Ramp({{0, bodyFrom}, {1, bodyTo}}, (y / s - bodyTop) / (15.8 - bodyTop));
  };
  c.Fill(Minus(inner, Rect(0, bodyTop * s, size, size)), head);
  c.Fill(Minus(inner, Rect(0, 0, size, bodyTop * s)), body);
  for (double rx : {4.2, 11.8}) {
    c.Fill(RoundedRect((rx - 0.7) * s, 0.0, (rx + 0.7) * s, 3.2 * s, 0.7 * s), {50, 50, 60});
    c.Fill(RoundedRect((rx - 0.35) * s, 0.3 * s, (rx + 0.35) * s, 2.7 * s, 0.35 * s), {190, 190, 200});
  }
  return c;
}

struct SymbolPart {
  Shape shape;
  Rgb colour = kWhite;
};

std::vector<SymbolPart> Symbol(int category, double u) {
  switch (category) {
    case 0:
      return {{Heart(8 * u, 8.7 * u, 11.0 * u)}};
    case 1:
      return {{RoundedRect(3 * u, 9.0 * u, 13 * u, 13.5 * u, 0.8 * u)},
              {RoundedRect(4.2 * u, 6.6 * u, 11.8 * u, 9.6 * u, 0.6 * u)},
              {Rect(7.3 * u, 3.6 * u, 8.7 * u, 6.8 * u)},
              {Ellipse(8 * u, 2.4 * u, 0.9 * u, 1.3 * u), {255, 214, 64}}};
    case 2:
      return {{Minus(RoundedRect(2.2 * u, 5.6 * u, 13.8 * u, 13.6 * u, 1.4 * u), Rect(0 * u, 8.8 * u, 16 * u, 9.8 * u))},
              {Strokes({{{6.0 * u, 5.8 * u}, {6.0 * u, 3.9 * u}, {10.0 * u, 3.9 * u}, {10.0 * u, 5.8 * u}}},
                       1.4 * u)}};
    case 3:
      return {{Polygon({{1.8 * u, 6.2 * u}, {8 * u, 2.2 * u}, {14.2 * u, 6.2 * u}})},
              {Rect(3.2 * u, 7.0 * u, 5.0 * u, 11.6 * u)},
              {Rect(7.1 * u, 7.0 * u, 8.9 * u, 11.6 * u)},
              {Rect(11.0 * u, 7.0 * u, 12.8 * u, 11.6 * u)},
              {Rect(2.2 * u, 12.2 * u, 13.8 * u, 13.8 * u)}};
    case 4:
      return {{Star(8 * u, 8.6 * u, 6.6 * u, 2.8 * u)}};
    default:
      return {{Circle(3.8 * u, 8.5 * u, 1.7 * u)}, {Circle(8 * u, 8.5 * u, 1.7 * u)}, {Circle(12.2 * u, 8.5 * u, 1.7 * u)}};
  }
}

Canvas CategoryIcon(int category, int width, int height, int dpi) {
  const Rgb colour = kCategory[category];
  Canvas c(width, height, dpi);
  const double u = std::min(width, height) / 16.0;
  const Rgb top = Lighter(colour, 0.30), bottom = Darker(colour, 0.12);
  const ColourFn tile = [=](double, double y) { return Ramp({{0, top}, {1, bottom}}, y / height); };
  c.Fill(RoundedRect(0.3 * u, 0.3 * u, width - 0.3 * u, height - 0.3 * u, 3.2 * u), Darker(colour, 0.45));
  c.Fill(RoundedRect(1.2 * u, 1.2 * u, width - 1.2 * u, height - 1.2 * u, 2.4 * u), tile);
  const double dx = (width - 16 * u) / 2.0;
  const double dy = (height - 16 * u) / 2.0;
  for (SymbolPart& part : Symbol(category, u)) c.Fill(Moved(std::move(part.shape), dx, dy), part.colour);
  return c;
}

// Stroke font of the splash: y up, baseline 0, x-height 5, cap height 7 ---------

struct Glyph {
  double advance;
  std::vector<Polyline> lines;
};

Polyline Join(Polyline a, const Polyline& arc, Polyline b = {}) {
  a.insert(a.end(), arc.begin() + 1, arc.end());
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::map<char, Glyph>& Glyphs() {
  static const std::map<char, Glyph> glyphs = {
      {'R', {5.0, {Join({{0, 0}, {0, 7}, {2.6, 7}}, ArcPoints(2.6, 5.2, 1.8, 1.8, 90, -90), {{0, 3.4}}),
                   {{2.0, 3.4}, {4.4, 0}}}}},
      {'e', {4.6, {Join({{0.1, 2.6}, {4.4, 2.6}}, ArcPoints(2.25, 2.5, 2.15, 2.5, 0, 320))}}},
      {'d', {4.8, {ArcPoints(2.0, 2.5, 2.0, 2.5, 0, 360), {{4.0, 0}, {4.0, 7.4}}}}},
      {'o', {4.6, {ArcPoints(2.3, 2.5, 2.3, 2.5, 0, 360)}}},
      {'v', {4.6, {{{0, 5}, {2.3, 0}, {4.6, 5}}}}},
      {'i', {1.0, {{{0.5, 0}, {0.5, 5}}, {{0.5, 6.9}}}}},
      {'r', {3.2, {{{0, 0}, {0, 5}}, Join({{0, 2.6}}, ArcPoints(2.6, 2.4, 2.6, 2.6, 175, 95))}}},
      {'b', {4.8, {{{0, 0}, {0, 7.4}}, ArcPoints(2.4, 2.5, 2.4, 2.5, 0, 360)}}},
      {'y', {4.6, {{{0, 5}, {2.3, 0.2}}, {{4.6, 5}, {2.0, -1.6}, {1.4, -2.4}, {0.6, -2.6}}}}},
      {'D', {5.4, {Join({{0, 0}, {0, 7}, {2.0, 7}}, ArcPoints(2.0, 3.5, 3.4, 3.5, 90, -90), {{0, 0}})}}},
      {'U', {5.0, {Join({{0, 7}, {0, 2.5}}, ArcPoints(2.5, 2.5, 2.5, 2.5, 180, 360), {{5.0, 7}})}}},
      {'Z', {5.0, {{{0.2, 7}, {5.0, 7}, {0, 0}, {5.0, 0}}}}},
      {'O', {5.8, {ArcPoints(2.9, 3.5, 2.9, 3.5, 0, 360, 48)}}},
      {'V', {5.6, {{{0, 7}, {2.8, 0}, {5.6, 7}}}}},
      {' ', {2.4, {}}},
  };
  return glyphs;
}

// A line of stroke-font text: its shape and its advance.
std::pair<Shape, double> TextShape(const std::string& text, double x, double baseline, double unit, double width,
                                   double spacing = 1.4) {
  std::vector<Polyline> lines;
  double pen = x;
  for (char ch : text) {
    const Glyph& g = Glyphs().at(ch);
    for (const Polyline& line : g.lines) {
      Polyline placed;
      for (const auto& [px, py] : line) placed.emplace_back(pen + px * unit, baseline - py * unit);
      lines.push_back(std::move(placed));
    }
    pen += (g.advance + spacing) * unit;
  }
  return {Strokes(lines, width), pen - spacing * unit - x};
}

// Splash ----------------------------------------------------------------------

Shape SplashMoon() { return Minus(Circle(60, 19, 16), Circle(68, 13, 14)); }

Canvas Splash(int dpi) {
  const int w = 241, h = 127;
  const ColourFn sky = [](double, double y) {
    return Ramp({{0, {8, 22, 48}}, {0.65, {18, 70, 98}}, {1, {24, 96, 116}}}, y / h);
  };
  Canvas c(w, h, dpi);
  c.Fill(Rect(0, 0, w, h), sky, 1.0, 1);
  struct StarAt {
    int x, y;
    double a;
  };
  for (const StarAt& s : {StarAt{20, 12, .8}, {48, 6, .5}, {97, 15, .6}, {130, 8, .9}, {166, 20, .5},
                          {205, 10, .7}, {228, 28, .5}, {77, 30, .4}, {152, 36, .35}, {112, 104, .3},
                          {10, 60, .4}, {232, 70, .3}}) {
    c.Fill(Circle(s.x + 0.5, s.y + 0.5, 0.9), kWhite, s.a);
    c.Fill(Circle(s.x + 0.5, s.y + 0.5, 2.2), {170, 210, 255}, s.a * 0.15);
  }
  c.Fill(SplashMoon(), {255, 222, 110});
  Canvas page(64, 64, dpi);
  page.Paste(CalendarPage(64, 4.6, dpi), 0, 0);
  const std::map<int, int> marks = {{2, 0}, {6, 1}, {9, 2}, {13, 3}, {16, 4}, {19, 5}};
  for (int k = 0; k < 20; ++k) {
    const int col = k % 5, row = k / 5;
    const int x0 = 8 + col * 10, y0 = 25 + row * 9;
    const auto mark = marks.find(k);
    const Rgb colour = mark != marks.end() ? kCategory[mark->second] : Rgb{196, 200, 214};
    page.Fill(RoundedRect(x0, y0, x0 + 7, y0 + 6, 1.2), colour);
  }
  c.Paste(page, 14, 40);

  const double titleW = TextShape("Redoviri", 0, 0, 1.0, 1.0).second;
  const double unit = 136.0 / titleW;
  const int x0 = 92;
  c.Fill(TextShape("Redoviri", x0 + 1.5, 78 + 1.5, unit, 3.4).first, kBlack, 0.55);
  c.Fill(TextShape("Redoviri", x0, 78, unit, 3.4).first,
         ColourFn([](double, double y) { return Ramp({{0, {255, 255, 255}}, {1, {188, 236, 244}}}, (y - 50) / 30); }));
  const double byW = TextShape("by DUZOVU", 0, 0, 1.0, 1.0).second;
  const double byUnit = 2.0;
  const double byX = x0 + 136 - byW * byUnit;
  c.Fill(TextShape("by DUZOVU", byX, 100, byUnit, 1.7).first, {255, 214, 120});
  CategoryBand(c, x0, x0 + 136, 108, 110);
  // Outside the card and the moon the picture is the window's black.
  const int dx = -2, dy = 50;
  const Shape card = RoundedRect(3 - dx, 24, 239 - dx, 171 - dy, 16);
  const Shape moon = SplashMoon();
  for (int y = 0; y < c.h(); ++y) {
    for (int x = 0; x < c.w(); ++x) {
      const auto [px, py] = c.Design(x, y);
      if (!card.inside(px, py) && !moon.inside(px, py)) c.Set(x, y, kBlack);
    }
  }
  return c;
}

// Menu marks on a one-pixel checkerboard ----------------------------------------

Canvas Checkerboard(int size, int dpi) {
  Canvas c(size, size, dpi);
  for (int y = 0; y < c.h(); ++y) {
    for (int x = 0; x < c.w(); ++x) c.Set(x, y, (x + y) % 2 == 0 ? kWhite : kSilver);
  }
  return c;
}

Canvas CheckMark(int dpi) {
  Canvas c = Checkerboard(17, dpi);
  c.Fill(Strokes({{{4.5, 8.8}, {7.3, 11.8}, {12.6, 5.2}}}, 2.2), kBlack);
  return c;
}

Canvas RadioMark(int dpi) {
  Canvas c = Checkerboard(17, dpi);
  c.Fill(Circle(8.5, 8.5, 3.2), kBlack);
  return c;
}

// About window -------------------------------------------------------------------

const std::vector<Stop> kAboutSky = {{0, {6, 18, 42}}, {0.7, {16, 62, 92}}, {1, {22, 88, 110}}};

Canvas AboutBackground(int dpi) {
  const int w = 396, h = 342;
  Canvas c(w, h, dpi);
  c.Fill(Rect(0, 0, w, h), ColourFn([](double, double y) { return Ramp(kAboutSky, y / h); }), 1.0, 1);
  std::uint64_t rnd = 12345;
  for (int i = 0; i < 60; ++i) {
    rnd = (rnd * 1103515245 + 12345) % 2147483648u;
    const int x = static_cast<int>(rnd % w);
    rnd = (rnd * 1103515245 + 12345) % 2147483648u;
    const int y = static_cast<int>(rnd % (h * 2 / 3));
    const double a = 0.25 + static_cast<double>(rnd % 100) / 160.0;
    c.Fill(Circle(x + 0.5, y + 0.5, 0.8), kWhite, a);
  }
  c.Fill(Minus(Circle(318, 70, 34), Circle(334, 58, 30)), {255, 226, 120}, 0.9);
  for (const auto& [radius, alpha] : {std::pair{40.0, 0.05}, {50.0, 0.035}, {62.0, 0.02}}) {
    c.Fill(Circle(318, 70, radius), {255, 236, 170}, alpha);
  }
  CategoryBand(c, 0, w, h - 4, h - 1);
  return c;
}

constexpr Rgb kFigureBody{36, 40, 58};
constexpr Rgb kFigureWing{58, 70, 100};

Canvas Figure(bool wingsUp, int dpi) {
  Canvas c(83, 69, dpi);
  c.Fill(Polygon({{10, 30}, {24, 34}, {22, 40}, {8, 44}}), kFigureBody);
  std::vector<Point> near = {{30, 35}, {28, 25}, {23, 15}, {15, 5}, {24, 6}, {33, 11}, {40, 18}, {45, 27}, {46, 35}};
  std::vector<Point> far;
  for (size_t i = 0; i + 1 < near.size(); ++i) far.emplace_back(near[i].first + 9, near[i].second + 3);
  far.emplace_back(52, 36);
  if (!wingsUp) {
    for (Point& p : near) p.second = 76 - p.second;
    for (Point& p : far) p.second = 76 - p.second;
  }
  c.Fill(Polygon(far), Darker(kFigureWing, 0.3));
  c.Fill(Ellipse(38, 38, 19, 9.5), kFigureBody);
  c.Fill(Ellipse(40, 42, 13, 4.5), {88, 96, 124});
  c.Fill(Circle(57, 33, 8.5), kFigureBody);
  c.Fill(Polygon({{63, 30.5}, {73, 35}, {63, 37.5}}), {240, 170, 40});
  c.Fill(Circle(59.5, 31, 2.2), kWhite);
  c.Fill(Circle(60.2, 31, 1.1), kBlack);
  c.Fill(Polygon(near), kFigureWing);
  return c;
}

// Event list window ---------------------------------------------------------------

Canvas LegendList(int dpi) {
  const int w = 376, h = 27;
  Canvas c(w, h, dpi);
  c.Fill(RoundedRect(0, 0, w, h, 4),
         ColourFn([](double, double y) { return Ramp({{0, {236, 238, 244}}, {1, {204, 208, 218}}}, y / h); }));
  c.Fill(Minus(RoundedRect(0, 0, w, h, 4), RoundedRect(1, 1, w - 1, h - 1, 3)), {128, 132, 146});
  for (int k = 0; k < 6; ++k) {
    const double cx = w * (k + 0.5) / 6.0;
    c.Fill(Rect(cx - 26, h - 4, cx + 26, h - 2), kCategory[k]);
  }
  return c;
}

Canvas ListHeading(int dpi) {
  const int w = 367, h = 21;
  Canvas c(w, h, dpi);
  c.Fill(Rect(0, 0, w, h), ColourFn([](double, double y) {
           return Ramp({{0, {250, 250, 252}}, {0.5, {232, 234, 240}}, {1, {206, 210, 222}}}, y / h);
         }),
         1.0, 1);
  c.Fill(Rect(0, h - 1, w, h), {128, 132, 146});
  for (int x : {179, 245, 294}) {
    c.Fill(Rect(x, 3, x + 1, h - 3), {150, 154, 168});
    c.Fill(Rect(x + 1, 3, x + 2, h - 3), kWhite);
  }
  return c;
}

Canvas LegendLow(int dpi) {
  const int w = 376, h = 43;
  Canvas c(w, h, dpi);
  c.Fill(Rect(0, 0, w, h), ColourFn([](double, double y) { return Ramp({{0, kSilver}, {1, {168, 172, 184}}}, y / h); }),
         1.0, 1);
  CategoryBand(c, 0, w, h - 3, h);
  return c;
}

// Button glyphs ---------------------------------------------------------------------

constexpr Rgb kGlyphInk{40, 48, 70};

Canvas ArrowGlyph(bool up, int dpi) {
  Canvas c(9, 5, dpi);
  c.Fill(up ? Polygon({{1, 5}, {4.5, 0.5}, {8, 5}}) : Polygon({{1, 0}, {4.5, 4.5}, {8, 0}}), kGlyphInk);
  return c;
}

Canvas SmallCalendar(int dpi) {
  Canvas c = CalendarPage(16, 5.0, dpi);
  for (int k = 0; k < 6; ++k) {
    const double x0 = 3 + (k % 3) * 3.6;
    const double y0 = 7 + (k / 3) * 3.6;
    c.Fill(Rect(x0, y0, x0 + 2.4, y0 + 2.4), {150, 156, 176});
  }
  return c;
}

Canvas TodayGlyph(int dpi) {
  Canvas c = CalendarPage(16, 5.0, dpi);
  c.Fill(Rect(5, 7, 11, 13), {200, 30, 30});
  c.Fill(Rect(6.2, 8.2, 9.8, 11.8), kWhite);
  return c;
}

Canvas AddGlyph(int dpi) {
  Canvas c = SmallCalendar(dpi);
  c.Fill(Circle(11.5, 11.5, 4.5), {0, 128, 0});
  c.Fill(Rect(9, 11, 14, 12), kWhite);
  c.Fill(Rect(11, 9, 12, 14), kWhite);
  return c;
}

Canvas MonthGlyph(int dpi) {
  Canvas c(16, 16, dpi);
  for (int k = 0; k < 4; ++k) {
    const double y = 2 + k * 3.5;
    c.Fill(Rect(1, y, 4, y + 2), kGlyphInk);
    c.Fill(Rect(6, y, 15, y + 2), {96, 104, 128});
  }
  return c;
}

Canvas BackGlyph(int dpi) {
  Canvas c = SmallCalendar(dpi);
  c.Fill(Polygon({{1, 11.5}, {6, 7}, {6, 10}, {10, 10}, {10, 13}, {6, 13}, {6, 16}}), {0, 96, 160});
  return c;
}

Canvas DeleteGlyph(int dpi) {
  Canvas c(24, 24, dpi);
  c.Fill(RoundedRect(5, 7, 19, 22, 1.5), kGlyphInk);
  c.Fill(RoundedRect(6.5, 8.5, 17.5, 20.5, 1.0), {220, 224, 232});
  for (int x : {9, 12, 15}) c.Fill(Rect(x - 0.6, 10.5, x + 0.6, 19), {120, 126, 146});
  c.Fill(RoundedRect(3, 4, 21, 6.5, 1), kGlyphInk);
  c.Fill(RoundedRect(9, 2, 15, 5, 1), kGlyphInk);
  const std::vector<Polyline> cross = {{{13, 11}, {22, 20}}, {{13, 20}, {22, 11}}};
  c.Fill(Strokes(cross, 3.2), kWhite);
  c.Fill(Strokes(cross, 2.0), {210, 0, 0});
  return c;
}

// The table ---------------------------------------------------------------------------

struct Entry {
  Picture picture;
  std::function<Canvas(int dpi)> draw;
  bool transparent = false;
  Rgb background = kWhite;
};

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = [] {
    std::vector<Entry> e;
    const auto add = [&](int id, const char* name, std::function<Canvas(int)> draw, bool transparent = false,
                         Rgb background = kWhite) { e.push_back({{id, name}, std::move(draw), transparent, background}); };
    add(201, "topbar", [](int d) { return HorizontalBar(353, 22, d); });
    add(202, "bottombar", [](int d) { return HorizontalBar(353, 15, d); });
    add(203, "leftbar", [](int d) { return VerticalBar(15, 274, d); });
    add(204, "rightbar", [](int d) { return VerticalBar(15, 274, d); });
    add(205, "closetop", [](int d) { return CloseBox(20, 22, d); });
    add(206, "closebottom", [](int d) { return CloseBox(20, 20, d); });
    add(207, "legend", LegendStrip);
    add(208, "legendhead", LegendHeader, true, kSilver);
    add(209, "legendpanel", LegendPanel, true, kSelected);
    add(210, "splash", Splash);
    add(211, "newmoon", NewMoon, true, kWhite);
    add(212, "fullmoon", FullMoon, true, kWhite);
    static const char* const normal[] = {"eventok", "ibirth", "iwor", "irel", "ifee", "ioth"};
    static const char* const today[] = {"eventokto", "ibirto", "iworto", "irelto", "ifeeto", "iothto"};
    static const char* const selected[] = {"eventsel", "ibirthsel", "iworsel", "irelsel", "ifeesel", "iothsel"};
    for (int k = 0; k < 6; ++k) add(221 + k, normal[k], [k](int d) { return EventPicture(kWhite, k, false, d); });
    for (int k = 0; k < 6; ++k) add(227 + k, today[k], [k](int d) { return EventPicture(kToday, k, false, d); });
    add(233, "imulto", [](int d) { return EventPicture(kToday, -1, false, d); });
    add(234, "imul", [](int d) { return EventPicture(kWhite, -1, false, d); });
    for (int k = 0; k < 6; ++k) add(241 + k, selected[k], [k](int d) { return EventPicture(kSelected, k, true, d); });
    add(254, "imulsel", [](int d) { return EventPicture(kSelected, -1, true, d); });
    static const char* const icons[] = {"iclov", "icbir", "icwor", "icrel", "icfee", "icoth"};
    for (int k = 0; k < 6; ++k) {
      const int w = k == 2 || k == 4 ? 15 : 16, h = k == 2 ? 14 : 16;
      add(261 + k, icons[k], [k, w, h](int d) { return CategoryIcon(k, w, h, d); }, true, kSelected);
    }
    add(271, "checkmark", CheckMark);
    add(272, "radiomark", RadioMark);
    add(281, "aboutback", AboutBackground);
    const Rgb sky = kAboutSky[1].colour;
    add(282, "figure1", [](int d) { return Figure(true, d); }, true, sky);
    add(283, "figure2", [](int d) { return Figure(false, d); }, true, sky);
    add(291, "legendlist", LegendList);
    add(292, "listhead", ListHeading);
    add(293, "legendlow", LegendLow);
    add(301, "gup", [](int d) { return ArrowGlyph(true, d); }, true, kSilver);
    add(302, "gdown", [](int d) { return ArrowGlyph(false, d); }, true, kSilver);
    add(303, "gtoday", TodayGlyph, true, kSilver);
    add(304, "gadd", AddGlyph, true, kSilver);
    add(305, "gmonth", MonthGlyph, true, kSilver);
    add(306, "gchoose", SmallCalendar, true, kSilver);
    add(307, "gback", BackGlyph, true, kSilver);
    add(308, "gdelete", DeleteGlyph, true, kSilver);
    return e;
  }();
  return entries;
}

// The tray's digits: 5 x 7 font pixels, each a block of `scale` real ones.
constexpr int kDigitW = 5, kDigitH = 7;
constexpr const char* kDigits[10][kDigitH] = {
    {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"..##.", ".###.", "..##.", "..##.", "..##.", "..##.", ".####"},
    {".###.", "##.##", "...##", "..##.", ".##..", "##...", "#####"},
    {"####.", "...##", "...##", ".###.", "...##", "...##", "####."},
    {"...##", "..###", ".#.##", "#..##", "#####", "...##", "...##"},
    {"#####", "##...", "####.", "...##", "...##", "##.##", ".###."},
    {".###.", "##...", "##...", "####.", "##.##", "##.##", ".###."},
    {"#####", "...##", "..##.", "..##.", ".##..", ".##..", ".##.."},
    {".###.", "##.##", "##.##", ".###.", "##.##", "##.##", ".###."},
    {".###.", "##.##", "##.##", ".####", "...##", "...##", ".###."},
};

}  // namespace

Canvas DayIcon(int day, int size, const DayIconInk& ink) {
  // The digits grow with the icon: one font pixel per 16th of its size.
  const double scale = size / 16.0;
  const double bodyTop = 5.0;
  Canvas c = CalendarPage(size, bodyTop, 96, ink.bodyFrom, ink.bodyTo);
  const std::string text = std::to_string(day);
  const double width = (static_cast<double>(text.size()) * kDigitW + static_cast<double>(text.size()) - 1) * scale;
  const double x = std::floor((size - width) / 2);
  const int body = static_cast<int>(bodyTop * size / 16);
  const double y = body + std::floor((size - 1 - body - kDigitH * scale) / 2);
  int pen = 0;
  for (const char ch : text) {
    const auto& rows = kDigits[ch - '0'];
    for (int j = 0; j < kDigitH; ++j)
      for (int i = 0; i < kDigitW; ++i) {
        if (rows[j][i] != '#') continue;
        for (int py = Edge(y + j * scale); py < Edge(y + (j + 1) * scale); ++py)
          for (int px = Edge(x + (pen + i) * scale); px < Edge(x + (pen + i + 1) * scale); ++px) c.Set(px, py, ink.digits);
      }
    pen += kDigitW + 1;
  }
  return c;
}

Canvas KindIcon(int kind, int size) { return CategoryIcon(kind, size, size, 96); }

const std::vector<Picture>& All() {
  static const std::vector<Picture> all = [] {
    std::vector<Picture> out;
    for (const Entry& e : Entries()) out.push_back(e.picture);
    return out;
  }();
  return all;
}

std::optional<Image> Draw(int id, int dpi) {
  for (const Entry& e : Entries()) {
    if (e.picture.id == id) return Flatten(e.draw(dpi), e.background, e.transparent);
  }
  return std::nullopt;
}

}  // namespace redoviri::pictures
