// export-ics and import-ics: the event file as an iCalendar file and back.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "events/codepage.h"
#include "events/eventfile.h"
#include "events/eventlist.h"
#include "events/ical.h"

namespace redoviri::cli {
namespace {

// A report field: one line, tabs only between the fields.
std::string ReportField(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return IsControlCharacter(c); }, ' ');
  return text;
}

// The store of --file, loaded.
struct Store {
  explicit Store(const std::string& path) : fs(MakeSystemFileSystem()), list(EventFile(path, *fs)) {
    if (IoResult r = list.LoadEvents(); !r.ok()) Fail(kFileError, r.error);
  }
  std::unique_ptr<FileSystem> fs;
  EventList list;
};

const std::string& PathOption(const CommandLine& line, std::string_view option) {
  const std::string* path = line.Value(option);
  if (path == nullptr || path->empty()) Fail(kBadInput, "missing " + std::string(option) + " PATH");
  return *path;
}

// The current moment in UTC, for DTSTAMP.
void UtcNow(CivilDate& date, CivilTime& time) {
  using namespace std::chrono;
  const auto seconds = duration_cast<std::chrono::seconds>(system_clock::now().time_since_epoch()).count();
  constexpr std::int32_t kUnixEpochDay = 25569;  // 1970-01-01 counted from 1899-12-30
  const auto days = static_cast<std::int32_t>(seconds / 86400);
  const auto rest = static_cast<int>(seconds % 86400);
  date = DateOfDayNumber(kUnixEpochDay + days);
  time = {rest / 3600, rest / 60 % 60, rest % 60};
}

}  // namespace

int CmdExportIcs(const Args& args, std::ostream& out, std::ostream& err) {
  bool leftOut = false;
  const int code = RunCommand("export-ics", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {{"--file", true}, {"--output", true}};
    const CommandLine line(args, kOptions, 0);
    const std::string& path = PathOption(line, "--file");
    const std::string* output = line.Value("--output");
    if (output != nullptr && output->empty()) Fail(kBadInput, "missing --output FILE");
    Store store(path);
    if (output != nullptr) {
      // The event file is the user's only data: never written over with
      // iCalendar text, by whatever name or link it is reached.
      const EventFile& file = store.list.File();
      if (store.fs->SameFile(*output, path) || store.fs->FinalPath(*output) == file.Target()) {
        Fail(kBadInput, Quoted(*output) + " is the event file");
      }
    }

    std::vector<std::string_view> lines;
    for (const EventList::Entry e : store.list.Entries()) lines.push_back(e.line);
    CivilDate date;
    CivilTime time;
    UtcNow(date, time);
    IcsExport ics = ExportIcs(lines, date, time);
    if (output != nullptr) {
      if (IoResult r = WriteFileAnew(*store.fs, *output, ics.text); !r.ok()) {
        Fail(kFileError, "cannot write " + Quoted(*output) + ": " + r.error);
      }
      ics.text.clear();
    }
    for (const IcsLeftOut& l : ics.leftOut) {
      err << "left out\t" << ReportField(l.reason) << '\t' << ReportField(CodePageToUtf8(l.line)) << '\n';
    }
    leftOut = !ics.leftOut.empty();
    return std::move(ics.text);
  });
  return code == kOk && leftOut ? kRefused : code;
}

int CmdImportIcs(const Args& args, std::ostream& out, std::ostream& err) {
  bool refused = false;
  const int code = RunCommand("import-ics", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {
        {"--file", true}, {"--from", true}, {"--category", true}, {"--dry-run", false}};
    const CommandLine line(args, kOptions, 0);
    const std::string& path = PathOption(line, "--file");
    const std::string& from = PathOption(line, "--from");
    EventCategory fallback = EventCategory::kOther;
    if (const std::string* code = line.Value("--category")) {
      const auto c = code->size() == 1 ? CategoryFromCode((*code)[0] - '0') : std::nullopt;
      if (!c) Fail(kBadInput, Quoted(*code) + " is not a valid category (1..6)");
      fallback = *c;
    }
    std::ifstream in(from, std::ios::binary);
    if (!in) Fail(kFileError, "cannot read " + Quoted(from));
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const IcsImport ics = ImportIcs(bytes, fallback);
    if (!ics.error.empty()) Fail(kBadInput, Quoted(from) + ": " + ics.error);

    Store store(path);
    std::vector<std::string> lines;
    std::vector<const IcsImported*> sources;
    for (const IcsImported& e : ics.events) {
      if (e.line.empty()) continue;
      lines.push_back(e.line);
      sources.push_back(&e);
    }
    std::vector<bool> added;
    if (line.Has("--dry-run")) {
      // What the write would skip: lines saved already or met before.
      added = store.list.NewLines(lines);
    } else if (StoreResult r = store.list.AppendEvents(lines, added); !r.ok()) {
      Fail(r.refused ? kRefused : kFileError, r.error);
    }

    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (added[i]) text += lines[i] + '\n';
    }
    const auto report = [&](const IcsImported& e, std::string_view kind, const std::string& why) {
      err << "vevent " << e.vevent << '\t' << kind << '\t' << ReportField(why) << '\t' << ReportField(e.summary)
          << '\n';
    };
    std::size_t k = 0;
    for (const IcsImported& e : ics.events) {
      if (!e.refusal.empty()) {
        refused = true;
        report(e, "refused", e.refusal);
      } else if (e.joined != 0) {
        report(e, "joined", "a rule of the event of vevent " + std::to_string(e.joined));
      } else {
        if (!added[k++]) report(e, "duplicate", "the same event is saved already");
        for (const std::string& note : e.notes) report(e, "changed", note);
      }
    }
    return text;
  });
  return code == kOk && refused ? kRefused : code;
}

}  // namespace redoviri::cli
