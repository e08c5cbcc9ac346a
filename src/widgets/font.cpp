#include "widgets/font.h"

#include <cstring>
#include <utility>

#include "widgets/dpi.h"

namespace redoviri::widgets {

Font Font::Pixels(std::string face, int pixels) {
  Font f;
  f.face = std::move(face);
  f.pixels = pixels;
  f.points = 0;
  return f;
}

Font Font::Points(std::string face, int points) {
  Font f;
  f.face = std::move(face);
  f.pixels = 0;
  f.points = points;
  return f;
}

Font Font::Bold() const {
  Font f = *this;
  f.bold = true;
  return f;
}

Font Font::Underlined() const {
  Font f = *this;
  f.underline = true;
  return f;
}

int Font::LogicalHeight(int dpi) const {
  if (points != 0) return -MulDiv(points, dpi, 72);
  return -Scale(pixels, dpi);
}

LOGFONTA Font::LogFont(int dpi) const {
  LOGFONTA lf{};
  lf.lfHeight = LogicalHeight(dpi);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return lf;
}

int ScreenDpi() {
  const WindowDC screen;
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

SIZE MeasureText(HFONT font, const std::string& text) {
  const WindowDC screen;
  const ScopedSelect select(screen.get(), font);
  RECT r{0, 0, 0, 0};
  // An empty text still has the height of a line.
  DrawTextA(screen.get(), text.empty() ? " " : text.c_str(), -1, &r,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  return {text.empty() ? 0 : r.right, r.bottom};
}

GdiCache::GdiCache(int dpi) : dpi_(dpi > 0 ? dpi : ScreenDpi()) {}

std::map<Font, OwnedFont> GdiCache::SetDpi(int dpi) {
  dpi_ = dpi;
  return std::exchange(fonts_, {});
}

HFONT GdiCache::GetFont(const Font& f) {
  auto it = fonts_.find(f);
  if (it == fonts_.end()) {
    const LOGFONTA lf = f.LogFont(dpi_);
    it = fonts_.emplace(f, OwnedFont(CreateFontIndirectA(&lf))).first;
  }
  return it->second.get();
}

HBRUSH GdiCache::Brush(COLORREF colour) {
  auto it = brushes_.find(colour);
  if (it == brushes_.end()) it = brushes_.emplace(colour, OwnedBrush(CreateSolidBrush(colour))).first;
  return it->second.get();
}

}  // namespace redoviri::widgets
