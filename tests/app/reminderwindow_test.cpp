// The reminder window over a window that asks for reminders, driven by the
// keys alone: boxes checked and unchecked by Space, the arrows and Alt with
// a letter; what it hands back on Enter, nothing on Escape, and the keyboard
// back in the asking window either way.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "events/reminderwindow.h"
#include "support/accessible.h"
#include "support/keys.h"
#include "support/win32_test_support.h"

namespace redoviri {
namespace {

// The list window's part: a window that asks.
class Asker : public widgets::FormWindow {
 public:
  Asker() : FormWindow({.clientWidth = 420, .clientHeight = 400, .topmost = true}) {}
};

// Space pressed and let go on the focused box.
void Space() {
  test::TypeKey(VK_SPACE);
  SendMessageA(GetFocus(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001));
}

TEST(ReminderWindow, KeysCheckAndUncheckBoxesEnterHandsThemBackAndEscapeNothing) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  Asker asker;
  asker.Show();
  TReminderWindow window(nullptr);
  std::vector<std::vector<int>> handed;
  const auto choose = [&](const std::vector<int>& current) {
    window.Choose(asker.Handle(), current, [&](const std::vector<int>& r) { handed.push_back(r); });
    ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == window.Handle(); }));
  };
  const auto keyboardBack = [&] {
    return test::PumpUntil([&] { return !window.Visible() && GetForegroundWindow() == asker.Handle(); });
  };

  // 45 minutes, set by the tool, is a box of its own after 30 minutes.
  choose({45, 1440});
  EXPECT_EQ(test::AccessibleName(GetFocus()), "5 minutes before");
  Space();
  for (const UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}) test::TypeKey(key);
  EXPECT_EQ(test::AccessibleName(GetFocus()), "45 minutes before");
  Space();
  // Alt+W checks "1 week before" and goes to it; Up to the box above.
  SendMessageA(GetFocus(), WM_SYSCHAR, 'w', 1 << 29);
  test::TypeKey(VK_UP);
  EXPECT_EQ(test::AccessibleName(GetFocus()), "3 days before");
  test::TypeKey(VK_RETURN);
  EXPECT_TRUE(keyboardBack());
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0], (std::vector<int>{5, 1440, 10080}));

  choose({5});
  Space();
  test::TypeKey(VK_ESCAPE);
  EXPECT_TRUE(keyboardBack());
  EXPECT_EQ(handed.size(), 1u);
  CoUninitialize();
}

}  // namespace
}  // namespace redoviri
