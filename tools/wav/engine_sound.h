// Sound files in the forms the engine plays: music and effects as 22050 Hz 16-bit mono PCM
// (a loop kept at its place in time), voices as 22050 Hz mono IMA ADPCM in 512-byte blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/wav/wav_data.h"

namespace tvx::tool {

inline constexpr uint32_t kEngineRate = 22050;

struct EngineSound {
  std::vector<uint8_t> file;  // the whole wave file
  size_t frames = 0;          // sample frames at 22050 Hz
  size_t blocks = 0;          // IMA ADPCM blocks (voices only)
};

// The sample rates a source may have: outside them a header is damaged or made up, and the
// resampler would need gigabytes for its filter or its output.
inline constexpr uint32_t kMinSourceRate = 1000;
inline constexpr uint32_t kMaxSourceRate = 192000;

// Why `wav` cannot be made into an engine sound (a sample rate out of range; for music, which
// keeps its loop, a loop that ends before it starts or beyond the data); nothing when it can.
std::optional<std::string> WhyNotConvertible(const WavData& wav, bool keeps_loop);

// The channels mixed down and resampled to 22050 Hz, 16-bit.
std::vector<int16_t> EngineSamples(const WavData& wav);

// Music or an effect, with the source's loop moved to the new rate.
EngineSound MusicFile(const WavData& wav);
// A voice line (voices do not loop).
EngineSound VoiceFile(const WavData& wav);

}  // namespace tvx::tool
