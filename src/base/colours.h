// Colours of the month grid and the details panel, shared by the windows and
// the command-line tool. Values are the window system's 0x00BBGGRR form, so
// they can be handed to GDI as COLORREFs unchanged.
#pragma once

#include <cstdint>

namespace redoviri {

using Colour = std::uint32_t;  // 0x00BBGGRR

// The same packing as the Win32 RGB macro, for code that must not include
// <windows.h>.
constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 | static_cast<Colour>(blue) << 16;
}

// Today's cell and its column header; a cell panel of this colour also marks
// today's cell for the marking pass and is never recoloured by a selection.
inline constexpr Colour TodayColour = Rgb(128, 255, 255);     // 0xFFFF80
// The selected cell and the details panel.
inline constexpr Colour SelectedColour = Rgb(255, 255, 221);  // 0xDDFFFF
inline constexpr Colour NormalCellColour = Rgb(255, 255, 255);
inline constexpr Colour HeaderColour = Rgb(192, 192, 192);    // silver
inline constexpr Colour NormalTextColour = Rgb(0, 0, 0);
inline constexpr Colour TodayTextColour = Rgb(255, 0, 0);     // 0x0000FF

}  // namespace redoviri
