#include "widgets/gdi.h"

namespace redoviri::widgets {

namespace {
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
}  // namespace

std::optional<LRESULT> PaintSelfDrawn(HWND window, UINT msg, WPARAM wp,
                                      const std::function<void(HDC dc, const RECT& client)>& paint) {
  if (msg != WM_ERASEBKGND && msg != WM_PAINT && msg != WM_PRINTCLIENT) return std::nullopt;
  if (msg == WM_ERASEBKGND) return 1;
  RECT client;
  GetClientRect(window, &client);
  if (msg == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wp), client);
    return 0;
  }
  const PaintDC dc(window);
  const BufferedPaint buffer(dc.get(), client);
  paint(buffer.Dc(), client);
  buffer.Blit();
  return 0;
}

BufferedPaint::BufferedPaint(HDC target, const RECT& area)
    : target_(target),
      area_(area),
      memory_(target),
      bitmap_(CreateCompatibleBitmap(target, Width(area) > 0 ? Width(area) : 1,
                                     Height(area) > 0 ? Height(area) : 1)),
      selected_(memory_.get(), bitmap_.get()) {
  // Drawing code uses the target's coordinates; the bitmap starts at the
  // area's top-left corner.
  SetViewportOrgEx(memory_.get(), -area.left, -area.top, nullptr);
}

void BufferedPaint::Blit() const {
  BitBlt(target_, area_.left, area_.top, Width(area_), Height(area_), memory_.get(), area_.left,
         area_.top, SRCCOPY);
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  // An opaque empty text output fills with the background colour and needs
  // no brush.
  const COLORREF old = SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour) {
  FillSolid(dc, {r.left, r.top, r.right, r.top + 1}, colour);
  FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
  FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, colour);
  FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

}  // namespace redoviri::widgets
