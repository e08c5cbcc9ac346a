// Waiting for the event store to trust its file's stamp again after a
// write, as it does once the stamp's resolution has passed.
#pragma once

#include <chrono>
#include <thread>

#include "events/eventlist.h"

namespace redoviri::test {

// Asks the store to look at its file every few ms until it trusts the
// stamp, for up to `limit`. True once it does.
inline bool WaitForConfirmedStamp(EventList& list, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    list.ConfirmStamp();
    if (list.StampConfirmed()) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace redoviri::test
