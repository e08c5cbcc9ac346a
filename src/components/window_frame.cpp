#include "components/window_frame.h"

#include "resources/resource_ids.h"

namespace redoviri {

using namespace widgets;

Bitmap ResourcePicture(int id) { return Bitmap::FromResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

std::span<const std::uint8_t> ResourceData(int id) {
  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return {};
  const HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

namespace {

Panel& AddCloseBox(Container& form, const Bounds& b, int pictureId, const std::string& hint, const Handler& onClose) {
  Panel& box = form.Add<Panel>({.left = b.left, .top = b.top, .width = b.width, .height = b.height,
                                .caption = "X", .hint = hint,
                                .font = Font::Points("MS Sans Serif", 8).Bold(), .onClick = onClose});
  box.Add<Image>({.left = 0, .top = 0, .width = b.width, .height = b.height, .hint = hint, .onClick = onClose},
                 {.picture = ResourcePicture(pictureId), .stretch = true});
  return box;
}

}  // namespace

WindowFrame AddWindowFrame(Container& form, const FrameDesc& d) {
  const int w = form.GetBounds().width, h = form.GetBounds().height;
  const int sideHeight = h - d.topHeight - d.bottomHeight;
  Image& top = form.Add<Image>({.left = 0, .top = 0, .width = w, .height = d.topHeight, .hint = kMoveHint},
                               {.picture = ResourcePicture(IDB_TOPBAR), .stretch = true});
  Image& bottom = form.Add<Image>({.left = 0, .top = h - d.bottomHeight, .width = w, .height = d.bottomHeight,
                                   .hint = d.bottomHint},
                                  {.picture = ResourcePicture(IDB_BOTTOMBAR), .stretch = true});
  Image& left = form.Add<Image>({.left = 0, .top = d.topHeight, .width = d.sideWidth, .height = sideHeight,
                                 .hint = d.leftHint},
                                {.picture = ResourcePicture(IDB_LEFTBAR), .stretch = true});
  Image& right = form.Add<Image>({.left = w - d.sideWidth, .top = d.topHeight, .width = d.sideWidth,
                                  .height = sideHeight},
                                 {.picture = ResourcePicture(IDB_RIGHTBAR), .stretch = true});
  constexpr int kBoxWidth = 20;
  const int topBox = d.topBoxHeight, bottomBox = d.bottomBoxHeight;
  const std::array<Bounds, 4> places{{{0, 0, kBoxWidth, topBox},
                                      {w - kBoxWidth, 0, kBoxWidth, topBox},
                                      {0, h - bottomBox, kBoxWidth, bottomBox},
                                      {w - kBoxWidth, h - bottomBox, kBoxWidth, bottomBox}}};
  std::array<Panel*, 4> close{};
  for (int c = kTopLeft; c <= kBottomRight; ++c) {
    const bool atTop = c == kTopLeft || c == kTopRight;
    close[c] = &AddCloseBox(form, places[c], atTop ? IDB_CLOSETOP : IDB_CLOSEBOTTOM, d.closeHints[c], d.onClose);
  }
  return {top, bottom, left, right, close};
}

}  // namespace redoviri
