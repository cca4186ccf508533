// Any byte string as an LZSS stream: the decoder stays inside its source and destination.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "archive/lzss_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tvx::LzssDecoder decoder;
  static std::array<uint8_t, 65536> out;
  const std::span<const uint8_t> packed(data, size);
  // A destination size chosen by the input, so short destinations are tried too.
  const size_t capacity = size > 0 ? (size_t{data[0]} << 8) % out.size() : 0;
  decoder.Decode(packed, std::span(out).first(capacity));
  size_t count = 0;
  decoder.DecodeTo(packed, [&](uint8_t) { return ++count < 100000; });
  return 0;
}
