// An IMA ADPCM encoder for mono 16-bit samples in the engine's voice layout: blocks of
// `block_align` bytes (512: 1017 samples). Each block starts at its first sample exactly
// and at the step index that encodes the block best; every nibble is chosen by looking one
// sample ahead (the pair of nibbles with the least squared error decides the first).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tvx::tool {

// The data chunk's bytes. The last block is cut to the samples it holds, rounded up to a
// whole 4-byte group (the padding repeats the last sample).
std::vector<uint8_t> EncodeImaAdpcm(std::span<const int16_t> samples, uint16_t block_align);

}  // namespace tvx::tool
