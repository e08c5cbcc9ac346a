#include "widgets/hint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widget_test_support.h"
#include "widgets/widgets.h"

namespace redoviri::widgets {
namespace {

using test::PointParam;
using test::PumpFor;
using test::PumpUntil;
using test::ScreenPoint;
using test::TestForm;

struct Shown {
  std::string text;
  POINT at;
};

// Records what the manager asks of its window.
class FakeHintWindow : public HintWindow {
 public:
  explicit FakeHintWindow(std::vector<Shown>& shown, int& hides) : shown_(shown), hides_(hides) {}
  void Show(const std::string& text, POINT cursor) override { shown_.push_back({text, cursor}); }
  void Hide() override { ++hides_; }

 private:
  std::vector<Shown>& shown_;
  int& hides_;
};

class Hints : public ::testing::Test {
 protected:
  Hints() : hints(std::make_unique<FakeHintWindow>(shown, hides)), form(Desc(&hints)) {
    hints.SetTiming({.pauseMs = 30, .shortPauseMs = 10, .hidePauseMs = 5000});
    surfaceLabel = &form.Add<Label>({.left = 10, .top = 4, .width = 100, .height = 18,
                                     .caption = "Today", .hint = "This the date of now"});
    form.Add<Label>({.left = 150, .top = 4, .width = 40, .height = 18, .caption = "quiet"});
    panel = &form.Add<Panel>({.left = 10, .top = 40, .width = 200, .height = 60,
                              .hint = "Click to see the details"});
    panel->Add<Label>({.left = 5, .top = 5, .width = 60, .height = 16, .caption = "3"});
    panel->Add<SpeedButton>({.left = 100, .top = 5, .width = 30, .height = 30, .hint = "Click to add an event...."});
    edit = &form.Add<Edit>({.left = 10, .top = 110, .width = 100, .height = 22,
                            .hint = "This is the month in number"});
    form.ShowInactive();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
  }
  static FormDesc Desc(HintManager* h) {
    FormDesc d = TestForm(300, 150);
    d.hints = h;
    return d;
  }

  // The mouse rests on the dragging surface (no client messages there).
  POINT overSurface(int x, int y) {
    const POINT p = ScreenPoint(form.Handle(), x, y);
    SendMessageA(form.Handle(), WM_NCMOUSEMOVE, HTCAPTION, PointParam(p));
    return p;
  }
  POINT overWindow(HWND hwnd, int x, int y) {
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    return ScreenPoint(hwnd, x, y);
  }
  bool waitForShow(size_t count) {
    return PumpUntil([&] { return shown.size() >= count; }, 2000);
  }

  std::vector<Shown> shown;
  int hides = 0;
  HintManager hints;
  Form form;
  Label* surfaceLabel;
  Panel* panel;
  Edit* edit;
};

TEST_F(Hints, ShowsTheHintOfTheWidgetUnderTheMouseAfterThePause) {
  const POINT at = overSurface(20, 10);
  EXPECT_TRUE(shown.empty());  // not before the pause
  ASSERT_TRUE(waitForShow(1));
  EXPECT_EQ(shown[0].text, "This the date of now");
  EXPECT_EQ(shown[0].at.x, at.x);
  EXPECT_EQ(shown[0].at.y, at.y);
  EXPECT_TRUE(hints.Showing());

  // Resting on: shown once only (this waits on purpose).
  overSurface(22, 11);
  PumpFor(100);
  EXPECT_EQ(shown.size(), 1u);
}

// Every hover shows its hint: the mouse goes to a widget without a hint,
// then rests on one with a hint, many times over, on the dragging surface
// and on a windowed control.
TEST_F(Hints, EveryHoverShowsItsHint) {
  constexpr int kRounds = 40;
  for (int round = 0; round < kRounds; ++round) {
    const size_t before = shown.size();
    overSurface(160, 10);  // "quiet": no hint
    if (round % 2 == 0) {
      overSurface(20 + round % 7, 10);
    } else {
      overWindow(edit->Handle(), 5 + round % 7, 5);
    }
    ASSERT_TRUE(waitForShow(before + 1)) << "round " << round;
    EXPECT_EQ(shown.back().text, round % 2 == 0 ? "This the date of now" : "This is the month in number") << round;
  }
}

TEST_F(Hints, EachWidgetGivesItsOwnOrItsParentsHint) {
  overWindow(panel->Handle(), 10, 10);  // a label without a hint, in the panel
  ASSERT_TRUE(waitForShow(1));
  EXPECT_EQ(shown[0].text, "Click to see the details");

  overWindow(panel->Handle(), 110, 15);  // the speed button's own
  ASSERT_TRUE(waitForShow(2));
  EXPECT_EQ(shown[1].text, "Click to add an event....");
  EXPECT_GE(hides, 1);  // the first went away first

  overWindow(edit->Handle(), 5, 5);  // a real child window
  ASSERT_TRUE(waitForShow(3));
  EXPECT_EQ(shown[2].text, "This is the month in number");
}

TEST_F(Hints, NothingShowsWhereNoWidgetHasAHint) {
  overSurface(20, 10);
  ASSERT_TRUE(waitForShow(1));
  overSurface(160, 10);  // "quiet" has no hint, nor has the form
  EXPECT_GE(hides, 1);
  PumpFor(150);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_FALSE(hints.Showing());
}

TEST_F(Hints, AButtonPressCancelsUntilTheMouseMovesOn) {
  overWindow(panel->Handle(), 10, 10);
  ASSERT_TRUE(waitForShow(1));
  SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(hints.Showing());
  overWindow(panel->Handle(), 11, 10);
  PumpFor(120);
  EXPECT_EQ(shown.size(), 1u);
  overWindow(edit->Handle(), 5, 5);
  EXPECT_TRUE(waitForShow(2));
}

TEST_F(Hints, LeavingBeforeThePauseShowsNothing) {
  overWindow(edit->Handle(), 5, 5);
  SendMessageA(edit->Handle(), WM_MOUSELEAVE, 0, 0);
  PumpFor(120);
  EXPECT_TRUE(shown.empty());
}

TEST_F(Hints, TheSwitchTurnsThemOff) {
  hints.SetEnabled(false);
  overSurface(20, 10);
  PumpFor(120);
  EXPECT_TRUE(shown.empty());
  hints.SetEnabled(true);
  overWindow(edit->Handle(), 5, 5);
  EXPECT_TRUE(waitForShow(1));
}

TEST_F(Hints, TheTextIsReadWhenTheHintAppears) {
  overSurface(20, 10);
  surfaceLabel->SetHint(" birthday : Anna,");
  ASSERT_TRUE(waitForShow(1));
  EXPECT_EQ(shown[0].text, " birthday : Anna,");
}

TEST_F(Hints, HidingTheFormHidesItsHint) {
  overSurface(20, 10);
  ASSERT_TRUE(waitForShow(1));
  form.Hide();
  EXPECT_FALSE(hints.Showing());
  EXPECT_GE(hides, 1);
}

// A window that turns every hint down, as a balloon does while a mouse
// button is held.
class RefusingHintWindow : public HintWindow {
 public:
  explicit RefusingHintWindow(int& refused) : refused_(refused) {}
  void Show(const std::string&, POINT) override {
    ++refused_;
    CancelHint();
  }
  void Hide() override {}

 private:
  int& refused_;
};

TEST_F(Hints, AWindowThatRefusesCancelsUntilTheMouseMovesOn) {
  int refused = 0;
  hints.SetWindow(std::make_unique<RefusingHintWindow>(refused));
  overWindow(panel->Handle(), 10, 10);
  ASSERT_TRUE(PumpUntil([&] { return refused == 1; }, 2000));
  EXPECT_FALSE(hints.Showing());
  overWindow(panel->Handle(), 12, 10);
  PumpFor(120);
  EXPECT_EQ(refused, 1);  // not asked again on the same widget
  overWindow(edit->Handle(), 5, 5);
  EXPECT_TRUE(PumpUntil([&] { return refused == 2; }, 2000));
}

TEST(StandardHint, ShowsAFramedPopupBelowTheCursorWithoutTakingTheFocus) {
  StandardHintWindow hint;
  const HWND active = GetActiveWindow();
  hint.Show("Click to hide the panel...", {100, 100});
  RECT r;
  GetWindowRect(hint.Handle(), &r);
  EXPECT_TRUE(IsWindowVisible(hint.Handle()));
  EXPECT_EQ(r.left, 100);
  EXPECT_GT(r.top, 100);
  EXPECT_GT(r.right - r.left, 60);  // wide enough for the text
  EXPECT_EQ(GetActiveWindow(), active);
  // Near the bottom right corner it stays on the screen.
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  hint.Show("Click to hide the panel...", {w - 5, h - 5});
  GetWindowRect(hint.Handle(), &r);
  EXPECT_LE(r.right, w);
  EXPECT_LE(r.bottom, h);
  hint.Hide();
  EXPECT_FALSE(IsWindowVisible(hint.Handle()));
}

}  // namespace
}  // namespace redoviri::widgets
