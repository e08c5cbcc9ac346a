// Event lines and stores for the reminder tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "events/eventlist.h"
#include "events/fake_filesystem.h"

namespace redoviri::testing {

// An event line as the editor builds it. `flags` holds "Y"/"N" for each
// year, each month, only once and each N days, in that order.
inline std::string EventLine(std::string_view mmddyyyy, EventCategory category, std::string_view flags,
                             std::string_view name = "x", std::string_view dayCount = "0",
                             std::string_view comment = "") {
  EventRecord r;
  r.month = std::string(mmddyyyy.substr(0, 2));
  r.day = std::string(mmddyyyy.substr(2, 2));
  r.year = std::string(mmddyyyy.substr(4, 4));
  r.time = "10:00";
  r.category = category;
  r.recurrence = {flags[0] == 'Y', flags[1] == 'Y', flags[2] == 'Y', flags[3] == 'Y'};
  r.dayCount = dayCount;
  r.name = name;
  r.comment = comment;
  const BuiltLine built = BuildEventLine(r);
  EXPECT_TRUE(built.ok()) << built.error;
  return built.line;
}

// The line with another stored time of day ("hh:nn", or anything five
// characters long a hand-edited file may hold).
inline std::string AtTime(std::string line, std::string_view time) {
  EXPECT_EQ(time.size(), static_cast<std::size_t>(kTimeField.length));
  line.replace(static_cast<std::size_t>(kTimeField.position - 1), static_cast<std::size_t>(kTimeField.length), time);
  return line;
}

// A store loaded from an event file holding the given lines.
class TestStore {
 public:
  explicit TestStore(const std::vector<std::string>& lines) {
    std::string bytes = "reserved\r\n";
    for (const std::string& line : lines) bytes += line + "\r\n";
    fs_.files["Redoviri.ini"] = bytes;
    EXPECT_TRUE(list_.LoadEvents().ok());
  }
  TestStore(const TestStore&) = delete;
  TestStore& operator=(const TestStore&) = delete;

  const EventList& list() const { return list_; }
  // The event file's bytes.
  const std::string& bytes() const { return fs_.files.at("Redoviri.ini"); }

 private:
  FakeFileSystem fs_;
  EventList list_{EventFile{"Redoviri.ini", fs_}};
};

}  // namespace redoviri::testing
