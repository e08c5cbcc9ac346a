// The about window ABOU: a framed picture with a small animated figure.
// For now the window itself, hidden until the about command shows it.
#pragma once

#include "widgets/widgets.h"

namespace redoviri {

class TABOU : public widgets::FormWindow {
 public:
  explicit TABOU(widgets::HintManager* hints);

  // The about command: the window at the centre of the screen.
  void ShowCentred();
};

}  // namespace redoviri
