#pragma once

#include <cstdint>
#include <span>

namespace tvx {

// The memory a whole-file load may use besides its destination: compressed input is staged
// at `staging`, and moved towards the end of `image` when it would overlap its own output.
// Both are parts of the script image, where the destination usually lies too.
struct LoadSpace {
  std::span<uint8_t> staging;
  std::span<uint8_t> image;
};

}  // namespace tvx
