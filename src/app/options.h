// The options of the shared popup menu. They are not stored: both start
// checked at every run.
#pragma once

namespace redoviri {

struct AppOptions {
  bool animatedWindow = true;  // "Animated window"
  bool blinkingIcons = true;   // "Blincking icons"
};

}  // namespace redoviri
