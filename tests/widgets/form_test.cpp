#include "widgets/form.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "widget_test_support.h"
#include "widgets/widgets.h"

namespace redoviri::widgets {
namespace {

using test::Click;
using test::PointParam;
using test::PumpFor;
using test::PumpUntil;
using test::ScreenPoint;
using test::Snapshot;
using test::TestForm;

// Surface, a label and an image lying on the form, a panel holding a
// label, an edit, a push button, a grid and a speed button on the form.
class FormHitTest : public ::testing::Test {
 protected:
  FormHitTest() : form(TestForm(300, 200)) {
    label = &form.Add<Label>({.left = 10, .top = 4, .width = 100, .height = 18, .caption = "Today"});
    image = &form.Add<Image>({.left = 120, .top = 4, .width = 20, .height = 20},
                             {.picture = Bitmap::Solid(20, 20, colours::Red)});
    panel = &form.Add<Panel>({.left = 10, .top = 40, .width = 120, .height = 40},
                             {.border = BorderStyle::Single});
    inner = &panel->Add<Label>({.left = 5, .top = 5, .width = 60, .height = 16, .caption = "inside"});
    edit = &form.Add<Edit>({.left = 150, .top = 40, .width = 100, .height = 22});
    button = &form.Add<Button>({.left = 150, .top = 70, .width = 80, .height = 24, .caption = "OK"});
    grid = &form.Add<StringGrid>({.left = 10, .top = 100, .width = 200, .height = 60});
    speed = &form.Add<SpeedButton>({.left = 250, .top = 4, .width = 24, .height = 24});
    form.ShowInactive();
    EXPECT_TRUE(test::PumpUntil([this] { return IsWindowVisible(form.Handle()) && GetUpdateRect(form.Handle(), nullptr, FALSE) == FALSE; }));
  }

  LRESULT systemHitTest(POINT client) {
    const POINT screen = ScreenPoint(form.Handle(), client.x, client.y);
    const HWND target = ChildWindowFromPointEx(form.Handle(), client, CWP_SKIPINVISIBLE);
    return SendMessageA(target, WM_NCHITTEST, 0, PointParam(screen));
  }

  Form form;
  Label* label;
  Image* image;
  Panel* panel;
  Label* inner;
  Edit* edit;
  Button* button;
  StringGrid* grid;
  SpeedButton* speed;
};

TEST_F(FormHitTest, SurfaceAndWidgetsLyingOnTheFormDragIt) {
  EXPECT_EQ(form.HitTest({200, 180}), HTCAPTION);  // bare surface
  EXPECT_EQ(form.HitTest({20, 10}), HTCAPTION);    // label on the form
  EXPECT_EQ(form.HitTest({125, 10}), HTCAPTION);   // image on the form
  // The same answers reach the system through WM_NCHITTEST.
  EXPECT_EQ(systemHitTest({200, 180}), HTCAPTION);
  EXPECT_EQ(systemHitTest({20, 10}), HTCAPTION);
}

TEST_F(FormHitTest, PanelsFieldsButtonsAndTheGridBehaveNormally) {
  EXPECT_EQ(form.HitTest({100, 70}), HTCLIENT);   // panel
  EXPECT_EQ(form.HitTest({20, 50}), HTCLIENT);    // label inside the panel
  EXPECT_EQ(form.HitTest({160, 50}), HTCLIENT);   // edit
  EXPECT_EQ(form.HitTest({160, 80}), HTCLIENT);   // push button
  EXPECT_EQ(form.HitTest({20, 120}), HTCLIENT);   // grid
  EXPECT_EQ(form.HitTest({255, 10}), HTCLIENT);   // speed button on the form
  // The point on the panel belongs to the panel's window, which answers
  // as client area; so does the edit.
  EXPECT_EQ(ChildWindowFromPointEx(form.Handle(), {100, 70}, CWP_SKIPINVISIBLE), panel->Handle());
  EXPECT_EQ(systemHitTest({100, 70}), HTCLIENT);
  EXPECT_EQ(systemHitTest({160, 50}), HTCLIENT);
  EXPECT_EQ(systemHitTest({20, 50}), HTCLIENT);
}

TEST_F(FormHitTest, HiddenOrDisabledWidgetsLeaveTheSurface) {
  panel->SetVisible(false);
  EXPECT_EQ(form.HitTest({100, 70}), HTCAPTION);
  speed->SetEnabled(false);
  EXPECT_EQ(form.HitTest({255, 10}), HTCAPTION);
}

TEST(FormHitTestRule, IsAPerWidgetPropertyAndAPerFormSwitch) {
  Form form(TestForm(200, 100));
  form.Add<Label>({.left = 0, .top = 0, .width = 50, .height = 20, .dragsForm = false});
  form.Add<SpeedButton>({.left = 60, .top = 0, .width = 20, .height = 20, .dragsForm = true});
  EXPECT_EQ(form.HitTest({10, 10}), HTCLIENT);
  EXPECT_EQ(form.HitTest({65, 10}), HTCAPTION);

  FormDesc fixed = TestForm(200, 100);
  fixed.dragBySurface = false;
  Form still(fixed);
  EXPECT_EQ(still.HitTest({150, 80}), HTCLIENT);
}

// ------------------------------------------------------------ painting

constexpr COLORREF kPanelColour = RGB(255, 255, 0);
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kDisc = RGB(0, 0, 255);

class FormPaint : public ::testing::Test {
 protected:
  FormPaint() : form(TestForm(240, 120)) {
    panel = &form.Add<Panel>({.left = 10, .top = 10, .width = 80, .height = 40, .colour = kPanelColour},
                             {.border = BorderStyle::Single});
    label = &form.Add<Label>({.left = 100, .top = 10, .width = 100, .height = 20, .caption = "WWWW",
                              .font = Font::Arial(16).Bold(), .fontColour = colours::Red});
    hidden = &form.Add<Label>({.left = 100, .top = 40, .width = 100, .height = 20, .caption = "WWWW",
                               .font = Font::Arial(16).Bold(), .fontColour = colours::Red, .visible = false});
    // A 20 x 20 picture: magenta, with a blue square in its middle.
    const Bitmap picture = Bitmap::Draw(20, 20, [](HDC dc) {
      FillSolid(dc, {0, 0, 20, 20}, kKey);
      FillSolid(dc, {5, 5, 15, 15}, kDisc);
    });
    form.Add<Image>({.left = 10, .top = 70, .width = 20, .height = 20}, {.picture = picture, .transparent = true});
    form.Add<Image>({.left = 40, .top = 70, .width = 40, .height = 40}, {.picture = picture, .stretch = true});
    edit = &form.Add<Edit>({.left = 100, .top = 70, .width = 100, .height = 22, .caption = "text"});
  }

  Form form;
  Panel* panel;
  Label* label;
  Label* hidden;
  Edit* edit;
};

TEST_F(FormPaint, RendersTheTreeBackToFront) {
  const Snapshot s(form);
  EXPECT_EQ(s.at(230, 110), colours::Silver);  // the form's colour
  EXPECT_EQ(s.at(50, 30), kPanelColour);      // inside the panel's edge
  EXPECT_GT(s.count({100, 10, 200, 30}, colours::Red), 20);  // the label's letters
  EXPECT_EQ(s.count({100, 40, 200, 60}, colours::Red), 0);   // the hidden label
  // Transparent image: its key colour shows the form, the rest is drawn.
  EXPECT_EQ(s.at(11, 71), colours::Silver);
  EXPECT_EQ(s.at(20, 80), kDisc);
  // Stretched image: the middle square covers 10..30 of the 40 pixels.
  EXPECT_EQ(s.at(60, 90), kDisc);
  EXPECT_EQ(s.at(42, 72), kKey);
  // The edit draws its own white field with its text.
  EXPECT_EQ(s.at(195, 88), colours::White);
  EXPECT_GT(s.count({102, 72, 198, 90}, colours::Black), 5);
}

TEST_F(FormPaint, ColoursAndCaptionsRepaintWhenChanged) {
  panel->SetColour(colours::White);
  label->SetFontColour(colours::Navy);
  hidden->SetVisible(true);
  const Snapshot s(form);
  EXPECT_EQ(s.at(50, 30), colours::White);
  EXPECT_EQ(s.count({100, 10, 200, 30}, colours::Red), 0);
  EXPECT_GT(s.count({100, 10, 200, 30}, colours::Navy), 20);
  EXPECT_GT(s.count({100, 40, 200, 60}, colours::Red), 20);
}

TEST_F(FormPaint, TheWindowShowsWhatTheBufferedPaintDrew) {
  form.ShowInactive();
  UpdateWindow(form.Handle());
  EXPECT_TRUE(PumpUntil([this] { return GetUpdateRect(form.Handle(), nullptr, FALSE) == FALSE; }));
  const WindowDC dc(form.Handle());
  EXPECT_EQ(GetPixel(dc.get(), 50, 30), kPanelColour);
  EXPECT_EQ(GetPixel(dc.get(), 230, 110), colours::Silver);
  int red = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 100; x < 200; ++x) red += GetPixel(dc.get(), x, y) == colours::Red;
  EXPECT_GT(red, 20);
}

TEST_F(FormPaint, ACaptionChangeRepaintsOnlyItsLabel) {
  form.ShowInactive();
  UpdateWindow(form.Handle());
  EXPECT_TRUE(PumpUntil([this] { return GetUpdateRect(form.Handle(), nullptr, FALSE) == FALSE; }));
  ValidateRect(form.Handle(), nullptr);

  label->SetCaption("WWWW");  // the same text: nothing to repaint
  EXPECT_FALSE(GetUpdateRect(form.Handle(), nullptr, FALSE));

  label->SetCaption("12:00:01");
  RECT dirty;
  ASSERT_TRUE(GetUpdateRect(form.Handle(), &dirty, FALSE));
  EXPECT_EQ(dirty.left, 100);
  EXPECT_EQ(dirty.top, 10);
  EXPECT_EQ(dirty.right, 200);
  EXPECT_EQ(dirty.bottom, 30);
}

// ------------------------------------------------------------- fonts

TEST(Fonts, PixelHeightsAreThoseOfA96DpiScreenAndPointsFollowTheScreen) {
  struct Case {
    Font font;
    int dpi, height;
  };
  for (const Case& c : {Case{Font::Arial(13), 96, -13}, Case{Font::Arial(13), 120, -16}, Case{Font::Arial(13), 144, -20},
                        Case{Font::Arial(19), 192, -38}, Case{Font::Points("MS Sans Serif", 8), 96, -11},
                        Case{Font::Points("MS Sans Serif", 8), 120, -13}, Case{Font::Points("MS Sans Serif", 8), 192, -21}})
    EXPECT_EQ(c.font.LogicalHeight(c.dpi), c.height) << c.font.face << " at " << c.dpi;
}

TEST(Fonts, TheCacheSharesOneHandlePerFont) {
  GdiCache cache(96);
  const HFONT small = cache.GetFont(Font::Points("MS Sans Serif", 8));
  EXPECT_EQ(cache.GetFont(Font::Points("MS Sans Serif", 8)), small);
  const HFONT bold = cache.GetFont(Font::Points("MS Sans Serif", 8).Bold());
  EXPECT_NE(bold, small);

  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(small, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  ASSERT_EQ(GetObjectA(bold, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  ASSERT_EQ(GetObjectA(cache.GetFont(Font::Arial(19)), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -19);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
}

TEST(Fonts, WidgetsWithoutAFontUseTheirParents) {
  FormDesc desc = TestForm(200, 100);
  desc.font = Font::Points("MS Sans Serif", 8);
  Form form(desc);
  Panel& panel = form.Add<Panel>({.left = 0, .top = 0, .width = 200, .height = 100, .font = Font::Arial(13)});
  Edit& edit = panel.Add<Edit>({.left = 5, .top = 5, .width = 80, .height = 20});
  Label& label = form.Add<Label>({.left = 0, .top = 0, .width = 10, .height = 10});
  EXPECT_EQ(edit.GetFont(), Font::Arial(13));
  EXPECT_EQ(label.GetFont(), Font::Points("MS Sans Serif", 8));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0)),
            form.Gdi().GetFont(Font::Arial(13)));

  // A new font of the panel reaches the edit's window.
  panel.SetFont(Font::Arial(19));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0)),
            form.Gdi().GetFont(Font::Arial(19)));
}

// ------------------------------------------------------------ timers

TEST(Timers, FireWhileEnabledOnly) {
  Form form(TestForm(100, 50));
  int ticks = 0, idle = 0;
  Timer& timer = form.AddTimer({.interval = 20, .onTimer = [&] { ++ticks; }});
  Timer& off = form.AddTimer({.interval = 20, .enabled = false, .onTimer = [&] { ++idle; }});
  EXPECT_EQ(timer.Interval(), 20u);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));

  timer.SetEnabled(false);
  const int stopped = ticks;
  PumpFor(150);  // several intervals: no tick comes
  EXPECT_EQ(ticks, stopped);
  EXPECT_EQ(idle, 0);

  off.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return idle >= 1; }));
}

TEST(Timers, AnIntervalOfZeroStopsTheTimer) {
  Form form(TestForm(100, 50));
  int ticks = 0;
  Timer& timer = form.AddTimer({.interval = 20, .onTimer = [&] { ++ticks; }});
  timer.SetInterval(0);
  PumpFor(120);  // several intervals: no tick comes
  EXPECT_EQ(ticks, 0);
  timer.SetInterval(20);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }));
}

// ----------------------------------------------------- mouse and events

TEST(Events, AClickOnAWindowlessWidgetRunsItsHandlers) {
  Form form(TestForm(200, 100));
  Panel& panel = form.Add<Panel>({.left = 0, .top = 0, .width = 200, .height = 100});
  int downs = 0, ups = 0, clicks = 0, doubles = 0, panelClicks = 0;
  MouseEvent lastDown;
  panel.onClick = [&] { ++panelClicks; };
  panel.Add<SpeedButton>({.left = 10, .top = 10, .width = 40, .height = 30,
                          .onClick = [&] { ++clicks; },
                          .onDblClick = [&] { ++doubles; },
                          .onMouseDown = [&](const MouseEvent& e) { ++downs; lastDown = e; },
                          .onMouseUp = [&](const MouseEvent&) { ++ups; }});
  Click(panel.Handle(), 15, 20);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(panelClicks, 0);
  // Mouse positions are the widget's own.
  EXPECT_EQ(lastDown.x, 5);
  EXPECT_EQ(lastDown.y, 10);

  // Released outside: no click.
  SendMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 20));
  SendMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 80));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ups, 2);

  // A double click runs the double-click handler, and on a button its
  // second press clicks as well.
  Click(panel.Handle(), 15, 20);
  SendMessageA(panel.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(15, 20));
  SendMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 20));
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(doubles, 1);

  // The panel's own surface is the panel's.
  Click(panel.Handle(), 150, 80);
  EXPECT_EQ(panelClicks, 1);
}

// Quick clicks as the system delivers them: within the double-click time
// every second press comes as WM_LBUTTONDBLCLK. On a button each press
// released inside is a click; elsewhere the double click is no second click.
TEST(Events, EveryQuickClickOnAButtonCounts) {
  Form form(TestForm(200, 100));
  int clicks = 0, doubles = 0;
  const auto at = [&](int top) {
    return Props{.left = 5, .top = top, .width = 80, .height = 24,
                 .onClick = [&] { ++clicks; }, .onDblClick = [&] { ++doubles; }};
  };
  const Widget* button = &form.Add<Button>(at(5));
  const Widget* speed = &form.Add<SpeedButton>(at(35));
  const Widget* label = &form.Add<Label>(at(65));
  std::string twenty;  // twenty clicks in a row
  for (int i = 0; i < 10; ++i) twenty += "duDu";
  // 'd' a press, 'D' a double click's second press, 'u' a release inside,
  // 'o' a release outside.
  struct Case {
    const Widget* target;
    std::string presses;
    int clicks, doubles;
  };
  const Case cases[] = {
      {button, "duDu", 2, 1}, {speed, "duDu", 2, 1}, {label, "duDu", 1, 1}, {speed, "duDo", 1, 1},
      {button, "doDu", 1, 1}, {speed, "doDu", 1, 1}, {label, "doDu", 0, 1}, {button, twenty, 20, 10},
      {speed, twenty, 20, 10}, {label, twenty, 10, 10},
  };
  for (const Case& c : cases) {
    clicks = doubles = 0;
    const bool windowed = c.target->IsWindowed();
    const HWND h = windowed ? static_cast<const WindowedWidget*>(c.target)->Handle() : form.Handle();
    const POINT in = windowed ? POINT{5, 5} : POINT{c.target->GetBounds().left + 5, c.target->GetBounds().top + 5};
    for (const char p : c.presses) {
      const UINT msg = p == 'd' ? WM_LBUTTONDOWN : p == 'D' ? WM_LBUTTONDBLCLK : WM_LBUTTONUP;
      const int away = p == 'o' ? 300 : 0;
      PostMessageA(h, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(in.x + away, in.y + away));
    }
    test::PumpPending();
    EXPECT_EQ(clicks, c.clicks) << c.presses << (windowed ? " on a push button" : "");
    EXPECT_EQ(doubles, c.doubles) << c.presses;
  }
}

TEST(Events, FlatSpeedButtonsFollowTheMouse) {
  Form form(TestForm(200, 100));
  Panel& panel = form.Add<Panel>({.left = 0, .top = 0, .width = 200, .height = 100});
  SpeedButton& button = panel.Add<SpeedButton>({.left = 10, .top = 10, .width = 40, .height = 30});
  const HWND h = panel.Handle();
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_TRUE(button.Hot());
  EXPECT_FALSE(button.Down());
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_TRUE(button.Down());
  // Pressed, the button looks down only while the mouse is on it.
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 80));
  EXPECT_FALSE(button.Down());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 25));
  EXPECT_TRUE(button.Down());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 80));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(120, 80));
  EXPECT_FALSE(button.Down());
  EXPECT_FALSE(button.Hot());  // released elsewhere
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  SendMessageA(h, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button.Hot());
}

TEST(Events, TheContextMenuRequestGoesUpToTheFirstHandler) {
  Form form(TestForm(200, 100));
  POINT asked{-1, -1};
  int count = 0;
  form.onContextMenu = [&](POINT p) { asked = p; ++count; };
  Panel& panel = form.Add<Panel>({.left = 0, .top = 0, .width = 200, .height = 60});
  Edit& edit = panel.Add<Edit>({.left = 5, .top = 5, .width = 80, .height = 20});
  MaskEdit& masked = panel.Add<MaskEdit>({.left = 100, .top = 5, .width = 80, .height = 20}, {.mask = "00"});
  SendMessageA(edit.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit.Handle()), MAKELPARAM(30, 40));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(asked.x, 30);
  EXPECT_EQ(asked.y, 40);
  SendMessageA(masked.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(masked.Handle()), MAKELPARAM(1, 2));
  EXPECT_EQ(count, 2);

  // A nearer handler wins.
  int panelCount = 0;
  panel.onContextMenu = [&](POINT) { ++panelCount; };
  SendMessageA(edit.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit.Handle()), MAKELPARAM(30, 40));
  EXPECT_EQ(panelCount, 1);
  EXPECT_EQ(count, 2);
}

TEST(Events, ButtonsAndCheckBoxesReportTheirClicks) {
  Form form(TestForm(200, 100));
  int pushed = 0, toggled = 0;
  Button& button = form.Add<Button>({.left = 5, .top = 5, .width = 80, .height = 24, .caption = "OK",
                                     .onClick = [&] { ++pushed; }});
  CheckBox& box = form.Add<CheckBox>({.left = 5, .top = 40, .caption = "Each Year", .onClick = [&] { ++toggled; }},
                                     {.checked = true});
  EXPECT_TRUE(box.Checked());
  EXPECT_GT(box.GetBounds().width, 40);  // sized to its caption

  SendMessageA(button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(pushed, 1);

  box.SetChecked(false);  // set by the program: no click
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(toggled, 0);
  SendMessageA(box.Handle(), BM_CLICK, 0, 0);  // the user's click toggles
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(toggled, 1);
}

TEST(Events, EditsAnnounceEveryChangeOfText) {
  Form form(TestForm(200, 100));
  int changes = 0;
  Edit& edit = form.Add<Edit>({.left = 5, .top = 5, .width = 80, .height = 20, .caption = "09"},
                              {.maxLength = 4, .onChange = [&] { ++changes; }});
  EXPECT_EQ(edit.Text(), "09");
  edit.SetText("10");
  EXPECT_EQ(changes, 1);
  edit.SetText("10");  // the same text is no change
  EXPECT_EQ(changes, 1);
  edit.SetFocus();
  edit.SetSelection(2, 2);
  SendMessageA(edit.Handle(), WM_CHAR, '5', 0);
  EXPECT_EQ(edit.Text(), "105");
  EXPECT_EQ(changes, 2);
  // At most four characters typed.
  SendMessageA(edit.Handle(), WM_CHAR, '6', 0);
  SendMessageA(edit.Handle(), WM_CHAR, '7', 0);
  EXPECT_EQ(edit.Text(), "1056");
}

TEST(Forms, ShowHideRunTheirHandlersAndClosingOnlyHides) {
  Form form(TestForm(100, 50));
  int shown = 0, hidden = 0;
  form.onShow = [&] { ++shown; };
  form.onHide = [&] { ++hidden; };
  EXPECT_FALSE(form.Visible());
  form.Show();
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(shown, 1);
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_TRUE(IsWindow(form.Handle()));
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(hidden, 1);
}

// A window manager's minimise reaches the form as WM_SYSCOMMAND (Wine sends
// it only to windows with a minimise box); the program's own ShowWindow
// minimises it at once. Either way the form ends hidden, not minimised.
TEST(Forms, AMinimisedFormIsHiddenAndComesBackNormal) {
  struct Case {
    const char* how;
    FormDesc desc;
    void (*minimise)(HWND);
  };
  FormDesc captioned = TestForm(120, 60);
  captioned.borderless = false;
  const Case cases[] = {
      {"window manager", TestForm(120, 60), [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
      {"ShowWindow", TestForm(120, 60), [](HWND w) { ShowWindow(w, SW_MINIMIZE); }},
      {"title bar's box", captioned, [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    Form form(c.desc);
    const HWND h = form.Handle();
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_MINIMIZEBOX);
    int hidden = 0, minimised = 0;
    form.onHide = [&] { ++hidden; };
    form.onMinimize = [&] { ++minimised; };
    form.Show();
    const SIZE size = redoviri::test::ClientSizeOf(h);
    c.minimise(h);
    EXPECT_TRUE(PumpUntil([&] { return minimised > 0; }));
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_FALSE(IsIconic(h));
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(minimised, 1);

    form.Show();
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_FALSE(IsIconic(h));
    EXPECT_EQ(redoviri::test::ClientSizeOf(h).cx, size.cx);
    EXPECT_EQ(redoviri::test::ClientSizeOf(h).cy, size.cy);
    test::PumpPending();
    EXPECT_EQ(minimised, 1) << "nothing more comes of the minimise";
    EXPECT_TRUE(IsWindowVisible(h));
  }
  // A fixed dialog keeps its title bar as it is: no minimise box.
  FormDesc dialog = TestForm(120, 60);
  dialog.borderless = false;
  dialog.dialog = true;
  EXPECT_FALSE(GetWindowLongA(Form(dialog).Handle(), GWL_STYLE) & WS_MINIMIZEBOX);
}

TEST(Forms, PassOnTheMachinesNewsOfTimeSleepAndSettings) {
  Form form(TestForm(100, 50));  // hidden, as the program's forms mostly are
  std::vector<std::string> heard;
  form.onTimeChange = [&] { heard.push_back("time"); };
  form.onResume = [&] { heard.push_back("resume"); };
  form.onSettingChange = [&](std::string_view section) { heard.push_back("setting:" + std::string(section)); };

  struct Case {
    UINT msg;
    WPARAM wp;
    const char* section;  // the lParam string of WM_SETTINGCHANGE
    const char* want;     // "" when no hook runs
  };
  const Case cases[] = {
      {WM_TIMECHANGE, 0, nullptr, "time"},
      {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, nullptr, "resume"},
      {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, nullptr, "resume"},
      {WM_POWERBROADCAST, PBT_APMSUSPEND, nullptr, ""},
      {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, nullptr, ""},
      {WM_SETTINGCHANGE, 0, "intl", "setting:intl"},
      {WM_SETTINGCHANGE, 0, "Environment", "setting:Environment"},
      {WM_SETTINGCHANGE, SPI_SETWORKAREA, nullptr, "setting:"},
  };
  for (const Case& c : cases) {
    heard.clear();
    SendMessageA(form.Handle(), c.msg, c.wp, reinterpret_cast<LPARAM>(c.section));
    const std::vector<std::string> want = *c.want ? std::vector<std::string>{c.want} : std::vector<std::string>{};
    EXPECT_EQ(heard, want) << "message " << c.msg << ", " << c.wp;
  }

  // A form without hooks takes the news quietly.
  Form plain(TestForm(100, 50));
  EXPECT_EQ(SendMessageA(plain.Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0), TRUE);
  SendMessageA(plain.Handle(), WM_TIMECHANGE, 0, 0);
  SendMessageA(plain.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
}

TEST(Forms, AreCentredAndSizedByTheirClientArea) {
  FormDesc desc = TestForm(353, 311);
  desc.centered = true;
  desc.topmost = true;
  Form form(desc);
  RECT client, window;
  GetClientRect(form.Handle(), &client);
  GetWindowRect(form.Handle(), &window);
  EXPECT_EQ(client.right, 353);
  EXPECT_EQ(client.bottom, 311);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - 353) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - 311) / 2);
  EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(form.Handle(), GWL_STYLE) & WS_CAPTION);
}

TEST(Forms, AMoveByNeitherUserNorProgramRightAfterAShowIsUndone) {
  // A window manager placing the form after it was mapped, or Wine echoing
  // an older move late, does not leave it there; the user's drag and the
  // program's own move do.
  struct Case {
    const char* what;
    std::function<void(Form&)> move;
    bool undone;
  };
  const Case cases[] = {
      {"an outside move", [](Form& f) { SetWindowPos(f.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); },
       true},
      {"the user's drag",
       [](Form& f) {
         SendMessageA(f.Handle(), WM_ENTERSIZEMOVE, 0, 0);
         SetWindowPos(f.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         SendMessageA(f.Handle(), WM_EXITSIZEMOVE, 0, 0);
       },
       false},
      {"the program's move", [](Form& f) { f.SetBounds({0, 0, 120, 80}); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FormDesc desc = TestForm(120, 80);
    desc.centered = true;
    Form form(desc);
    form.Show();
    RECT shown{};
    GetWindowRect(form.Handle(), &shown);
    ASSERT_NE(shown.left, 0);
    c.move(form);
    const auto at = [&](LONG left) {
      RECT r{};
      GetWindowRect(form.Handle(), &r);
      return r.left == left;
    };
    if (c.undone) {
      EXPECT_TRUE(PumpUntil([&] { return at(shown.left); }));
    } else {
      redoviri::test::PumpPending();
      EXPECT_TRUE(at(0));
    }
  }
}

TEST(Forms, TabMovesThroughTheFieldsInDeclarationOrder) {
  Form form(TestForm(300, 120));
  Edit& first = form.Add<Edit>({.left = 5, .top = 5, .width = 80, .height = 20, .caption = "one"});
  Panel& panel = form.Add<Panel>({.left = 0, .top = 30, .width = 300, .height = 40});
  Edit& second = panel.Add<Edit>({.left = 5, .top = 5, .width = 80, .height = 20});
  CheckBox& box = panel.Add<CheckBox>({.left = 100, .top = 5, .caption = "Each"});
  Edit& hidden = panel.Add<Edit>({.left = 200, .top = 5, .width = 80, .height = 20, .visible = false});
  Button& button = form.Add<Button>({.left = 5, .top = 80, .width = 80, .height = 24, .caption = "OK"});
  form.ShowInactive();
  first.SetFocus();

  auto tab = [&](bool shift) {
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(IsFormDialogMessage(msg));
  };
  tab(false);
  EXPECT_TRUE(second.Focused());
  tab(false);
  EXPECT_TRUE(box.Focused());
  tab(false);  // the hidden edit is passed over
  EXPECT_TRUE(button.Focused());
  tab(false);
  EXPECT_TRUE(first.Focused());
  EXPECT_EQ(first.Selection(), std::make_pair(0, 3));  // entered by Tab: all selected
  tab(true);
  EXPECT_TRUE(button.Focused());
  tab(false);
  EXPECT_FALSE(hidden.Focused());

  MSG other{first.Handle(), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
  EXPECT_FALSE(IsFormDialogMessage(other));
}

TEST(Widgets, BringToFrontPutsAWindowedWidgetAboveItsSiblings) {
  Form form(TestForm(200, 100));
  Panel& under = form.Add<Panel>({.left = 0, .top = 0, .width = 100, .height = 100});
  Panel& over = form.Add<Panel>({.left = 50, .top = 0, .width = 100, .height = 100});
  EXPECT_EQ(form.ChildAt({75, 50}), &over);
  EXPECT_EQ(ChildWindowFromPointEx(form.Handle(), {75, 50}, CWP_SKIPINVISIBLE), over.Handle());
  under.BringToFront();
  EXPECT_EQ(form.ChildAt({75, 50}), &under);
  EXPECT_EQ(ChildWindowFromPointEx(form.Handle(), {75, 50}, CWP_SKIPINVISIBLE), under.Handle());
}

// What a handler lets out stops at the window procedure: the reporter has
// its message and the window goes on. A failure from the messages that a
// report lets through while it is shown (a message box's own loop) is not
// reported on top of it.
TEST(FormFailures, AnExceptionOfAHandlerIsReportedOnceAndTheWindowGoesOn) {
  std::vector<std::string> reports;
  int throwsDuringReport = 0;
  bool inReport = false;
  Form form(TestForm(200, 100));
  int ticks = 0;
  Timer& timer = form.AddTimer({.interval = 10, .enabled = true, .onTimer = [&] {
    ++ticks;
    if (inReport) ++throwsDuringReport;
    if (ticks == 1) throw std::runtime_error("Division by zero");
    if (ticks <= 4) throw 42;
  }});
  SetFailureReporter([&](const std::string& message) {
    reports.push_back(message);
    if (reports.size() > 1) return;
    // Like a message box: the program's messages go on meanwhile.
    inReport = true;
    PumpUntil([&] { return ticks >= 3; });
    inReport = false;
  });
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 6; }));
  timer.SetEnabled(false);
  SetFailureReporter(nullptr);
  EXPECT_GE(throwsDuringReport, 2);
  // The first failure, then the one after its report (the tick that threw
  // while it was shown was not told).
  EXPECT_EQ(reports, (std::vector<std::string>{"Division by zero", "Unknown exception"}));
  EXPECT_TRUE(IsWindow(form.Handle()));
}

// Detached, no message reaches the form or its widgets any more, while
// the windows stay until the objects go.
TEST(FormTeardown, ADetachedTreeRunsNoHandlerAndGoesWithItsObjects) {
  int handled = 0;
  HWND formWindow = nullptr, panelWindow = nullptr, buttonWindow = nullptr;
  {
    Form form(TestForm(200, 100));
    Panel& panel = form.Add<Panel>({.left = 10, .top = 10, .width = 100, .height = 60});
    Button& button = panel.Add<Button>({.left = 5, .top = 5, .width = 60, .height = 24, .caption = "OK",
                                        .onClick = [&] { ++handled; }});
    form.onHide = [&] { ++handled; };
    form.AddTimer({.interval = 10, .enabled = true, .onTimer = [&] { ++handled; }});
    form.ShowInactive();
    EXPECT_TRUE(PumpUntil([&] { return handled > 0; })) << "the timer runs while attached";
    formWindow = form.Handle();
    panelWindow = panel.Handle();
    buttonWindow = button.Handle();

    form.DetachTree();
    handled = 0;
    for (const HWND w : {formWindow, panelWindow, buttonWindow}) EXPECT_EQ(MessageWindow::FromHandle(w), nullptr);
    SendMessageA(buttonWindow, BM_CLICK, 0, 0);
    ShowWindow(formWindow, SW_HIDE);
    PumpFor(100);  // the timer's messages, had any handler stayed
    EXPECT_EQ(handled, 0);
    for (const HWND w : {formWindow, panelWindow, buttonWindow}) EXPECT_TRUE(IsWindow(w));
  }
  for (const HWND w : {formWindow, panelWindow, buttonWindow}) EXPECT_FALSE(IsWindow(w));
}

}  // namespace
}  // namespace redoviri::widgets
