#include "tools/lzss_expand.h"

#include <algorithm>

#include "archive/lzss_decoder.h"

namespace tvx::tool {

std::optional<std::vector<uint8_t>> ExpandLzss(std::span<const uint8_t> packed, size_t limit) {
  // Seventeen packed bytes (a flag byte and eight references) give at most 144 bytes, so a
  // buffer of this size always holds the whole stream; most streams need far less.
  const size_t most = (packed.size() / 17 + 1) * 144;
  // One byte beyond the limit tells a stream of exactly `limit` bytes from a longer one.
  const size_t ceiling = std::min(most, limit + 1);
  size_t capacity = std::min(ceiling, std::max<size_t>(packed.size() * 8, 4096));
  LzssDecoder decoder;
  for (;;) {
    std::vector<uint8_t> out(capacity);
    const size_t produced = decoder.Decode(packed, out);
    if (produced < capacity || capacity == most) {
      if (produced > limit) return std::nullopt;
      out.resize(produced);
      return out;
    }
    if (capacity == ceiling) return std::nullopt;
    capacity = std::min(ceiling, capacity * 4);
  }
}

}  // namespace tvx::tool
