// The shared popup menu: items in order with their checks and separators,
// and commands that run their item's handler from the message loop.
#include <windows.h>

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

}  // namespace
}  // namespace redoviri::widgets
