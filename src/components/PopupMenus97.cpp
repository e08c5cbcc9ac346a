#include "components/PopupMenus97.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "resources/resource_ids.h"
#include "widgets/font.h"

namespace redoviri {

namespace {

using widgets::FillSolid;
using widgets::MemoryDC;
using widgets::OwnedBitmap;
using widgets::OwnedBrush;
using widgets::OwnedFont;
using widgets::ScopedDCState;
using widgets::ScopedSelect;
using widgets::WindowDC;

// Lengths below are pixels of a 96-DPI screen.

// The stored check and radio glyphs are this size; a system check column
// narrower than a glyph is widened to the glyph and a 2-pixel margin.
constexpr int kGlyphSize = 17;
constexpr int kGlyphMargin = 2;
// Space between the check column and the caption.
constexpr int kTextGap = 2;
// An item is its caption's height and this much taller, at the least.
constexpr int kTextPadding = 6;
// Space between the banner and the items.
constexpr int kBannerGap = 2;
// Lines: the etched ones, the 3D frames, the emboss offset.
constexpr int kLine = 1;
// Images index by tag up to this.
constexpr int kLastImageTag = 255;
// The ternary raster operation "PSDPxax": where the mask is black, the
// brush; where it is white, the destination stays.
constexpr DWORD kPaintMaskWithBrush = 0x00B8074A;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

COLORREF Sys(int index) { return GetSysColor(index); }

std::string DisplayText(const TMenus97Item& item) {
  std::string text = item.Text();
  // "-word": a labelled line shows the word.
  if (!text.empty() && text[0] == '-') text.erase(0, 1);
  return text.empty() ? " " : text;
}

bool IsLabelledLine(const TMenus97Item& item) { return !item.caption.empty() && item.caption[0] == '-'; }

// Width and height of a text on one line, tabs expanded; "&" counts as a
// character.
SIZE TextSize(HDC dc, const std::string& text) {
  RECT r{0, 0, 0, 0};
  const std::string shown = text.empty() ? " " : text;
  DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &r,
            DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
  return {Width(r), Height(r)};
}

char UpperChar(char c) {
  char buffer[1] = {c};
  CharUpperBuffA(buffer, 1);
  return buffer[0];
}

// The character after a single "&", upper-cased; 0 when there is none.
char AcceleratorOf(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return UpperChar(text[i + 1]);
    ++i;  // "&&" is a plain "&"
  }
  return 0;
}

MENUITEMINFOA ItemInfo(HMENU menu, int position, UINT mask) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) info.fMask = 0;
  return info;
}

std::string ItemString(HMENU menu, int position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return {};
  std::string text(info.cch + 1, '\0');
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return {};
  text.resize(info.cch);
  return text;
}

// A frame `line` pixels wide: `topLeft` on the top and left edges,
// `bottomRight` on the others.
void Frame3D(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight, int line) {
  FillSolid(dc, {r.left, r.top, r.right, r.top + line}, topLeft);
  FillSolid(dc, {r.left, r.top, r.left + line, r.bottom}, topLeft);
  FillSolid(dc, {r.left, r.bottom - line, r.right, r.bottom}, bottomRight);
  FillSolid(dc, {r.right - line, r.top, r.right, r.bottom}, bottomRight);
}

// The check and radio glyphs at a DPI: the one place they meet the scale.
// The glyph drawn for the DPI fills its scaled place.
void DrawGlyph(HDC dc, const widgets::Bitmap& glyph, const RECT& at, int dpi) {
  widgets::DrawBitmap(dc, glyph, at, {.stretch = true, .transparent = RGB(255, 255, 255)}, dpi);
}

// An image's shape in one colour: once in the highlight colour `offset`
// pixels right and down, then in the shadow colour in place.
void DrawImageEmbossed(HDC dc, HIMAGELIST images, int index, int x, int y, int offset) {
  int w = 0;
  int h = 0;
  ImageList_GetIconSize(images, &w, &h);
  const MemoryDC mask(dc);
  const OwnedBitmap bits(CreateBitmap(w, h, 1, 1, nullptr));
  const ScopedSelect maskSelected(mask.get(), bits.get());
  PatBlt(mask.get(), 0, 0, w, h, WHITENESS);
  ImageList_Draw(images, index, mask.get(), 0, 0, ILD_MASK);
  const ScopedDCState saved(dc);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  const std::pair<COLORREF, int> passes[] = {{Sys(COLOR_BTNHIGHLIGHT), offset}, {Sys(COLOR_BTNSHADOW), 0}};
  for (const auto& [colour, offset] : passes) {
    const OwnedBrush brush(CreateSolidBrush(colour));
    const ScopedSelect brushSelected(dc, brush.get());
    BitBlt(dc, x + offset, y + offset, w, h, mask.get(), 0, 0, kPaintMaskWithBrush);
  }
}

int Mix(int from, int to, int step, int steps) { return from + MulDiv(to - from, step, steps); }

}  // namespace

// ---------------------------------------------------------------- values

TMenuFont TMenuFont::Make(const char* face, int height, COLORREF color) {
  TMenuFont f;
  f.log.lfHeight = height;
  f.log.lfWeight = FW_NORMAL;
  f.log.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(f.log.lfFaceName, face, LF_FACESIZE);
  f.color = color;
  return f;
}

TMenuFont TMenuFont::SystemMenu() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTA menu{};
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    menu = metrics.lfMenuFont;
  else
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof menu, &menu);
  // The metrics are the screen's; the menus scale the height to theirs.
  TMenuFont f = Make(menu.lfFaceName, widgets::Unscale(menu.lfHeight, widgets::ScreenDpi()), Sys(COLOR_MENUTEXT));
  f.log.lfWeight = menu.lfWeight > 500 ? FW_BOLD : FW_NORMAL;
  f.log.lfItalic = menu.lfItalic ? TRUE : FALSE;
  f.log.lfUnderline = menu.lfUnderline ? TRUE : FALSE;
  f.log.lfStrikeOut = menu.lfStrikeOut ? TRUE : FALSE;
  f.log.lfCharSet = menu.lfCharSet;
  f.log.lfPitchAndFamily = static_cast<BYTE>(menu.lfPitchAndFamily & 0x03);
  return f;
}

bool operator==(const TMenuFont& a, const TMenuFont& b) {
  const LOGFONTA& x = a.log;
  const LOGFONTA& y = b.log;
  return a.color == b.color && x.lfHeight == y.lfHeight && x.lfWidth == y.lfWidth &&
         x.lfEscapement == y.lfEscapement && x.lfOrientation == y.lfOrientation && x.lfWeight == y.lfWeight &&
         x.lfItalic == y.lfItalic && x.lfUnderline == y.lfUnderline && x.lfStrikeOut == y.lfStrikeOut &&
         x.lfCharSet == y.lfCharSet && x.lfOutPrecision == y.lfOutPrecision &&
         x.lfClipPrecision == y.lfClipPrecision && x.lfQuality == y.lfQuality &&
         x.lfPitchAndFamily == y.lfPitchAndFamily && std::strncmp(x.lfFaceName, y.lfFaceName, LF_FACESIZE) == 0;
}

LOGFONTA TMenuFont::At(int dpi) const {
  LOGFONTA scaled = log;
  scaled.lfHeight = widgets::Scale(log.lfHeight, dpi);
  scaled.lfWidth = widgets::Scale(log.lfWidth, dpi);
  return scaled;
}

std::string TMenus97Item::Text() const { return caption.substr(0, caption.find('\t')); }

std::string TMenus97Item::ShortCut() const {
  const std::size_t tab = caption.find('\t');
  return tab == std::string::npos ? std::string() : caption.substr(tab + 1);
}

std::vector<TBannerBand> BannerBands(const RECT& area, COLORREF start, COLORREF end, int count) {
  if (start == end || count < 1) return {{area, start}};
  std::vector<TBannerBand> bands;
  const int height = Height(area);
  for (int i = 0; i < count; ++i) {
    RECT r = area;
    r.top = area.top + MulDiv(height, i, count);
    r.bottom = area.top + MulDiv(height, i + 1, count);
    COLORREF colour = start;
    if (count >= 2)
      colour = RGB(Mix(GetRValue(start), GetRValue(end), i, count - 1),
                   Mix(GetGValue(start), GetGValue(end), i, count - 1),
                   Mix(GetBValue(start), GetBValue(end), i, count - 1));
    bands.push_back({r, colour});
  }
  return bands;
}

// ---------------------------------------------------------------- engine

TCustomMenus97::TCustomMenus97()
    : bannerFont_(TMenuFont::Make("Arial", -MulDiv(12, widgets::kLayoutDpi, 72), Sys(COLOR_WINDOWTEXT))),
      bannerColor_(Sys(COLOR_ACTIVECAPTION)),
      font_(TMenuFont::SystemMenu()),
      brush_(Sys(COLOR_BTNFACE)),
      hiliteBar_(Sys(COLOR_HIGHLIGHT)),
      hiliteFont_(font_),
      dpi_(widgets::ScreenDpi()) {
  hiliteFont_.color = Sys(COLOR_HIGHLIGHTTEXT);
  const HINSTANCE module = GetModuleHandleA(nullptr);
  checkGlyph_ = widgets::Bitmap::FromResource(module, MAKEINTRESOURCEA(IDB_CHECKMARK));
  radioGlyph_ = widgets::Bitmap::FromResource(module, MAKEINTRESOURCEA(IDB_RADIOMARK));
}

TCustomMenus97::~TCustomMenus97() = default;

void TCustomMenus97::SetBannerImage(int index) {
  bannerImage_ = index;
  InvalidateBanner();
}

void TCustomMenus97::SetBannerJustification(TBannerJustification value) {
  bannerJustification_ = value;
  InvalidateBanner();
}

void TCustomMenus97::SetBannerWidth(int pixels) {
  bannerWidth_ = pixels;
  InvalidateBanner();
}

void TCustomMenus97::SetBannerText(std::string text) {
  bannerText_ = std::move(text);
  InvalidateBanner();
}

void TCustomMenus97::SetBannerFont(const TMenuFont& font) {
  bannerFont_ = font;
  InvalidateBanner();
}

void TCustomMenus97::SetBannerColor(COLORREF color) {
  bannerColor_ = color;
  InvalidateBanner();
}

void TCustomMenus97::SetBannerEndColor(COLORREF color) {
  bannerEndColor_ = color;
  InvalidateBanner();
}

void TCustomMenus97::SetBannerNumColors(int count) {
  bannerNumColors_ = count;
  InvalidateBanner();
}

void TCustomMenus97::SetBanner(bool on) {
  banner_ = on;
  InvalidateBanner();
}

void TCustomMenus97::SetImages(HIMAGELIST images) {
  images_ = images;
  InvalidateBanner();
}

void TCustomMenus97::SetFont(const TMenuFont& font) {
  font_ = font;
  defaultFont_ = false;
}

void TCustomMenus97::SetHiliteFont(const TMenuFont& font) {
  hiliteFont_ = font;
  defaultFont_ = false;
}

void TCustomMenus97::SetDefaultFont(bool on) {
  defaultFont_ = on;
  if (!on) return;
  font_ = TMenuFont::SystemMenu();
  hiliteFont_ = font_;
  hiliteFont_.color = Sys(COLOR_HIGHLIGHTTEXT);
}

void TCustomMenus97::SetItemTag(UINT command, int tag) {
  std::erase_if(tags_, [command](const auto& t) { return t.first == command; });
  tags_.emplace_back(command, tag);
  for (const auto& e : entries_)
    if (e->item.command == command && !e->item.submenu) e->item.tag = tag;
}

void TCustomMenus97::InvalidateBanner() { bannerNeedsLayout_ = true; }

void TCustomMenus97::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  InvalidateBanner();
}


SIZE TCustomMenus97::CheckColumn() const {
  if (images_) {
    // The images are as large as the list holds them.
    int w = 0;
    int h = 0;
    ImageList_GetIconSize(images_, &w, &h);
    return {w + Px(4), h + Px(4)};
  }
  const int glyphW = checkGlyph_ ? checkGlyph_.Width() : kGlyphSize;
  const int glyphH = checkGlyph_ ? checkGlyph_.Height() : kGlyphSize;
  const int cx = widgets::SystemMetricAt(SM_CXMENUCHECK, dpi_);
  const int cy = widgets::SystemMetricAt(SM_CYMENUCHECK, dpi_);
  return {cx < Px(glyphW) ? Px(glyphW + 2 * kGlyphMargin) : cx, cy < Px(glyphH) ? Px(glyphH + 2 * kGlyphMargin) : cy};
}

TCustomMenus97::Entry* TCustomMenus97::EntryOf(ULONG_PTR data) const {
  for (const auto& e : entries_)
    if (reinterpret_cast<ULONG_PTR>(e.get()) == data) return e.get();
  return nullptr;
}

const TMenus97Item* TCustomMenus97::ItemOf(ULONG_PTR data) const {
  const Entry* e = EntryOf(data);
  return e ? &e->item : nullptr;
}

int TCustomMenus97::PositionOf(const Entry& entry) const {
  const int count = GetMenuItemCount(entry.item.menu);
  for (int pos = 0; pos < count; ++pos)
    if (ItemInfo(entry.item.menu, pos, MIIM_DATA).dwItemData == reinterpret_cast<ULONG_PTR>(&entry)) return pos;
  return -1;
}

bool TCustomMenus97::HasImage(const TMenus97Item& item) const {
  return images_ && item.tag >= 0 && item.tag <= kLastImageTag && item.tag < ImageList_GetImageCount(images_);
}

// ---------------------------------------------------------------- items

void TCustomMenus97::ConvertItems(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    const MENUITEMINFOA info = ItemInfo(menu, pos, MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STATE);
    if (!info.fMask) continue;
    if (info.hSubMenu) ConvertItems(info.hSubMenu);
    if (info.fType & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_BITMAP)) continue;
    std::string caption = ItemString(menu, pos);
    if (caption == "-") continue;  // the system draws separators

    auto entry = std::make_unique<Entry>();
    TMenus97Item& item = entry->item;
    item.menu = menu;
    item.submenu = info.hSubMenu;
    item.command = info.hSubMenu ? 0 : info.wID;
    item.caption = std::move(caption);
    for (const auto& [command, tag] : tags_)
      if (!item.submenu && command == item.command) item.tag = tag;

    // The type changes: the item keeps its state (checked, disabled,
    // default) and its column break. A "-word" line is a label, never a
    // command: the menu must neither highlight nor choose it, so it is
    // disabled for as long as we draw it.
    MENUITEMINFOA set{};
    set.cbSize = sizeof set;
    set.fMask = MIIM_FTYPE | MIIM_DATA;
    set.fType = info.fType | MFT_OWNERDRAW;
    set.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
    if (IsLabelledLine(item) && !(info.fState & MFS_DISABLED)) {
      set.fMask |= MIIM_STATE;
      set.fState = info.fState | MFS_DISABLED;
      entry->disabledAsLine = true;
    }
    if (SetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &set)) entries_.push_back(std::move(entry));
  }
}

void TCustomMenus97::DropRemovedItems() {
  std::erase_if(entries_, [&](const std::unique_ptr<Entry>& e) { return !IsMenu(e->item.menu) || PositionOf(*e) < 0; });
}

void TCustomMenus97::RestoreItems() {
  for (const auto& e : entries_) {
    if (!IsMenu(e->item.menu)) continue;
    const int pos = PositionOf(*e);
    if (pos < 0) continue;
    const MENUITEMINFOA info = ItemInfo(e->item.menu, pos, MIIM_FTYPE | MIIM_STATE);
    MENUITEMINFOA set{};
    set.cbSize = sizeof set;
    set.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
    set.fType = info.fType & ~static_cast<UINT>(MFT_OWNERDRAW);
    if (e->disabledAsLine) {
      set.fMask |= MIIM_STATE;
      set.fState = info.fState & ~static_cast<UINT>(MFS_DISABLED);
    }
    set.dwTypeData = e->item.caption.data();
    set.dwItemData = 0;
    SetMenuItemInfoA(e->item.menu, static_cast<UINT>(pos), TRUE, &set);
  }
  entries_.clear();
  InvalidateBanner();
}

int TCustomMenus97::FindAccelerator(HMENU menu, char typed) const {
  const char wanted = UpperChar(typed);
  if (!wanted) return -1;
  const int count = GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    const MENUITEMINFOA info = ItemInfo(menu, pos, MIIM_STATE | MIIM_DATA);
    const Entry* e = EntryOf(info.dwItemData);
    if (e && !(info.fState & (MFS_DISABLED | MFS_GRAYED)) && AcceleratorOf(e->item.Text()) == wanted) return pos;
  }
  // Not in this menu: the submenu item that leads to it opens its menu.
  for (int pos = 0; pos < count; ++pos) {
    const MENUITEMINFOA info = ItemInfo(menu, pos, MIIM_STATE | MIIM_SUBMENU);
    if (info.hSubMenu && !(info.fState & (MFS_DISABLED | MFS_GRAYED)) && FindAccelerator(info.hSubMenu, typed) >= 0)
      return pos;
  }
  return -1;
}

// ---------------------------------------------------------------- measure

int TCustomMenus97::MeasureWidth(const TMenus97Item& item) const {
  const WindowDC screen;
  const LOGFONTA log = font_.At(dpi_);
  const OwnedFont font(CreateFontIndirectA(&log));
  const ScopedSelect fontSelected(screen.get(), font.get());
  const HDC dc = screen.get();
  const int check = CheckColumn().cx;
  const int count = GetMenuItemCount(item.menu);

  int widest = 0;             // caption, with the room a submenu arrow needs
  int widestShortCut = 0;
  int widestWithShortCut = 0;  // caption of an item that has a shortcut
  bool anyShortCut = false;
  for (int pos = 0; pos < count; ++pos) {
    const Entry* sibling = EntryOf(ItemInfo(item.menu, pos, MIIM_DATA).dwItemData);
    if (!sibling) continue;
    int w = static_cast<int>(TextSize(dc, DisplayText(sibling->item)).cx);
    if (sibling->item.submenu)
      w += check;
    else if (count == 1)
      w += check / 2;
    widest = std::max(widest, w);
    const std::string shortCut = sibling->item.ShortCut();
    if (!shortCut.empty()) {
      anyShortCut = true;
      widestShortCut = std::max<int>(widestShortCut, TextSize(dc, shortCut).cx);
      widestWithShortCut = std::max(widestWithShortCut, w);
    }
  }
  int width = widest + check;
  if (anyShortCut && widest < widestWithShortCut + widestShortCut + check)
    width = widestWithShortCut + widestShortCut + 2 * check;
  // The "&" of an accelerator is not drawn.
  if (item.caption.find('&') != std::string::npos) width -= TextSize(dc, "&").cx;
  if (banner_ && item.menu == BannerMenu()) width += Px(bannerWidth_);
  return width;
}

bool TCustomMenus97::MeasureItem(MEASUREITEMSTRUCT& measure) {
  if (measure.CtlType != ODT_MENU) return false;
  Entry* e = EntryOf(measure.itemData);
  if (!e) return false;
  int textHeight = 0;
  {
    const WindowDC screen;
    const LOGFONTA log = font_.At(dpi_);
    const OwnedFont font(CreateFontIndirectA(&log));
    const ScopedSelect fontSelected(screen.get(), font.get());
    textHeight = TextSize(screen.get(), DisplayText(e->item)).cy;
  }
  int height = std::max<int>(CheckColumn().cy, textHeight + Px(kTextPadding));
  int width = MeasureWidth(e->item);
  if (itemHeight_ != 0) height = Px(itemHeight_);
  if (itemWidth_ != 0) width = Px(itemWidth_);
  if (OnMeasureItem) OnMeasureItem(*this, e->item, width, height);
  measure.itemWidth = static_cast<UINT>(std::max(width, 0));
  measure.itemHeight = static_cast<UINT>(std::max(height, 0));
  e->height = height;
  return true;
}

// ---------------------------------------------------------------- draw

bool TCustomMenus97::DrawItem(const DRAWITEMSTRUCT& draw) {
  if (draw.CtlType != ODT_MENU) return false;
  const Entry* e = EntryOf(draw.itemData);
  if (!e) return false;
  const TMenus97Item& item = e->item;
  const HDC dc = draw.hDC;
  const ScopedDCState saved(dc);
  canvas_ = dc;
  struct CanvasReset {
    HDC& canvas;
    ~CanvasReset() { canvas = nullptr; }
  } canvasReset{canvas_};

  // A "-word" line never shows the highlight bar.
  const bool selected = (draw.itemState & ODS_SELECTED) != 0 && !IsLabelledLine(item);
  const COLORREF background = selected ? hiliteBar_ : brush_;
  const TMenuFont& font = selected ? hiliteFont_ : font_;
  if (selected) {
    std::string hint = item.hint;
    if (OnHint) OnHint(*this, item, hint);
    currentHint_ = hint;
  }
  if (OnDrawItem && OnDrawItem(*this, item, draw.rcItem, draw.itemState)) return true;

  RECT rect = draw.rcItem;
  const bool inBannerMenu = item.menu && item.menu == BannerMenu();
  if (inBannerMenu && bannerNeedsLayout_) LayOutBanner(*e, dc, rect);
  if (banner_ && inBannerMenu) {
    DrawBanner(dc);
    if (rect.left == bannerRect_.left) rect.left += Width(bannerRect_) + Px(kBannerGap);
  }

  const int pos = PositionOf(*e);
  const MENUITEMINFOA info = ItemInfo(item.menu, pos, MIIM_FTYPE | MIIM_STATE);
  const bool line = IsLabelledLine(item);
  const bool enabled = !line && !(draw.itemState & (ODS_DISABLED | ODS_GRAYED));

  // Every item is filled, so a disabled item never keeps the bar it had.
  FillSolid(dc, rect, background);
  const int px = Px(kLine);
  if (line) {
    const int middle = rect.top + Height(rect) / 2;
    FillSolid(dc, {rect.left + px, middle, rect.right - px, middle + px}, Sys(COLOR_BTNSHADOW));
    FillSolid(dc, {rect.left + px, middle + px, rect.right - px, middle + 2 * px}, Sys(COLOR_BTNHIGHLIGHT));
  }
  if (info.fType & MFT_MENUBARBREAK) {
    RECT menuArea = rect;
    if (const HWND window = WindowFromDC(dc)) GetClientRect(window, &menuArea);
    FillSolid(dc, {rect.left - 3 * px, menuArea.top, rect.left - 2 * px, menuArea.bottom}, Sys(COLOR_BTNSHADOW));
    FillSolid(dc, {rect.left - 2 * px, menuArea.top, rect.left - px, menuArea.bottom}, Sys(COLOR_BTNHIGHLIGHT));
  }

  const SIZE check = CheckColumn();
  RECT column{rect.left, rect.top + (Height(rect) - check.cy) / 2, rect.left + check.cx, 0};
  column.bottom = column.top + check.cy;
  if (enabled) {
    DrawMarks(dc, column, draw, item, info, background);
  } else if (HasImage(item)) {
    int w = 0;
    int h = 0;
    ImageList_GetIconSize(images_, &w, &h);
    DrawImageEmbossed(dc, images_, item.tag, column.left + (check.cx - w) / 2, column.top + (check.cy - h) / 2, px);
  }

  const RECT textRect{rect.left + check.cx + Px(kTextGap), rect.top, rect.right, rect.bottom};
  DrawItemText(dc, textRect, item, draw, info, font);
  if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
  return true;
}

void TCustomMenus97::DrawMarks(HDC dc, const RECT& column, const DRAWITEMSTRUCT& draw, const TMenus97Item& item,
                               const MENUITEMINFOA& info, COLORREF background) const {
  // A "-word" line never shows the highlight bar.
  const bool selected = (draw.itemState & ODS_SELECTED) != 0 && !IsLabelledLine(item);
  const bool checked = (draw.itemState & ODS_CHECKED) != 0;
  const bool radio = (info.fType & MFT_RADIOCHECK) != 0;
  const bool image = HasImage(item);
  enum class Box { None, Raised, Sunken } box = Box::None;
  if (selected && (checked || image)) box = Box::Raised;
  if (checked && !selected) box = Box::Sunken;
  if (radio && !checked) box = Box::Raised;
  if (look_ == mlIE4Look) box = Box::None;

  if (box != Box::None) {
    FillSolid(dc, column, background);
    const COLORREF light = Sys(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = Sys(COLOR_BTNSHADOW);
    if (box == Box::Raised)
      Frame3D(dc, column, light, dark, Px(kLine));
    else
      Frame3D(dc, column, dark, light, Px(kLine));
  }
  if (image) {
    int w = 0;
    int h = 0;
    ImageList_GetIconSize(images_, &w, &h);
    ImageList_Draw(images_, item.tag, dc, column.left + (Width(column) - w) / 2,
                   column.top + (Height(column) - h) / 2, ILD_TRANSPARENT);
  } else if (checked) {
    const widgets::Bitmap& glyph = radio ? radioGlyph_ : checkGlyph_;
    if (!glyph) return;
    const SIZE size{Px(glyph.Width()), Px(glyph.Height())};
    const int x = column.left + (Width(column) - size.cx) / 2;
    const int y = column.top + (Height(column) - size.cy) / 2;
    const RECT at{x, y, x + size.cx, y + size.cy};
    // The glyph's white squares show the item's background.
    FillSolid(dc, at, background);
    DrawGlyph(dc, glyph, at, dpi_);
  }
}

void TCustomMenus97::DrawItemText(HDC dc, const RECT& textRect, const TMenus97Item& item,
                                  const DRAWITEMSTRUCT& draw, const MENUITEMINFOA& info,
                                  const TMenuFont& font) const {
  LOGFONTA log = font.At(dpi_);
  if ((draw.itemState & ODS_DEFAULT) || (info.fState & MFS_DEFAULT)) log.lfWeight = FW_BOLD;
  const OwnedFont handle(CreateFontIndirectA(&log));
  const ScopedSelect fontSelected(dc, handle.get());
  SetBkMode(dc, TRANSPARENT);

  const bool line = IsLabelledLine(item);
  const bool enabled = !line && !(draw.itemState & (ODS_DISABLED | ODS_GRAYED));
  const std::string text = DisplayText(item);
  const std::string shortCut = line ? std::string() : item.ShortCut();
  UINT flags = DT_SINGLELINE | DT_EXPANDTABS | DT_VCENTER;
  if (draw.itemState & ODS_NOACCEL) flags |= DT_HIDEPREFIX;

  if (line) {
    // A label on a line: the line stops short of the word instead of
    // striking it through.
    const SIZE size = TextSize(dc, text);
    const int middle = textRect.top + Height(textRect) / 2;
    FillSolid(dc, {textRect.left - Px(1), middle, textRect.left + size.cx + Px(3), middle + 2 * Px(kLine)},
              (draw.itemState & ODS_SELECTED) ? hiliteBar_ : brush_);
  }

  const auto put = [&](int dx, COLORREF colour) {
    SetTextColor(dc, colour);
    RECT r = textRect;
    OffsetRect(&r, dx, dx);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_LEFT);
    if (!shortCut.empty()) {
      RECT s = r;
      s.right -= CheckColumn().cx;
      DrawTextA(dc, shortCut.c_str(), static_cast<int>(shortCut.size()), &s, flags | DT_RIGHT);
    }
  };
  if (enabled) {
    put(0, font.color);
  } else {
    put(Px(kLine), Sys(COLOR_BTNHIGHLIGHT));
    put(0, Sys(COLOR_BTNSHADOW));
  }
}

// ---------------------------------------------------------------- banner

void TCustomMenus97::LayOutBanner(const Entry& entry, HDC dc, const RECT& itemRect) {
  bannerNeedsLayout_ = false;
  bannerBitmap_.reset();
  const HMENU menu = entry.item.menu;
  const int count = GetMenuItemCount(menu);
  const int drawn = PositionOf(entry);

  // On screen the menu knows where its items are; the drawn item's place
  // in the window gives the offset from screen to window.
  RECT first{};
  int lowest = 0;
  bool onScreen = false;
  RECT drawnOnScreen{};
  if (WindowFromDC(dc) && drawn >= 0 && GetMenuItemRect(nullptr, menu, static_cast<UINT>(drawn), &drawnOnScreen)) {
    onScreen = true;
    const int dx = itemRect.left - drawnOnScreen.left;
    const int dy = itemRect.top - drawnOnScreen.top;
    for (int pos = 0; pos < count && onScreen; ++pos) {
      RECT r{};
      onScreen = GetMenuItemRect(nullptr, menu, static_cast<UINT>(pos), &r) != FALSE;
      OffsetRect(&r, dx, dy);
      if (pos == 0) first = r;
      lowest = std::max<int>(lowest, static_cast<int>(r.bottom));
    }
  }
  if (!onScreen) {
    // Off screen (drawn into a bitmap): one column of the heights measured.
    int above = 0;
    int total = 0;
    for (int pos = 0; pos < count; ++pos) {
      const Entry* e = EntryOf(ItemInfo(menu, pos, MIIM_DATA).dwItemData);
      const int h = e ? e->height : 0;
      if (pos < drawn) above += h;
      total += h;
    }
    first = itemRect;
    first.top = itemRect.top - above;
    lowest = first.top + total;
  }
  bannerRect_ = {first.left, first.top, first.left + Px(bannerWidth_), lowest};
  lowestBottom_ = lowest;
}

void TCustomMenus97::DrawBanner(HDC dc) {
  const int w = Width(bannerRect_);
  const int h = Height(bannerRect_);
  if (w <= 0 || h <= 0) return;
  const MemoryDC memory(dc);
  if (!bannerBitmap_) {
    bannerBitmap_.reset(CreateCompatibleBitmap(dc, w, h));
    const ScopedSelect selected(memory.get(), bannerBitmap_.get());
    PaintBannerBitmap(memory.get(), {0, 0, w, h});
  }
  const ScopedSelect selected(memory.get(), bannerBitmap_.get());
  BitBlt(dc, bannerRect_.left, bannerRect_.top, w, h, memory.get(), 0, 0, SRCCOPY);
}

void TCustomMenus97::PaintBannerBitmap(HDC dc, const RECT& area) const {
  for (const TBannerBand& band : BannerBands(area, bannerColor_, bannerEndColor_, bannerNumColors_))
    FillSolid(dc, band.rect, band.color);

  RECT textArea = area;
  if (bannerImage_ >= 0) {
    // A square at the foot holds the image; the text ends above it.
    const int side = Width(area);
    textArea.bottom = std::max<int>(area.top, area.bottom - side);
    if (images_ && bannerImage_ < ImageList_GetImageCount(images_)) {
      int iw = 0;
      int ih = 0;
      ImageList_GetIconSize(images_, &iw, &ih);
      ImageList_Draw(images_, bannerImage_, dc, area.left + (side - iw) / 2, textArea.bottom + (side - ih) / 2,
                     ILD_TRANSPARENT);
    }
  }
  if (bannerText_.empty()) return;

  // Turned a quarter to the left, so the text reads upwards; only outline
  // fonts turn.
  LOGFONTA log = bannerFont_.At(dpi_);
  log.lfEscapement = 900;
  log.lfOrientation = 900;
  log.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  const OwnedFont font(CreateFontIndirectA(&log));
  const ScopedSelect fontSelected(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, bannerFont_.color);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  SIZE extent{};
  GetTextExtentPoint32A(dc, bannerText_.c_str(), static_cast<int>(bannerText_.size()), &extent);

  // The top of the turned text faces left: it covers extent.cy pixels to
  // the right of x and extent.cx pixels upwards from y.
  const int x = area.left + (Width(area) - extent.cy) / 2;
  const int px = Px(kLine);
  int y = textArea.bottom - (Height(textArea) - extent.cx) / 2 - px;
  if (bannerJustification_ == bjTop) y = textArea.top + extent.cx + px;
  if (bannerJustification_ == bjBottom) y = textArea.bottom - px;
  TextOutA(dc, x, y, bannerText_.c_str(), static_cast<int>(bannerText_.size()));
}

// ---------------------------------------------------------------- popup

TCustomPopupMenus97::~TCustomPopupMenus97() { Detach(); }

void TCustomPopupMenus97::SetPopupMenu(widgets::TPopupMenu* menu) {
  Detach();
  menu_ = menu;
  if (menu_) {
    menu_->AddOwnerHook(*this);
    ConvertItems(menu_->Handle());
    FollowOwnerDpi();
  }
  InvalidateBanner();
}

void TCustomPopupMenus97::FollowOwnerDpi() {
  if (menu_) SetDpi(widgets::DpiOf(menu_->Owner()));
}

void TCustomPopupMenus97::Detach() {
  if (!menu_) return;
  RestoreItems();
  menu_->RemoveOwnerHook(*this);
  menu_ = nullptr;
}

void TCustomPopupMenus97::MenuDestroyed(widgets::TPopupMenu& menu) {
  if (&menu != menu_) return;
  RestoreItems();
  menu_ = nullptr;
}

bool TCustomPopupMenus97::InMenuTree(HMENU menu) const {
  if (!menu_ || !menu) return false;
  std::vector<HMENU> pending{menu_->Handle()};
  while (!pending.empty()) {
    const HMENU m = pending.back();
    pending.pop_back();
    if (m == menu) return true;
    const int count = GetMenuItemCount(m);
    for (int pos = 0; pos < count; ++pos)
      if (const HMENU sub = GetSubMenu(m, pos)) pending.push_back(sub);
  }
  return false;
}

bool TCustomPopupMenus97::OwnerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_MEASUREITEM:
      if (!lp || !MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return false;
      result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (!lp || !DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return false;
      result = TRUE;
      return true;
    case WM_INITMENUPOPUP:
      // Items added since the last opening are drawn by us too. Others
      // hooked on the window hear of the opening as well.
      if (InMenuTree(reinterpret_cast<HMENU>(wp))) {
        FollowOwnerDpi();
        // Items taken out of the menu since (a window's own commands) go.
        DropRemovedItems();
        ConvertItems(menu_->Handle());
        InvalidateBanner();
      }
      return false;
    case WM_MENUCHAR: {
      const HMENU open = reinterpret_cast<HMENU>(lp);
      if (!InMenuTree(open)) return false;
      const int pos = FindAccelerator(open, static_cast<char>(LOWORD(wp)));
      if (pos < 0) return false;
      result = MAKELRESULT(pos, MNC_EXECUTE);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace redoviri
