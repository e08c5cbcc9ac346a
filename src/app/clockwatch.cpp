#include "app/clockwatch.h"

#include <utility>

namespace redoviri {

namespace {
constexpr UINT kLookAfterFolderChangeMs = 250;
}  // namespace

ClockWatch::ClockWatch(UINT lookIntervalMs, std::function<void()> look,
                       std::function<std::chrono::milliseconds()> confirmStamp)
    : FormWindow({.caption = "Redoviri clock", .clientWidth = 1, .clientHeight = 1, .borderless = true,
                  .taskbarButton = false}),
      look_(std::move(look)),
      confirmStamp_(std::move(confirmStamp)),
      lookTimer_(GetForm().AddTimer({.interval = lookIntervalMs, .enabled = false, .onTimer = [this] { Look(); }})),
      stampTimer_(GetForm().AddTimer({.interval = 60, .enabled = false, .onTimer = [this] { StampTimerTimer(); }})),
      soonTimer_(GetForm().AddTimer({.interval = kLookAfterFolderChangeMs, .enabled = false, .onTimer = [this] {
        soonTimer_.SetEnabled(false);
        if (watching_) Look();
      }})) {
  // A laptop opened the next morning, or a clock set by hand, shows the
  // new day and the notices due at once rather than within the interval.
  GetForm().onResume = [this] { if (watching_) Look(); };
  GetForm().onTimeChange = [this] { if (watching_) Look(); };
  // A burst of changes (a writer's pieces) brings one look.
  GetForm().onWake = [this] { soonTimer_.SetEnabled(true); };
}

ClockWatch::~ClockWatch() { StopWatchingFolder(); }

void ClockWatch::WatchFolder(const std::string& folder) {
  StopWatchingFolder();
  // A write shows in its time, a replace in the names; not the size too:
  // under Wine a watch of the size costs a rewrite of a large file some
  // 200 ms of notices.
  folderChange_ = FindFirstChangeNotificationA(folder.c_str(), FALSE,
                                               FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (folderChange_ == INVALID_HANDLE_VALUE) return;
  stopWatching_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stopWatching_) {
    StopWatchingFolder();
    return;
  }
  folderWatcher_ = std::thread([this, change = folderChange_, stop = stopWatching_] {
    const HANDLE waits[2] = {stop, change};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
      GetForm().PostWake();
      if (!FindNextChangeNotification(change)) break;
    }
  });
}

void ClockWatch::StopWatchingFolder() {
  if (stopWatching_) SetEvent(stopWatching_);
  if (folderWatcher_.joinable()) folderWatcher_.join();
  if (stopWatching_) CloseHandle(std::exchange(stopWatching_, nullptr));
  if (folderChange_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(std::exchange(folderChange_, INVALID_HANDLE_VALUE));
}

void ClockWatch::Start() {
  watching_ = true;
  lookTimer_.SetEnabled(true);
}

void ClockWatch::Stop() {
  watching_ = false;
  StopWatchingFolder();
  lookTimer_.SetEnabled(false);
  stampTimer_.SetEnabled(false);
  soonTimer_.SetEnabled(false);
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
