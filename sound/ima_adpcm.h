// IMA ADPCM as stored in WAVE files (format tag 0x11), decoded block by block.
//
// A block of a channels: for each channel a 4-byte header (i16 first sample, u8 step index
// 0..88, u8 reserved), then groups of 4 bytes per channel in turn, each holding 8 samples of
// that channel as nibbles, low nibble first. A mono 512-byte block thus holds 1017 samples.
// A short last block holds the samples of the bytes it has.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace tvx::ima {

inline constexpr std::array<int16_t, 89> kStepTable = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

inline constexpr std::array<int8_t, 16> kIndexTable = {-1, -1, -1, -1, 2, 4, 6, 8,
                                                       -1, -1, -1, -1, 2, 4, 6, 8};

inline constexpr int kMaxStepIndex = 88;

// The decoder's state for one channel.
struct Channel {
  int32_t predictor = 0;
  int32_t index = 0;

  // The standard reconstruction: the difference is built from the step by shifts and adds,
  // exactly as the reference decoder does (not by multiplication, which rounds otherwise).
  int16_t Expand(uint8_t nibble) {
    const int32_t step = kStepTable[static_cast<size_t>(index)];
    int32_t diff = step >> 3;
    if (nibble & 4) diff += step;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 1) diff += step >> 2;
    predictor += (nibble & 8) ? -diff : diff;
    predictor = predictor < -32768 ? -32768 : predictor > 32767 ? 32767 : predictor;
    index += kIndexTable[nibble & 15];
    index = index < 0 ? 0 : index > kMaxStepIndex ? kMaxStepIndex : index;
    return static_cast<int16_t>(predictor);
  }
};

// Sample frames in a block of `bytes` bytes (0 when it is shorter than its headers).
size_t FramesInBlock(size_t bytes, uint16_t channels);

// Decodes one block into interleaved samples. The frame count, or nullopt when the block is
// damaged (a step index above 88, channels other than 1 or 2) or `out` is too small.
std::optional<size_t> DecodeBlock(std::span<const uint8_t> block, uint16_t channels,
                                  std::span<int16_t> out);

}  // namespace tvx::ima
