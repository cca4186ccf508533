// The demo's four pieces of music. Each is a whole number of bars that loops: the bars are
// written out below as chords and melodies, played by the synthesiser, and finished into a
// loop whose reverb tail wraps into its head.
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

#include "demo/generator/music.h"
#include "demo/generator/synth.h"

namespace tvx::demo {

namespace {

struct Note {
  float beat;   // from the start of the piece
  int note;     // MIDI note number
  float beats;  // length
};

using Chord = std::array<int, 4>;

// Holds each chord for a bar on the pad, with its lowest note an octave down on the bass.
void PlayChords(Track& track, std::initializer_list<Chord> chords, float beats_per_bar, float beat,
                float pad_gain, float bass_gain) {
  int bar = 0;
  for (const Chord& chord : chords) {
    double start = bar * beats_per_bar * beat;
    for (int n : chord) AddPad(track, start, NoteFrequency(n), beats_per_bar * beat, pad_gain);
    if (bass_gain > 0) {
      AddBass(track, start, NoteFrequency(chord[0] - 12), beats_per_bar * beat * 0.9f, bass_gain);
    }
    ++bar;
  }
}

}  // namespace

Sound TitleMusic() {
  // 60 beats a minute, eight bars of four: 32 s in D major, calm bells over a pad.
  const float beat = 1.0f;
  Track track;
  PlayChords(
      track,
      {Chord{50, 57, 62, 66}, Chord{47, 54, 62, 66}, Chord{43, 55, 59, 62}, Chord{45, 57, 61, 64},
       Chord{50, 57, 62, 66}, Chord{47, 54, 62, 66}, Chord{43, 55, 59, 62}, Chord{45, 57, 62, 64}},
      4, beat, 0.05f, 0.16f);
  static constexpr Note kMelody[] = {
      {0, 78, 1.5f}, {1.5f, 81, 0.5f}, {2, 78, 1},        {3, 76, 1},       {4, 74, 2},
      {6, 71, 1},    {7, 74, 1},       {8, 83, 1.5f},     {9.5f, 81, 0.5f}, {10, 79, 2},
      {12, 76, 2},   {14, 81, 1},      {15, 76, 1},       {16, 78, 1},      {17, 81, 1},
      {18, 86, 2},   {20, 83, 1.5f},   {21.5f, 81, 0.5f}, {22, 78, 2},      {24, 79, 1},
      {25, 83, 1},   {26, 86, 1},      {27, 83, 1},       {28, 81, 2},      {30, 76, 1},
      {31, 73, 1},
  };
  for (const Note& n : kMelody) {
    AddBell(track, n.beat * beat, NoteFrequency(n.note), n.beats * beat + 1.5f, 0.22f);
  }
  // A quiet low bell on every second beat, the chord's fifth, for a slow pulse.
  static constexpr int kPulse[] = {57, 54, 55, 57, 57, 54, 55, 52};
  for (int bar = 0; bar < 8; ++bar) {
    for (int b = 1; b < 4; b += 2) {
      AddBell(track, (bar * 4 + b) * beat, NoteFrequency(kPulse[bar]), 2.0f, 0.08f);
    }
  }
  AddReverb(track, 0.35f, 1.2f);
  return FinishLoop(std::move(track), At(32 * beat), 0.7f);
}

Sound TownMusic() {
  // 120 beats a minute, sixteen bars: 32 s in G major, a plucked walking figure, bass on
  // the strong beats, a whistled tune the second time round.
  const float beat = 0.5f;
  Track track;
  static constexpr Chord kChords[8] = {{43, 55, 59, 62}, {40, 55, 59, 64}, {36, 55, 60, 64},
                                       {38, 54, 57, 62}, {43, 55, 59, 62}, {40, 55, 59, 64},
                                       {45, 57, 60, 64}, {38, 54, 57, 60}};
  Random random(201);
  for (int bar = 0; bar < 16; ++bar) {
    const Chord& chord = kChords[bar % 8];
    double start = bar * 4 * beat;
    for (int n : {chord[1], chord[2], chord[3]}) {
      AddPad(track, start, NoteFrequency(n), 4 * beat, 0.025f);
    }
    AddBass(track, start, NoteFrequency(chord[0]), 1.6f * beat, 0.3f);
    AddBass(track, start + 2 * beat, NoteFrequency(chord[0] + 7), 1.6f * beat, 0.22f);
    // The walking figure: up the chord and back in eighths.
    static constexpr int kFigure[8] = {1, 2, 3, 2, 1, 2, 3, 2};
    for (int i = 0; i < 8; ++i) {
      int n = chord[kFigure[i]] + (i == 2 || i == 6 ? 12 : 0);
      AddPluck(track, start + i * beat / 2, NoteFrequency(n), 1.2f, i % 2 ? 0.11f : 0.15f, random);
    }
  }
  static constexpr Note kTune[] = {
      {32, 74, 1}, {33, 76, 1}, {34, 79, 2}, {36, 79, 1}, {37, 76, 1}, {38, 74, 2},
      {40, 72, 1}, {41, 74, 1}, {42, 76, 1}, {43, 79, 1}, {44, 78, 3}, {47, 74, 1},
      {48, 74, 1}, {49, 76, 1}, {50, 79, 2}, {52, 83, 1}, {53, 81, 1}, {54, 79, 2},
      {56, 76, 1}, {57, 79, 1}, {58, 81, 2}, {60, 78, 2}, {62, 74, 2},
  };
  for (const Note& n : kTune) {
    AddFlute(track, n.beat * beat, NoteFrequency(n.note), n.beats * beat * 0.95f, 0.12f);
  }
  AddReverb(track, 0.2f, 0.9f);
  return FinishLoop(std::move(track), At(64 * beat), 0.7f);
}

Sound CaveMusic() {
  // 24 s: a low drone that breathes, wind in the tunnel, and drips falling into pools.
  const double length = 24.0;
  const size_t count = At(length);
  Track track(count + At(4), 0.0f);
  Random random(301);
  const float two_pi = 2 * std::numbers::pi_v<float>;
  // The wind: noise of the loop's length through a low-pass filter that has already run over
  // the end of the same noise, so that its start carries on from its end.
  std::vector<float> noise(count);
  for (float& v : noise) v = random.Range(-1, 1);
  Biquad wind = Biquad::LowPass(260, 0.8f);
  for (size_t i = count - At(1); i < count; ++i) wind.Process(noise[i]);
  for (size_t i = 0; i < count; ++i) {
    float t = static_cast<float>(i) / kSampleRate;
    // Every slow movement turns a whole number of times in the loop, so that it joins.
    float breath = 0.75f + 0.25f * std::sin(two_pi * t * 3 / 24);
    float drone = std::sin(two_pi * 55.0f * t) + 0.5f * std::sin(two_pi * 82.5f * t + 0.3f) +
                  0.25f * std::sin(two_pi * 110.25f * t) + 0.15f * std::sin(two_pi * 164.75f * t);
    track[i] += 0.09f * breath * drone;
    float gust = 0.6f + 0.4f * std::sin(two_pi * t * 2 / 24 + 1.0f);
    track[i] += 0.5f * gust * wind.Process(noise[i]);
  }
  for (int d = 0; d < 15; ++d) {
    double start = random.Range(0, static_cast<float>(length));
    float f = random.Range(900, 2200);
    float gain = random.Range(0.08f, 0.2f);
    size_t first = At(start);
    size_t n = At(0.18);
    for (size_t i = 0; i < n; ++i) {
      float t = static_cast<float>(i) / kSampleRate;
      // A drip's pitch rises as its bubble closes.
      float phase = two_pi * f * (t + 8.0f * t * t);
      track[first + i] += gain * std::exp(-t * 30) * std::sin(phase);
    }
  }
  static constexpr Note kEcho[] = {{2, 57, 4}, {8, 60, 4}, {14, 64, 4}, {19, 52, 4}};
  for (const Note& n : kEcho) AddBell(track, n.beat, NoteFrequency(n.note), n.beats, 0.06f);
  AddReverb(track, 0.6f, 1.5f);
  return FinishLoop(std::move(track), count, 0.65f);
}

Sound EndingMusic() {
  // 72 beats a minute, twelve bars of four: 40 s in F major, warm and coming home.
  const float beat = 60.0f / 72;
  Track track;
  PlayChords(
      track,
      {Chord{41, 60, 65, 69}, Chord{40, 60, 64, 67}, Chord{38, 57, 62, 65}, Chord{46, 58, 62, 65},
       Chord{41, 60, 65, 69}, Chord{46, 58, 62, 67}, Chord{36, 55, 60, 64}, Chord{41, 57, 60, 65},
       Chord{38, 57, 62, 65}, Chord{46, 58, 62, 65}, Chord{36, 55, 60, 65}, Chord{36, 55, 58, 64}},
      4, beat, 0.045f, 0.18f);
  // A soft piano spelling out each chord in eighths.
  static constexpr std::array<std::array<int, 4>, 12> kArpeggio = {{
      {65, 69, 72, 69},
      {64, 67, 72, 67},
      {62, 65, 69, 65},
      {62, 65, 70, 65},
      {65, 69, 72, 69},
      {62, 67, 70, 67},
      {60, 64, 67, 64},
      {60, 65, 69, 65},
      {62, 65, 69, 65},
      {62, 65, 70, 65},
      {60, 65, 67, 65},
      {60, 64, 67, 70},
  }};
  for (int bar = 0; bar < 12; ++bar) {
    for (int i = 0; i < 8; ++i) {
      AddBell(track, (bar * 4 + i * 0.5f) * beat, NoteFrequency(kArpeggio[bar][i % 4]), 1.6f,
              i % 2 ? 0.05f : 0.07f);
    }
  }
  static constexpr Note kTune[] = {
      {0, 77, 2},  {2, 76, 1},  {3, 74, 1},  {4, 72, 3},  {7, 72, 1},  {8, 74, 2},  {10, 77, 2},
      {12, 74, 4}, {16, 77, 2}, {18, 79, 1}, {19, 81, 1}, {20, 82, 2}, {22, 81, 1}, {23, 79, 1},
      {24, 79, 3}, {27, 76, 1}, {28, 77, 4}, {32, 81, 2}, {34, 79, 1}, {35, 77, 1}, {36, 77, 2},
      {38, 74, 2}, {40, 72, 4}, {44, 76, 2}, {46, 79, 2},
  };
  for (const Note& n : kTune) {
    AddFlute(track, n.beat * beat, NoteFrequency(n.note), n.beats * beat * 0.97f, 0.1f);
  }
  AddReverb(track, 0.4f, 1.3f);
  return FinishLoop(std::move(track), At(48 * beat), 0.7f);
}

}  // namespace tvx::demo
