// The demo's music and effects: 22050 Hz mono, made by the synthesiser of synth.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "sound/wave_format.h"

namespace tvx::demo {

inline constexpr uint32_t kSampleRate = 22050;

struct Sound {
  std::vector<int16_t> samples;
  std::optional<LoopRecord> loop;  // music and the surf loop over their whole length
};

// The sound of one file name of the catalogue (M_TITLE.wav…); silence for another name.
Sound MakeSound(std::string_view file);

// A soft murmur standing in for a voice line when no speech synthesiser is there: about as
// long as the line would be spoken, plainly not speech.
Sound MakeMurmur(std::string_view text, uint32_t seed);

}  // namespace tvx::demo
