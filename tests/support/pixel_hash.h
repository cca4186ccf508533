// A picture's pixels as one number, for tests that compare whole screens.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tvx::testing {

inline uint64_t Hash(std::span<const uint16_t> pixels) {
  uint64_t h = 1469598103934665603ull;
  for (uint16_t p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
}

// The hash of a 640 x 480 screen of one colour.
inline uint64_t HashOfColour(uint16_t colour) {
  return Hash(std::vector<uint16_t>(640 * 480, colour));
}

}  // namespace tvx::testing
