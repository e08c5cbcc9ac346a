// The rule window over a window that asks for a rule, driven by the keys
// alone: what it hands back on Enter, nothing on Escape, and the keyboard
// back in the asking window either way.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "events/rulewindow.h"
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

// Characters typed into the control with the keyboard.
void Type(const std::string& text) {
  for (const char ch : text) SendMessageA(GetFocus(), WM_CHAR, static_cast<WPARAM>(ch), 0);
}

TEST(RuleWindow, KeysChooseTheSecondTuesdayUntilADateAndEscapeHandsBackNothing) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  Asker asker;
  asker.Show();
  TRuleWindow window({.locale = EnglishDateLocale(true)});
  std::vector<RepeatRule> handed;
  const auto choose = [&](const RepeatRule& current) {
    window.Choose(asker.Handle(), {2027, 1, 12}, current, [&](const RepeatRule& r) { handed.push_back(r); });
    ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == window.Handle(); }));
  };
  const auto keyboardBack = [&] {
    return test::PumpUntil([&] { return !window.Visible() && GetForegroundWindow() == asker.Handle(); });
  };

  choose({});
  EXPECT_EQ(test::AccessibleName(GetFocus()), "Repeat: as the boxes say");
  for (const UINT key : {VK_DOWN, VK_DOWN}) test::TypeKey(key);
  EXPECT_EQ(test::AccessibleName(GetFocus()), "Repeat: monthly");
  // Past the interval to the day, a weekday (the second Tuesday, as the
  // first date is), past the ordinal and the weekday to the end.
  for (const UINT key : {VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_TAB, VK_DOWN, VK_TAB}) test::TypeKey(key);
  Type("06302027");
  test::TypeKey(VK_RETURN);
  EXPECT_TRUE(keyboardBack());
  RepeatRule want;
  want.unit = RuleUnit::kMonth;
  want.on = RuleDay::kNthWeekday;
  want.weekdays = 0x02;
  want.ordinal = 2;
  want.until = CivilDate{2027, 6, 30};
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0], want);

  choose(want);
  test::TypeKey(VK_DOWN);
  test::TypeKey(VK_ESCAPE);
  EXPECT_TRUE(keyboardBack());
  EXPECT_EQ(handed.size(), 1u);
  CoUninitialize();
}

}  // namespace
}  // namespace redoviri
