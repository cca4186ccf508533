// Wave formats as sound files and streams describe them, the sampler loop record, and the
// fixed formats of the engine's channels.
#pragma once

#include <cstdint>

namespace tvx {

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatImaAdpcm = 0x11;

struct WaveFormat {
  uint16_t tag = kWaveFormatPcm;
  uint16_t channels = 1;
  uint32_t samplesPerSec = 22050;
  uint32_t avgBytesPerSec = 44100;
  uint16_t blockAlign = 2;
  uint16_t bitsPerSample = 16;
  uint16_t extraSize = 0;
  uint16_t samplesPerBlock = 0;  // compressed formats: sample frames per block
  bool operator==(const WaveFormat&) const = default;
};

// The first loop of a "smpl" chunk; start and end count sample frames, and the frame
// numbered `end` is the first one after the loop.
struct LoopRecord {
  uint32_t identifier = 0;
  uint32_t type = 0;
  uint32_t start = 0;
  uint32_t end = 0;
  uint32_t fraction = 0;
  uint32_t playCount = 0;
};

// What the device mixes: 22050 Hz, 16-bit, stereo.
inline constexpr WaveFormat kPrimaryFormat{kWaveFormatPcm, 2, 22050, 88200, 4, 16, 0, 0};
// Music and effects: 16-bit mono PCM at 22050 Hz.
inline constexpr WaveFormat kPcmStreamFormat{kWaveFormatPcm, 1, 22050, 44100, 2, 16, 0, 0};
// Voice: IMA ADPCM, mono, 22050 Hz, 512-byte blocks of 1017 samples.
inline constexpr WaveFormat kVoiceSourceFormat{
    kWaveFormatImaAdpcm, 1, 22050, 11100, 512, 4, 2, 1017};

}  // namespace tvx
