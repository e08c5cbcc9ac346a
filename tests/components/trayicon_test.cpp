// The tray icon through a recording shell seam, with real hidden windows,
// timers and messages; and once against the real shell.
#include "components/TrayIconF.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "components/fake_shell.h"
#include "components/tray_test_support.h"
#include "widgets/popup_menu.h"

namespace redoviri {
namespace {

using test::CentreColour;
using test::FakeShell;
using test::PumpFor;
using test::PumpUntil;
using test::SolidIcon;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr UINT kAllAddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
const TrayRetry kFastRetry{20, 3};

UINT TrayCallbackMessage() { return RegisterWindowMessageA("WM_TOOLTRAYICON"); }
UINT TaskbarCreated() { return RegisterWindowMessageA("TaskbarCreated"); }

void SendMouse(TTrayIconF& tray, UINT mouseMessage) {
  SendMessageA(tray.Handle(), TrayCallbackMessage(), 0, mouseMessage);
}

struct ImageListDeleter {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
using ImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

ImageList FramesOf(const std::vector<COLORREF>& colours) {
  ImageList list(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, static_cast<int>(colours.size()), 1));
  for (COLORREF c : colours) ImageList_AddIcon(list.get(), SolidIcon(c).get());
  return list;
}

class TrayIconTest : public ::testing::Test {
 protected:
  FakeShell shell;
};

TEST_F(TrayIconTest, StartsInactiveWithItsDefaultsAndTellsTheShellNothing) {
  TTrayIconF tray({}, &shell, kFastRetry);
  EXPECT_FALSE(tray.Active());
  EXPECT_FALSE(tray.Animate());
  EXPECT_EQ(tray.AnimateInterval(), 100);
  EXPECT_FALSE(tray.ShowDesigning());
  EXPECT_FALSE(tray.MinimizeApp());
  EXPECT_EQ(tray.Icon(), nullptr);
  EXPECT_EQ(tray.Images(), nullptr);
  EXPECT_EQ(tray.ToolTip(), "");
  EXPECT_EQ(tray.Tag, 0);
  EXPECT_TRUE(shell.calls.empty());

  // Hidden, and top-level so that broadcasts reach it (a message-only
  // window would have HWND_MESSAGE's window as parent).
  ASSERT_TRUE(IsWindow(tray.Handle()));
  EXPECT_FALSE(IsWindowVisible(tray.Handle()));
  EXPECT_EQ(GetAncestor(tray.Handle(), GA_PARENT), GetDesktopWindow());
}

TEST_F(TrayIconTest, AShellThatKnowsIconsByGuidHearsTheProgramsGuidOnEveryCall) {
  shell.takesGuid = true;
  TTrayIconF tray({}, &shell, kFastRetry);
  auto red = SolidIcon(kRed);
  tray.SetIcon(red.get());
  tray.SetActive(true);
  tray.SetToolTip("Today : 1 lovely. ");
  ASSERT_TRUE(tray.ShowBalloon("Redoviri", "09:30 Dentist"));
  tray.SetActive(false);
  // The add, the version, the tooltip, the balloon and the delete.
  ASSERT_EQ(shell.guids.size(), 5u);
  for (const GUID& g : shell.guids) EXPECT_TRUE(IsEqualGUID(g, kTrayIconGuid));
  EXPECT_EQ(shell.calls.front().size, sizeof(NOTIFYICONDATAA));
}

TEST_F(TrayIconTest, AddSendsTheAnsiRecordWithCallbackIconAndTip) {
  TTrayIconF tray({}, &shell, kFastRetry);
  auto red = SolidIcon(kRed);
  tray.SetIcon(red.get());
  tray.SetToolTip("Today : 1 lovely. ");
  EXPECT_TRUE(shell.calls.empty()) << "writes while inactive reach no shell";

  tray.SetActive(true);
  ASSERT_EQ(shell.calls.size(), 1u);
  const auto& add = shell.Last();
  EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.size, kTrayRecordSize);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(add.size, 88u);
  }
  EXPECT_EQ(add.window, tray.Handle());
  EXPECT_EQ(add.id, 0u);
  EXPECT_EQ(add.flags, kAllAddFlags);
  EXPECT_EQ(add.callback, TrayCallbackMessage());
  EXPECT_EQ(add.icon, tray.Icon());
  EXPECT_EQ(add.Tip(), "Today : 1 lovely. ");

  // The component shows its own copy: the caller's icon may go away.
  EXPECT_NE(tray.Icon(), red.get());
  red.reset();
  EXPECT_EQ(CentreColour(tray.Icon()), kRed);
}

TEST_F(TrayIconTest, AddWithoutAnIconShowsTheApplicationIcon) {
  auto blue = SolidIcon(kBlue);
  TrayApplication app;
  app.icon = [&] { return blue.get(); };
  TTrayIconF tray(app, &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetActive(true);
  ASSERT_EQ(shell.calls.size(), 1u);
  ASSERT_NE(tray.Icon(), nullptr);
  EXPECT_EQ(shell.Last().icon, tray.Icon());
  EXPECT_EQ(CentreColour(tray.Icon()), kBlue);
}

TEST_F(TrayIconTest, AddWithoutATooltipWritesTheTooltipAgainFromTheMessageLoop) {
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetActive(true);
  ASSERT_EQ(shell.calls.size(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return shell.calls.size() >= 2; }));
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(shell.Last().flags, static_cast<UINT>(NIF_ICON | NIF_TIP));
  EXPECT_EQ(shell.Last().Tip(), "");

  // With a tooltip there is nothing to write again.
  FakeShell other;
  TTrayIconF withTip({}, &other, kFastRetry);
  withTip.SetToolTip("Well, no event for today...");
  withTip.SetActive(true);
  PumpFor(100);
  EXPECT_EQ(other.calls.size(), 1u);
}

TEST_F(TrayIconTest, ActiveAddsOnceAndDeletesOnce) {
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("x");
  tray.SetActive(false);
  EXPECT_TRUE(shell.calls.empty());
  tray.SetActive(true);
  tray.SetActive(true);
  EXPECT_EQ(shell.Count(NIM_ADD), 1);
  tray.SetActive(false);
  tray.SetActive(false);
  EXPECT_EQ(shell.Count(NIM_DELETE), 1);
  EXPECT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.Last().window, tray.Handle());
  EXPECT_FALSE(tray.Active());
}

// What an Update holds back reaches the shell as one call when the last
// one ends: a modify for an icon that stays (added again when the shell
// lost it), an add for one switched on, a delete for one switched off.
TEST_F(TrayIconTest, AnUpdateReachesTheShellAsOneCall) {
  struct Case {
    const char* what;
    bool activeBefore;
    int failModifies;
    std::function<void(TTrayIconF&)> change;
    std::vector<DWORD> calls;
    const char* tip;  // of the last call
    COLORREF icon = kGreen;
  };
  const auto offAndOn = [](TTrayIconF& t) {
    t.SetActive(false);
    t.SetIcon(SolidIcon(kGreen).get());
    t.SetToolTip("new");
    t.SetActive(true);
  };
  const Case cases[] = {
      {"off and on with a new look", true, 0, offAndOn, {NIM_MODIFY}, "new"},
      {"off and on alone", true, 0,
       [](TTrayIconF& t) {
         t.SetActive(false);
         t.SetActive(true);
       },
       {NIM_MODIFY}, "old", kRed},
      {"nothing", true, 0, [](TTrayIconF&) {}, {}, nullptr},
      {"a new tooltip", true, 0, [](TTrayIconF& t) { t.SetToolTip("new"); }, {NIM_MODIFY}, "new", kRed},
      {"switched on", false, 0, offAndOn, {NIM_ADD}, "new"},
      {"switched off", true, 0, [](TTrayIconF& t) { t.SetActive(false); }, {NIM_DELETE}, "old", kRed},
      {"off and on, lost by the shell", true, 1, offAndOn, {NIM_MODIFY, NIM_DELETE, NIM_ADD}, "new"},
      {"off and on in an inner update", true, 0,
       [&](TTrayIconF& t) {
         const TTrayIconF::Update inner(t);
         offAndOn(t);
       },
       {NIM_MODIFY}, "new"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FakeShell recorder;
    TTrayIconF tray({}, &recorder, kFastRetry);
    tray.SetIcon(SolidIcon(kRed).get());
    tray.SetToolTip("old");
    tray.SetActive(k.activeBefore);
    recorder.calls.clear();
    recorder.failModifies = k.failModifies;
    {
      const TTrayIconF::Update update(tray);
      k.change(tray);
      EXPECT_TRUE(recorder.calls.empty()) << "nothing before the update ends";
    }
    std::vector<DWORD> calls;
    for (const auto& c : recorder.calls) calls.push_back(c.message);
    EXPECT_EQ(calls, k.calls);
    if (k.tip) {
      EXPECT_EQ(recorder.Last().Tip(), k.tip);
      EXPECT_EQ(recorder.Last().iconColour, k.icon);
      EXPECT_TRUE(recorder.Last().result);
    }
  }
}

TEST_F(TrayIconTest, TooltipKeepsItsFirst62Characters) {
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("x");
  tray.SetActive(true);
  const std::string seventy = "Today : 1 lovely. 1 birth. 1 work. 1 rel/off. 1 feest. 1 other. 123456";
  ASSERT_EQ(seventy.size(), 70u);
  tray.SetToolTip(seventy);
  EXPECT_EQ(tray.ToolTip(), seventy.substr(0, 62));
  const auto& modify = shell.Last();
  EXPECT_EQ(modify.message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(modify.flags, static_cast<UINT>(NIF_ICON | NIF_TIP));
  EXPECT_EQ(modify.Tip(), seventy.substr(0, 62));
  EXPECT_EQ(modify.tipBytes[62], '\0');
  EXPECT_EQ(modify.tipBytes[63], '\0');

  tray.SetToolTip(seventy.substr(0, 62));
  EXPECT_EQ(tray.ToolTip(), seventy.substr(0, 62)) << "62 characters stay whole";
  tray.SetToolTip("short");
  EXPECT_EQ(shell.Last().Tip(), "short") << "no bytes of the longer tooltip remain";
}

TEST_F(TrayIconTest, WritesWhileInactiveReachTheNextAdd) {
  TTrayIconF tray({}, &shell, kFastRetry);
  auto red = SolidIcon(kRed);
  auto green = SolidIcon(kGreen);
  tray.SetIcon(red.get());
  tray.SetToolTip("first");
  tray.SetIcon(green.get());
  tray.SetToolTip("second");
  EXPECT_TRUE(shell.calls.empty());
  tray.SetActive(true);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.Last().Tip(), "second");
  EXPECT_EQ(shell.Last().iconColour, kGreen);

  tray.SetActive(false);
  tray.SetToolTip("third");
  tray.SetActive(true);
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(shell.Last().Tip(), "third");
}

TEST_F(TrayIconTest, IconWriteWhileActiveModifiesTheIconAlone) {
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetActive(true);
  auto green = SolidIcon(kGreen);
  tray.SetIcon(green.get());
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(shell.Last().flags, static_cast<UINT>(NIF_ICON));
  EXPECT_EQ(shell.Last().icon, tray.Icon());
  EXPECT_EQ(CentreColour(tray.Icon()), kGreen);

  // Writing the component's own icon back changes nothing.
  HICON own = tray.Icon();
  tray.SetIcon(own);
  EXPECT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(tray.Icon(), own);
}

TEST_F(TrayIconTest, AnimateIsRefusedWithoutFramesOrWhileInactive) {
  TTrayIconF tray({}, &shell, kFastRetry);
  auto yellow = SolidIcon(kYellow);
  tray.SetIcon(yellow.get());
  tray.SetToolTip("tip");
  tray.SetActive(true);
  const HICON before = tray.Icon();
  const auto callsBefore = shell.calls.size();

  tray.SetAnimate(true);  // no image list
  EXPECT_FALSE(tray.Animate());
  ImageList empty(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1));
  tray.SetImages(empty.get());
  tray.SetAnimate(true);  // an empty one
  EXPECT_FALSE(tray.Animate());

  auto frames = FramesOf({kRed, kGreen});
  tray.SetImages(frames.get());
  tray.SetActive(false);
  tray.SetAnimate(true);  // inactive
  EXPECT_FALSE(tray.Animate());
  EXPECT_EQ(tray.Icon(), before);
  EXPECT_EQ(shell.calls.size(), callsBefore + 1) << "only the delete";
  PumpFor(100);
  EXPECT_EQ(shell.calls.size(), callsBefore + 1) << "no frame timer runs";
}

// The colours of the icon modifies sent so far, from index `from` on.
std::vector<COLORREF> ModifiedColours(const FakeShell& shell, size_t from) {
  std::vector<COLORREF> colours;
  for (size_t i = from; i < shell.calls.size(); ++i) {
    if (shell.calls[i].message == NIM_MODIFY && shell.calls[i].flags == NIF_ICON) {
      colours.push_back(shell.calls[i].iconColour);
    }
  }
  return colours;
}

TEST_F(TrayIconTest, AnimationStartsAtFrameOneWrapsAndPutsTheIconBack) {
  TTrayIconF tray({}, &shell, kFastRetry);
  auto yellow = SolidIcon(kYellow);
  tray.SetIcon(yellow.get());
  tray.SetToolTip("tip");
  tray.SetActive(true);
  auto frames = FramesOf({kRed, kGreen, kBlue});
  tray.SetImages(frames.get());
  tray.SetAnimateInterval(15);
  const size_t start = shell.calls.size();

  tray.SetAnimate(true);
  ASSERT_TRUE(tray.Animate());
  ASSERT_TRUE(PumpUntil([&] { return ModifiedColours(shell, start).size() >= 4; }));
  tray.SetAnimate(false);
  auto colours = ModifiedColours(shell, start);
  colours.resize(4);
  EXPECT_EQ(colours, (std::vector<COLORREF>{kGreen, kBlue, kRed, kGreen}));

  EXPECT_FALSE(tray.Animate());
  EXPECT_EQ(CentreColour(tray.Icon()), kYellow);
  EXPECT_EQ(shell.Last().iconColour, kYellow);
  const size_t afterStop = shell.calls.size();
  PumpFor(100);
  EXPECT_EQ(shell.calls.size(), afterStop) << "the frame timer stopped";

  tray.SetAnimate(false);
  EXPECT_EQ(shell.calls.size(), afterStop) << "switching off twice changes nothing";
  EXPECT_EQ(CentreColour(tray.Icon()), kYellow);
}

TEST_F(TrayIconTest, AnimationOfOneImageShowsThatImageAtTheNewInterval) {
  TTrayIconF tray({}, &shell, kFastRetry);
  auto yellow = SolidIcon(kYellow);
  tray.SetIcon(yellow.get());
  tray.SetToolTip("tip");
  tray.SetActive(true);
  auto frames = FramesOf({kBlue});
  tray.SetImages(frames.get());
  tray.SetAnimateInterval(60000);
  const size_t start = shell.calls.size();
  tray.SetAnimate(true);
  tray.SetAnimateInterval(15);  // takes effect on the running animation
  ASSERT_TRUE(PumpUntil([&] { return !ModifiedColours(shell, start).empty(); }));
  EXPECT_EQ(ModifiedColours(shell, start).front(), kBlue);

  // The image list going away ends the animation with the old icon back.
  tray.SetImages(nullptr);
  EXPECT_FALSE(tray.Animate());
  EXPECT_EQ(tray.Images(), nullptr);
  EXPECT_EQ(CentreColour(tray.Icon()), kYellow);
}

TEST_F(TrayIconTest, AnimateIntervalKeepsItsValueForZeroOrLess) {
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetAnimateInterval(1000);
  tray.SetAnimateInterval(0);
  EXPECT_EQ(tray.AnimateInterval(), 1000);
  tray.SetAnimateInterval(-5);
  EXPECT_EQ(tray.AnimateInterval(), 1000);
  tray.SetAnimateInterval(250);
  EXPECT_EQ(tray.AnimateInterval(), 250);
}

TEST_F(TrayIconTest, MouseMessagesOfTheIconReachTheirEvents) {
  TTrayIconF tray({}, &shell, kFastRetry);
  int clicks = 0, doubleClicks = 0, rightClicks = 0;
  TTrayIconF* sender = nullptr;
  TrayMouseButton button = TrayMouseButton::Left;
  POINT reported{-1, -1};
  tray.OnClick = [&](TTrayIconF& s) { ++clicks; sender = &s; };
  tray.OnDblClick = [&](TTrayIconF&) { ++doubleClicks; };
  tray.OnRightClick = [&](TTrayIconF&, TrayMouseButton b, TrayShiftState shift, int x, int y) {
    ++rightClicks;
    button = b;
    EXPECT_EQ(shift, kTrayShiftNone);
    reported = {x, y};
  };

  SendMouse(tray, WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(sender, &tray);
  SendMouse(tray, WM_LBUTTONDBLCLK);
  EXPECT_EQ(doubleClicks, 1);
  SetCursorPos(123, 45);
  POINT cursor{};
  GetCursorPos(&cursor);
  SendMouse(tray, WM_RBUTTONUP);
  EXPECT_EQ(rightClicks, 1);
  EXPECT_EQ(button, TrayMouseButton::Right);
  EXPECT_EQ(reported.x, cursor.x);
  EXPECT_EQ(reported.y, cursor.y);

  for (UINT other : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONUP}) {
    SendMouse(tray, other);
  }
  EXPECT_EQ(clicks + doubleClicks + rightClicks, 3);

  // With neither a menu nor a handler a right click does nothing.
  tray.OnRightClick = nullptr;
  SendMouse(tray, WM_RBUTTONUP);
  EXPECT_EQ(rightClicks, 1);
  EXPECT_TRUE(shell.calls.empty());
}

// Enter or Space on the icon selected with the keyboard is a click, Shift+F10
// or the menu key a right click; what the shell tells once more after a
// mouse click counts once.
TEST_F(TrayIconTest, TheKeyboardOnTheIconActsAsTheMouse) {
  struct Case {
    const char* what;
    std::vector<UINT> messages;
    int clicks, rightClicks;
  };
  const Case cases[] = {
      {"Enter or Space", {NIN_KEYSELECT}, 1, 0},
      {"Enter twice, as the shell sends it", {NIN_KEYSELECT, NIN_KEYSELECT}, 2, 0},
      {"Enter on an icon the mouse selected", {NIN_SELECT}, 1, 0},
      {"a left click and its selection", {WM_LBUTTONDOWN, WM_LBUTTONUP, NIN_SELECT}, 1, 0},
      {"Shift+F10 or the menu key", {WM_CONTEXTMENU}, 0, 1},
      {"a right click and its menu request", {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTrayIconF tray({}, &shell, kFastRetry);
    int clicks = 0, rightClicks = 0;
    tray.OnClick = [&](TTrayIconF&) { ++clicks; };
    tray.OnRightClick = [&](TTrayIconF&, TrayMouseButton, TrayShiftState, int, int) { ++rightClicks; };
    for (const UINT m : c.messages) SendMouse(tray, m);
    EXPECT_EQ(clicks, c.clicks);
    EXPECT_EQ(rightClicks, c.rightClicks);
  }
  // The shell is told the version that sends these, after each add.
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetActive(true);
  ASSERT_EQ(shell.Count(NIM_ADD), 1);
  ASSERT_EQ(shell.versions.size(), 1u);
  EXPECT_EQ(shell.versions[0], (std::pair<UINT, UINT>{shell.Last().id, NOTIFYICON_VERSION}));
}

// The menu loop runs inside the right click; this timer closes the menu
// once it has seen it open.
bool menuSeenOpen = false;
void CALLBACK CloseMenuOnceOpen(HWND, UINT, UINT_PTR, DWORD) {
  HWND menuWindow = FindWindowA("#32768", nullptr);
  if (menuWindow && IsWindowVisible(menuWindow)) menuSeenOpen = true;
  EndMenu();
}

TEST_F(TrayIconTest, RightClickShowsThePopupMenuBeforeTheEvent) {
  TTrayIconF tray({}, &shell, kFastRetry);
  auto owner = test::TopLevelWindow(false);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "Show Calendar");
  tray.PopupMenu = {menu, owner.get()};

  menuSeenOpen = false;
  const UINT_PTR closer = SetTimer(nullptr, 0, 30, &CloseMenuOnceOpen);
  bool seenAtEvent = false;
  tray.OnRightClick = [&](TTrayIconF&, TrayMouseButton, TrayShiftState, int, int) { seenAtEvent = menuSeenOpen; };
  SendMouse(tray, WM_RBUTTONUP);
  KillTimer(nullptr, closer);
  DestroyMenu(menu);
  EXPECT_TRUE(seenAtEvent) << "the event comes after the menu has been shown and closed";
}

// Presses Escape once the menu has opened, as a keyboard does (through
// the system's input, wherever the keyboard focus is); ends the menu after
// a timeout so that a menu deaf to Escape fails the test instead of hanging it.
struct EscapeOnceOpen : widgets::MenuOwnerHook {
  static inline bool opened = false, pressed = false, timedOut = false;
  static inline DWORD openedAt = 0;
  bool OwnerMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == WM_INITMENUPOPUP && !opened) {
      opened = true;
      openedAt = GetTickCount();
    }
    return false;
  }
  void MenuDestroyed(widgets::TPopupMenu&) override {}
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!opened) return;
    if (!pressed) {
      pressed = true;
      keybd_event(VK_ESCAPE, static_cast<BYTE>(MapVirtualKeyA(VK_ESCAPE, 0)), 0, 0);
      keybd_event(VK_ESCAPE, static_cast<BYTE>(MapVirtualKeyA(VK_ESCAPE, 0)), KEYEVENTF_KEYUP, 0);
    } else if (GetTickCount() - openedAt > 5000) {
      timedOut = true;
      EndMenu();
    }
  }
};

TEST_F(TrayIconTest, EscapeClosesTheMenuWhileAnotherProgramHasTheKeyboard) {
  TTrayIconF tray({}, &shell, kFastRetry);
  widgets::TPopupMenu menu;
  menu.Add({.caption = "Show Calendar"});
  EscapeOnceOpen escape;
  menu.AddOwnerHook(escape);
  tray.PopupMenu = {menu.Handle(), menu.Owner()};
  bool closed = false;
  tray.OnRightClick = [&](TTrayIconF&, TrayMouseButton, TrayShiftState, int, int) { closed = true; };

  for (int round = 0; round < 3; ++round) {
    // The shell's tray window is another program's and keeps the keyboard
    // focus after the click on the icon.
    const test::OtherThreadWindow shellWindow(10, 100 + 40 * round);
    ASSERT_TRUE(PumpUntil([&] { return shellWindow.Ready() && GetForegroundWindow() == shellWindow.Handle(); }));
    EscapeOnceOpen::opened = EscapeOnceOpen::pressed = EscapeOnceOpen::timedOut = false;
    closed = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &EscapeOnceOpen::Tick);
    SendMouse(tray, WM_RBUTTONUP);  // returns when the menu has closed
    KillTimer(nullptr, timer);
    EXPECT_TRUE(EscapeOnceOpen::opened) << round;
    EXPECT_TRUE(EscapeOnceOpen::pressed) << round;
    EXPECT_FALSE(EscapeOnceOpen::timedOut) << "Escape did not close the menu, round " << round;
    EXPECT_TRUE(closed) << round;
  }
  menu.RemoveOwnerHook(escape);
}

class TrayApplicationTest : public TrayIconTest {
 protected:
  test::Window main = test::TopLevelWindow(true);
  test::Window taskbar = test::TopLevelWindow(true);
  std::function<void()> onMinimize;
  int previousMinimizes = 0;

  TrayApplication App() {
    onMinimize = [this] { ++previousMinimizes; };
    TrayApplication app;
    app.mainWindow = [this] { return main.get(); };
    app.taskbarWindow = [this] { return taskbar.get(); };
    app.onMinimize = &onMinimize;
    return app;
  }
};

TEST_F(TrayApplicationTest, DefaultDoubleClickBringsTheApplicationBack) {
  TTrayIconF tray(App(), &shell, kFastRetry);
  tray.SetToolTip("tip");
  SendMouse(tray, WM_LBUTTONDBLCLK);  // inactive: nothing to restore
  EXPECT_TRUE(shell.calls.empty());

  tray.SetActive(true);
  ShowWindow(main.get(), SW_HIDE);
  ShowWindow(taskbar.get(), SW_HIDE);
  SendMouse(tray, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(main.get()));
  EXPECT_TRUE(IsWindowVisible(taskbar.get()));
  EXPECT_FALSE(tray.Active());
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_DELETE));

  // A handler of the form replaces the default.
  int own = 0;
  tray.OnDblClick = [&](TTrayIconF&) { ++own; };
  tray.SetActive(true);
  SendMouse(tray, WM_LBUTTONDBLCLK);
  EXPECT_EQ(own, 1);
  EXPECT_TRUE(tray.Active());
}

TEST_F(TrayApplicationTest, MinimisingSendsTheApplicationToTheTrayAfterThePreviousHandler) {
  TTrayIconF tray(App(), &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetMinimizeApp(true);
  onMinimize();
  EXPECT_EQ(previousMinimizes, 1);
  EXPECT_FALSE(IsWindowVisible(main.get()));
  EXPECT_FALSE(IsWindowVisible(taskbar.get()));
  EXPECT_TRUE(tray.Active());
  EXPECT_EQ(shell.Count(NIM_ADD), 1);

  // Already in the tray: only the previous handler runs.
  ShowWindow(main.get(), SW_SHOW);
  onMinimize();
  EXPECT_EQ(previousMinimizes, 2);
  EXPECT_TRUE(IsWindowVisible(main.get()));
  EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(TrayApplicationTest, MinimisingWithoutMinimizeAppOnlyRunsThePreviousHandler) {
  TTrayIconF tray(App(), &shell, kFastRetry);
  onMinimize();
  EXPECT_EQ(previousMinimizes, 1);
  EXPECT_TRUE(IsWindowVisible(main.get()));
  EXPECT_FALSE(tray.Active());
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayApplicationTest, MinimisingBeforeTheMainWindowExistsKeepsItHidden) {
  TrayApplication app = App();
  app.mainWindow = [] { return HWND{}; };
  int keptHidden = 0;
  app.keepMainWindowHidden = [&] { ++keptHidden; };
  TTrayIconF tray(app, &shell, kFastRetry);
  tray.SetMinimizeApp(true);
  onMinimize();
  EXPECT_EQ(keptHidden, 1);
  EXPECT_TRUE(tray.Active());
}

TEST_F(TrayApplicationTest, MinimiseHandlerOutlivesTheComponentSafely) {
  {
    TTrayIconF tray(App(), &shell, kFastRetry);
    tray.SetMinimizeApp(true);
  }
  onMinimize();  // the slot still holds the tray's handler
  EXPECT_EQ(previousMinimizes, 1);
  EXPECT_TRUE(IsWindowVisible(main.get()));
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheIconAgainWithItsCurrentLook) {
  TTrayIconF tray({}, &shell, kFastRetry);
  SendMessageA(tray.Handle(), TaskbarCreated(), 0, 0);
  EXPECT_TRUE(shell.calls.empty()) << "nothing to add while inactive";

  tray.SetToolTip("old");
  tray.SetActive(true);
  auto green = SolidIcon(kGreen);
  tray.SetIcon(green.get());
  tray.SetToolTip("Today : 2 work. ");
  const size_t before = shell.calls.size();

  SendMessageA(tray.Handle(), TaskbarCreated(), 0, 0);
  ASSERT_EQ(shell.calls.size(), before + 2);
  EXPECT_EQ(shell.calls[before].message, static_cast<DWORD>(NIM_DELETE));
  const auto& add = shell.Last();
  EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.flags, kAllAddFlags);
  EXPECT_EQ(add.callback, TrayCallbackMessage());
  EXPECT_EQ(add.icon, tray.Icon());
  EXPECT_EQ(add.iconColour, kGreen);
  EXPECT_EQ(add.Tip(), "Today : 2 work. ");
  EXPECT_TRUE(tray.Active());
}

TEST_F(TrayIconTest, BroadcastTaskbarCreatedReachesTheHiddenWindow) {
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetActive(true);
  ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, TaskbarCreated(), 0, 0));
  EXPECT_TRUE(PumpUntil([&] { return shell.Count(NIM_ADD) == 2; }, 5000));
}

TEST_F(TrayIconTest, FailedFirstAddIsRetriedUntilTheShellTakesIt) {
  shell.failAdds = 2;
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return shell.Last().message == NIM_ADD && shell.Last().result; }));
  EXPECT_EQ(shell.Count(NIM_ADD), 3);
  // Each retry first takes away an icon the shell may still hold.
  EXPECT_EQ(shell.Count(NIM_DELETE), 2);
  EXPECT_EQ(shell.Last().Tip(), "tip");
  PumpFor(150);
  EXPECT_EQ(shell.Count(NIM_ADD), 3) << "no retry after success";
}

TEST_F(TrayIconTest, RetriesAreBoundedAndTaskbarCreatedStillAdds) {
  shell.failAdds = 100;
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return shell.Count(NIM_ADD) == 1 + kFastRetry.attempts; }));
  PumpFor(200);
  EXPECT_EQ(shell.Count(NIM_ADD), 1 + kFastRetry.attempts);

  shell.failAdds = 0;
  SendMessageA(tray.Handle(), TaskbarCreated(), 0, 0);
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(shell.Last().result);
}

TEST_F(TrayIconTest, TaskbarCreatedEndsTheRetries) {
  shell.failAdds = 1;
  TTrayIconF tray({}, &shell, TrayRetry{60000, 3});
  tray.SetToolTip("tip");
  tray.SetActive(true);
  SendMessageA(tray.Handle(), TaskbarCreated(), 0, 0);
  EXPECT_TRUE(shell.Last().result);
  EXPECT_EQ(shell.Count(NIM_ADD), 2);
}

TEST_F(TrayIconTest, SwitchingOffStopsTheRetries) {
  shell.failAdds = 100;
  TTrayIconF tray({}, &shell, kFastRetry);
  tray.SetToolTip("tip");
  tray.SetActive(true);
  tray.SetActive(false);
  PumpFor(150);
  EXPECT_EQ(shell.Count(NIM_ADD), 1);
  EXPECT_EQ(shell.Count(NIM_DELETE), 1);
}

TEST_F(TrayIconTest, DestroyingTakesAShownIconAway) {
  {
    TTrayIconF tray({}, &shell, kFastRetry);
    tray.SetToolTip("tip");
  }
  EXPECT_TRUE(shell.calls.empty());
  HWND hidden = nullptr;
  {
    TTrayIconF tray({}, &shell, kFastRetry);
    tray.SetToolTip("tip");
    tray.SetActive(true);
    hidden = tray.Handle();
  }
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(shell.Last().window, hidden);
  EXPECT_FALSE(IsWindow(hidden));
}

// The real shell: Wine's notification area under the test display.
TEST(TrayIconShellTest, RealShellTakesAddModifyAndDelete) {
  SystemShellNotify system;
  FakeShell recorder(&system);
  TTrayIconF tray({}, &recorder);
  tray.SetIcon(LoadIconA(nullptr, IDI_APPLICATION));
  tray.SetToolTip("Redoviri tray test");
  tray.SetActive(true);
  ASSERT_EQ(recorder.calls.size(), 1u);
  EXPECT_TRUE(recorder.Last().result) << "NIM_ADD";
  PumpFor(100);

  tray.SetToolTip("Well, no event for today...");
  EXPECT_EQ(recorder.Last().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_TRUE(recorder.Last().result) << "NIM_MODIFY";
  // The shell's taskbar window, which received the icon (Wine's explorer
  // creates one as well).
  EXPECT_NE(FindWindowA("Shell_TrayWnd", nullptr), nullptr);

  tray.SetActive(false);
  EXPECT_EQ(recorder.Last().message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_TRUE(recorder.Last().result) << "NIM_DELETE";
  tray.SetToolTip("after delete");
  EXPECT_EQ(recorder.calls.size(), 3u) << "no call while inactive";
}

TEST_F(TrayIconTest, ABalloonCarriesTitleAndTextWithTheInformationIconOnlyWhileActive) {
  TTrayIconF tray({}, &shell, kFastRetry);
  EXPECT_FALSE(tray.ShowBalloon("Redoviri by DUZOVU", "09:30 Dentist")) << "no icon, no balloon";
  EXPECT_TRUE(shell.balloons.empty());
  tray.SetActive(true);
  ASSERT_TRUE(tray.ShowBalloon("Redoviri by DUZOVU", "09:30 Dentist\n+2 more"));
  // A text longer than the record holds is cut, not overrun.
  ASSERT_TRUE(tray.ShowBalloon(std::string(80, 't'), std::string(300, 'x')));
  ASSERT_EQ(shell.balloons.size(), 2u);
  EXPECT_EQ(shell.balloons[0], (test::ShellBalloon{shell.calls.back().id, NOTIFYICONDATAA_V2_SIZE,
                                                   "Redoviri by DUZOVU", "09:30 Dentist\n+2 more", NIIF_INFO}));
  EXPECT_EQ(shell.balloons[1].title, std::string(63, 't'));
  EXPECT_EQ(shell.balloons[1].text, std::string(255, 'x'));
  // The icon's own record is untouched: its next change is the first layout's.
  tray.SetToolTip("Today : 1 lovely. ");
  EXPECT_EQ(shell.calls.back().size, kTrayRecordSize);
  EXPECT_EQ(shell.calls.back().Tip(), "Today : 1 lovely. ");
}

}  // namespace
}  // namespace redoviri
