// The little synthesiser the demo's music and effects are made with: notes added into a
// floating-point track (bells, pads, plucked strings, a bass), filters, a reverb, and the
// finishing of a track into 16-bit samples, as a seamless loop or a sound played once.
#pragma once

#include <cstdint>
#include <vector>

#include "demo/generator/noise.h"
#include "demo/generator/sounds.h"

namespace tvx::demo {

using Track = std::vector<float>;

// The frequency of a MIDI note number (69 = A 440 Hz).
float NoteFrequency(int note);
// The sample index of a time in seconds.
size_t At(double seconds);

// A two-pole filter (the usual biquad designs).
class Biquad {
 public:
  static Biquad LowPass(float frequency, float q);
  static Biquad HighPass(float frequency, float q);
  static Biquad BandPass(float frequency, float q);
  float Process(float x);
  // Takes the other filter's coefficients, keeping this one's state: a sweep without clicks.
  void Retune(const Biquad& design);

 private:
  float b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A struck bell or soft piano: a few partials, each fading on its own.
void AddBell(Track& track, double start, float frequency, float seconds, float gain);
// A pad: detuned partials with a slow swell and release, for chords held through a bar.
void AddPad(Track& track, double start, float frequency, float seconds, float gain);
// A plucked string (Karplus-Strong), its noise burst from `random`.
void AddPluck(Track& track, double start, float frequency, float seconds, float gain,
              Random& random);
// A round bass note.
void AddBass(Track& track, double start, float frequency, float seconds, float gain);
// A soft whistling lead with a slow vibrato.
void AddFlute(Track& track, double start, float frequency, float seconds, float gain);

// Adds a Schroeder reverb of the track to itself; `wet` the level of the reverb.
void AddReverb(Track& track, float wet, float size);

// Music that loops: `track` holds the loop of `loop_length` samples followed by the tail
// that rang on past its end; the tail is added into the head, so the end joins the start
// as if the piece went round again. Any mean is removed, the peak set to `peak` (0..1), and
// the loop spans the whole file.
Sound FinishLoop(Track track, size_t loop_length, float peak);
// A sound played once: a short fade at both ends, the peak set to `peak`.
Sound FinishOnce(Track track, float peak);

}  // namespace tvx::demo
