// The shared popup menu: items in order with their checks and separators,
// and commands that run their item's handler from the message loop.
#include <windows.h>

#include <stdexcept>
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

}  // namespace
}  // namespace redoviri::widgets
