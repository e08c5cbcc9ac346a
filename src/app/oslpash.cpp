#include "app/oslpash.h"

#include "app/application.h"

#include "components/window_frame.h"
#include "resources/resource_ids.h"

namespace redoviri {

using namespace widgets;

namespace {

// Its text is read by screen readers; nothing of it is drawn.
const FormDesc kSplashWindow{.caption = kApplicationTitle, .clientWidth = 238, .clientHeight = 178, .centered = true,
                             .colour = colours::Black, .borderless = true, .topmost = true,
                             .dragBySurface = false, .taskbarButton = false};

}  // namespace

TForm3::TForm3()
    : FormWindow(kSplashWindow),
      Image1(GetForm().Add<Image>({.left = -2, .top = 50, .width = 241, .height = 127},
                        {.picture = ResourcePicture(IDB_SPLASH)})),
      Timer1(GetForm().AddTimer({.interval = kShowMs, .enabled = true, .onTimer = [this] { Timer1Timer(); }})) {
  // The outline is the splash picture's shape, stored with the window.
  FormShaper1.SetControlToShape(Handle());
  FormShaper1.LoadFormShape(ResourceData(IDR_SPLASHSHAPE));
  FormShaper1.SetActive(true);
  // On a monitor of another scale the outline is the shape at that scale.
  GetForm().onDpiChanged = [this] { FormShaper1.SetDpi(GetForm().FormDpi()); };
}

void TForm3::Timer1Timer() {
  Timer1.SetEnabled(false);
  // The window goes, not the object: this runs inside the window's own
  // timer message.
  DestroyWindow(Handle());
}

}  // namespace redoviri
