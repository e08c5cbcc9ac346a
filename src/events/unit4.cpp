#include "events/unit4.h"

namespace redoviri {

using namespace widgets;

TForm4::TForm4(HintManager* hints)
    : FormWindow({.clientWidth = 301, .clientHeight = 149, .centered = true, .colour = colours::Silver,
            .borderless = true, .topmost = true, .hints = hints}) {}

}  // namespace redoviri
