// A plain popup menu whose items run handlers (the menu that every window
// and the tray icon share), and the one routine that shows a menu.
//
// The menu owns a hidden window that receives its commands. A chosen item's
// handler runs from the message loop after the menu has closed, never
// inside TrackPopupMenu, so a handler may hide or rebuild windows freely.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "widgets/window.h"

namespace redoviri::widgets {

// Where a menu lies against the point it is shown at.
enum class MenuAlignment { Left, Center, Right };

// Shows a menu at a screen point (its top-left corner there, or its top
// edge centred on it, or its top-right corner); its commands go to `owner`.
// The owner is brought to the foreground first, so that the keys typed
// while the menu is open go to it (also when another program's window, the
// shell's tray, had the keyboard before) and a click elsewhere closes it;
// the message posted to the owner after it lets the next right click open
// the menu again at once.
void TrackMenuAt(HMENU menu, HWND owner, POINT screen, MenuAlignment alignment = MenuAlignment::Left);

class TPopupMenu;

// Something that takes part in the messages of a menu's owner window: the
// owner-draw requests of its items, a submenu about to open, a typed menu
// character. A menu asks its hooks before doing its own work, the one added
// last first; taking a hook off leaves the others as they were.
class MenuOwnerHook {
 public:
  // True when the hook answered the message; `result` is then the answer.
  virtual bool OwnerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
  // The menu is going away: the hook is already off, the menu's handle is
  // still valid for the length of the call.
  virtual void MenuDestroyed(TPopupMenu& menu) = 0;

 protected:
  ~MenuOwnerHook() = default;
};

struct MenuItem {
  std::string caption;  // "-" makes a separator
  bool checked = false;
  std::function<void()> onClick{};
  bool submenu = false;  // opens the items added under it
};

class TPopupMenu : private MessageWindow {
 public:
  // Throws std::system_error when the menu or its window cannot be created.
  TPopupMenu();
  ~TPopupMenu() override;

  // Appends an item to the menu, or to the submenu item `parent`; returns
  // its index. Indexes count every item in the order added, those of
  // submenus included. Throws std::invalid_argument for a parent that is
  // not a submenu.
  int Add(MenuItem item, int parent = -1);
  int Count() const { return static_cast<int>(items_.size()); }
  // The index of the first item with that caption, or -1.
  int Find(const std::string& caption) const;

  const std::string& Caption(int index) const { return items_.at(Slot(index)).item.caption; }
  bool Checked(int index) const { return items_.at(Slot(index)).item.checked; }
  void SetChecked(int index, bool checked);
  // The command the menu sends when item `index` is chosen.
  UINT CommandOf(int index) const { return kFirstCommand + static_cast<UINT>(index); }
  // The menu that a submenu item opens; null for other items.
  HMENU SubmenuOf(int index) const { return items_.at(Slot(index)).submenu; }

  // Shows the menu at a screen point, placed by its alignment.
  void Popup(POINT screen);
  // The same with `front` items above the menu's own (and a separator
  // between) for this showing only: a window's own commands.
  void Popup(POINT screen, std::vector<MenuItem> front);
  MenuAlignment Alignment() const { return alignment_; }
  void SetAlignment(MenuAlignment alignment) { alignment_ = alignment; }
  // Runs an item's handler, as choosing it in the menu does.
  void Click(int index);

  HMENU Handle() const { return menu_; }
  // The window that receives the menu's commands.
  HWND Owner() const { return MessageWindow::Handle(); }

  // Hooks on the owner window's messages (not owned). Adding a hook twice
  // or removing one that is not on does nothing.
  void AddOwnerHook(MenuOwnerHook& hook);
  void RemoveOwnerHook(MenuOwnerHook& hook);

 private:
  static constexpr UINT kFirstCommand = 100;
  static constexpr UINT kFrontCommand = 60000;

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  static std::size_t Slot(int index) { return static_cast<std::size_t>(index); }

  struct Entry {
    MenuItem item;
    HMENU submenu = nullptr;  // owned by the menu it was appended to
  };

  HMENU menu_;
  std::vector<Entry> items_;
  MenuAlignment alignment_ = MenuAlignment::Left;
  std::vector<MenuOwnerHook*> hooks_;
  // The front items of the last showing: their command comes after it.
  std::vector<MenuItem> front_;
};

}  // namespace redoviri::widgets
