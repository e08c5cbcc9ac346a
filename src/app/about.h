// The about window ABOU: a framed night sky with the program's name and a
// small bird that flaps across it while the window is open.
#pragma once

#include <cstdint>

#include <array>
#include <functional>

#include "components/SmoothShow.h"
#include "widgets/widgets.h"

namespace redoviri {

// R(n): a random integer 0..n-1 (n > 0).
using RandomBelow = std::function<int(int n)>;

// A random source seeded from the clock, for the program.
RandomBelow ClockSeededRandom();

class TABOU : public widgets::FormWindow {
 public:
  TABOU(widgets::HintManager* hints, RandomBelow random);
  ~TABOU();

  // The about command: the window at the centre of the screen, the bird
  // flying from where it was left.
  void ShowCentred();

  // The bird stops and the window goes.
  void Close();
  // Whether showing and hiding animate (always, until the program ends).
  void SetAnimated(bool on);
  // Milliseconds between the animation's steps.
  void SetAnimationDelay(std::uint16_t ms);

  // Shows the main window once the about window is closed (the application
  // wires it).
  std::function<void()> showMainWindow;

  // Hooks of the window's show and hide.
  void FormShow();
  void FormHide();
  // Every 300 ms while open: the next frame of the bird.
  void Timer1Timer();
  // The close boxes: the bird stops, the window goes, the main window comes.
  void Panel2Click();

 private:
  friend struct test::WindowAccess;

  RandomBelow random_;
  widgets::Image* Image1 = nullptr;  // wings up
  widgets::Image* Image2 = nullptr;  // wings down
  widgets::Timer* Timer1 = nullptr;
  std::array<widgets::Panel*, 4> closeBoxes_{};
  TSmoothShow SmoothShow1;
};

}  // namespace redoviri
