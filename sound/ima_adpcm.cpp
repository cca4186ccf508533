#include "sound/ima_adpcm.h"

#include "resources/byte_order.h"

namespace tvx::ima {

size_t FramesInBlock(size_t bytes, uint16_t channels) {
  if (channels == 0 || bytes < 4u * channels) return 0;
  const size_t body = bytes - 4u * channels;
  if (channels == 1) return 1 + 2 * body;
  // Several channels: whole groups of 4 bytes per channel only.
  return 1 + 8 * (body / (4u * channels));
}

std::optional<size_t> DecodeBlock(std::span<const uint8_t> block, uint16_t channels,
                                  std::span<int16_t> out) {
  if (channels != 1 && channels != 2) return std::nullopt;
  const size_t frames = FramesInBlock(block.size(), channels);
  if (frames == 0) return 0;
  if (out.size() < frames * channels) return std::nullopt;
  std::array<Channel, 2> state{};
  for (size_t c = 0; c < channels; ++c) {
    const size_t at = 4 * c;
    state[c].predictor = static_cast<int16_t>(bytes::LoadLe16(block, at));
    state[c].index = block[at + 2];
    if (state[c].index > kMaxStepIndex) return std::nullopt;
    out[c] = static_cast<int16_t>(state[c].predictor);
  }
  const std::span<const uint8_t> body = block.subspan(4u * channels);
  if (channels == 1) {
    Channel& s = state[0];
    int16_t* to = out.data() + 1;
    for (const uint8_t byte : body) {
      *to++ = s.Expand(byte & 0x0F);
      *to++ = s.Expand(byte >> 4);
    }
    return frames;
  }
  // Stereo: 4 bytes (8 samples) of the left channel, then 4 of the right, and so on.
  const size_t groups = (frames - 1) / 8;
  for (size_t g = 0; g < groups; ++g) {
    for (size_t c = 0; c < 2; ++c) {
      const auto bytes = body.subspan((2 * g + c) * 4, 4);
      size_t frame = 1 + 8 * g;
      for (const uint8_t byte : bytes) {
        out[2 * frame++ + c] = state[c].Expand(byte & 0x0F);
        out[2 * frame++ + c] = state[c].Expand(byte >> 4);
      }
    }
  }
  return frames;
}

}  // namespace tvx::ima
