// The date chooser Form4: a small window in which the user types a date to
// jump to. For now the window itself, hidden until something shows it.
#pragma once

#include "widgets/widgets.h"

namespace redoviri {

class TForm4 : public widgets::FormWindow {
 public:
  explicit TForm4(widgets::HintManager* hints);
};

}  // namespace redoviri
