// Any byte string as a wave file: the chunk walk ends, stays inside the bytes, and what it
// reports lies inside them; the wav tool's reader takes the same bytes without harm.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "sound/wave_chunks.h"
#include "tools/wav/wav_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  for (const bool want_format : {false, true}) {
    const auto found = tvx::ReadWaveChunks(bytes, want_format);
    if (found && (found->dataSize == 0 || found->dataOffset + found->dataSize > size)) std::abort();
  }
  std::string error;
  (void)tvx::tool::ReadWav(bytes, error);
  return 0;
}
