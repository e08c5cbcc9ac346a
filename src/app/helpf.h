// The help window: a small dialog with usage hints. For now the window
// itself, hidden until the help command shows it.
#pragma once

#include "widgets/widgets.h"

namespace redoviri {

class Thelp : public widgets::FormWindow {
 public:
  explicit Thelp(widgets::HintManager* hints);
};

}  // namespace redoviri
