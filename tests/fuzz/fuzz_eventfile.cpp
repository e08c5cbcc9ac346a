// Loading an event file of any bytes: any line length, any line ends, NUL
// and 8-bit bytes, no reserved line at all (UTF-16 text is refused). The store must hold exactly the
// file's non-blank lines, sorted, and write them back so that they load the
// same again; a save and a delete on top must keep every other line.
#include <algorithm>
#include <cstdint>

#include "events/eventlist.h"
#include "events/fake_filesystem.h"
#include "fuzz/fuzz_input.h"

namespace redoviri {
namespace {

const std::string kPath = "Redoviri.ini";

std::vector<std::string> Lines(const EventList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.EventCount(); ++i) lines.push_back(list.EventLineAt(i));
  return lines;
}

}  // namespace
}  // namespace redoviri

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace redoviri;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  testing::FakeFileSystem fs;
  fs.files[kPath] = bytes;
  EventList list{EventFile{kPath, fs}};
  if (LooksLikeUtf16(bytes)) {
    // Refused as a whole, and never written.
    REDOVIRI_FUZZ_CHECK(list.LoadEvents().error == EventList::kUtf16File);
    REDOVIRI_FUZZ_CHECK(!list.AppendEvent(std::string(kEventLineLength, 'x')).ok());
    REDOVIRI_FUZZ_CHECK(fs.files[kPath] == bytes);
    return 0;
  }
  REDOVIRI_FUZZ_CHECK(list.LoadEvents().ok());

  const EventFileLines content = SplitEventFile(bytes);
  REDOVIRI_FUZZ_CHECK(list.EventCount() == static_cast<int>(content.eventLines.size()));
  REDOVIRI_FUZZ_CHECK(list.ReservedLine() == content.reservedLine);
  for (int i = 0; i + 1 < list.EventCount(); ++i) {
    REDOVIRI_FUZZ_CHECK(!LessIgnoringCase(list.EventLineAt(i + 1), list.EventLineAt(i)));
  }
  for (int i = 0; i < list.EventCount(); ++i) {
    const std::string& line = list.EventLineAt(i);
    REDOVIRI_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    REDOVIRI_FUZZ_CHECK(list.FindEventLine(line) <= i);
  }

  // A save, then a delete of the first line: the file loads as the store.
  std::string added = "01012000;00:00;1;Y;N;N;N;000;fuzz";
  added.resize(kEventLineLength, ' ');
  const std::vector<std::string> before = Lines(list);
  const StoreResult saved = list.AppendEvent(added);
  const bool duplicate =
      std::any_of(before.begin(), before.end(), [&](const std::string& l) { return SameEventLine(l, added); });
  REDOVIRI_FUZZ_CHECK(saved.ok() != duplicate);
  if (list.EventCount() > 0) REDOVIRI_FUZZ_CHECK(list.RemoveEvent(0).ok());
  EventList reloaded{EventFile{kPath, fs}};
  REDOVIRI_FUZZ_CHECK(reloaded.LoadEvents().ok());
  REDOVIRI_FUZZ_CHECK(Lines(reloaded) == Lines(list));
  return 0;
}
