#include "demo/generator/noise.h"

#include <cmath>

namespace tvx::demo {

uint64_t Random::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float LatticeValue(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
               seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<float>(h >> 8) / static_cast<float>(1 << 24);
}

float ValueNoise(float x, float y, uint32_t seed) {
  float fx = std::floor(x);
  float fy = std::floor(y);
  auto ix = static_cast<int32_t>(fx);
  auto iy = static_cast<int32_t>(fy);
  float tx = x - fx;
  float ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  float a = LatticeValue(ix, iy, seed);
  float b = LatticeValue(ix + 1, iy, seed);
  float c = LatticeValue(ix, iy + 1, seed);
  float d = LatticeValue(ix + 1, iy + 1, seed);
  float top = a + (b - a) * tx;
  float bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0;
  float weight = 0.5f;
  float total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 7919u);
    total += weight;
    weight *= 0.5f;
    x = x * 2.0f + 17.3f;
    y = y * 2.0f + 5.1f;
  }
  return sum / total;
}

}  // namespace tvx::demo
