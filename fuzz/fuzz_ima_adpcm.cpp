// Any byte string as IMA ADPCM blocks, mono or stereo, whole or cut short: the decoder
// writes no more than the frames it reports, inside its output.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sound/ima_adpcm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint16_t channels = data[0] & 1 ? 2 : 1;
  const std::span<const uint8_t> blocks(data + 1, size - 1);
  // Room for a 512-byte block's samples, and sometimes less.
  static std::array<int16_t, 2048> out;
  const size_t room = data[0] & 2 ? out.size() : (size_t{data[0]} * 7) % out.size();
  for (size_t at = 0; at < blocks.size(); at += 512) {
    const auto block = blocks.subspan(at, std::min<size_t>(512, blocks.size() - at));
    const auto frames = tvx::ima::DecodeBlock(block, channels, std::span(out).first(room));
    if (frames &&
        (*frames * channels > room || *frames != tvx::ima::FramesInBlock(block.size(), channels)))
      std::abort();
  }
  return 0;
}
