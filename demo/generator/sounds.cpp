#include "demo/generator/sounds.h"

#include <cmath>
#include <numbers>

#include "demo/generator/music.h"
#include "demo/generator/synth.h"

namespace tvx::demo {

Sound MakeSound(std::string_view file) {
  if (file == "M_TITLE.wav") return TitleMusic();
  if (file == "M_TOWN.wav") return TownMusic();
  if (file == "M_CAVE.wav") return CaveMusic();
  if (file == "M_END.wav") return EndingMusic();
  if (file == "S_WAVES.wav") return Waves();
  if (file == "S_GULL.wav") return Gull();
  if (file == "S_STEP.wav") return Steps();
  if (file == "S_DOOR.wav") return Door();
  if (file == "S_CHIME.wav") return Chime();
  if (file == "S_LAMP.wav") return LampWhoosh();
  if (file == "ERROR.wav") return ErrorBonk();
  if (file == "WINOPN.wav") return WindowOpen();
  if (file == "WINCLS.wav") return WindowClose();
  return Sound{std::vector<int16_t>(At(0.1)), std::nullopt};
}

Sound MakeMurmur(std::string_view text, uint32_t seed) {
  // One hummed syllable per character (a Chinese character is one syllable), a pause for
  // punctuation; UTF-8 lead bytes are counted, continuation bytes skipped.
  std::vector<bool> syllables;
  for (size_t i = 0; i < text.size(); ++i) {
    auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80) continue;
    bool pause = byte == ',' || byte == '.' || byte == '?' || byte == '!' || byte == ' ' ||
                 (byte == 0xEF && i + 2 < text.size());  // the full-width ，？！
    if (byte == 0xE3 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80) {
      pause = true;  // 。、
    }
    syllables.push_back(!pause);
  }
  const float syllable = 0.3f;
  Track track(At(0.2 + syllables.size() * syllable + 0.3), 0.0f);
  Random random(seed * 977 + 5);
  const float two_pi = 2 * std::numbers::pi_v<float>;
  float phase = 0;
  for (size_t s = 0; s < syllables.size(); ++s) {
    if (!syllables[s]) continue;
    size_t first = At(0.2 + s * syllable);
    float pitch = random.Range(150, 200);
    for (size_t i = 0; i < At(syllable); ++i) {
      float t = static_cast<float>(i) / kSampleRate;
      float k = t / syllable;
      float env = std::sin(std::numbers::pi_v<float> * k);
      phase += two_pi * pitch * (1 - 0.1f * k) / kSampleRate;
      // A closed-mouth hum: the fundamental with a little second and third harmonic.
      track[first + i] +=
          env * env * (std::sin(phase) + 0.3f * std::sin(2 * phase) + 0.1f * std::sin(3 * phase));
    }
  }
  return FinishOnce(std::move(track), 0.35f);
}

}  // namespace tvx::demo
