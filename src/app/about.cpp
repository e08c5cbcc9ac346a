#include "app/about.h"

namespace redoviri {

using namespace widgets;

TABOU::TABOU(HintManager* hints)
    : FormWindow({.clientWidth = 416, .clientHeight = 362, .centered = true, .colour = colours::Black,
            .borderless = true, .topmost = true, .hints = hints}) {}

void TABOU::ShowCentred() {
  GetForm().CenterOnScreen();
  Show();
}

}  // namespace redoviri
