// The demo's sound effects: surf, a gull, steps on stone, a door, the choice chime, the
// lamp catching fire, and the sounds of the engine's own interface.
#include <cmath>
#include <numbers>
#include <vector>

#include "demo/generator/music.h"
#include "demo/generator/synth.h"

namespace tvx::demo {

namespace {
constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;
constexpr float kRate = static_cast<float>(kSampleRate);

// A soft round blip for the interface: a sine with a touch of its octave, a quick attack
// and a fast fall.
void AddBlip(Track& track, double start, float frequency, float seconds, float gain) {
  size_t first = At(start);
  float phase = 0;
  for (size_t i = 0; i < At(seconds) && first + i < track.size(); ++i) {
    float t = static_cast<float>(i) / kRate;
    float env = std::min(1.0f, t / 0.004f) * std::exp(-t * 6 / seconds);
    phase += kTwoPi * frequency / kRate;
    track[first + i] += gain * env * (std::sin(phase) + 0.15f * std::sin(2 * phase));
  }
}

}  // namespace

Sound Waves() {
  // 6 s of surf: two waves breaking and drawing back over the pebbles. The noise is the
  // loop's own, and the filters have run over its end before its start, so it joins.
  const size_t count = At(6.0);
  Random random(401);
  std::vector<float> noise(count);
  for (float& v : noise) v = random.Range(-1, 1);
  Track track(count, 0.0f);
  Biquad low = Biquad::LowPass(900, 0.7f);
  Biquad hiss = Biquad::BandPass(3500, 0.8f);
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < count; ++i) {
      float t = static_cast<float>(i) / kRate;
      // Each wave: a quick swell as it breaks, a long fall as it runs back (period 3 s).
      float phase = std::fmod(t, 3.0f) / 3.0f;
      float swell = std::pow(std::sin(std::numbers::pi_v<float> * phase), 2.0f) *
                    (0.6f + 0.4f * std::exp(-phase * 3));
      float rush = low.Process(noise[i]);
      float fizz = hiss.Process(noise[(i * 7 + 13) % count]) * (1 - phase);
      if (pass == 1) track[i] = swell * rush * 1.4f + 0.5f * swell * fizz + 0.12f * rush;
    }
  }
  return FinishLoop(std::move(track), count, 0.55f);
}

Sound Gull() {
  // Three calls, each a cry that falls in pitch: a few harmonics with a nasal formant.
  Track track(At(1.4), 0.0f);
  Random random(411);
  Biquad formant = Biquad::BandPass(2200, 2.5f);
  double starts[] = {0.0, 0.42, 0.78};
  float lengths[] = {0.34f, 0.3f, 0.5f};
  for (int call = 0; call < 3; ++call) {
    size_t first = At(starts[call]);
    size_t n = At(lengths[call]);
    float phase = 0;
    for (size_t i = 0; i < n && first + i < track.size(); ++i) {
      float t = static_cast<float>(i) / kRate;
      float k = t / lengths[call];
      float f = 1700 - 650 * k * k + 40 * std::sin(kTwoPi * 28 * t);
      phase += kTwoPi * f / kRate;
      float env = std::min(1.0f, t / 0.03f) * std::pow(1 - k, 0.6f);
      float voice = std::sin(phase) + 0.6f * std::sin(2 * phase) + 0.35f * std::sin(3 * phase);
      float breath = 0.15f * random.Range(-1, 1);
      track[first + i] += env * (0.4f * voice + formant.Process(voice + breath));
    }
  }
  AddReverb(track, 0.15f, 1.0f);
  return FinishOnce(std::move(track), 0.6f);
}

Sound Steps() {
  // Two steps on stone in one second: heel, then sole, each a click of grit and a dull thud.
  Track track(At(1.0), 0.0f);
  Random random(421);
  for (double step : {0.02, 0.52}) {
    for (double part : {0.0, 0.07}) {
      size_t first = At(step + part);
      float gain = part == 0 ? 1.0f : 0.6f;
      Biquad grit = Biquad::BandPass(2400, 1.2f);
      Biquad body = Biquad::LowPass(220, 1.0f);
      for (size_t i = 0; i < At(0.12); ++i) {
        float t = static_cast<float>(i) / kRate;
        float noise = random.Range(-1, 1);
        float click = grit.Process(noise) * std::exp(-t * 90);
        float thud = body.Process(noise) * std::exp(-t * 35) * 3;
        track[first + i] += gain * (click + thud);
      }
    }
  }
  AddReverb(track, 0.25f, 0.7f);
  return FinishOnce(std::move(track), 0.6f);
}

Sound Door() {
  // A wooden door creaking open: the hinge sticks and slips faster and faster, through the
  // resonances of the boards, then the door bumps to rest.
  Track track(At(1.8), 0.0f);
  Random random(431);
  Biquad boardLow = Biquad::BandPass(520, 6);
  Biquad boardHigh = Biquad::BandPass(1350, 8);
  float phase = 0;
  size_t creak = At(1.35);
  for (size_t i = 0; i < creak; ++i) {
    float t = static_cast<float>(i) / kRate;
    float k = t / 1.35f;
    float rate = 35 + 80 * k + 20 * std::sin(kTwoPi * 1.7f * t);
    phase += rate / kRate;
    float pulse = 0;
    if (phase >= 1) {
      phase -= 1;
      pulse = random.Range(0.6f, 1.0f);
    }
    float env = std::min(1.0f, t / 0.1f) * std::min(1.0f, (1.35f - t) / 0.2f);
    track[i] = env * (boardLow.Process(pulse) * 2.5f + boardHigh.Process(pulse) * 1.8f);
  }
  Biquad thud = Biquad::LowPass(150, 1.2f);
  size_t first = At(1.42);
  for (size_t i = 0; first + i < track.size(); ++i) {
    float t = static_cast<float>(i) / kRate;
    track[first + i] += 4 * thud.Process(random.Range(-1, 1)) * std::exp(-t * 18);
  }
  AddReverb(track, 0.2f, 0.8f);
  return FinishOnce(std::move(track), 0.6f);
}

Sound Chime() {
  // Two small bells a fifth apart, for a choice made.
  Track track(At(0.9), 0.0f);
  AddBell(track, 0.0, NoteFrequency(88), 0.85f, 0.5f);
  AddBell(track, 0.08, NoteFrequency(95), 0.8f, 0.4f);
  track.resize(At(0.9));
  AddReverb(track, 0.15f, 0.6f);
  return FinishOnce(std::move(track), 0.5f);
}

Sound LampWhoosh() {
  // The lamp catching: a rush of air rising in pitch, a soft low bloom, a few crackles.
  Track track(At(1.6), 0.0f);
  Random random(441);
  const size_t n = track.size();
  Biquad low = Biquad::LowPass(120, 0.9f);
  Biquad sweep = Biquad::BandPass(300, 1.5f);
  for (size_t i = 0; i < n; ++i) {
    float t = static_cast<float>(i) / kRate;
    float k = t / 1.6f;
    // The band-pass retuned every few samples, its centre sweeping upwards.
    if (i % 64 == 0) {
      sweep.Retune(Biquad::BandPass(300 + 2200 * std::pow(std::min(1.0f, k * 2), 1.5f), 1.5f));
    }
    float noise = random.Range(-1, 1);
    float env = std::pow(std::min(1.0f, t / 0.25f), 2.0f) * std::exp(-std::max(0.0f, t - 0.3f) * 3);
    float bloom = low.Process(noise) * 4 * std::exp(-std::max(0.0f, t - 0.2f) * 2.5f) *
                  std::min(1.0f, t / 0.15f);
    track[i] = env * sweep.Process(noise) * 1.6f + bloom;
    if (t > 0.3f && random.Unit() < 0.0009f) {
      for (size_t j = 0; j < 60 && i + j < n; ++j) {
        track[i + j] += random.Range(-0.5f, 0.5f) * std::exp(-static_cast<float>(j) / 10);
      }
    }
  }
  AddReverb(track, 0.2f, 1.0f);
  return FinishOnce(std::move(track), 0.6f);
}

Sound ErrorBonk() {
  // A short soft low knock: a round tone sliding down from 190 to 120 Hz, muffled.
  Track track(At(0.25), 0.0f);
  Biquad soft = Biquad::LowPass(900, 0.7f);
  float phase = 0;
  for (size_t i = 0; i < track.size(); ++i) {
    float t = static_cast<float>(i) / kRate;
    float f = 120 + 70 * std::exp(-t * 25);
    phase += kTwoPi * f / kRate;
    float env = std::min(1.0f, t / 0.003f) * std::exp(-t * 16);
    track[i] = soft.Process(env * (std::sin(phase) + 0.3f * std::sin(2 * phase)));
  }
  return FinishOnce(std::move(track), 0.55f);
}

Sound WindowOpen() {
  // Two notes rising a fifth (E5, B5): the window opens.
  Track track(At(0.2), 0.0f);
  AddBlip(track, 0.0, NoteFrequency(76), 0.09f, 0.8f);
  AddBlip(track, 0.07, NoteFrequency(83), 0.13f, 0.7f);
  return FinishOnce(std::move(track), 0.45f);
}

Sound WindowClose() {
  // The same two notes falling (B5, E5): the window closes.
  Track track(At(0.2), 0.0f);
  AddBlip(track, 0.0, NoteFrequency(83), 0.09f, 0.7f);
  AddBlip(track, 0.07, NoteFrequency(76), 0.13f, 0.8f);
  return FinishOnce(std::move(track), 0.45f);
}

}  // namespace tvx::demo
