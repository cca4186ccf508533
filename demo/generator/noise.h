// Deterministic randomness for the painting and the sound: a small seeded generator, and
// value noise with its fractal sum. Every asset takes fixed seeds, so that it comes out the
// same bytes on every run and every machine (integer hashing, no library random engines).
#pragma once

#include <cstdint>

namespace tvx::demo {

// SplitMix64: tiny, fast and good enough for placing stars and shaping noise.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform in [0, 1).
  float Unit() { return static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24); }
  float Range(float low, float high) { return low + (high - low) * Unit(); }

 private:
  uint64_t state_;
};

// A hash of a lattice point to [0, 1).
float LatticeValue(int32_t x, int32_t y, uint32_t seed);

// Smoothly interpolated value noise in [0, 1); one lattice cell per unit.
float ValueNoise(float x, float y, uint32_t seed);

// The sum of `octaves` layers of value noise, each twice the frequency and half the weight
// of the one before, normalised to [0, 1).
float Fbm(float x, float y, int octaves, uint32_t seed);

}  // namespace tvx::demo
