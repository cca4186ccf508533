#include "tools/wav/ima_encoder.h"

#include <algorithm>
#include <limits>

#include "resources/byte_order.h"
#include "sound/ima_adpcm.h"

namespace tvx::tool {

namespace {

int64_t Square(int64_t v) {
  return v * v;
}

// The reference encoder's nibble for one sample: what a greedy encoder sends.
uint8_t QuickNibble(const ima::Channel& state, int32_t sample) {
  int32_t step = ima::kStepTable[static_cast<size_t>(state.index)];
  int32_t diff = sample - state.predictor;
  uint8_t nibble = 0;
  if (diff < 0) {
    nibble = 8;
    diff = -diff;
  }
  if (diff >= step) {
    nibble |= 4;
    diff -= step;
  }
  step >>= 1;
  if (diff >= step) {
    nibble |= 2;
    diff -= step;
  }
  step >>= 1;
  if (diff >= step) nibble |= 1;
  return nibble;
}

// Squared error of encoding `samples` greedily from this state.
int64_t GreedyError(ima::Channel state, std::span<const int16_t> samples) {
  int64_t error = 0;
  for (const int16_t s : samples) error += Square(state.Expand(QuickNibble(state, s)) - s);
  return error;
}

// The nibble for samples[0], looking at samples[1] too when there is one.
uint8_t BestNibble(const ima::Channel& state, std::span<const int16_t> samples) {
  uint8_t best = 0;
  int64_t best_error = std::numeric_limits<int64_t>::max();
  for (uint8_t first = 0; first < 16; ++first) {
    ima::Channel after = state;
    int64_t error = Square(after.Expand(first) - samples[0]);
    if (error >= best_error) continue;
    if (samples.size() > 1) {
      int64_t next_best = std::numeric_limits<int64_t>::max();
      for (uint8_t second = 0; second < 16; ++second) {
        ima::Channel probe = after;
        next_best = std::min(next_best, Square(probe.Expand(second) - samples[1]));
      }
      error += next_best;
    }
    if (error < best_error) {
      best_error = error;
      best = first;
    }
  }
  return best;
}

}  // namespace

std::vector<uint8_t> EncodeImaAdpcm(std::span<const int16_t> samples, uint16_t block_align) {
  std::vector<uint8_t> out;
  const size_t per_block = ima::FramesInBlock(block_align, 1);
  for (size_t at = 0; at < samples.size(); at += per_block) {
    const size_t count = std::min(per_block, samples.size() - at);
    // Whole 4-byte groups: 8 samples each after the header's one.
    const size_t body = (count - 1 + 7) / 8 * 4;
    std::vector<int16_t> block(samples.begin() + static_cast<ptrdiff_t>(at),
                               samples.begin() + static_cast<ptrdiff_t>(at + count));
    block.resize(1 + 2 * body, block.back());
    const std::span<const int16_t> rest = std::span<const int16_t>(block).subspan(1);

    // The step index the block starts at is free: take the one that serves it best.
    int best_index = 0;
    int64_t best_error = std::numeric_limits<int64_t>::max();
    for (int index = 0; index <= ima::kMaxStepIndex; ++index) {
      ima::Channel probe{block[0], index};
      const int64_t error = GreedyError(probe, rest);
      if (error < best_error) {
        best_error = error;
        best_index = index;
      }
    }
    ima::Channel state{block[0], best_index};

    const size_t start = out.size();
    out.resize(start + 4 + body);
    bytes::StoreLe16(out, start, static_cast<uint16_t>(block[0]));
    out[start + 2] = static_cast<uint8_t>(best_index);
    out[start + 3] = 0;
    for (size_t i = 0; i < rest.size(); ++i) {
      const uint8_t nibble =
          BestNibble(state, rest.subspan(i, std::min<size_t>(2, rest.size() - i)));
      state.Expand(nibble);
      uint8_t& byte = out[start + 4 + i / 2];
      byte = static_cast<uint8_t>(i % 2 == 0 ? nibble : byte | nibble << 4);
    }
  }
  return out;
}

}  // namespace tvx::tool
