// The switches between the player's commands and the scripts: the save and load requests
// that the keys S and L (and their menu commands) raise and the scripts poll and
// acknowledge, and the bottom strip that Tab hides while the scripts allow it. None of them
// is saved with the variables.
#pragma once

#include <array>
#include <cstdint>

namespace tvx {

struct PlayerRequests {
  struct Request {
    uint32_t enabled = 0;
    uint32_t mark = 0;
  };
  static constexpr size_t kSave = 0;
  static constexpr size_t kLoad = 1;
  std::array<Request, 2> requests{};
  uint32_t stripHideAllowed = 0;
  uint32_t stripHidden = 0;
};

}  // namespace tvx
