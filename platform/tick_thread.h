// The engine's 15 ms clock. Every pass, while not paused, counts one tick and runs the
// periodic tasks it was given (the game's are the channel fade step, the wanted mouse cursor
// and the animation slots). It is paused except while the interpreter runs; script waits
// reset the count and compare.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

#include "platform/periodic_task.h"

namespace tvx {

class TickThread {
 public:
  static constexpr uint32_t kTickMs = 15;

  // `tasks` runs on the clock's thread once per counted tick.
  explicit TickThread(std::function<void()> tasks) : tasks_(std::move(tasks)) {}
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
  void Shutdown();

 private:
  void Pass();

  std::function<void()> tasks_;
  std::atomic<int32_t> paused_{1};
  std::atomic<uint32_t> ticks_{0};
  platform::PeriodicTask task_;
};

}  // namespace tvx
