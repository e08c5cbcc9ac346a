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

}  // namespace redoviri::pictures
