// A record of what the channels did: every play, stop and fade, with the time (the
// platform's tick count in ms, virtual when headless) and the file concerned. The run
// tool's dump writes it out; tests read it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

struct SoundEvent {
  uint32_t time = 0;
  int channel = 0;
  std::string what;  // play, missing, stop, fade-slow, fade-fast, end, fade-end
  std::string name;  // GBK
};

class SoundLog {
 public:
  static constexpr size_t kLimit = 100000;
  // Safe from any thread.
  void Add(int channel, std::string_view what, std::string_view name);
  std::vector<SoundEvent> Events() const;
  // Forgets the record (and the memory it held): a replayed game starts a new one.
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<SoundEvent> events_;
};

}  // namespace tvx
