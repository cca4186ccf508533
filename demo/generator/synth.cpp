#include "demo/generator/synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tvx::demo {

namespace {

constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;
constexpr float kRate = static_cast<float>(kSampleRate);

// Adds `count` samples from `start`, growing the track when needed.
template <typename Sample>
void AddSamples(Track& track, double start, size_t count, Sample sample) {
  size_t first = At(start);
  if (track.size() < first + count) track.resize(first + count, 0.0f);
  for (size_t i = 0; i < count; ++i) track[first + i] += sample(static_cast<float>(i) / kRate);
}

}  // namespace

float NoteFrequency(int note) {
  return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

size_t At(double seconds) {
  return static_cast<size_t>(std::llround(seconds * kSampleRate));
}

Biquad Biquad::LowPass(float frequency, float q) {
  Biquad f;
  float w = kTwoPi * frequency / kRate;
  float alpha = std::sin(w) / (2 * q);
  float a0 = 1 + alpha;
  f.b0_ = (1 - std::cos(w)) / 2 / a0;
  f.b1_ = (1 - std::cos(w)) / a0;
  f.b2_ = f.b0_;
  f.a1_ = -2 * std::cos(w) / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

Biquad Biquad::HighPass(float frequency, float q) {
  Biquad f;
  float w = kTwoPi * frequency / kRate;
  float alpha = std::sin(w) / (2 * q);
  float a0 = 1 + alpha;
  f.b0_ = (1 + std::cos(w)) / 2 / a0;
  f.b1_ = -(1 + std::cos(w)) / a0;
  f.b2_ = f.b0_;
  f.a1_ = -2 * std::cos(w) / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

Biquad Biquad::BandPass(float frequency, float q) {
  Biquad f;
  float w = kTwoPi * frequency / kRate;
  float alpha = std::sin(w) / (2 * q);
  float a0 = 1 + alpha;
  f.b0_ = alpha / a0;
  f.b1_ = 0;
  f.b2_ = -alpha / a0;
  f.a1_ = -2 * std::cos(w) / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

void Biquad::Retune(const Biquad& design) {
  b0_ = design.b0_;
  b1_ = design.b1_;
  b2_ = design.b2_;
  a1_ = design.a1_;
  a2_ = design.a2_;
}

float Biquad::Process(float x) {
  float y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

void AddBell(Track& track, double start, float frequency, float seconds, float gain) {
  // Partials of a soft bell: the higher ones fade sooner.
  static constexpr std::array<float, 5> kRatio = {1.0f, 2.0f, 3.01f, 4.17f, 5.43f};
  static constexpr std::array<float, 5> kLevel = {1.0f, 0.45f, 0.22f, 0.12f, 0.06f};
  AddSamples(track, start, At(seconds), [&](float t) {
    float attack = std::min(1.0f, t / 0.006f);
    float end = std::min(1.0f, (seconds - t) / 0.05f);
    float sum = 0;
    for (size_t i = 0; i < kRatio.size(); ++i) {
      float f = frequency * kRatio[i];
      if (f > 9000) break;
      float decay = std::exp(-t * (1.6f + 1.4f * i) * (frequency / 600.0f + 0.6f));
      sum += kLevel[i] * decay * std::sin(kTwoPi * f * t);
    }
    return gain * attack * end * sum;
  });
}

void AddPad(Track& track, double start, float frequency, float seconds, float gain) {
  const float attack = std::min(1.2f, seconds / 3);
  const float release = 1.5f;
  AddSamples(track, start, At(seconds + release), [&](float t) {
    float env = t < attack ? t / attack : 1.0f;
    if (t > seconds) env = std::max(0.0f, 1 - (t - seconds) / release);
    env = env * env * (3 - 2 * env);
    float sum = 0;
    // Three voices a few cents apart, each with a soft second and third partial.
    for (float detune : {-0.004f, 0.0f, 0.0045f}) {
      float f = frequency * (1 + detune);
      float phase = kTwoPi * f * t;
      sum += std::sin(phase) + 0.3f * std::sin(2 * phase) + 0.12f * std::sin(3 * phase);
    }
    return gain * env * sum / 3;
  });
}

void AddPluck(Track& track, double start, float frequency, float seconds, float gain,
              Random& random) {
  size_t period = std::max<size_t>(2, static_cast<size_t>(kRate / frequency + 0.5f));
  std::vector<float> line(period);
  for (float& v : line) v = random.Range(-1, 1);
  // Smooth the burst a little for a rounder, nylon-like tone.
  for (size_t i = 1; i < period; ++i) line[i] = 0.5f * (line[i] + line[i - 1]);
  size_t index = 0;
  size_t count = At(seconds);
  size_t first = At(start);
  if (track.size() < first + count) track.resize(first + count, 0.0f);
  for (size_t i = 0; i < count; ++i) {
    size_t next = (index + 1) % period;
    float out = line[index];
    line[index] = 0.996f * 0.5f * (line[index] + line[next]);
    index = next;
    // A few milliseconds of attack: the string is plucked, not switched on with a click.
    float attack = std::min(1.0f, static_cast<float>(i) / (0.003f * kRate));
    float end = std::min(1.0f, static_cast<float>(count - i) / (0.03f * kRate));
    track[first + i] += gain * out * attack * end;
  }
}

void AddBass(Track& track, double start, float frequency, float seconds, float gain) {
  AddSamples(track, start, At(seconds), [&](float t) {
    float attack = std::min(1.0f, t / 0.01f);
    float end = std::min(1.0f, (seconds - t) / 0.08f);
    float decay = std::exp(-t * 1.2f);
    float phase = kTwoPi * frequency * t;
    return gain * attack * end * decay * (std::sin(phase) + 0.25f * std::sin(2 * phase));
  });
}

void AddFlute(Track& track, double start, float frequency, float seconds, float gain) {
  AddSamples(track, start, At(seconds), [&](float t) {
    float attack = std::min(1.0f, t / 0.08f);
    float end = std::min(1.0f, (seconds - t) / 0.12f);
    float vibrato = 1 + 0.004f * std::sin(kTwoPi * 5 * t) * std::min(1.0f, t / 0.4f);
    float phase = kTwoPi * frequency * vibrato * t;
    return gain * attack * end * (std::sin(phase) + 0.12f * std::sin(2 * phase));
  });
}

void AddReverb(Track& track, float wet, float size) {
  // Four combs in parallel, then two all-passes (delays in samples at 22050 Hz).
  static constexpr std::array<size_t, 4> kComb = {617, 677, 743, 797};
  static constexpr std::array<size_t, 2> kAllPass = {227, 89};
  Track out(track.size(), 0.0f);
  for (size_t delay : kComb) {
    size_t d = static_cast<size_t>(static_cast<float>(delay) * size);
    std::vector<float> buffer(d, 0.0f);
    float damp = 0;
    size_t index = 0;
    for (size_t i = 0; i < track.size(); ++i) {
      float y = buffer[index];
      damp = 0.6f * y + 0.4f * damp;  // the walls soak up the highs
      buffer[index] = track[i] + 0.8f * damp;
      index = (index + 1) % d;
      out[i] += y / 4;
    }
  }
  for (size_t delay : kAllPass) {
    std::vector<float> buffer(delay, 0.0f);
    size_t index = 0;
    for (float& sample : out) {
      float b = buffer[index];
      float y = -0.5f * sample + b;
      buffer[index] = sample + 0.5f * b;
      index = (index + 1) % delay;
      sample = y;
    }
  }
  for (size_t i = 0; i < track.size(); ++i) track[i] += wet * out[i];
}

namespace {

Sound ToSamples(const Track& track, float peak) {
  float largest = 0;
  for (float v : track) largest = std::max(largest, std::abs(v));
  float scale = largest > 0 ? peak * 32767 / largest : 0;
  Sound sound;
  sound.samples.reserve(track.size());
  for (float v : track) {
    long s = std::lround(v * scale);
    sound.samples.push_back(static_cast<int16_t>(std::clamp(s, -32767l, 32767l)));
  }
  return sound;
}

}  // namespace

Sound FinishLoop(Track track, size_t loop_length, float peak) {
  track.resize(std::max(track.size(), loop_length), 0.0f);
  // What rang on past the end sounds again over the start, each time round.
  for (size_t i = loop_length; i < track.size(); ++i) track[i % loop_length] += track[i];
  track.resize(loop_length);
  double mean = 0;
  for (float v : track) mean += v;
  mean /= static_cast<double>(loop_length);
  for (float& v : track) v -= static_cast<float>(mean);
  Sound sound = ToSamples(track, peak);
  LoopRecord loop;
  loop.start = 0;
  loop.end = static_cast<uint32_t>(loop_length);
  sound.loop = loop;
  return sound;
}

Sound FinishOnce(Track track, float peak) {
  double mean = 0;
  for (float v : track) mean += v;
  mean /= static_cast<double>(std::max<size_t>(1, track.size()));
  size_t fade = std::min(track.size() / 2, At(0.01));
  for (size_t i = 0; i < track.size(); ++i) {
    track[i] -= static_cast<float>(mean);
    if (i < fade) track[i] *= static_cast<float>(i) / static_cast<float>(fade);
    size_t left = track.size() - 1 - i;
    if (left < fade) track[i] *= static_cast<float>(left) / static_cast<float>(fade);
  }
  return ToSamples(track, peak);
}

}  // namespace tvx::demo
