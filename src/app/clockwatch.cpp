#include "app/clockwatch.h"

#include <utility>

namespace redoviri {

ClockWatch::ClockWatch(UINT lookIntervalMs, std::function<void()> look,
                       std::function<std::chrono::milliseconds()> confirmStamp)
    : FormWindow({.caption = "Redoviri clock", .clientWidth = 1, .clientHeight = 1, .borderless = true,
                  .taskbarButton = false}),
      look_(std::move(look)),
      confirmStamp_(std::move(confirmStamp)),
      lookTimer_(GetForm().AddTimer({.interval = lookIntervalMs, .enabled = false, .onTimer = [this] { Look(); }})),
      stampTimer_(GetForm().AddTimer({.interval = 60, .enabled = false, .onTimer = [this] { StampTimerTimer(); }})) {
  // A laptop opened the next morning, or a clock set by hand, shows the
  // new day and the notices due at once rather than within the interval.
  GetForm().onResume = [this] { if (watching_) Look(); };
  GetForm().onTimeChange = [this] { if (watching_) Look(); };
}

void ClockWatch::Start() {
  watching_ = true;
  lookTimer_.SetEnabled(true);
}

void ClockWatch::Stop() {
  watching_ = false;
  lookTimer_.SetEnabled(false);
  stampTimer_.SetEnabled(false);
}

void ClockWatch::Look() {
  ++looks_;
  if (look_) look_();
}

void ClockWatch::ConfirmStampLater(std::chrono::milliseconds wait) {
  stampTimer_.SetInterval(static_cast<UINT>(wait.count()));
  stampTimer_.SetEnabled(true);
}

void ClockWatch::StampTimerTimer() {
  stampTimer_.SetEnabled(false);
  const std::chrono::milliseconds wait = confirmStamp_ ? confirmStamp_() : std::chrono::milliseconds(0);
  if (wait.count() > 0) ConfirmStampLater(wait);
}

}  // namespace redoviri
