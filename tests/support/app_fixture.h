// The application assembled with stand-ins for the clock (Friday 14
// February 2003, 10:42:07), the event file, the notification area and the
// message boxes, for the tests of the windows working together.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/application.h"
#include "base/monthgrid.h"
#include "components/fake_shell.h"
#include "events/fake_filesystem.h"
#include "support/win32_test_support.h"

namespace redoviri::test {

inline constexpr const char* kPath = "c:\\program files\\Redoviri by DUZOVU\\Redoviri.ini";
inline constexpr LocalDateTime kNow{{2003, 2, 14}, {10, 42, 7}};

// Takes a posted quit message out of the queue; true when there was one.
inline bool QuitPosted() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

class AppTest : public ::testing::Test {
 protected:
  // The event file holds these lines (none: there is no file).
  void Start(const std::vector<std::string>& lines) {
    if (!lines.empty()) {
      std::string bytes = "Redoviri by DUZOVU event file\r\n";
      for (const std::string& line : lines) bytes += line + "\r\n";
      files->files[kPath] = bytes;
      files->folders.insert("c:\\program files\\Redoviri by DUZOVU");
    }
    StartWith(std::move(ownedFiles), kPath);
  }

  // The program on a file system of its own, its event file at `path`.
  void StartWith(std::unique_ptr<FileSystem> fileSystem, const std::string& path) {
    ApplicationSetup setup;
    auto fixedClock = std::make_unique<FixedClock>(kNow);
    clock = fixedClock.get();
    setup.clock = std::move(fixedClock);
    setup.locale = EnglishDateLocale(monthFirst);
    // The user's settings are never read: a test that changes them says
    // what they become.
    setup.readLocale = [this] {
      ++localeReads;
      return readLocale ? readLocale() : EnglishDateLocale(monthFirst);
    };
    setup.files = std::move(fileSystem);
    setup.eventFilePath = path;
    setup.shell = &shell;
    if (!messageBoxes) {
      setup.showError = [this](const std::string& m) { errors.push_back(m); };
      setup.showInfo = [this](const std::string& m) { infos.push_back(m); };
      setup.confirm = [this](const std::string& q) {
        questions.push_back(q);
        return answer;
      };
      // A day of a series: Yes is every day.
      setup.askSeries = [this](const SeriesQuestion& q) {
        questions.push_back(q.lead);
        return answer ? std::optional<SeriesScope>(SeriesScope::kEveryDay) : std::nullopt;
      };
    }
    setup.playSound = [this] { ++sounds; };
    setup.random = [this](int n) {
      randomBounds.push_back(n);
      if (randomDraws.empty()) return 0;
      const int r = randomDraws.front();
      randomDraws.erase(randomDraws.begin());
      return r;
    };
    setup.animationDelayMs = animationDelayMs;
    setup.noticeLookMs = noticeLookMs;
    app = std::make_unique<Application>(std::move(setup));
  }

  void TearDown() override {
    app.reset();
    PumpPending();
    QuitPosted();  // a Quit of the test must not end the next one
  }

  int TodayCell() const { return MonthPlacement(2003, 2).CellOfDay(14); }

  std::unique_ptr<testing::FakeFileSystem> ownedFiles = std::make_unique<testing::FakeFileSystem>();
  testing::FakeFileSystem* files = ownedFiles.get();
  test::FakeShell shell;
  std::vector<std::string> errors;
  std::vector<std::string> infos;
  std::vector<std::string> questions;
  bool answer = true;       // to every question
  // The program's own message boxes instead of the records above.
  bool messageBoxes = false;
  bool monthFirst = true;  // the date order of the locale
  // The regional settings as read after a change (none: as at the start).
  std::function<DateLocale()> readLocale;
  int localeReads = 0;
  int sounds = 0;  // reminder sounds played
  // The about window's chance: R(n) gives these in turn (then 0) and
  // records each n.
  std::vector<int> randomDraws;
  std::vector<int> randomBounds;
  FixedClock* clock = nullptr;  // the program's, once started
  // The pace of the windows' animations: as quick as the timers allow,
  // unless a test of the animations asks for their own pace (none).
  std::optional<std::uint16_t> animationDelayMs = 0;
  // Between two looks for due events.
  UINT noticeLookMs = kLookIntervalMs;
  std::unique_ptr<Application> app;
};

}  // namespace redoviri::test
