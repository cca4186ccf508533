// Any text as a headless event script: it parses or names the bad line, never crashes, and
// what parses comes out in time order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/headless/event_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = tvx::platform::ParseEventScript(text);
  if (!result.ok()) {
    if (result.error.rfind("line ", 0) != 0) std::abort();
    return 0;
  }
  for (size_t i = 1; i < result.events.size(); ++i)
    if (result.events[i].time < result.events[i - 1].time) std::abort();
  return 0;
}
