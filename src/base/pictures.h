// The program's bitmaps drawn at any screen resolution: the producers of
// tools/gen_pictures.py in C++. At 96 DPI each gives the committed 100 %
// bitmap exactly; at another DPI the same design at that size, for the
// windows to show instead of a stretched copy.
#pragma once

#include <optional>
#include <vector>

#include "base/canvas.h"

namespace redoviri::pictures {

struct Picture {
  int id;            // the bitmap's resource id
  const char* name;  // its file, pictures/<name>.bmp
};

// Every bitmap that is drawn here, in the order of the resource script.
const std::vector<Picture>& All();

// The bitmap of resource id drawn for a screen of dpi (96 to 480):
// canvas::AtDpi(width, dpi) x canvas::AtDpi(height, dpi) pixels of its 100 %
// size; nothing for an id that is not drawn here.
std::optional<canvas::Image> Draw(int id, int dpi);

// The tray's day number: a calendar page of size x size pixels with the
// day's digits, in the colours of a taskbar. The light taskbar's are those
// of the program's day icons; a dark taskbar's page is dark with light
// digits; high contrast takes the system's colours.
struct DayIconInk {
  canvas::Rgb bodyFrom, bodyTo;  // the page, top to bottom
  canvas::Rgb digits;
};
inline constexpr DayIconInk kLightTaskbarInk{{255, 255, 255}, {226, 228, 236}, {24, 24, 40}};
inline constexpr DayIconInk kDarkTaskbarInk{{70, 72, 84}, {48, 50, 60}, {250, 250, 252}};
canvas::Canvas DayIcon(int day, int size, const DayIconInk& ink);

// The tray's picture of a kind (0..5): a tile in the kind's colour with its
// symbol, size x size pixels.
canvas::Canvas KindIcon(int kind, int size);

}  // namespace redoviri::pictures
