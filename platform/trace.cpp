#include "platform/trace.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace tvx::trace {
namespace {

constexpr std::array<std::string_view, static_cast<size_t>(Channel::Count)> kNames = {
    "app", "platform", "archive", "script", "graphics", "sound", "ui"};

struct TraceState {
  std::atomic<uint32_t> mask{0};
  uint32_t env_mask = 0;
  std::mutex mutex;
  std::function<void(Channel, std::string_view)> sink;
};

TraceState& State() {
  static TraceState* state = [] {
    auto* s = new TraceState;
    if (const char* env = std::getenv("TALVEX_TRACE")) {
      const std::string list = env;
      for (size_t i = 0; i < kNames.size(); ++i)
        if (list == "all" || list.find(kNames[i]) != std::string::npos) s->env_mask |= 1u << i;
    }
    s->mask = s->env_mask;
    return s;
  }();
  return *state;
}

}  // namespace

bool Enabled(Channel channel) {
  return (State().mask.load(std::memory_order_relaxed) >> static_cast<uint32_t>(channel)) & 1u;
}

void Write(Channel channel, std::string_view text) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  if (s.sink) {
    s.sink(channel, text);
    return;
  }
  const auto name = kNames[static_cast<size_t>(channel)];
  std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(name.size()), name.data(),
               static_cast<int>(text.size()), text.data());
}

void SetSink(std::function<void(Channel, std::string_view)> sink) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  s.sink = std::move(sink);
  s.mask = s.sink ? ~0u : s.env_mask;
}

}  // namespace tvx::trace
