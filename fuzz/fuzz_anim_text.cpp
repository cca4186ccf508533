// Any bytes as animation text: the parser takes anything, and whatever builds comes back
// through show and build as the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_anim_round_trip.h"
#include "tools/anim_block.h"
#include "tools/anim_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx::tool::anim;
  const SourceResult source =
      ParseSource(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.txt");
  if (!source.ok()) return 0;
  const std::vector<uint8_t> block = WriteBlock(source.data);
  tvx::fuzz::CheckRoundTrip(block);
  return 0;
}
