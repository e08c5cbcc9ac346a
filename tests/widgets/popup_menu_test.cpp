// The shared popup menu: items in order with their checks and separators,
// and commands that run their item's handler from the message loop.
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/win32_test_support.h"
#include "widgets/popup_menu.h"

namespace redoviri::widgets {
namespace {

TEST(PopupMenuTest, ItemsKeepTheirOrderChecksAndSeparators) {
  TPopupMenu menu;
  int runs = 0;
  const int first = menu.Add({.caption = "Animated window", .checked = true, .onClick = [&] { ++runs; }});
  const int line = menu.Add({.caption = "-"});
  const int last = menu.Add({.caption = "OK, close the menu..."});
  EXPECT_EQ(menu.Count(), 3);
  EXPECT_EQ(GetMenuItemCount(menu.Handle()), 3);
  EXPECT_TRUE(GetMenuState(menu.Handle(), static_cast<UINT>(first), MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu.Handle(), static_cast<UINT>(line), MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_FALSE(GetMenuState(menu.Handle(), static_cast<UINT>(last), MF_BYPOSITION) & MF_CHECKED);

  menu.SetChecked(first, false);
  EXPECT_FALSE(menu.Checked(first));
  EXPECT_FALSE(GetMenuState(menu.Handle(), static_cast<UINT>(first), MF_BYPOSITION) & MF_CHECKED);
  menu.SetChecked(last, true);
  EXPECT_TRUE(GetMenuState(menu.Handle(), static_cast<UINT>(last), MF_BYPOSITION) & MF_CHECKED);

  EXPECT_EQ(menu.Find("OK, close the menu..."), last);
  EXPECT_EQ(menu.Find("Help"), -1);
  menu.Click(last);  // no handler: nothing happens
  menu.Click(first);
  EXPECT_EQ(runs, 1);
}

TEST(PopupMenuTest, ACommandRunsItsItemsHandlerFromTheMessageLoop) {
  TPopupMenu menu;
  std::vector<int> ran;
  menu.Add({.caption = "one", .onClick = [&] { ran.push_back(0); }});
  menu.Add({.caption = "two", .onClick = [&] { ran.push_back(1); }});
  PostMessageA(menu.Owner(), WM_COMMAND, GetMenuItemID(menu.Handle(), 1), 0);
  // A command of an id the menu never gave out is not an item's.
  PostMessageA(menu.Owner(), WM_COMMAND, GetMenuItemID(menu.Handle(), 1) + 7, 0);
  EXPECT_TRUE(ran.empty()) << "not before the loop runs";
  redoviri::test::PumpPending();
  EXPECT_EQ(ran, std::vector<int>{1});
}

TEST(PopupMenuTest, SubmenuItemsAreCountedInOrderAndCheckedByCommand) {
  TPopupMenu menu;
  int runs = 0;
  menu.Add({.caption = "Show Calendar"});
  const int looks = menu.Add({.caption = "Looks", .submenu = true});
  const int anim = menu.Add({.caption = "Animated window", .checked = true, .onClick = [&] { ++runs; }}, looks);
  const int help = menu.Add({.caption = "Help"});
  EXPECT_EQ(GetMenuItemCount(menu.Handle()), 3);
  ASSERT_NE(menu.SubmenuOf(looks), nullptr);
  EXPECT_EQ(GetSubMenu(menu.Handle(), 1), menu.SubmenuOf(looks));
  EXPECT_EQ(GetMenuItemCount(menu.SubmenuOf(looks)), 1);
  EXPECT_EQ(menu.Find("Help"), help);
  menu.SetChecked(anim, false);
  EXPECT_FALSE(GetMenuState(menu.SubmenuOf(looks), 0, MF_BYPOSITION) & MF_CHECKED);
  // A command from inside the submenu reaches its item.
  PostMessageA(menu.Owner(), WM_COMMAND, GetMenuItemID(menu.SubmenuOf(looks), 0), 0);
  redoviri::test::PumpPending();
  EXPECT_EQ(runs, 1);
  EXPECT_THROW(menu.Add({.caption = "x"}, help), std::invalid_argument) << "Help opens no submenu";
}

// Drives the open menu from its own loop (a thread timer): once the menu
// shows, notes the foreground window and types the keys; a menu that is
// still open after five seconds is ended, so a menu deaf to the keys fails
// the test instead of hanging it. Meanwhile a low-level keyboard hook of the
// test's own counts the keys that pass it: one the program put in front of
// it would take them away.
struct MenuDriver {
  static inline std::vector<WORD> keys;
  static inline HWND foreground = nullptr;
  static inline bool typed = false, timedOut = false;
  static inline DWORD openedAt = 0;
  static inline int keysSeen = 0;

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!redoviri::test::OpenMenuWindow()) return;
    if (!typed) {
      typed = true;
      foreground = GetForegroundWindow();
      openedAt = GetTickCount();
      for (const WORD k : keys) redoviri::test::PressKey(k);
    } else if (GetTickCount() - openedAt > 5000) {
      timedOut = true;
      EndMenu();
    }
  }
  static LRESULT CALLBACK SeeKey(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) ++keysSeen;
    return CallNextHookEx(nullptr, code, wp, lp);
  }
};

TEST(PopupMenuTest, TheKeyboardChoosesAnItemWhereverItWasBefore) {
  TPopupMenu menu;
  std::vector<int> ran;
  for (int i = 0; i < 3; ++i) menu.Add({.caption = "item " + std::to_string(i), .onClick = [&ran, i] { ran.push_back(i); }});
  struct Case {
    std::vector<WORD> keys;
    std::vector<int> ran;
    bool otherProgramHadTheKeyboard;
  };
  const Case cases[] = {
      {{VK_DOWN, VK_RETURN}, {0}, false},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, {1}, true},
      {{VK_UP, VK_RETURN}, {2}, true},
      {{VK_ESCAPE}, {}, true},
      {{VK_DOWN, VK_ESCAPE}, {}, false},
  };
  const HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &MenuDriver::SeeKey, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keys.size() << " keys, another program first: " << c.otherProgramHadTheKeyboard);
    std::unique_ptr<redoviri::test::OtherThreadWindow> other;
    if (c.otherProgramHadTheKeyboard) {
      other = std::make_unique<redoviri::test::OtherThreadWindow>(10, 300);
      ASSERT_TRUE(redoviri::test::PumpUntil([&] { return other->Ready() && GetForegroundWindow() == other->Handle(); }));
    }
    MenuDriver::keys = c.keys;
    MenuDriver::foreground = nullptr;
    MenuDriver::typed = MenuDriver::timedOut = false;
    MenuDriver::keysSeen = 0;
    ran.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &MenuDriver::Tick);
    menu.Popup({200, 200});  // returns when the menu has closed
    KillTimer(nullptr, timer);
    redoviri::test::PumpPending();  // the chosen item's handler runs from the loop
    EXPECT_TRUE(MenuDriver::typed) << "the menu showed";
    EXPECT_EQ(MenuDriver::foreground, menu.Owner()) << "the owner is the foreground window while the menu is open";
    EXPECT_FALSE(MenuDriver::timedOut) << "the keys did not close the menu";
    EXPECT_EQ(ran, c.ran);
    EXPECT_EQ(MenuDriver::keysSeen, static_cast<int>(2 * c.keys.size())) << "every press and release passed by";
    EXPECT_EQ(redoviri::test::OpenMenuWindow(), nullptr);
  }
  UnhookWindowsHookEx(hook);
}

// Records what it was asked and answers the messages it is given.
class RecordingHook : public MenuOwnerHook {
 public:
  RecordingHook(std::vector<std::string>& log, std::string name, UINT answers)
      : log_(log), name_(std::move(name)), answers_(answers) {}
  bool OwnerMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
    if (msg != WM_MEASUREITEM && msg != WM_COMMAND) return false;
    log_.push_back(name_);
    if (msg != answers_) return false;
    result = 7;
    return true;
  }
  void MenuDestroyed(TPopupMenu&) override { log_.push_back(name_ + " destroyed"); }

 private:
  std::vector<std::string>& log_;
  std::string name_;
  UINT answers_;
};

TEST(PopupMenuTest, OwnerHooksAreAskedNewestFirstAndTakingOneOffKeepsTheRest) {
  std::vector<std::string> log;
  RecordingHook first(log, "first", WM_MEASUREITEM);
  RecordingHook second(log, "second", 0);
  int runs = 0;
  auto menu = std::make_unique<TPopupMenu>();
  menu->Add({.caption = "one", .onClick = [&] { ++runs; }});
  menu->AddOwnerHook(first);
  menu->AddOwnerHook(second);
  menu->AddOwnerHook(first);  // once only

  EXPECT_EQ(SendMessageA(menu->Owner(), WM_MEASUREITEM, 0, 0), 7);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
  // What no hook answers reaches the menu as before.
  log.clear();
  SendMessageA(menu->Owner(), WM_COMMAND, menu->CommandOf(0), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(runs, 1);

  log.clear();
  menu->RemoveOwnerHook(first);
  EXPECT_EQ(SendMessageA(menu->Owner(), WM_MEASUREITEM, 0, 0), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"second"}));
  menu->RemoveOwnerHook(first);  // not on: nothing happens

  log.clear();
  menu.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"second destroyed"}));
}

}  // namespace
}  // namespace redoviri::widgets
