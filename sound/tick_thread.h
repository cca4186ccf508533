// The engine's 15 ms clock. Every pass, while not paused, counts one tick and runs the
// periodic tasks: the channel fade step, the wanted mouse cursor, the animation slots. It
// is paused except while the interpreter runs; script waits reset the count and compare.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/periodic_task.h"

namespace tvx {

class GameSystem;

class TickThread {
 public:
  static constexpr uint32_t kTickMs = 15;

  explicit TickThread(GameSystem& owner) : owner_(owner) {}
  TickThread(const TickThread&) = delete;
  TickThread& operator=(const TickThread&) = delete;
  ~TickThread() { Shutdown(); }

  // Starts the clock, paused. 0 when it could not start.
  int Start();
  void Pause() { paused_.store(1, std::memory_order_release); }
  void Resume() { paused_.store(0, std::memory_order_release); }
  bool paused() const { return paused_.load(std::memory_order_acquire) != 0; }
  uint32_t GetTicks() const { return ticks_.load(std::memory_order_acquire); }
  void ResetTicks() { ticks_.store(0, std::memory_order_release); }
  // Returns once the last pass has ended.
  void Shutdown() { task_.Stop(); }

 private:
  void Pass();

  GameSystem& owner_;
  std::atomic<int32_t> paused_{1};
  std::atomic<uint32_t> ticks_{0};
  platform::PeriodicTask task_;
};

}  // namespace tvx
