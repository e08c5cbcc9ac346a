#include "components/FormShaper.h"

#include <cstring>

namespace redoviri {

using widgets::OwnedRegion;

namespace {

constexpr std::size_t kHeaderSize = sizeof(RGNDATAHEADER);  // 32
constexpr std::size_t kRectSize = sizeof(RECT);             // 16

// The header holds up: its size, the rectangle type, and as many
// rectangles as the bytes carry.
bool PlausibleRegionData(std::span<const std::uint8_t> data) {
  if (data.size() < kHeaderSize) return false;
  RGNDATAHEADER h;
  std::memcpy(&h, data.data(), kHeaderSize);
  return h.dwSize == kHeaderSize && h.iType == RDH_RECTANGLES && h.nCount <= (data.size() - kHeaderSize) / kRectSize;
}

}  // namespace

HWND TFormShaper::Target() const {
  const HWND w = control_ ? control_ : owner_;
  return w && IsWindow(w) ? w : nullptr;
}

OwnedRegion TFormShaper::MakeRegion(int dpi) const {
  if (!PlausibleRegionData(data_)) return OwnedRegion();
  // At the layout's DPI the rectangles are taken as they are.
  XFORM scale{};
  scale.eM11 = scale.eM22 = static_cast<FLOAT>(dpi) / widgets::kLayoutDpi;
  return OwnedRegion(ExtCreateRegion(dpi == widgets::kLayoutDpi ? nullptr : &scale, static_cast<DWORD>(data_.size()),
                                     reinterpret_cast<const RGNDATA*>(data_.data())));
}

void TFormShaper::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  const HWND target = Target();
  if (!active_ || !target) return;
  OwnedRegion region = MakeRegion(dpi_);
  if (region) SetWindowRgn(target, region.release(), TRUE);
}

void TFormShaper::SetActive(bool on) {
  const HWND target = Target();
  if (!target) return;
  if (on) {
    if (active_ || data_.empty()) return;
    dpi_ = widgets::DpiOf(target);
    OwnedRegion region = MakeRegion(dpi_);
    if (!region) return;
    // The window owns the region from here on.
    SetWindowRgn(target, region.release(), TRUE);
    active_ = true;
  } else {
    SetWindowRgn(target, nullptr, TRUE);
    active_ = false;
  }
}

void TFormShaper::SetControlToShape(HWND control) {
  if (active_) SetActive(false);
  control_ = control;
}

bool TFormShaper::LoadFormShape(std::span<const std::uint8_t> stream) {
  std::uint32_t count = 0;
  if (stream.size() >= 4) count = stream[0] | stream[1] << 8 | stream[2] << 16 | static_cast<std::uint32_t>(stream[3]) << 24;
  if (stream.empty() || (stream.size() >= 4 && count == 0)) {
    if (const HWND target = Target()) SetWindowRgn(target, nullptr, TRUE);
    active_ = false;
    data_.clear();
    return true;
  }
  if (stream.size() < 4 || count > stream.size() - 4) return false;
  const std::span<const std::uint8_t> data = stream.subspan(4, count);
  if (!PlausibleRegionData(data)) return false;
  data_.assign(data.begin(), data.end());
  return true;
}

std::vector<std::uint8_t> TFormShaper::SaveFormShape() const {
  if (data_.empty()) return {};
  const auto n = static_cast<std::uint32_t>(data_.size());
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
  out.insert(out.end(), data_.begin(), data_.end());
  return out;
}

std::vector<std::uint8_t> RegionDataOf(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<std::uint8_t> out(size);
  if (size == 0 || GetRegionData(region, size, reinterpret_cast<RGNDATA*>(out.data())) != size) return {};
  return out;
}

}  // namespace redoviri
