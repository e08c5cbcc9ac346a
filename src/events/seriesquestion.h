// The question when a day of a repeating event is changed or deleted: only
// that day, that day and the following ones, or every day, each with what
// it does. It shows over the window that asks and takes the keyboard, with
// "Only that day" focused: Enter takes the focused choice, Tab goes to the
// next, Escape and the corner boxes cancel. `answered` gets the choice, or
// none for a cancel, after the window went.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "events/eventrecord.h"
#include "events/listpresenter.h"
#include "widgets/widgets.h"

namespace redoviri {

class TSeriesQuestion : public widgets::FormWindow {
 public:
  explicit TSeriesQuestion(widgets::HintManager* hints);
  ~TSeriesQuestion();

  void Ask(HWND owner, const SeriesQuestion& question, std::function<void(std::optional<SeriesScope>)> answered);
  void Answer(std::optional<SeriesScope> scope);

 private:
  friend struct test::WindowAccess;
  struct Controls;

  std::function<void(std::optional<SeriesScope>)> answered_;
  HWND owner_ = nullptr;
  std::unique_ptr<Controls> c_;
};

}  // namespace redoviri
