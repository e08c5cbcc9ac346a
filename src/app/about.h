// The about window ABOU: a framed picture with a small animated figure.
// For now the window itself, hidden until the about command shows it.
#pragma once

#include "widgets/widgets.h"

namespace redoviri {

class TABOU : public widgets::FormWindow {
 public:
  explicit TABOU(widgets::HintManager* hints);
};

}  // namespace redoviri
