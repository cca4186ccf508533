// LZSS compression into the ring coding that LzssDecoder expands (compressed scripts, data
// files, picture pixels). Matches come from a binary search tree over the 4096-byte window;
// the stream is then parsed for the fewest output bits instead of taking the longest match
// at every step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tvx {

class LzssEncoder {
 public:
  // Compresses `input` into a stream that LzssDecoder::Decode expands back exactly, whatever
  // the decoder's ring held before: references only read ring positions written by this
  // stream or the zeroed start of the ring. Empty input gives an empty stream.
  std::vector<uint8_t> Encode(std::span<const uint8_t> input);

 private:
  // Per-block scratch, kept between calls so repeated encodes do not reallocate.
  std::vector<uint8_t> match_length_;
  std::vector<uint16_t> match_offset_;
  std::vector<uint8_t> choice_;
  std::vector<uint32_t> cost_;
};

}  // namespace tvx
