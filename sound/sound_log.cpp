#include "sound/sound_log.h"

#include "platform/platform.h"

namespace tvx {

void SoundLog::Add(int channel, std::string_view what, std::string_view name) {
  const uint32_t now = platform::Installed() ? platform::TickCount() : 0;
  std::lock_guard guard(mutex_);
  // A long game makes many sounds: the record keeps the most recent ones.
  if (events_.size() >= kLimit)
    events_.erase(events_.begin(), events_.begin() + static_cast<ptrdiff_t>(kLimit / 2));
  events_.push_back({now, channel, std::string(what), std::string(name)});
}

std::vector<SoundEvent> SoundLog::Events() const {
  std::lock_guard guard(mutex_);
  return events_;
}

void SoundLog::Clear() {
  std::lock_guard guard(mutex_);
  events_ = {};
}

}  // namespace tvx
