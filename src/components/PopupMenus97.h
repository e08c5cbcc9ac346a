// TPopupMenus97: draws an ordinary popup menu itself, with a vertical banner
// strip down its left side.
//
// Attached to a widgets::TPopupMenu, the component turns the menu's items
// (submenus included) into owner-drawn items and hooks the menu's owner
// window for the owner-draw requests, the opening of a menu and typed menu
// characters. Items are drawn on a flat background with a highlight bar,
// check and radio marks in small raised or sunken boxes, embossed disabled
// text and right-aligned shortcuts (the part of a caption after "\t"). A
// caption of exactly "-" stays the system's separator; "-word" is an etched
// line carrying "word", disabled (never highlighted or chosen) while the
// component draws it. The banner is a gradient of horizontal bands with
// a line of text that reads upwards.
//
// Usage (the list window's menu):
//
//   TPopupMenus97 menus;                       // lives as long as the window
//   menus.SetBannerText("DUZOVU");
//   menus.SetBannerFont(TMenuFont::Make("Arial", -16, GetSysColor(COLOR_WINDOWTEXT)));
//   menus.SetBannerColor(RGB(0, 128, 0));      // green
//   menus.SetBannerEndColor(RGB(0, 255, 0));   // lime
//   menus.SetBanner(true);
//   menus.SetPopupMenu(&popupMenu);            // after its items are added
//
// Items added to the menu later are converted when the menu next opens.
// The menu must be shown with its Owner() as the owner window (Popup, or
// TrackMenuAt with Owner()), or the owner-draw requests go elsewhere.
//
// Glyphs come from the executable's bitmaps IDB_CHECKMARK and IDB_RADIOMARK.
// User-interface thread only.
//
// Widths, heights and font heights given to the component are pixels of a
// 96-DPI screen; the menus are measured and drawn at the DPI of the menu's
// owner window, read when the component takes the menu and whenever the menu
// opens (SetDpi lays it out at another in between).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "widgets/bitmap.h"
#include "widgets/dpi.h"
#include "widgets/gdi.h"
#include "widgets/popup_menu.h"

namespace redoviri {

enum TBannerJustification { bjCenter, bjTop, bjBottom };
enum TMenus97Look { mlOffice97Look, mlIE4Look };

// A font description with its colour, as the menus keep them.
struct TMenuFont {
  LOGFONTA log{};
  COLORREF color = 0;

  // height: a LOGFONT height (negative = character height in pixels of a
  // 96-DPI screen).
  static TMenuFont Make(const char* face, int height, COLORREF color);
  // The menu font of the system's non-client metrics, in the menu-text
  // colour, its height in 96-DPI pixels.
  static TMenuFont SystemMenu();
  // The font's LOGFONT at dpi.
  LOGFONTA At(int dpi) const;

  friend bool operator==(const TMenuFont& a, const TMenuFont& b);
};

// One item the component draws. It sits in `menu`; the owner-drawn item's
// data points at this record.
struct TMenus97Item {
  HMENU menu = nullptr;
  UINT command = 0;           // 0 for an item that opens a submenu
  HMENU submenu = nullptr;
  std::string caption;        // as the menu had it; "\t" starts the shortcut
  int tag = 0;                // with Images: the image of the item
  std::string hint;

  // The caption before "\t", and the shortcut after it.
  std::string Text() const;
  std::string ShortCut() const;
};

// One horizontal band of the banner's gradient.
struct TBannerBand {
  RECT rect;
  COLORREF color;
  friend bool operator==(const TBannerBand& a, const TBannerBand& b) {
    return EqualRect(&a.rect, &b.rect) && a.color == b.color;
  }
};

// The bands that fill `area` from `start` at the top to `end` at the bottom:
// one solid band when the colours are equal, else `count` bands (every band
// in `start` when count < 2).
std::vector<TBannerBand> BannerBands(const RECT& area, COLORREF start, COLORREF end, int count);

// The drawing engine: measures and draws owner-drawn items and the banner.
class TCustomMenus97 {
 public:
  using TDrawMenuItemEvent =
      std::function<bool(TCustomMenus97& sender, const TMenus97Item& item, const RECT& rect, UINT state)>;
  using THintEvent = std::function<void(TCustomMenus97& sender, const TMenus97Item& item, std::string& hint)>;
  using TMeasureMenuItemEvent =
      std::function<void(TCustomMenus97& sender, const TMenus97Item& item, int& width, int& height)>;

  TCustomMenus97(const TCustomMenus97&) = delete;
  TCustomMenus97& operator=(const TCustomMenus97&) = delete;
  virtual ~TCustomMenus97();

  // Answers a measure request; false when the item is not one of ours.
  bool MeasureItem(MEASUREITEMSTRUCT& measure);
  // Draws an item; false when the item is not one of ours.
  bool DrawItem(const DRAWITEMSTRUCT& draw);

  // Width and height of the column of check marks and images, at Dpi().
  SIZE CheckColumn() const;
  // The DPI the items are measured and drawn at [the screen's]. A new DPI
  // lays the banner out again; items measure anew when the menu next opens.
  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);
  // The record of an owner-drawn item's data, or null when not ours.
  const TMenus97Item* ItemOf(ULONG_PTR data) const;
  // The surface being drawn on, for the draw handlers; null outside a draw.
  HDC Canvas() const { return canvas_; }
  // The hint of the item highlighted last.
  const std::string& CurrentHint() const { return currentHint_; }
  // The image of an item, by the item's command.
  void SetItemTag(UINT command, int tag);

 protected:
  TCustomMenus97();

  // ---- properties, published by TPopupMenus97
  int BannerImage() const { return bannerImage_; }
  void SetBannerImage(int index);
  TBannerJustification BannerJustification() const { return bannerJustification_; }
  void SetBannerJustification(TBannerJustification value);
  int BannerWidth() const { return bannerWidth_; }
  void SetBannerWidth(int pixels);
  const std::string& BannerText() const { return bannerText_; }
  void SetBannerText(std::string text);
  const TMenuFont& BannerFont() const { return bannerFont_; }
  void SetBannerFont(const TMenuFont& font);
  COLORREF BannerColor() const { return bannerColor_; }
  void SetBannerColor(COLORREF color);
  COLORREF BannerEndColor() const { return bannerEndColor_; }
  void SetBannerEndColor(COLORREF color);
  int BannerNumColors() const { return bannerNumColors_; }
  void SetBannerNumColors(int count);
  bool Banner() const { return banner_; }
  void SetBanner(bool on);
  TDrawMenuItemEvent OnDrawItem;
  THintEvent OnHint;
  TMeasureMenuItemEvent OnMeasureItem;
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int pixels) { itemHeight_ = pixels; }
  int ItemWidth() const { return itemWidth_; }
  void SetItemWidth(int pixels) { itemWidth_ = pixels; }
  HIMAGELIST Images() const { return images_; }
  void SetImages(HIMAGELIST images);
  const TMenuFont& Font() const { return font_; }
  void SetFont(const TMenuFont& font);
  // The colour of the item background.
  COLORREF Brush() const { return brush_; }
  void SetBrush(COLORREF color) { brush_ = color; }
  COLORREF HiliteBar() const { return hiliteBar_; }
  void SetHiliteBar(COLORREF color) { hiliteBar_ = color; }
  const TMenuFont& HiliteFont() const { return hiliteFont_; }
  void SetHiliteFont(const TMenuFont& font);
  TMenus97Look Menus97Look() const { return look_; }
  void SetMenus97Look(TMenus97Look look) { look_ = look; }
  bool DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(bool on);

  // ---- for the popup variant
  // The menu that carries the banner; null for none.
  virtual HMENU BannerMenu() const = 0;
  // Makes every item of `menu` and its submenus owner-drawn, submenus
  // first; items already owner-drawn and separators stay as they are.
  void ConvertItems(HMENU menu);
  // Forgets the items no longer in their menu (taken out after a showing).
  void DropRemovedItems();
  // Gives every converted item its plain text back and forgets it.
  void RestoreItems();
  // The banner is laid out again at the next draw.
  void InvalidateBanner();
  // The index of the item in `menu` that the typed character chooses:
  // an enabled item of ours with that accelerator, or the submenu item
  // that leads to one; -1 when none.
  int FindAccelerator(HMENU menu, char typed) const;

 private:
  int MeasureWidth(const TMenus97Item& item) const;
  // Pixels at Dpi() of a 96-DPI length.
  int Px(int layout) const { return widgets::Scale(layout, dpi_); }
  void DrawBanner(HDC dc);
  void PaintBannerBitmap(HDC dc, const RECT& area) const;
  void DrawMarks(HDC dc, const RECT& column, const DRAWITEMSTRUCT& draw, const TMenus97Item& item,
                 const MENUITEMINFOA& info, COLORREF background) const;
  void DrawItemText(HDC dc, const RECT& textRect, const TMenus97Item& item, const DRAWITEMSTRUCT& draw,
                    const MENUITEMINFOA& info, const TMenuFont& font) const;
  bool HasImage(const TMenus97Item& item) const;

  int bannerImage_ = -1;
  TBannerJustification bannerJustification_ = bjCenter;
  int bannerWidth_ = 20;
  std::string bannerText_;
  TMenuFont bannerFont_;
  COLORREF bannerColor_;
  COLORREF bannerEndColor_ = RGB(0, 0, 0);
  int bannerNumColors_ = 16;
  bool banner_ = false;
  int itemHeight_ = 0;
  int itemWidth_ = 0;
  HIMAGELIST images_ = nullptr;
  TMenuFont font_;
  COLORREF brush_;
  HDC canvas_ = nullptr;
  COLORREF hiliteBar_;
  TMenuFont hiliteFont_;
  TMenus97Look look_ = mlOffice97Look;
  bool defaultFont_ = true;
  int dpi_;

  widgets::Bitmap checkGlyph_;
  widgets::Bitmap radioGlyph_;
  // An owner-drawn item's data points at its entry.
  struct Entry {
    TMenus97Item item;
    int height = 0;  // as last measured
    bool disabledAsLine = false;  // a "-word" line we disabled; enabled again on detach
  };
  Entry* EntryOf(ULONG_PTR data) const;
  int PositionOf(const Entry& entry) const;
  void LayOutBanner(const Entry& entry, HDC dc, const RECT& itemRect);

  std::vector<std::unique_ptr<Entry>> entries_;
  std::vector<std::pair<UINT, int>> tags_;  // command, image
  std::string currentHint_;

  bool bannerNeedsLayout_ = true;
  RECT bannerRect_{};
  int lowestBottom_ = 0;
  widgets::OwnedBitmap bannerBitmap_;
};

// Popup menus: attaching to a menu and answering its owner window.
class TCustomPopupMenus97 : public TCustomMenus97, private widgets::MenuOwnerHook {
 public:
  ~TCustomPopupMenus97() override;

 protected:
  TCustomPopupMenus97() = default;

  widgets::TPopupMenu* PopupMenu() const { return menu_; }
  // Gives the previous menu its plain items back, then takes over `menu`
  // (null: none).
  void SetPopupMenu(widgets::TPopupMenu* menu);

  HMENU BannerMenu() const override { return menu_ ? menu_->Handle() : nullptr; }

 private:
  bool OwnerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // The items follow the owner window's DPI.
  void FollowOwnerDpi();
  void MenuDestroyed(widgets::TPopupMenu& menu) override;
  void Detach();
  bool InMenuTree(HMENU menu) const;

  widgets::TPopupMenu* menu_ = nullptr;
};

class TPopupMenus97 : public TCustomPopupMenus97 {
 public:
  TPopupMenus97() = default;

  using TCustomMenus97::BannerImage;
  using TCustomMenus97::SetBannerImage;
  using TCustomMenus97::BannerJustification;
  using TCustomMenus97::SetBannerJustification;
  using TCustomMenus97::BannerWidth;
  using TCustomMenus97::SetBannerWidth;
  using TCustomMenus97::BannerText;
  using TCustomMenus97::SetBannerText;
  using TCustomMenus97::BannerFont;
  using TCustomMenus97::SetBannerFont;
  using TCustomMenus97::BannerColor;
  using TCustomMenus97::SetBannerColor;
  using TCustomMenus97::BannerEndColor;
  using TCustomMenus97::SetBannerEndColor;
  using TCustomMenus97::BannerNumColors;
  using TCustomMenus97::SetBannerNumColors;
  using TCustomMenus97::Banner;
  using TCustomMenus97::SetBanner;
  using TCustomPopupMenus97::PopupMenu;
  using TCustomPopupMenus97::SetPopupMenu;
  using TCustomMenus97::OnDrawItem;
  using TCustomMenus97::OnHint;
  using TCustomMenus97::OnMeasureItem;
  using TCustomMenus97::ItemHeight;
  using TCustomMenus97::SetItemHeight;
  using TCustomMenus97::ItemWidth;
  using TCustomMenus97::SetItemWidth;
  using TCustomMenus97::Images;
  using TCustomMenus97::SetImages;
  using TCustomMenus97::Font;
  using TCustomMenus97::SetFont;
  using TCustomMenus97::Brush;
  using TCustomMenus97::SetBrush;
  using TCustomMenus97::Canvas;
  using TCustomMenus97::HiliteBar;
  using TCustomMenus97::SetHiliteBar;
  using TCustomMenus97::HiliteFont;
  using TCustomMenus97::SetHiliteFont;
  using TCustomMenus97::Menus97Look;
  using TCustomMenus97::SetMenus97Look;
  using TCustomMenus97::DefaultFont;
  using TCustomMenus97::SetDefaultFont;
};

}  // namespace redoviri
