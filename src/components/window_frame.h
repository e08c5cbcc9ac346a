// The frame of the program's borderless windows: a stretched picture bar
// along each edge and a close box "X" in each corner.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "widgets/widgets.h"

namespace redoviri {

inline constexpr const char* kMoveHint = "Click here and drag to move the mixer...";
inline constexpr const char* kCloseHint = "Click to hide the panel...";
inline constexpr const char* kCloseMenuHint = "Click to hide the panel, right click show the menu...";
// The colour legend strip of the main window and the date chooser.
inline constexpr const char* kLegendHint =
    "LEGEND  Red=Lovelyday Blue=Birthday Olive=Workingday Purple=Religionday Green=Feestday Teal=Other";

// A bitmap of the program's resources.
widgets::Bitmap ResourcePicture(int id);
// The bytes of an RCDATA resource of the program; empty when there is none.
std::span<const std::uint8_t> ResourceData(int id);

enum Corner { kTopLeft, kTopRight, kBottomLeft, kBottomRight };

struct FrameDesc {
  int topHeight = 22;
  int bottomHeight = 15;
  int sideWidth = 15;
  int topBoxHeight = 22;     // the close boxes of the top corners
  int bottomBoxHeight = 20;  // and of the bottom corners, 20 wide
  std::string bottomHint = kMoveHint;
  std::string leftHint{};
  std::array<std::string, 4> closeHints{kCloseHint, kCloseHint, kCloseHint, kCloseHint};  // by Corner
  // A click on any close box or its picture.
  widgets::Handler onClose{};
};

struct WindowFrame {
  widgets::Image& top;
  widgets::Image& bottom;
  widgets::Image& left;
  widgets::Image& right;
  std::array<widgets::Panel*, 4> close;  // by Corner
};

// Lays the frame onto a form (or a panel), under whatever is added later.
WindowFrame AddWindowFrame(widgets::Container& form, const FrameDesc& desc);

}  // namespace redoviri
