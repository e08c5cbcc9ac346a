#include "events/eventfile.h"

#include "events/eventrecord.h"

namespace redoviri {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string io_text::IoError(long code) { return "I/O error " + std::to_string(code); }

std::string ParentFolder(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

EventFileLines SplitEventFile(std::string_view bytes) {
  EventFileLines content;
  bool first = true;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size()) pos += bytes.compare(pos, kLineEnd.size(), kLineEnd) == 0 ? kLineEnd.size() : 1;
    if (first) {
      content.reservedLine = line;
      first = false;
    } else if (!TrimBlanks(line).empty()) {
      content.eventLines.push_back(line);
    }
  }
  return content;
}

bool EventFile::Exists() const { return fs_->Exists(path_); }

IoResult EventFile::Read(std::string& bytes) const { return fs_->ReadAll(path_, bytes); }

IoResult EventFile::AppendLine(std::string_view line) const {
  int last = -1;
  if (IoResult r = fs_->LastByte(path_, last); !r.ok()) return r;
  std::string bytes;
  if (last != -1 && last != '\n' && last != '\r') bytes += kLineEnd;
  bytes += line;
  bytes += kLineEnd;
  return fs_->Append(path_, bytes);
}

IoResult EventFile::Rewrite(std::string_view reservedLine, std::span<const std::string_view> lines) const {
  if (IoResult r = EnsureFolder(ParentFolder(path_)); !r.ok()) return r;
  std::size_t size = reservedLine.size() + kLineEnd.size();
  for (std::string_view line : lines) size += line.size() + kLineEnd.size();
  std::string bytes;
  bytes.reserve(size);
  bytes += reservedLine;
  bytes += kLineEnd;
  for (std::string_view line : lines) {
    bytes += line;
    bytes += kLineEnd;
  }
  return fs_->Replace(path_, bytes);
}

IoResult EventFile::EnsureFolder(const std::string& folder) const {
  if (folder.empty() || fs_->Exists(folder)) return IoResult::Ok();
  if (IoResult r = EnsureFolder(ParentFolder(folder)); !r.ok()) return r;
  return fs_->CreateFolder(folder);
}

}  // namespace redoviri
