#include "components/SmoothShow.h"

#include <stdexcept>

namespace redoviri {

using namespace widgets;

widgets::OwnedRegion HollowFrameRegion(int width, int height, int border) {
  OwnedRegion outer(CreateRectRgn(0, 0, width, height));
  // A border of half the size or more leaves no inside: the whole rectangle
  // is the frame (CreateRectRgn would turn an inverted inside around).
  if (width - 2 * border <= 0 || height - 2 * border <= 0) return outer;
  OwnedRegion inner(CreateRectRgn(border, border, width - border, height - border));
  CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF);
  return outer;
}

namespace {

// A 96-DPI rectangle at dpi, its edges scaled.
SmoothRect ScaledRect(const SmoothRect& r, int dpi) {
  const RECT edges = widgets::Scale(RECT{r.left, r.top, r.left + r.width, r.top + r.height}, dpi);
  return {edges.left, edges.top, edges.right - edges.left, edges.bottom - edges.top};
}

}  // namespace

// The coloured frame: a borderless top-most window that never takes the
// activation, painted in one colour, with the step timer.
class TSmoothShow::Frame : public MessageWindow {
 public:
  Frame(TSmoothShow& owner, COLORREF colour) : owner_(owner), brush_(CreateSolidBrush(colour)) {
    if (!Create(kWidgetClass, {.style = WS_POPUP,
                               .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                               .width = 0,
                               .height = 0}))
      throw std::runtime_error("the animation's frame window cannot be created");
  }
  ~Frame() override { StopTimer(); }
  void StartTimer(UINT ms) { SetTimer(Handle(), kStepTimer, ms, nullptr); }
  void StopTimer() {
    if (Handle()) KillTimer(Handle(), kStepTimer);
  }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, brush_.get());
        return 1;
      }
      case WM_PAINT: {
        PaintDC dc(Handle());
        return 0;
      }
      case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
      case WM_TIMER:
        if (wp == kStepTimer) {
          owner_.Step();
          return 0;
        }
        break;
      default:
        break;
    }
    return DefaultProc(msg, wp, lp);
  }

 private:
  static constexpr UINT_PTR kStepTimer = 1;
  TSmoothShow& owner_;
  OwnedBrush brush_;
};

TSmoothShow::TSmoothShow(HWND control) : control_(control) {}

TSmoothShow::~TSmoothShow() {
  // Going mid-way: the window gets its outline back, nobody is told.
  if (animating_) {
    frame_.reset();
    if (animated_ && IsWindow(animated_)) SetWindowRgn(animated_, hadRegion_ ? savedRegion_.release() : nullptr, FALSE);
  }
}

HWND TSmoothShow::Control() const { return control_ && IsWindow(control_) ? control_ : nullptr; }

void TSmoothShow::SetControl(HWND control) {
  if (animating_ || control == control_) return;
  control_ = control;
}

HWND TSmoothShow::FrameWindow() const { return frame_ ? frame_->Handle() : nullptr; }

int TSmoothShow::Dpi() const { return widgets::DpiOf(Control()); }

SmoothRect TSmoothShow::MinRect() const {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  switch (minLocation_) {
    case mlCenter: return {sw / 2, sh / 2, 0, 0};
    case mlTopLeft: return {0, 0, 0, 0};
    case mlTopRight: return {sw, 0, 0, 0};
    case mlBottomLeft: return {0, sh, 0, 0};
    case mlBottomRight: return {sw, sh, 0, 0};
    case mlCustom: break;
  }
  return ScaledRect({minLeft_, minTop_, minWidth_, minHeight_}, Dpi());
}

SmoothRect TSmoothShow::MaxRect() const {
  if (maxLocation_ == xlDefault) {
    if (HWND control = Control()) {
      POINT origin{0, 0};
      ClientToScreen(control, &origin);
      RECT r;
      GetWindowRect(control, &r);
      return {origin.x, origin.y, r.right - r.left, r.bottom - r.top};
    }
  }
  return ScaledRect({maxLeft_, maxTop_, maxWidth_, maxHeight_}, Dpi());
}

void TSmoothShow::Execute() {
  HWND control = Control();
  if (animating_ || !control || !enabled_) return;
  animating_ = true;
  animated_ = control;
  start_ = reverse_ ? MaxRect() : MinRect();
  end_ = reverse_ ? MinRect() : MaxRect();
  border_ = BorderPixels();
  frame_ = std::make_unique<Frame>(*this, color_);
  // The window's own outline is kept aside; an empty one hides it.
  savedRegion_.reset(CreateRectRgn(0, 0, 0, 0));
  hadRegion_ = GetWindowRgn(control, savedRegion_.get()) != ERROR;
  if (!hadRegion_) savedRegion_.reset();
  SetWindowRgn(control, CreateRectRgn(0, 0, 0, 0), TRUE);
  GetWindowRect(control, &placed_);
  p_ = 0;
  frame_->StartTimer(delay_);
  Step();
}

void TSmoothShow::Step() {
  if (!animating_ || !frame_) return;
  const SmoothRect r = SmoothRectAt(start_, end_, p_);
  HWND frame = frame_->Handle();
  SetWindowPos(frame, HWND_TOPMOST, r.left, r.top, r.width, r.height, SWP_NOACTIVATE);
  SetWindowRgn(frame, HollowFrameRegion(r.width, r.height, border_).release(), TRUE);
  if (!IsWindowVisible(frame)) ShowWindow(frame, SW_SHOWNA);
  RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  if (p_ >= 100) {
    Finish();
    return;
  }
  p_ = NextSmoothStep(p_);
}

void TSmoothShow::Finish() {
  frame_->StopTimer();
  if (OnFinishing) OnFinishing(*this);
  frame_.reset();
  if (IsWindow(animated_)) {
    // The system owns a region once it is the window's; none gives the
    // plain rectangle back.
    SetWindowRgn(animated_, hadRegion_ ? savedRegion_.release() : nullptr, TRUE);
    // The window appears where the frame grew to, also when a window
    // manager moved it while it had no outline.
    RECT now{};
    GetWindowRect(animated_, &now);
    if (!reverse_ && (now.left != placed_.left || now.top != placed_.top))
      SetWindowPos(animated_, nullptr, placed_.left, placed_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  savedRegion_.reset();
  animated_ = nullptr;
  animating_ = false;
  if (OnFinish) OnFinish(*this);
}

}  // namespace redoviri
