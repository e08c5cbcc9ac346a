// The windows at the screen's resolution, run once per DPI (96, 120, 144 and
// 192: display scales of 100 to 200 %). The windows are laid out for a
// 96-DPI screen; at any other every window, control, day cell, outline,
// font and line is that layout scaled, and a window moved to a monitor of
// another scale (WM_DPICHANGED) is laid out again there.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "support/app_fixture.h"
#include "support/dpi.h"
#include "support/event_store.h"
#include "support/window_access.h"
#include "widgets/hint.h"

namespace redoviri {
namespace {

using Access = test::WindowAccess;
using test::AtRunDpi;
using test::RunDpi;
using widgets::Bitmap;
using widgets::Scale;

// Where a window lies in its parent's client area.
RECT RectInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(const RECT& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + "}";
}

// Every window of a form's widget tree at its layout scaled to dpi, and
// every windowed control with the font of that DPI.
void ExpectLaidOutAt(const widgets::Container& c, int dpi, const std::string& where) {
  for (const auto& child : c.Children()) {
    if (!child->IsWindowed()) continue;
    const auto& w = static_cast<const widgets::WindowedWidget&>(*child);
    const RECT want = Scale(w.GetBounds().Rect(), dpi);
    EXPECT_EQ(Text(RectInParent(w.Handle())), Text(want)) << where << ", a child at " << Text(w.GetBounds().Rect());
    if (const HFONT font = reinterpret_cast<HFONT>(SendMessageA(w.Handle(), WM_GETFONT, 0, 0))) {
      LOGFONTA lf{};
      GetObjectA(font, sizeof lf, &lf);
      EXPECT_EQ(lf.lfHeight, w.GetFont().LogicalHeight(dpi)) << where << ", the font of " << Text(w.GetBounds().Rect());
    }
    if (const auto* inner = dynamic_cast<const widgets::Container*>(&w)) ExpectLaidOutAt(*inner, dpi, where);
  }
}

// The rows from the first to past the last that hold a pixel of colour in
// the columns of r.
std::pair<int, int> InkRows(const std::vector<COLORREF>& pixels, int width, const RECT& r, COLORREF colour) {
  int first = -1, last = -1;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (pixels[static_cast<std::size_t>(y * width + x)] == colour) {
        if (first < 0) first = y;
        last = y;
      }
  return {first, last + 1};
}

// The height of a text's ink drawn black on white in a font.
int InkHeight(const widgets::Font& font, int dpi, const std::string& text) {
  const LOGFONTA lf = font.LogFont(dpi);
  const widgets::OwnedFont handle(CreateFontIndirectA(&lf));
  const int size = Scale(60, dpi);
  const Bitmap drawn = Bitmap::Draw(size, size, [&](HDC dc) {
    widgets::FillSolid(dc, {0, 0, size, size}, RGB(255, 255, 255));
    const widgets::ScopedSelect select(dc, handle.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 2, 2, text.c_str(), static_cast<int>(text.size()));
  });
  const auto [top, bottom] =
      InkRows(test::BitmapPixels(drawn.Handle(), size, size), size, {0, 0, size, size}, RGB(0, 0, 0));
  return bottom - top;
}

class DisplayScale : public test::AppTest {
 protected:
  void SetUp() override {
    Start({testing::EventLine("02202003", EventCategory::kBirthday, "YNNN", "Ann")});
    main = &app->Form1();
    main->Show();
    test::PumpPending();
  }

  TForm1Widgets& w() { return Access::Widgets(*main); }
  // The cell that shows a day of February 2003.
  int CellOf(int day) {
    for (int k = 1; k <= kDayCellCount; ++k)
      if (w().ld[k]->Caption() == std::to_string(day)) return k;
    ADD_FAILURE() << "no cell shows " << day;
    return 1;
  }

  TForm1* main = nullptr;
};

TEST_F(DisplayScale, TheProgramDrawsAtTheScreensResolution) {
  // The run's prefix was set to its resolution, and the process is aware
  // of it: otherwise every case below would check 96 DPI only.
  EXPECT_EQ(widgets::DpiOf(main->Handle()), RunDpi());
  EXPECT_EQ(Access::FormOf(*main).FormDpi(), RunDpi());
  EXPECT_EQ(GetDeviceCaps(widgets::WindowDC().get(), LOGPIXELSY), RunDpi());
}

TEST_F(DisplayScale, EveryWindowAndControlIsItsLayoutScaled) {
  struct Window {
    widgets::FormWindow& window;
    int width, height;  // the client area at 96 DPI
  };
  const Window windows[] = {{app->Form1(), 353, 311}, {app->Form2(), 405, 394}, {app->Form3(), 238, 178},
                            {app->Form4(), 301, 149}, {app->ABOU(), 416, 362},  {app->help(), 273, 194},
                            {app->Notice(), 420, 212}};
  for (const Window& e : windows) {
    const std::string name = std::to_string(e.width) + " x " + std::to_string(e.height);
    const SIZE client = test::ClientSizeOf(e.window.Handle());
    EXPECT_EQ(client.cx, AtRunDpi(e.width)) << name;
    EXPECT_EQ(client.cy, AtRunDpi(e.height)) << name;
    ExpectLaidOutAt(Access::FormOf(e.window), RunDpi(), name);
  }
  // A few of the calendar's by their numbers: the month chooser, the
  // month field and the grid.
  EXPECT_EQ(Text(RectInParent(w().StringGrid1->Handle())), Text(AtRunDpi(RECT{19, 65, 205, 309})));
  EXPECT_EQ(Text(RectInParent(w().calp->Handle())), Text(AtRunDpi(w().calp->GetBounds().Rect())));
}

TEST_F(DisplayScale, EveryWindowShowsInsideTheWorkAreaMovedNeverCut) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (widgets::FormWindow* window : std::initializer_list<widgets::FormWindow*>{
           &app->Form1(), &app->Form2(), &app->Form4(), &app->ABOU(), &app->help()}) {
    widgets::Form& form = Access::FormOf(*window);
    form.Hide();
    form.Show();
    RECT r{};
    GetWindowRect(form.Handle(), &r);
    EXPECT_GE(r.left, work.left) << form.Caption();
    EXPECT_GE(r.top, work.top) << form.Caption();
    if (r.bottom - r.top <= work.bottom - work.top) EXPECT_LE(r.bottom, work.bottom) << form.Caption();
    if (r.right - r.left <= work.right - work.left) EXPECT_LE(r.right, work.right) << form.Caption();
    form.Hide();
  }
}

TEST_F(DisplayScale, AFieldsTextSitsInTheMiddleOfItsBox) {
  const SIZE client = test::ClientSizeOf(main->Handle());
  const std::vector<COLORREF> shot = Access::RenderedPixels(*main, client);
  RECT field{};
  GetWindowRect(w().Edit1->Handle(), &field);  // the month's name
  MapWindowPoints(nullptr, main->Handle(), reinterpret_cast<POINT*>(&field), 2);
  InflateRect(&field, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
  const auto [top, bottom] = InkRows(shot, client.cx, field, RGB(0, 0, 0));
  ASSERT_LT(top, bottom) << "the month's name";
  EXPECT_LE(std::abs((top - field.top) - (field.bottom - bottom)), AtRunDpi(3));
}

TEST_F(DisplayScale, DayCellsTileTheGridAtTheScaleWithTheirFramesAndNumbers) {
  const SIZE client = test::ClientSizeOf(main->Handle());
  const std::vector<COLORREF> shot = Access::RenderedPixels(*main, client);
  POINT grid{0, 0};
  MapWindowPoints(w().calp->Handle(), main->Handle(), &grid, 1);
  const int line = Scale(1, RunDpi());
  // The 14th is today: its colour fills its cell inside the frame, whose
  // lines are the layout's pixels scaled; neighbours share one line, as
  // wide as every other line of the grid.
  const int today = CellOf(14);
  const RECT layout = w().pd[today]->GetBounds().Rect();
  RECT inner = AtRunDpi(RECT{layout.left + 1, layout.top + 1, layout.right - 1, layout.bottom - 1});
  OffsetRect(&inner, grid.x, grid.y);
  RECT around = inner;
  InflateRect(&around, 2 * line + 2, 2 * line + 2);
  const auto [top, bottom] = InkRows(shot, client.cx, around, TodayColour);
  EXPECT_EQ(top, inner.top);
  EXPECT_EQ(bottom, inner.bottom);
  auto at = [&](int x, int y) { return shot[static_cast<std::size_t>(y * client.cx + x)]; };
  const int middle = (inner.top + inner.bottom) / 2;
  for (int k = 1; k < 7; ++k) {
    // Between cells k and k + 1 (both of the first row): one line.
    const int lineLeft = AtRunDpi(w().pd[k + 1]->GetBounds().left) + grid.x;
    const int lineRight = AtRunDpi(w().pd[k + 1]->GetBounds().left + 1) + grid.x;
    const int y = (w().pd[k]->DeviceRect().top + w().pd[k]->DeviceRect().bottom) / 2 + grid.y;
    EXPECT_NE(at(lineLeft - 1, y), RGB(0, 0, 0)) << k;
    for (int x = lineLeft; x < lineRight; ++x) EXPECT_EQ(at(x, y), RGB(0, 0, 0)) << k;
    EXPECT_NE(at(lineRight, y), RGB(0, 0, 0)) << k;
  }
  EXPECT_EQ(at(inner.left - 1, middle), RGB(0, 0, 0));
  EXPECT_EQ(at(inner.left, middle), TodayColour);

  // The day number's glyphs are drawn in the font of the screen's DPI:
  // as tall as the same digits drawn at that size, not at 96 DPI's.
  const int eight = CellOf(8);
  RECT number = w().ld[eight]->DeviceRect();
  OffsetRect(&number, grid.x, grid.y);
  InflateRect(&number, -2 * line, -2 * line);  // inside the frame
  const auto [inkTop, inkBottom] = InkRows(shot, client.cx, number, RGB(0, 0, 0));
  const widgets::Font font = w().ld[eight]->GetFont();
  EXPECT_EQ(inkBottom - inkTop, InkHeight(font, RunDpi(), "8"));
  EXPECT_NEAR(inkBottom - inkTop, InkHeight(font, 96, "8") * RunDpi() / 96.0, 1.5);
}

TEST_F(DisplayScale, TheMoonPictureIsTheOneDrawnForTheScale) {
  // February 2003 has a new and a full moon: their cells show the picture
  // drawn for the run's scale, pixel for pixel, at its natural size there.
  int k = 1;
  while (k < kDayCellCount && !w().moon[k]->Picture()) ++k;
  ASSERT_TRUE(w().moon[k]->Picture()) << "no moon in the month";
  const Bitmap drawn = w().moon[k]->Picture().AtDpi(RunDpi(), resources::kTransparentKey);
  EXPECT_EQ(drawn.Width(), AtRunDpi(16));
  const SIZE client = test::ClientSizeOf(main->Handle());
  const std::vector<COLORREF> shot = Access::RenderedPixels(*main, client);
  POINT at{w().moon[k]->DeviceRect().left, w().moon[k]->DeviceRect().top};
  MapWindowPoints(w().calp->Handle(), main->Handle(), &at, 1);
  int differing = 0, shown = 0;
  for (int y = 0; y < drawn.Height(); ++y)
    for (int x = 0; x < drawn.Width(); ++x) {
      const COLORREF want = drawn.Pixel(x, y);
      if (want == resources::kTransparentKey) continue;
      ++shown;
      if (shot[static_cast<std::size_t>((at.y + y) * client.cx + at.x + x)] != want) ++differing;
    }
  EXPECT_GT(shown, drawn.Width() * drawn.Height() / 3);
  EXPECT_EQ(differing, 0);
}

TEST_F(DisplayScale, AClickOnADayCellAtTheScaleSelectsThatDay) {
  // The middle of the 20th's cell, in the grid's pixels.
  const int cell = CellOf(20);
  const RECT r = w().pd[cell]->DeviceRect();
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(w().calp->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(w().calp->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(main->SelectedDayText(), "20");
}

TEST_F(DisplayScale, AClickOnAMonthInTheChooserAtTheScalePicksThatMonth) {
  main->SpeedButton5Click();
  ASSERT_TRUE(w().StringGrid1->Visible());
  // June's row (the sixth, 19 pixels each) in the grid's pixels.
  const LPARAM at = MAKELPARAM(AtRunDpi(90), AtRunDpi(5 * 19 + 10));
  SendMessageA(w().StringGrid1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(w().StringGrid1->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(main->Calendar1().Month(), 6);
  EXPECT_EQ(w().Edit1->Text(), "JUNE");
}

TEST_F(DisplayScale, AHintOverAWindowIsLaidOutAtItsDpi) {
  // Below the cursor by the scaled 20 pixels, as tall as a line of the
  // 8-point hint font at that DPI with its scaled margins and frame.
  widgets::StandardHintWindow hint;
  RECT calendar;
  GetWindowRect(main->Handle(), &calendar);
  const POINT cursor{calendar.left + AtRunDpi(100), calendar.top + AtRunDpi(100)};
  hint.Show("Choose your month calendar", cursor);
  RECT r;
  GetWindowRect(hint.Handle(), &r);
  EXPECT_EQ(r.top, cursor.y + AtRunDpi(20));
  const LOGFONTA lf = widgets::Font::Points("MS Sans Serif", 8).LogFont(RunDpi());
  const widgets::OwnedFont font(CreateFontIndirectA(&lf));
  const SIZE line = widgets::MeasureText(font.get(), "Choose your month calendar");
  EXPECT_EQ(r.bottom - r.top, line.cy + 2 * AtRunDpi(2) + 2);
  EXPECT_EQ(r.right - r.left, line.cx + 2 * AtRunDpi(3) + 2);
  hint.Hide();
}

TEST_F(DisplayScale, TheSplashOutlineIsTheStoredShapeScaled) {
  // The stored outline's bounds, in the region data's header.
  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_SPLASHSHAPE), MAKEINTRESOURCEA(10));  // RT_RCDATA
  ASSERT_NE(found, nullptr);
  // The stored stream: a 4-byte count, then the region data.
  const auto* stream = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  const widgets::OwnedRegion shape(
      ExtCreateRegion(nullptr, SizeofResource(module, found) - 4, reinterpret_cast<const RGNDATA*>(stream + 4)));
  RECT stored{};
  GetRgnBox(shape.get(), &stored);
  const HWND splash = app->Form3().Handle();
  const widgets::OwnedRegion outline(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(splash, outline.get()), COMPLEXREGION);
  RECT box{};
  GetRgnBox(outline.get(), &box);
  // A transform's rounding may move an edge by a pixel.
  EXPECT_NEAR(box.left, AtRunDpi(stored.left), 1);
  EXPECT_NEAR(box.top, AtRunDpi(stored.top), 1);
  EXPECT_NEAR(box.right, AtRunDpi(stored.right), 1);
  EXPECT_NEAR(box.bottom, AtRunDpi(stored.bottom), 1);
  EXPECT_TRUE(PtInRegion(outline.get(), AtRunDpi(120), AtRunDpi(120)));
  EXPECT_FALSE(PtInRegion(outline.get(), AtRunDpi(120), AtRunDpi(20))) << "nothing above the picture";
}

TEST_F(DisplayScale, AWindowMovedToAMonitorOfAnotherScaleIsLaidOutAgainThere) {
  struct Move {
    widgets::FormWindow& window;
    int width, height;
  };
  const std::vector<COLORREF> before = Access::RenderedPixels(*main, test::ClientSizeOf(main->Handle()));
  const int other = RunDpi() == 96 ? 168 : 96;
  for (const Move& m : {Move{app->Form1(), 353, 311}, Move{app->Form2(), 405, 394}, Move{app->Notice(), 420, 212}}) {
    const std::string name = std::to_string(m.width) + " x " + std::to_string(m.height);
    const HWND window = m.window.Handle();
    for (const int dpi : {other, RunDpi()}) {
      // The system suggests where the window goes: it takes the place.
      RECT suggested{40, 30, 40 + Scale(m.width, dpi), 30 + Scale(m.height, dpi)};
      SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      EXPECT_EQ(Access::FormOf(m.window).FormDpi(), dpi) << name;
      RECT placed;
      GetWindowRect(window, &placed);
      EXPECT_EQ(placed.left, 40) << name;
      EXPECT_EQ(placed.top, 30) << name;
      const SIZE client = test::ClientSizeOf(window);
      EXPECT_EQ(client.cx, Scale(m.width, dpi)) << name << " at " << dpi;
      EXPECT_EQ(client.cy, Scale(m.height, dpi)) << name << " at " << dpi;
      ExpectLaidOutAt(Access::FormOf(m.window), dpi, name + " at " + std::to_string(dpi));
    }
  }
  // Back at the run's scale the calendar draws the same pixels as before
  // the moves.
  EXPECT_TRUE(Access::RenderedPixels(*main, test::ClientSizeOf(main->Handle())) == before);
}

}  // namespace
}  // namespace redoviri
