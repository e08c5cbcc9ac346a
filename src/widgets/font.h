// Fonts as small values, and the per-window cache that turns them into
// shared GDI handles.
#pragma once

#include <windows.h>

#include <compare>
#include <map>
#include <string>

#include "widgets/gdi.h"

namespace redoviri::widgets {

// A font description. The size is either a character height in pixels
// ("Arial 13 px", LOGFONT height -13) or a point size that depends on the
// screen's pixels per inch ("MS Sans Serif 8 point" is 11 px at 96 DPI).
struct Font {
  std::string face = "MS Sans Serif";
  int pixels = 0;  // character height in pixels; used when points is 0
  int points = 8;
  bool bold = false;
  bool italic = false;
  bool underline = false;

  static Font Pixels(std::string face, int pixels);
  static Font Points(std::string face, int points);
  static Font Arial(int pixels) { return Pixels("Arial", pixels); }

  Font Bold() const;
  Font Underlined() const;

  // LOGFONT height (negative: character height, not cell height).
  int LogicalHeight(int dpi) const;
  LOGFONTA LogFont(int dpi) const;

  friend bool operator==(const Font&, const Font&) = default;
  friend auto operator<=>(const Font&, const Font&) = default;
};

// Creates each distinct font and brush once and keeps them until the cache
// ends. The handles it gives out stay valid for the cache's lifetime, which
// is what a control that was sent WM_SETFONT needs.
class GdiCache {
 public:
  // dpi 0 reads the screen's pixels per inch.
  explicit GdiCache(int dpi = 0);
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  HFONT GetFont(const Font& f);
  int Dpi() const { return dpi_; }
  // Fonts from now on at dpi; the caller keeps the old ones while they are
  // still selected anywhere.
  std::map<Font, OwnedFont> SetDpi(int dpi);
  HBRUSH Brush(COLORREF colour);

 private:
  int dpi_;
  std::map<Font, OwnedFont> fonts_;
  std::map<COLORREF, OwnedBrush> brushes_;
};

// Pixels per inch of the screen (vertical).
int ScreenDpi();

// Size of a text in a font, as DrawText lays it out (line breaks kept).
SIZE MeasureText(HFONT font, const std::string& text);

}  // namespace redoviri::widgets
