// Gives a window a non-rectangular outline from region data kept with the
// window: the "FormShape" data, a 4-byte little-endian byte count N and N
// bytes of RGNDATA (a 32-byte header, then 16-byte rectangles). An empty
// stream means no shape.
//
//   TFormShaper FormShaper1{form.Handle()};
//   FormShaper1.LoadFormShape(bytes);   // from the window's resources
//   FormShaper1.SetActive(true);        // the outline is now the shape
//
// The data is the outline of the window laid out on a 96-DPI screen; the
// window gets it scaled to its own DPI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "widgets/dpi.h"
#include "widgets/gdi.h"

namespace redoviri {

class TFormShaper {
 public:
  // owner: the window shaped while ControlToShape is unset.
  explicit TFormShaper(HWND owner = nullptr) : owner_(owner) {}
  TFormShaper(const TFormShaper&) = delete;
  TFormShaper& operator=(const TFormShaper&) = delete;

  bool Active() const { return active_; }
  // On: with region data and not yet active, the data becomes the shaped
  // window's outline. Off: the window is rectangular again. Nothing happens
  // without a window to shape.
  void SetActive(bool on);

  HWND ControlToShape() const { return control_; }
  // Deactivates first when active.
  void SetControlToShape(HWND control);

  // The region data (RGNDATA bytes), empty when there is none.
  const std::vector<std::uint8_t>& Shape() const { return data_; }
  void SetShape(std::vector<std::uint8_t> rgnData) { data_ = std::move(rgnData); }

  // Reads the stored "FormShape" stream: count and data. An empty stream
  // (or a count of 0) removes the outline and clears the data. False, with
  // nothing changed, for a stream whose count or header does not hold up.
  bool LoadFormShape(std::span<const std::uint8_t> stream);
  // The stream to store; empty when there is no data.
  std::vector<std::uint8_t> SaveFormShape() const;

  // A region made of the data, scaled to dpi; null when there is none or
  // it is unusable.
  widgets::OwnedRegion MakeRegion(int dpi = widgets::kLayoutDpi) const;

  // The DPI the outline was made for when last applied.
  int Dpi() const { return dpi_; }
  // While active, gives the window its outline again at a new DPI
  // (WM_DPICHANGED); otherwise only remembers it.
  void SetDpi(int dpi);

 private:
  // The window shaped: ControlToShape, else the owner; null once destroyed.
  HWND Target() const;

  HWND owner_;
  HWND control_ = nullptr;
  bool active_ = false;
  int dpi_ = widgets::kLayoutDpi;
  std::vector<std::uint8_t> data_;
};

// The RGNDATA bytes of a region (what GetRegionData gives).
std::vector<std::uint8_t> RegionDataOf(HRGN region);

}  // namespace redoviri
