// The animated show and hide with real windows and the real step timer, and
// the window shaper with its stored data.
#include "components/SmoothShow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "components/FormShaper.h"
#include "support/win32_test_support.h"

namespace redoviri {
namespace {

using test::PumpUntil;

// A plain top-level window to animate or shape.
class TestWindow {
 public:
  TestWindow(int left, int top, int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RedoviriSmoothTest";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, "RedoviriSmoothTest", "", WS_POPUP, left, top, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~TestWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// The window's region: ERROR when it has none, else its bounding box.
struct RegionState {
  int type;
  RECT box;
};
RegionState RegionOf(HWND w) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  RegionState s{GetWindowRgn(w, r), {}};
  if (s.type != ERROR) GetRgnBox(r, &s.box);
  DeleteObject(r);
  return s;
}

TEST(SmoothShow, StartsWithItsDesignValues) {
  TSmoothShow s;
  EXPECT_EQ(s.Color(), RGB(0, 0, 0));
  EXPECT_EQ(s.BorderWidth(), 1);
  EXPECT_EQ(s.Delay(), 50);
  EXPECT_TRUE(s.Enabled());
  EXPECT_EQ(s.MinLocation(), mlCenter);
  EXPECT_EQ(s.MinWidth(), 27);
  EXPECT_EQ(s.MinHeight(), 27);
  EXPECT_EQ(s.MaxLocation(), xlDefault);
  EXPECT_EQ(s.MaxLeft(), 100);
  EXPECT_EQ(s.MaxWidth(), 127);
  EXPECT_FALSE(s.Reverse());
  EXPECT_EQ(s.Control(), nullptr);
}

TEST(SmoothShow, StepsAccelerateToTheEndInTenFrames) {
  std::vector<int> steps{0};
  while (steps.back() < 100) steps.push_back(NextSmoothStep(steps.back()));
  EXPECT_EQ(steps, (std::vector<int>{0, 2, 5, 9, 15, 24, 38, 59, 90, 100}));

  // Each number moves by its own share, truncated towards the start.
  const SmoothRect from{512, 384, 0, 0}, to{100, 50, 353, 311};
  EXPECT_EQ(SmoothRectAt(from, to, 0), from);
  EXPECT_EQ(SmoothRectAt(from, to, 100), to);
  EXPECT_EQ(SmoothRectAt(from, to, 59), (SmoothRect{512 - 243, 384 - 197, 208, 183}));
  EXPECT_EQ(SmoothRectAt(to, from, 2), (SmoothRect{108, 56, 346, 305}));
}

TEST(SmoothShow, SmallAndLargeRectanglesByLocation) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  TestWindow w(40, 30, 200, 150);
  TSmoothShow s(w.get());
  const struct {
    TMinLoc at;
    SmoothRect want;
  } mins[] = {{mlCenter, {sw / 2, sh / 2, 0, 0}},     {mlTopLeft, {0, 0, 0, 0}},
              {mlTopRight, {sw, 0, 0, 0}},           {mlBottomLeft, {0, sh, 0, 0}},
              {mlBottomRight, {sw, sh, 0, 0}},       {mlCustom, {7, 8, 27, 27}}};
  s.SetMinLeft(7);
  s.SetMinTop(8);
  for (const auto& m : mins) {
    s.SetMinLocation(m.at);
    EXPECT_EQ(s.MinRect(), m.want) << m.at;
  }
  EXPECT_EQ(s.MaxRect(), (SmoothRect{40, 30, 200, 150})) << "the window's own place";
  s.SetMaxLocation(xlCustom);
  EXPECT_EQ(s.MaxRect(), (SmoothRect{100, 100, 127, 127}));
  s.SetMaxLocation(xlDefault);
  s.SetControl(nullptr);
  EXPECT_EQ(s.MaxRect(), (SmoothRect{100, 100, 127, 127})) << "no window: the custom rectangle";
}

TEST(SmoothShow, HollowFrameIsTheBorderOnlyOrAllOfASmallRectangle) {
  const struct {
    int w, h, border;
    POINT inside;  // a point of the middle
    bool middleIsFrame;
  } cases[] = {{100, 80, 1, {50, 40}, false},
               {100, 80, 5, {50, 40}, false},
               {10, 80, 5, {5, 40}, true},   // half the width: no inside left
               {10, 8, 6, {5, 4}, true},     // more than half
               {3, 3, 1, {1, 1}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " border " << c.border);
    widgets::OwnedRegion r = HollowFrameRegion(c.w, c.h, c.border);
    EXPECT_TRUE(PtInRegion(r.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(r.get(), c.w - 1, c.h - 1));
    EXPECT_EQ(PtInRegion(r.get(), c.inside.x, c.inside.y) != 0, c.middleIsFrame);
    EXPECT_FALSE(PtInRegion(r.get(), c.w, c.h)) << "nothing outside the rectangle";
  }
}

TEST(SmoothShow, ShowGrowsAFrameThenGivesTheWindowItsOutlineBack) {
  TestWindow w(200, 150, 300, 200);
  TSmoothShow s(w.get());
  s.SetColor(RGB(0, 255, 0));
  s.SetBorderWidth(3);
  std::vector<std::string> events;
  s.OnFinishing = [&](TSmoothShow& sender) {
    events.push_back("finishing");
    EXPECT_NE(sender.FrameWindow(), nullptr) << "the frame is still there";
    EXPECT_EQ(RegionOf(w.get()).type, NULLREGION) << "the window still has no outline";
  };
  s.OnFinish = [&](TSmoothShow& sender) {
    events.push_back("finish");
    EXPECT_FALSE(sender.Animating());
    EXPECT_EQ(sender.FrameWindow(), nullptr);
  };

  s.Execute();
  ASSERT_TRUE(s.Animating());
  EXPECT_EQ(s.Percent(), 2) << "the first step runs at once";
  EXPECT_EQ(RegionOf(w.get()).type, NULLREGION) << "invisible while the frame runs";
  HWND frame = s.FrameWindow();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_TRUE(GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT r;
  GetWindowRect(frame, &r);
  EXPECT_EQ(r.right - r.left, 0) << "the first frame is the small rectangle";

  // Another Execute while running changes nothing.
  s.SetReverse(true);
  s.Execute();
  EXPECT_EQ(s.FrameWindow(), frame);
  EXPECT_EQ(s.Percent(), 2);
  s.SetReverse(false);

  // The frame: its sizes grow, its middle is open.
  s.Step();
  s.Step();  // p = 5
  GetWindowRect(frame, &r);
  EXPECT_EQ(r.right - r.left, 300 * 5 / 100);
  s.Step();
  s.Step();
  s.Step();
  s.Step();  // p = 38
  GetWindowRect(frame, &r);
  const int fw = r.right - r.left, fh = r.bottom - r.top;
  EXPECT_EQ(fw, 300 * 38 / 100);
  HRGN fr = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(frame, fr), ERROR);
  EXPECT_TRUE(PtInRegion(fr, 1, 1));
  EXPECT_FALSE(PtInRegion(fr, fw / 2, fh / 2));
  EXPECT_FALSE(PtInRegion(fr, 3, 3)) << "three pixels thick";
  DeleteObject(fr);

  ASSERT_TRUE(PumpUntil([&] { return !s.Animating(); }));
  EXPECT_EQ(events, (std::vector<std::string>{"finishing", "finish"}));
  EXPECT_EQ(RegionOf(w.get()).type, ERROR) << "a window without a region has none after";
  EXPECT_FALSE(IsWindow(frame)) << "the frame is gone";
}

TEST(SmoothShow, ReverseShrinksToTheCentreAndKeepsAWindowsOwnOutline) {
  TestWindow w(100, 100, 240, 180);
  SetWindowRgn(w.get(), CreateEllipticRgn(0, 0, 240, 180), FALSE);
  TSmoothShow s(w.get());
  s.SetReverse(true);
  std::vector<SmoothRect> seen;
  s.Execute();
  while (s.Animating()) {
    RECT r;
    GetWindowRect(s.FrameWindow(), &r);
    seen.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    EXPECT_EQ(RegionOf(w.get()).type, NULLREGION);
    s.Step();
  }
  // Ten frames: nine seen before the step at 100 percent, which ends it.
  ASSERT_EQ(seen.size(), 9u);
  EXPECT_EQ(seen.front(), (SmoothRect{100, 100, 240, 180})) << "from the window";
  EXPECT_EQ(seen.back(), (SmoothRect{100 + (GetSystemMetrics(SM_CXSCREEN) / 2 - 100) * 90 / 100,
                                     100 + (GetSystemMetrics(SM_CYSCREEN) / 2 - 100) * 90 / 100, 24, 18}));
  const RegionState after = RegionOf(w.get());
  EXPECT_EQ(after.type, COMPLEXREGION) << "the ellipse is back";
  HRGN ellipse = CreateEllipticRgn(0, 0, 240, 180);
  RECT box;
  GetRgnBox(ellipse, &box);
  DeleteObject(ellipse);
  EXPECT_EQ(after.box.right, box.right);
}

TEST(SmoothShow, NothingRunsWhenDisabledOrWithoutAWindow) {
  TestWindow w(10, 10, 50, 50);
  TSmoothShow off(w.get());
  off.SetEnabled(false);
  int finished = 0;
  off.OnFinish = [&](TSmoothShow&) { ++finished; };
  off.Execute();
  EXPECT_FALSE(off.Animating());
  EXPECT_EQ(RegionOf(w.get()).type, ERROR) << "the window untouched";

  TSmoothShow none;
  none.OnFinish = [&](TSmoothShow&) { ++finished; };
  none.Execute();
  EXPECT_FALSE(none.Animating());

  // A window destroyed is a window no longer animated.
  TSmoothShow orphan;
  {
    TestWindow gone(10, 10, 50, 50);
    orphan.SetControl(gone.get());
  }
  EXPECT_EQ(orphan.Control(), nullptr);
  orphan.Execute();
  EXPECT_FALSE(orphan.Animating());
  EXPECT_EQ(finished, 0);
}

TEST(SmoothShow, GoingMidWayGivesTheWindowItsOutlineBack) {
  TestWindow w(10, 10, 80, 60);
  HWND frame = nullptr;
  {
    TSmoothShow s(w.get());
    s.Execute();
    frame = s.FrameWindow();
    ASSERT_EQ(RegionOf(w.get()).type, NULLREGION);
  }
  EXPECT_EQ(RegionOf(w.get()).type, ERROR);
  EXPECT_FALSE(IsWindow(frame));
}

// ---------------------------------------------------------------- Shaper

// The stored form: a little-endian byte count, then the data.
std::vector<std::uint8_t> Stream(const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> s(4 + data.size());
  for (std::size_t i = 0; i < 4; ++i) s[i] = static_cast<std::uint8_t>(data.size() >> (8 * i));
  std::copy(data.begin(), data.end(), s.begin() + 4);
  return s;
}

std::vector<std::uint8_t> TwoRectangles() {
  HRGN a = CreateRectRgn(10, 0, 90, 20);
  HRGN b = CreateRectRgn(0, 20, 100, 60);
  CombineRgn(a, a, b, RGN_OR);
  std::vector<std::uint8_t> data = RegionDataOf(a);
  DeleteObject(a);
  DeleteObject(b);
  return data;
}

TEST(FormShaper, StoredDataRoundTripsAndBecomesTheOutline) {
  const std::vector<std::uint8_t> data = TwoRectangles();
  ASSERT_EQ(data.size(), 32u + 2 * 16u);
  TestWindow w(0, 0, 100, 60);
  TFormShaper shaper(w.get());
  ASSERT_TRUE(shaper.LoadFormShape(Stream(data)));
  EXPECT_EQ(shaper.Shape(), data);
  EXPECT_EQ(shaper.SaveFormShape(), Stream(data)) << "what is loaded is stored back unchanged";
  EXPECT_EQ(RegionOf(w.get()).type, ERROR) << "loading alone shapes nothing";

  shaper.SetActive(true);
  EXPECT_TRUE(shaper.Active());
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(w.get(), r), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(r, 5, 5)) << "the cut corner";
  EXPECT_TRUE(PtInRegion(r, 50, 5));
  EXPECT_TRUE(PtInRegion(r, 5, 40));
  DeleteObject(r);

  // Active again: nothing happens; off: always rectangular.
  SetWindowRgn(w.get(), CreateRectRgn(0, 0, 10, 10), FALSE);
  shaper.SetActive(true);
  EXPECT_EQ(RegionOf(w.get()).box.right, 10) << "an active shaper is not applied again";
  shaper.SetActive(false);
  EXPECT_FALSE(shaper.Active());
  EXPECT_EQ(RegionOf(w.get()).type, ERROR);
  shaper.SetActive(false);
  EXPECT_EQ(RegionOf(w.get()).type, ERROR);
}

TEST(FormShaper, WithoutDataOrWindowActiveChangesNothing) {
  TestWindow w(0, 0, 100, 60);
  TFormShaper empty(w.get());
  empty.SetActive(true);
  EXPECT_FALSE(empty.Active());
  EXPECT_EQ(RegionOf(w.get()).type, ERROR);
  EXPECT_TRUE(empty.SaveFormShape().empty()) << "nothing stored without data";

  TFormShaper noWindow;
  noWindow.SetShape(TwoRectangles());
  noWindow.SetActive(true);
  EXPECT_FALSE(noWindow.Active());

  // ControlToShape: deactivates first, then shapes the new window.
  TestWindow other(0, 0, 100, 60);
  TFormShaper s(w.get());
  ASSERT_TRUE(s.LoadFormShape(Stream(TwoRectangles())));
  s.SetActive(true);
  s.SetControlToShape(other.get());
  EXPECT_FALSE(s.Active());
  EXPECT_EQ(RegionOf(w.get()).type, ERROR);
  s.SetActive(true);
  EXPECT_EQ(RegionOf(other.get()).type, COMPLEXREGION);
}

TEST(FormShaper, AnEmptyStreamRemovesTheShapeAndABrokenOneIsRefused) {
  TestWindow w(0, 0, 100, 60);
  TFormShaper s(w.get());
  ASSERT_TRUE(s.LoadFormShape(Stream(TwoRectangles())));
  s.SetActive(true);
  ASSERT_TRUE(s.LoadFormShape({}));
  EXPECT_TRUE(s.Shape().empty());
  EXPECT_FALSE(s.Active());
  EXPECT_EQ(RegionOf(w.get()).type, ERROR);

  std::vector<std::uint8_t> good = Stream(TwoRectangles());
  std::vector<std::uint8_t> shortCount = good;
  shortCount.resize(shortCount.size() - 1);  // the count says more than there is
  std::vector<std::uint8_t> badHeader = good;
  badHeader[4] = 31;  // header size
  std::vector<std::uint8_t> tooManyRects = good;
  tooManyRects[4 + 8] = 3;  // three rectangles claimed, two there
  for (const auto* bad : {&shortCount, &badHeader, &tooManyRects}) {
    EXPECT_FALSE(s.LoadFormShape(*bad));
    EXPECT_TRUE(s.Shape().empty()) << "a refused stream changes nothing";
  }
}

}  // namespace
}  // namespace redoviri
