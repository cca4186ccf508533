// The 15 ms clock that script waits, fades and animations count on.
//
// Stand-in until the tick thread is built: the tick count follows the platform's millisecond
// clock (15 ms a tick) while the clock runs; no fade or animation is stepped.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace tvx {

class TickThread {
 public:
  static constexpr uint32_t kTickMs = 15;

  int Start() { return 1; }
  void Pause() {
    if (!paused_) ticks_at_pause_ = GetTicks();
    paused_ = true;
  }
  void Resume() {
    if (!paused_) return;
    paused_ = false;
    start_ms_ = platform::TickCount() - ticks_at_pause_ * kTickMs;
  }
  bool paused() const { return paused_; }
  uint32_t GetTicks() const {
    return paused_ ? ticks_at_pause_ : (platform::TickCount() - start_ms_) / kTickMs;
  }
  void ResetTicks() {
    ticks_at_pause_ = 0;
    start_ms_ = platform::TickCount();
  }

 private:
  bool paused_ = true;
  uint32_t start_ms_ = 0;
  uint32_t ticks_at_pause_ = 0;
};

}  // namespace tvx
