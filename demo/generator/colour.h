// Colours of the painting code: three channels in 0..1 as they will be shown (no gamma
// games: the engine shows 5-bit channels as they are).
#pragma once

#include <algorithm>
#include <cstdint>

namespace tvx::demo {

struct Rgb {
  float r = 0;
  float g = 0;
  float b = 0;
};

constexpr Rgb Hex(uint32_t rgb) {
  return {static_cast<float>(rgb >> 16 & 0xFF) / 255.0f,
          static_cast<float>(rgb >> 8 & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f};
}

constexpr Rgb Mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Rgb Scale(Rgb a, float k) {
  return {a.r * k, a.g * k, a.b * k};
}
constexpr Rgb Add(Rgb a, Rgb b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
constexpr Rgb Multiply(Rgb a, Rgb b) {
  return {a.r * b.r, a.g * b.g, a.b * b.b};
}

// 0 below `edge0`, 1 above `edge1`, a smooth step between.
inline float SmoothStep(float edge0, float edge1, float x) {
  float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

inline float Clamp01(float x) {
  return std::clamp(x, 0.0f, 1.0f);
}

}  // namespace tvx::demo
