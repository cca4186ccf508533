// Trace channels per subsystem, off by default. TALVEX_TRACE=app,script (or "all") in the
// environment turns channels on; tests can install a sink to read what was traced.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace tvx::trace {

enum class Channel : uint8_t { App, Platform, Archive, Script, Graphics, Sound, Ui, Count };

bool Enabled(Channel channel);
void Write(Channel channel, std::string_view text);
// Replaces where traced lines go (standard error by default) and enables every channel while
// a sink is installed; pass nullptr to go back.
void SetSink(std::function<void(Channel, std::string_view)> sink);

}  // namespace tvx::trace

#define TVX_TRACE(channel, text)                                       \
  do {                                                                 \
    if (::tvx::trace::Enabled(::tvx::trace::Channel::channel))         \
      ::tvx::trace::Write(::tvx::trace::Channel::channel, (text));     \
  } while (0)
