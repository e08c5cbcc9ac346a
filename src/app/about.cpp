#include "app/about.h"

#include <chrono>
#include <random>

#include "app/application.h"
#include "components/window_frame.h"
#include "resources/resource_ids.h"

namespace redoviri {

using namespace widgets;

namespace {

constexpr int kWidth = 416, kHeight = 362;
constexpr int kFrame = 10;  // the bars' thickness
constexpr Bounds kBirdStart{232, 134, 83, 69};
// Past these the bird has left the sky and comes back somewhere at random.
constexpr int kBirdMaxTop = 342, kBirdMaxLeft = 397;
constexpr UINT kFlapMs = 300;

}  // namespace

RandomBelow ClockSeededRandom() {
  auto engine = std::make_shared<std::minstd_rand>(
      static_cast<std::minstd_rand::result_type>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return [engine](int n) { return std::uniform_int_distribution<int>(0, n - 1)(*engine); };
}

TABOU::TABOU(HintManager* hints, RandomBelow random)
    : FormWindow({.clientWidth = kWidth, .clientHeight = kHeight, .centered = true, .colour = colours::Black,
                  .borderless = true, .topmost = true, .hints = hints}),
      random_(std::move(random)) {
  Form& form = GetForm();
  // The borderless window's text, read by screen readers.
  form.SetCaption(kAboutCaption);
  form.Add<Image>({.left = kFrame, .top = kFrame, .width = kWidth - 2 * kFrame, .height = kHeight - 2 * kFrame},
                  {.picture = ResourcePicture(IDB_ABOUTBACK), .stretch = true});
  form.Add<Label>({.left = kFrame, .top = 150, .width = kWidth - 2 * kFrame, .height = 30,
                   .caption = kApplicationTitle, .font = Font::Arial(24).Bold(), .fontColour = colours::White},
                  {.align = Align::Center});
  const WindowFrame frame = AddWindowFrame(form, {.topHeight = kFrame,
                                                  .bottomHeight = kFrame,
                                                  .sideWidth = kFrame,
                                                  .topBoxHeight = 20,
                                                  .bottomBoxHeight = 20,
                                                  .bottomHint = "",
                                                  .onClose = [this] { Panel2Click(); }});
  closeBoxes_ = frame.close;
  // Two frames of one bird, always in one place, at most one of them seen.
  auto frameOf = [&](int pictureId) {
    return &form.Add<Image>({.left = kBirdStart.left, .top = kBirdStart.top, .width = kBirdStart.width,
                             .height = kBirdStart.height, .visible = false},
                            {.picture = ResourcePicture(pictureId), .transparent = true});
  };
  Image1 = frameOf(IDB_FIGURE1);
  Image2 = frameOf(IDB_FIGURE2);
  Timer1 = &form.AddTimer({.interval = kFlapMs, .enabled = false, .onTimer = [this] { Timer1Timer(); }});
  SmoothShow1.SetControl(Handle());
  SmoothShow1.SetColor(colours::Lime);
  form.onShow = [this] { FormShow(); };
  form.onHide = [this] { FormHide(); };
  // Nothing to type in: Enter and Escape close it, as a close box does.
  form.onEnter = [this] { Panel2Click(); };
  form.onEscape = [this] { Panel2Click(); };
}

TABOU::~TABOU() = default;

void TABOU::ShowCentred() {
  GetForm().CenterOnScreen();
  Show();
  SetForegroundWindow(Handle());
  Timer1->SetEnabled(true);
}

void TABOU::FormShow() {
  SmoothShow1.SetReverse(false);
  SmoothShow1.Execute();
}

void TABOU::FormHide() {
  SmoothShow1.SetReverse(true);
  SmoothShow1.Execute();
}

void TABOU::SetAnimated(bool on) { SmoothShow1.SetEnabled(on); }

void TABOU::SetAnimationDelay(std::uint16_t ms) { SmoothShow1.SetDelay(ms); }

void TABOU::Timer1Timer() {
  auto moveBy = [&](int down, int right) {
    Bounds b = Image1->GetBounds();
    b.top += down;
    b.left += right;
    Image1->SetBounds(b);
    Image2->SetBounds(b);
  };
  if (Image1->Visible()) {
    Image1->SetVisible(false);
    const Bounds b = Image1->GetBounds();
    if (b.top > kBirdMaxTop || b.left > kBirdMaxLeft) {
      const Bounds client = GetForm().GetBounds();
      const int top = random_(client.height), left = random_(client.width);
      moveBy(top - b.top, left - b.left);
    }
    const int down = random_(10), right = random_(10);
    moveBy(down, right);
    Image2->SetVisible(true);
  } else {
    Image2->SetVisible(false);
    const int down = random_(10), right = random_(5);
    moveBy(down, right);
    Image1->SetVisible(true);
  }
}

void TABOU::Close() {
  Timer1->SetEnabled(false);
  Hide();
}

void TABOU::Panel2Click() {
  Close();
  if (showMainWindow) showMainWindow();
}

}  // namespace redoviri
