// Any bytes as an animation data block: `anim show` reads it inside its bytes, what it
// prints always builds, and the block so built keeps its bytes through show and build.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "fuzz/fuzz_anim_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx::tool::anim;
  const BlockReading reading = ReadBlock(std::span(data, size));
  const std::vector<uint8_t> rebuilt = tvx::fuzz::BuildShown(reading);
  // When the built block reads as the same frames and programs, its text differs from the
  // one just built only in comments (the title and the notes), so it builds to the same
  // bytes: the second round trip is needed only when the readings differ.
  const BlockReading again = ReadBlock(rebuilt);
  if (again.data == reading.data) return 0;
  if (tvx::fuzz::BuildShown(again) != rebuilt) std::abort();
  return 0;
}
