#include "app/helpf.h"

namespace redoviri {

using namespace widgets;

Thelp::Thelp(HintManager* hints)
    : FormWindow({.caption = "                  Help for Redoviri", .clientWidth = 273, .clientHeight = 194,
            .centered = true, .font = Font::Points("MS Sans Serif", 8), .borderless = false,
            .dragBySurface = false, .hints = hints}) {}

}  // namespace redoviri
