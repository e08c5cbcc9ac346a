#include "widgets/popup_menu.h"

#include <system_error>

namespace redoviri::widgets {

void TrackMenuAt(HMENU menu, HWND owner, POINT screen) {
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
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

TPopupMenu::~TPopupMenu() { DestroyMenu(menu_); }

int TPopupMenu::Add(MenuItem item) {
  const int index = Count();
  if (item.caption == "-") {
    AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
  } else {
    AppendMenuA(menu_, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED),
                kFirstCommand + static_cast<UINT>(index), item.caption.c_str());
  }
  items_.push_back(std::move(item));
  return index;
}

int TPopupMenu::Find(const std::string& caption) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[Slot(i)].caption == caption) return i;
  return -1;
}

void TPopupMenu::SetChecked(int index, bool checked) {
  items_.at(Slot(index)).checked = checked;
  CheckMenuItem(menu_, static_cast<UINT>(index), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TPopupMenu::Popup(POINT screen) { TrackMenuAt(menu_, Owner(), screen); }

void TPopupMenu::Click(int index) {
  // A copy: the handler may add items, which moves the vector.
  const std::function<void()> handler = items_.at(Slot(index)).onClick;
  if (handler) handler();
}

LRESULT TPopupMenu::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && HIWORD(wp) == 0 && lp == 0) {
    const UINT id = LOWORD(wp);
    if (id >= kFirstCommand && id < kFirstCommand + static_cast<UINT>(Count())) {
      Click(static_cast<int>(id - kFirstCommand));
      return 0;
    }
  }
  return DefaultProc(msg, wp, lp);
}

}  // namespace redoviri::widgets
