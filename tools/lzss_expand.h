// Expanding a whole LZSS stream whose expanded size is not stored anywhere (compressed
// archive entries, .lzss files): the output buffer grows until the stream fits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tvx::tool {

inline constexpr size_t kMaxExpandedSize = size_t{256} << 20;

// The expanded bytes, or nullopt when they would exceed `limit`.
std::optional<std::vector<uint8_t>> ExpandLzss(std::span<const uint8_t> packed,
                                               size_t limit = kMaxExpandedSize);

}  // namespace tvx::tool
