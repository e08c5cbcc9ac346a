// Cutting a fuzzer's bytes into the values a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace redoviri::fuzz {

// Stops the run with a crash the fuzzer records, for a broken promise the
// sanitizers cannot see.
#define REDOVIRI_FUZZ_CHECK(condition) \
  do {                                 \
    if (!(condition)) std::abort();    \
  } while (false)

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  // A number from the next two bytes (0 when none are left).
  int Number(int lowest, int highest) {
    unsigned value = 0;
    for (int i = 0; i < 2 && !rest_.empty(); ++i) {
      value = value << 8 | static_cast<unsigned char>(rest_.front());
      rest_.remove_prefix(1);
    }
    return lowest + static_cast<int>(value % static_cast<unsigned>(highest - lowest + 1));
  }
  // The text up to the next `separator`, or all that is left.
  std::string_view Piece(char separator) {
    const std::size_t cut = rest_.find(separator);
    const std::string_view piece = rest_.substr(0, cut);
    rest_.remove_prefix(cut == std::string_view::npos ? rest_.size() : cut + 1);
    return piece;
  }
  std::string_view Rest() const { return rest_; }
  bool empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

}  // namespace redoviri::fuzz
