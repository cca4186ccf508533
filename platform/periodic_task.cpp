#include "platform/periodic_task.h"

#include <algorithm>
#include <chrono>

#include "platform/platform.h"

namespace tvx::platform {

bool PeriodicTask::Start(uint32_t period_ms, Body body) {
  if (running_ || period_ms == 0 || !Installed()) return false;
  body_ = std::move(body);
  period_ms_ = period_ms;
  virtual_id_ = CurrentBackend().AddPeriodic(period_ms, [this] { body_(); });
  if (virtual_id_ < 0) {
    stop_ = false;
    thread_ = std::thread([this] { ThreadLoop(); });
  }
  running_ = true;
  return true;
}

void PeriodicTask::Stop() {
  if (!running_) return;
  if (virtual_id_ >= 0) {
    if (Installed()) CurrentBackend().RemovePeriodic(virtual_id_);
    virtual_id_ = -1;
  } else {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      parked_ = false;
    }
    stop_signal_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  running_ = false;
}

void PeriodicTask::Park() {
  if (virtual_id_ >= 0) return;
  std::lock_guard lock(mutex_);
  parked_ = true;
}

bool PeriodicTask::parked() const {
  std::lock_guard lock(mutex_);
  return parked_;
}

void PeriodicTask::Wake() {
  if (virtual_id_ >= 0) return;
  {
    std::lock_guard lock(mutex_);
    if (!parked_) return;
    parked_ = false;
  }
  stop_signal_.notify_all();
}

void PeriodicTask::ThreadLoop() {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::milliseconds(period_ms_);
  for (;;) {
    const auto start = Clock::now();
    body_();
    const auto elapsed = Clock::now() - start;
    std::unique_lock lock(mutex_);
    if (parked_) {
      stop_signal_.wait(lock, [this] { return stop_ || !parked_; });
      if (stop_) return;
      // The first of the old schedule's passes that has not gone by.
      const auto now = Clock::now();
      auto due = start + std::max<Clock::duration>(period, elapsed);
      if (due < now) due += ((now - due) / period + 1) * period;
      if (stop_signal_.wait_until(lock, due, [this] { return stop_; })) return;
      continue;
    }
    const auto rest = elapsed >= period ? Clock::duration::zero() : period - elapsed;
    if (stop_signal_.wait_for(lock, rest, [this] { return stop_; })) return;
  }
}

}  // namespace tvx::platform
