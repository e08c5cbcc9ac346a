// The about window in the assembled program: the bird's two frames and its
// drift with a scripted chance, its place kept between showings, the timer
// running only while the window is open, the close boxes and dragging; and
// minimising any window sending the program to the tray.
#include <windows.h>

#include <algorithm>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/app_fixture.h"
#include "support/win32_test_support.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using Access = test::WindowAccess;
using AboutWindowTest = test::AppTest;

struct BirdState {
  int top, left;
  int frame;  // the frame seen: 1 or 2
};

BirdState Bird(TABOU& about) {
  const auto w = Access::Widgets(about);
  EXPECT_EQ(w.Image1.GetBounds().left, w.Image2.GetBounds().left) << "both frames share one place";
  EXPECT_EQ(w.Image1.GetBounds().top, w.Image2.GetBounds().top) << "both frames share one place";
  EXPECT_FALSE(w.Image1.Visible() && w.Image2.Visible()) << "at most one frame is seen";
  return {w.Image1.GetBounds().top, w.Image1.GetBounds().left, w.Image1.Visible() ? 1 : w.Image2.Visible() ? 2 : 0};
}

void PlaceBird(TABOU& about, int top, int left) {
  const auto w = Access::Widgets(about);
  for (widgets::Image* image : {&w.Image1, &w.Image2}) image->SetBounds({left, top, 83, 69});
}

TEST_F(AboutWindowTest, TheBirdFlapsAndDriftsAndComesBackSomewhereOnceItLeftTheSky) {
  Start({});
  TABOU& about = app->ABOU();
  ASSERT_EQ((Bird(about).top), 134);
  ASSERT_EQ((Bird(about).left), 232);
  ASSERT_EQ(Bird(about).frame, 0) << "hidden until the first tick";

  const struct Tick {
    const char* what;
    int placeTop, placeLeft;  // -1: where the last tick left it
    std::vector<int> draws;
    std::vector<int> bounds;  // the n of each R(n) asked
    BirdState after;
  } ticks[] = {
      {"first tick: wings up, a step of R(10) down and R(5) right", -1, -1, {3, 4}, {10, 5}, {137, 236, 1}},
      {"second: wings down, R(10) and R(10)", -1, -1, {9, 2}, {10, 10}, {146, 238, 2}},
      {"third: wings up again", -1, -1, {0, 0}, {10, 5}, {146, 238, 1}},
      {"at the edge of the sky it stays", 342, 397, {1, 1}, {10, 10}, {343, 398, 2}},
      {"past it, with the other frame, it drifts on", -1, -1, {1, 1}, {10, 5}, {344, 399, 1}},
      {"then it comes back at R(height), R(width)", -1, -1, {100, 200, 5, 6}, {362, 416, 10, 10}, {105, 206, 2}},
      {"only the top past the sky is enough", 343, 0, {0, 0}, {10, 5}, {343, 0, 1}},
      {"", -1, -1, {7, 8, 1, 1}, {362, 416, 10, 10}, {8, 9, 2}},
      {"only the left past the sky is enough", 0, 398, {0, 0}, {10, 5}, {0, 398, 1}},
      {"", -1, -1, {361, 415, 9, 9}, {362, 416, 10, 10}, {370, 424, 2}},
  };
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.what);
    if (t.placeTop >= 0) PlaceBird(about, t.placeTop, t.placeLeft);
    randomDraws = t.draws;
    randomBounds.clear();
    about.Timer1Timer();
    EXPECT_EQ(randomBounds, t.bounds);
    const BirdState b = Bird(about);
    EXPECT_EQ(b.top, t.after.top);
    EXPECT_EQ(b.left, t.after.left);
    EXPECT_EQ(b.frame, t.after.frame);
  }
}

TEST_F(AboutWindowTest, TheBirdFliesOnlyWhileTheWindowIsOpenAndKeepsItsPlace) {
  Start({});
  TABOU& about = app->ABOU();
  const auto w = Access::Widgets(about);
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  EXPECT_FALSE(w.Timer1.Enabled()) << "not before the about command";
  EXPECT_EQ(w.Timer1.Interval(), 300u);

  const auto openAbout = [&] { menu.Click(menu.Find("About Redoviri by DUZOVU")); };
  for (int corner = 0; corner < 4; ++corner) {
    SCOPED_TRACE(corner);
    app->Form1().Show();
    openAbout();
    ASSERT_TRUE(about.Visible());
    EXPECT_FALSE(app->Form1().Visible()) << "the calendar makes way";
    EXPECT_TRUE(w.Timer1.Enabled());

    widgets::Panel& box = *w.CloseBoxes[static_cast<std::size_t>(corner)];
    EXPECT_EQ(box.Caption(), "X");
    EXPECT_EQ(box.Hint(), "Click to hide the panel...");
    ASSERT_TRUE(box.onClick);
    box.onClick();
    EXPECT_FALSE(about.Visible());
    EXPECT_FALSE(w.Timer1.Enabled()) << "a close box stops the bird";
    EXPECT_TRUE(app->Form1().Visible()) << "and gives the calendar back";
  }

  randomDraws = {1, 1, 2, 2};
  about.Timer1Timer();
  about.Timer1Timer();
  const BirdState before = Bird(about);
  w.CloseBoxes[0]->onClick();
  openAbout();
  const BirdState again = Bird(about);
  EXPECT_EQ(again.top, before.top) << "the bird goes on from where it was";
  EXPECT_EQ(again.left, before.left);
  EXPECT_EQ(again.frame, before.frame);
}

TEST_F(AboutWindowTest, ItIsFramedAndMovesWhenDraggedByItsSurface) {
  Start({});
  widgets::Form& form = Access::FormOf(app->ABOU());
  const struct {
    POINT at;
    LRESULT answer;
    const char* hint;
  } points[] = {
      {{200, 4}, HTCAPTION, "Click here and drag to move the mixer..."},  // the top bar
      {{200, 100}, HTCAPTION, ""},                                         // the sky
      {{4, 200}, HTCAPTION, ""},                                           // a side bar
      {{200, 160}, HTCAPTION, ""},                                         // the text
      {{5, 5}, HTCLIENT, "Click to hide the panel..."},                    // the close boxes
      {{410, 5}, HTCLIENT, "Click to hide the panel..."},
      {{5, 356}, HTCLIENT, "Click to hide the panel..."},
      {{410, 356}, HTCLIENT, "Click to hide the panel..."},
  };
  for (const auto& p : points) {
    SCOPED_TRACE(::testing::Message() << p.at.x << "," << p.at.y);
    EXPECT_EQ(form.HitTest(p.at), p.answer);
    const widgets::Widget* w = form.ChildAt(p.at);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Hint(), p.hint);
  }
}

TEST_F(AboutWindowTest, MinimisingAnyWindowSendsTheProgramToTheTray) {
  Start({});
  const SIZE mainSize = test::ClientSizeOf(app->Form1().Handle());
  for (const char* minimised : {"main", "list", "about"}) {
    SCOPED_TRACE(minimised);
    app->Form1().Show();
    app->Form1().SetShowListAfterHide(true);
    HWND target = app->Form1().Handle();
    if (std::string(minimised) == "list") {
      app->Form2().Show();
      app->Form2().SetShowGridAfterHide(true);
      target = app->Form2().Handle();
    } else if (std::string(minimised) == "about") {
      app->aboutClick();
      target = app->ABOU().Handle();
    }
    const int deletes = shell.Count(NIM_DELETE);
    ShowWindow(target, SW_MINIMIZE);
    const HWND all[] = {app->Form1().Handle(), app->Form2().Handle(), app->Form4().Handle(), app->ABOU().Handle(),
                        app->help().Handle()};
    EXPECT_TRUE(test::PumpUntil([&] { return std::none_of(std::begin(all), std::end(all), IsWindowVisible); }));
    // Nothing comes back on its own afterwards (a quarter of a second more).
    test::PumpFor(250);
    for (HWND w : all) EXPECT_FALSE(IsWindowVisible(w)) << "every window goes, none comes back";
    EXPECT_FALSE(Access::Widgets(app->ABOU()).Timer1.Enabled());
    EXPECT_EQ(shell.Count(NIM_DELETE), deletes) << "the icon stays in the tray";

    // A click on the icon shows the calendar as it was, not minimised.
    app->card4Click();
    EXPECT_TRUE(IsWindowVisible(app->Form1().Handle()));
    EXPECT_FALSE(IsIconic(app->Form1().Handle()));
    const SIZE size = test::ClientSizeOf(app->Form1().Handle());
    EXPECT_EQ(size.cx, mainSize.cx);
    EXPECT_EQ(size.cy, mainSize.cy);
    app->Form1().Hide();
    ShowWindow(target, SW_RESTORE);
    ShowWindow(target, SW_HIDE);
  }
}

}  // namespace
}  // namespace redoviri
