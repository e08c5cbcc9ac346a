#include "widgets/popup_menu.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "widgets/activation.h"

namespace redoviri::widgets {

void TrackMenuAt(HMENU menu, HWND owner, POINT screen, MenuAlignment alignment) {
  const UINT align = alignment == MenuAlignment::Center  ? TPM_CENTERALIGN
                     : alignment == MenuAlignment::Right ? TPM_RIGHTALIGN
                                                         : TPM_LEFTALIGN;
  // The owner in the foreground: the keyboard's input goes to this thread,
  // where the menu's loop reads it, and a click elsewhere closes the menu.
  // A hidden owner is shown for as long as the menu is open, as a single
  // pixel under the menu's middle: a window system that gives the keyboard
  // only to windows on the screen (Wine's, under an X window manager) then
  // gives it to this program and not to the notification area clicked.
  // The window the menu was opened from (Shift+F10 in a window of the
  // program) takes the keyboard back when the menu closes; a command of
  // the menu, which runs after, may give it to another.
  const HWND opener = GetForegroundWindow();
  DWORD openerProcess = 0;
  GetWindowThreadProcessId(opener, &openerProcess);
  const bool fromOurs = opener && opener != owner && openerProcess == GetCurrentProcessId();
  const bool shownForTheMenu = !IsWindowVisible(owner);
  if (shownForTheMenu) SetWindowPos(owner, HWND_TOPMOST, screen.x, screen.y, 1, 1, SWP_SHOWWINDOW);
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, align | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
  if (shownForTheMenu) SetWindowPos(owner, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (fromOurs) GiveKeyboardBack(opener);
  // Lets the foreground change again, so that the next right click opens
  // the menu at once.
  PostMessageA(owner, WM_NULL, 0, 0);
}

TPopupMenu::TPopupMenu() : menu_(CreatePopupMenu()) {
  if (!menu_) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreatePopupMenu");
  // A hidden top-level window: the menu only closes on a click elsewhere
  // when its owner can be brought to the foreground.
  WindowSpec spec;
  spec.style = WS_POPUP;
  spec.exStyle = WS_EX_TOOLWINDOW;
  if (!Create(kWidgetClass, spec)) {
    DestroyMenu(menu_);
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "popup menu window");
  }
}

TPopupMenu::~TPopupMenu() {
  // Hooks hear of the end while the menu still exists, so they can give
  // its items back as they found them.
  const std::vector<MenuOwnerHook*> hooks = std::exchange(hooks_, {});
  for (MenuOwnerHook* hook : hooks) hook->MenuDestroyed(*this);
  DestroyMenu(menu_);
}

void TPopupMenu::AddOwnerHook(MenuOwnerHook& hook) {
  if (std::find(hooks_.begin(), hooks_.end(), &hook) == hooks_.end()) hooks_.push_back(&hook);
}

void TPopupMenu::RemoveOwnerHook(MenuOwnerHook& hook) { std::erase(hooks_, &hook); }

int TPopupMenu::Add(MenuItem item, int parent) {
  HMENU into = menu_;
  if (parent >= 0) {
    into = parent < Count() ? items_[Slot(parent)].submenu : nullptr;
    if (!into) throw std::invalid_argument("popup menu: item " + std::to_string(parent) + " is not a submenu");
  }
  const int index = Count();
  Entry entry{std::move(item)};
  const MenuItem& m = entry.item;
  if (m.caption == "-") {
    AppendMenuA(into, MF_SEPARATOR, 0, nullptr);
  } else if (m.submenu) {
    entry.submenu = CreatePopupMenu();
    AppendMenuA(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(entry.submenu), m.caption.c_str());
  } else {
    AppendMenuA(into, MF_STRING | (m.checked ? MF_CHECKED : MF_UNCHECKED), kFirstCommand + static_cast<UINT>(index),
                m.caption.c_str());
  }
  items_.push_back(std::move(entry));
  return index;
}

int TPopupMenu::Find(const std::string& caption) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[Slot(i)].item.caption == caption) return i;
  return -1;
}

void TPopupMenu::SetChecked(int index, bool checked) {
  items_.at(Slot(index)).item.checked = checked;
  // By command: the item may sit in a submenu.
  CheckMenuItem(menu_, kFirstCommand + static_cast<UINT>(index), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TPopupMenu::Popup(POINT screen) { Popup(screen, {}); }

void TPopupMenu::Popup(POINT screen, std::vector<MenuItem> front) {
  front_ = std::move(front);
  const auto count = static_cast<UINT>(front_.size());
  for (UINT i = 0; i < count; ++i)
    InsertMenuA(menu_, i, MF_BYPOSITION | MF_STRING, kFrontCommand + i, front_[i].caption.c_str());
  if (count > 0) InsertMenuA(menu_, count, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  TrackMenuAt(menu_, Owner(), screen, alignment_);
  // The menu is as it was; a chosen front item's command is on its way.
  for (UINT i = 0; i < count + (count > 0 ? 1 : 0); ++i) DeleteMenu(menu_, 0, MF_BYPOSITION);
}

void TPopupMenu::Click(int index) {
  // A copy: the handler may add items, which moves the vector.
  const std::function<void()> handler = items_.at(Slot(index)).item.onClick;
  if (handler) handler();
}

LRESULT TPopupMenu::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // By index from the newest: a hook may take itself (or another) off
  // while it answers.
  for (std::size_t i = hooks_.size(); i > 0; --i) {
    if (i > hooks_.size()) continue;
    LRESULT result = 0;
    if (hooks_[i - 1]->OwnerMessage(msg, wp, lp, result)) return result;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == 0 && lp == 0) {
    const UINT id = LOWORD(wp);
    if (id >= kFirstCommand && id < kFirstCommand + static_cast<UINT>(Count())) {
      Click(static_cast<int>(id - kFirstCommand));
      return 0;
    }
    if (id >= kFrontCommand && id < kFrontCommand + front_.size()) {
      const std::function<void()> handler = front_[id - kFrontCommand].onClick;
      if (handler) handler();
      return 0;
    }
  }
  return DefaultProc(msg, wp, lp);
}

}  // namespace redoviri::widgets
