// Event store and reminders over 1,000 to 100,000 events: loading the file,
// saving into it, importing into it, one marking pass of a month, one day
// listing and today's count, the month view's change of month.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "calendar/monthview.h"
#include "events/eventlist.h"
#include "reminders/daylisting.h"
#include "reminders/marking.h"
#include "reminders/notices.h"
#include "reminders/todayreminder.h"
#include "support/generated_events.h"
#include "support/store_wait.h"

namespace redoviri {
namespace {

namespace fsys = std::filesystem;

// The event file of n events, written once per size.
const std::string& EventFilePath(int n) {
  static std::map<int, std::string> paths;
  auto it = paths.find(n);
  if (it != paths.end()) return it->second;
  const fsys::path folder = fsys::temp_directory_path() / "redoviri_bench_events";
  fsys::create_directories(folder);
  const std::string path = (folder / ("events_" + std::to_string(n) + ".ini")).string();
  testing::WriteEventFile(path, n);
  return paths.emplace(n, path).first->second;
}

struct LoadedStore {
  std::unique_ptr<FileSystem> fs = MakeSystemFileSystem();
  EventList list;
  explicit LoadedStore(int n) : list(EventFile{EventFilePath(n), *fs}) {
    if (!list.LoadEvents().ok()) std::abort();
  }
};

// May 2003 as the month fill lays it out (Thursday the 1st), today the 10th.
MonthMarkInput May2003() {
  MonthMarkInput input{2003, 5, {}};
  for (int d = 1; d <= 31; ++d) input.cells[static_cast<std::size_t>(d + 2)] = {d, d == 10};
  return input;
}

void BM_LoadEvents(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto fs = MakeSystemFileSystem();
  EventFilePath(n);
  for (auto _ : state) {
    EventList list{EventFile{EventFilePath(n), *fs}};
    if (!list.LoadEvents().ok()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(list.EventCount());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// A copy of the event file of n events that a benchmark may write.
std::string WritableCopy(int n, const char* name) {
  const std::string copy = (fsys::path(EventFilePath(n)).parent_path() / (name + std::to_string(n) + ".ini")).string();
  fsys::copy_file(EventFilePath(n), copy, fsys::copy_options::overwrite_existing);
  fsys::remove(copy + ".lock");
  return copy;
}

// A line of its own for every save.
std::string SavedLine(std::int64_t i) { return testing::NumberedEventLine(i, "06", "15", "2003"); }

// What a save cost before the store checked the file: one line added at the
// end, flushed.
void BM_SaveBaseline(benchmark::State& state) {
  const std::string path = WritableCopy(static_cast<int>(state.range(0)), "baseline_");
  auto fs = MakeSystemFileSystem();
  std::int64_t i = 0;
  for (auto _ : state) {
    std::unique_ptr<WritableFile> file;
    const std::string bytes = SavedLine(i++) + "\r\n";
    if (!fs->OpenForAppend(path, file).ok() || !file->Write(bytes).ok() || !file->Flush().ok() ||
        !file->Close().ok()) {
      state.SkipWithError("append failed");
    }
  }
}

// Saves into a copy of the event file of n events, each after
// `beforeSave(list, path, i)` runs untimed; `reloads`: whether each save
// must find the file changed and load it first.
template <typename BeforeSave>
void TimeSaves(benchmark::State& state, const char* name, bool reloads, BeforeSave&& beforeSave) {
  const std::string path = WritableCopy(static_cast<int>(state.range(0)), name);
  auto fs = MakeSystemFileSystem();
  EventList list{EventFile{path, *fs}};
  if (!list.LoadEvents().ok()) std::abort();
  std::int64_t i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    beforeSave(list, path, i);
    state.ResumeTiming();
    const StoreResult r = list.AppendEvent(SavedLine(i++));
    if (!r.ok() || r.reloaded != reloads) state.SkipWithError("save failed, or reloaded when it should not (or not)");
  }
}

// A save into a file that did not change since the store's last save, made
// right after it: the lock, the stamp and (the last write being this recent)
// the content compared, then the append.
void BM_SaveUnchanged(benchmark::State& state) {
  TimeSaves(state, "save_", false, [](EventList&, const std::string&, std::int64_t) {});
}

// A save after the store confirmed the stamp of its last write (as the list
// window does in the user's pause after a save): the stamp alone tells.
void BM_SaveConfirmed(benchmark::State& state) {
  TimeSaves(state, "confirmed_", false, [&](EventList& list, const std::string&, std::int64_t) {
    if (!test::WaitForConfirmedStamp(list)) state.SkipWithError("the stamp was not confirmed");
  });
}

// A save after another program added a line to the file: the store loads
// the file again first.
void BM_SaveAfterOutsideChange(benchmark::State& state) {
  TimeSaves(state, "outside_", true, [](EventList&, const std::string& path, std::int64_t i) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << SavedLine(1'000'000 + i) << "\r\n";
  });
}

// An import of n events into a file of n events, none of them saved yet:
// the duplicate test of every line and the one append, all under the lock
// that other writers wait for.
void BM_ImportEvents(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::mt19937 rng(19991231);
  std::vector<std::string> fresh;
  for (int i = 0; i < n; ++i) fresh.push_back(testing::RandomEventLine(rng) + "!");  // ends unlike any saved line
  auto fs = MakeSystemFileSystem();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = WritableCopy(n, "import_");
    EventList list{EventFile{path, *fs}};
    if (!list.LoadEvents().ok()) std::abort();
    std::vector<std::string> lines = fresh;
    std::vector<bool> added;
    state.ResumeTiming();
    const StoreResult r = list.AppendEvents(std::move(lines), added);
    if (!r.ok() || std::count(added.begin(), added.end(), true) != n) state.SkipWithError("import failed");
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_MarkMonth(benchmark::State& state) {
  LoadedStore store(static_cast<int>(state.range(0)));
  const MonthMarkInput may = May2003();
  for (auto _ : state) benchmark::DoNotOptimize(MarkMonth(store.list, may));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What the month view computes for a month change (fill with moon marks,
// then the marking pass), between two months already visited.
void BM_MonthViewChange(benchmark::State& state) {
  LoadedStore store(static_cast<int>(state.range(0)));
  MonthView view;
  int step = 0;
  for (auto _ : state) {
    view.Fill(2003, 5 + (step++ & 1), {2003, 5, 10});
    view.Mark(&store.list);
    benchmark::DoNotOptimize(view.Cell(12).dayMark);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ListDay(benchmark::State& state) {
  LoadedStore store(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ListDay(store.list, {2003, 5, 10}, true));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CountToday(benchmark::State& state) {
  LoadedStore store(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(CountToday(store.list, {2003, 5, 10}));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One look for due notices over a store: a 15-second step across 12:30, the
// time of every generated event, on a day some of them fall on.
void BM_NoticeLook(benchmark::State& state) {
  LoadedStore store(static_cast<int>(state.range(0)));
  const LocalDateTime before{{2003, 5, 10}, {12, 29, 55}}, after{{2003, 5, 10}, {12, 30, 10}};
  std::size_t due = 0;
  for (auto _ : state) {
    state.PauseTiming();
    NoticeScheduler scheduler;
    scheduler.Look(store.list, FixedClock::WithUtcOf(before));
    state.ResumeTiming();
    due = scheduler.Look(store.list, FixedClock::WithUtcOf(after)).size();
  }
  state.counters["due"] = static_cast<double>(due);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_LoadEvents)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBaseline)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveUnchanged)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveConfirmed)->Arg(100000)->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAfterOutsideChange)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportEvents)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkMonth)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthViewChange)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListDay)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountToday)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoticeLook)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace redoviri
