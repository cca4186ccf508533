// Any text as a headless event script: it parses or names every bad line, never crashes,
// and what parses comes out in time order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/headless/event_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = tvx::platform::ParseEventScript(text);
  if (!result.ok()) {
    // One "line N: ..." per bad line, and no events.
    std::string_view error = result.error;
    for (;;) {
      const std::string_view line = error.substr(0, error.find('\n'));
      if (!line.starts_with("line ")) std::abort();
      if (line.size() == error.size()) break;
      error.remove_prefix(line.size() + 1);
    }
    if (!result.events.empty()) std::abort();
    return 0;
  }
  for (size_t i = 1; i < result.events.size(); ++i)
    if (result.events[i].time < result.events[i - 1].time) std::abort();
  return 0;
}
