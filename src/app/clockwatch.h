// The program's one clock: a hidden top-level window (the system's time
// and power broadcasts reach top-level windows only) whose timer looks at
// the clock every 15 seconds, and at once after a wake-up from sleep or a
// change of the system time or zone. Each look is the application model's.
// Beside it, a one-shot timer lets the event store confirm its file's stamp
// off the user's way after a write. A change in the event file's folder
// brings a look a moment later, rather than at the next 15-second look.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "widgets/widgets.h"

namespace redoviri {

class ClockWatch : public widgets::FormWindow {
 public:
  // `look` runs at each look; `confirmStamp` when the stamp can be
  // confirmed, returning how long to wait before asking again (zero: done).
  ClockWatch(UINT lookIntervalMs, std::function<void()> look,
             std::function<std::chrono::milliseconds()> confirmStamp);
  ~ClockWatch();
  // Watches the folder for changes of its files (none where the system
  // cannot: the looks every 15 s remain).
  void WatchFolder(const std::string& folder);

  // Looks from now on; Stop: no more looks (the program is going).
  void Start();
  void Stop();
  // After a write: the stamp is confirmed once a fine stamp's resolution
  // (some tens of milliseconds) has passed.
  void ConfirmStampLater(std::chrono::milliseconds wait = std::chrono::milliseconds(60));
  // How many times it has looked.
  std::size_t LookCount() const { return looks_; }

 private:
  friend struct test::WindowAccess;

  void Look();
  void StampTimerTimer();
  void StopWatchingFolder();

  std::function<void()> look_;
  std::function<std::chrono::milliseconds()> confirmStamp_;
  bool watching_ = false;
  std::size_t looks_ = 0;
  widgets::Timer& lookTimer_;
  widgets::Timer& stampTimer_;
  // One shot: the look after a change in the folder, once a writer has
  // had a moment to finish.
  widgets::Timer& soonTimer_;
  HANDLE folderChange_ = INVALID_HANDLE_VALUE;
  HANDLE stopWatching_ = nullptr;
  std::thread folderWatcher_;
};

}  // namespace redoviri
