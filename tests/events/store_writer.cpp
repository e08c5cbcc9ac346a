// store_writer FILE TAG COUNT: one long-lived event store in a process of
// its own, as the program's list window holds one. It saves COUNT events
// named "TAG-<n>" one by one, and after every third saves and deletes a
// scratch event ("TAG-scratch-<n>"), which rewrites the file. Other
// processes write the file at the same time; each save and delete runs the
// store's own check for changes made meanwhile. Exit status 0 when every
// step succeeded; a failed step is named on stderr.
//
// store_writer FILE --watch NAME STOP: a store that only looks, as the
// program's clock does, until the file STOP exists: at every look that
// reads the file again, each event line must be whole and the event NAME
// (which nobody deletes) must be there. It never writes.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "events/eventlist.h"

namespace {

using namespace redoviri;

int Watch(const std::string& path, const std::string& name, const std::string& stop) {
  const std::unique_ptr<FileSystem> fs = MakeSystemFileSystem();
  EventList list{EventFile{path, *fs}};
  if (StoreResult r = list.LoadEvents(); !r.ok()) {
    std::fprintf(stderr, "store_writer: load %s: %s\n", path.c_str(), r.error.c_str());
    return 1;
  }
  int reads = 0;
  while (!fs->Exists(stop)) {
    bool changed = false;
    (void)list.LookForChange(changed);  // a failed look keeps what it had
    if (changed) {
      ++reads;
      bool named = false;
      for (const EventList::Entry& entry : list.Entries()) {
        if (entry.line.size() != static_cast<std::size_t>(kEventLineLength)) {
          std::fprintf(stderr, "store_writer: a look read a broken line: '%.*s'\n", static_cast<int>(entry.line.size()),
                       entry.line.data());
          return 1;
        }
        named = named || ReadName(entry.line) == name;
      }
      if (!named) {
        std::fprintf(stderr, "store_writer: a look lost %s (%d events)\n", name.c_str(), list.EventCount());
        return 1;
      }
    }
    fs->Pause(5);
  }
  std::printf("%d reads\n", reads);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[2]) == "--watch") return Watch(argv[1], argv[3], argv[4]);
  if (argc != 4) return 2;
  const std::string tag = argv[2];
  const int count = std::atoi(argv[3]);
  const auto line = [&](const std::string& name, int n) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d2001", 1 + n % 12, 1 + n % 28);
    std::string text = std::string(date) + ";10:00;4;Y;N;N;N;000;" + name;
    text.resize(kNameField.position - 1 + kNameField.length, ' ');
    text += ';';
    text.resize(kEventLineLength, ' ');
    return text;
  };
  const auto failed = [](const char* step, const std::string& name, const std::string& error) {
    std::fprintf(stderr, "store_writer: %s %s: %s\n", step, name.c_str(), error.c_str());
    return 1;
  };
  const std::unique_ptr<FileSystem> fs = MakeSystemFileSystem();
  EventList list{EventFile{argv[1], *fs}};
  if (StoreResult r = list.LoadEvents(); !r.ok()) return failed("load", argv[1], r.error);
  for (int n = 0; n < count; ++n) {
    const std::string name = tag + "-" + std::to_string(n);
    if (StoreResult r = list.AppendEvent(line(name, n)); !r.ok()) return failed("save", name, r.error);
    if (n % 3 != 2) continue;
    const std::string scratch = tag + "-scratch-" + std::to_string(n);
    if (StoreResult r = list.AppendEvent(line(scratch, n)); !r.ok()) return failed("save", scratch, r.error);
    const int index = list.FindEventLine(line(scratch, n));
    if (index < 0) return failed("find", scratch, "not in the store");
    if (StoreResult r = list.RemoveEvent(index); !r.ok()) return failed("delete", scratch, r.error);
  }
  return 0;
}
