// A task that runs every so many milliseconds until it is stopped: the engine's 15 ms tick and
// the sound feeders. With the real clock it runs on a thread of its own; on the headless
// platform it runs from the pump at exact virtual times, on the program thread, so a run is
// reproducible to the tick.
//
// Each pass: note the time, run the body, then wait for what is left of the period (nothing
// when the body took the whole period or longer). Lost time is not made up.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tvx::platform {

class PeriodicTask {
 public:
  using Body = std::function<void()>;

  PeriodicTask() = default;
  PeriodicTask(const PeriodicTask&) = delete;
  PeriodicTask& operator=(const PeriodicTask&) = delete;
  ~PeriodicTask() { Stop(); }

  // False when the task could not be started (or runs already).
  bool Start(uint32_t period_ms, Body body);
  // Returns once the last pass has ended; the body never runs after this.
  void Stop();
  bool running() const { return running_; }
  // From the body: after this pass the thread sleeps until Wake (or Stop) instead of waking
  // every period, for a task with nothing to do for a while (a sound channel that is not
  // playing). Wake puts it back on its old schedule: the next pass falls where it would
  // have fallen had it never slept. Passes in virtual time go on as before (they cost no
  // waking), so headless runs stay the same to the tick.
  void Park();
  void Wake();
  // Whether the thread sleeps until Wake.
  bool parked() const;
  // True when passes run from the pump (headless) rather than on a thread.
  bool virtual_time() const { return virtual_id_ >= 0; }

 private:
  void ThreadLoop();

  Body body_;
  uint32_t period_ms_ = 0;
  bool running_ = false;
  int virtual_id_ = -1;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable stop_signal_;
  bool stop_ = false;
  bool parked_ = false;
};

}  // namespace tvx::platform
