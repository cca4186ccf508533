// The 15 ms clock that script waits, fades and animations count on.
//
// Stand-in until the tick thread is built: it starts paused and never ticks.
#pragma once

#include <cstdint>

namespace tvx {

class TickThread {
 public:
  int Start() { return 1; }
  void Pause() { paused_ = true; }
  void Resume() { paused_ = false; }
  bool paused() const { return paused_; }
  uint32_t GetTicks() const { return 0; }

 private:
  bool paused_ = true;
};

}  // namespace tvx
