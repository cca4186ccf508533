// Animation data as the text that `talvex-tool anim build` reads: what `anim show` prints.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tools/anim_data.h"

namespace tvx::tool::anim {

// The frames, then the slots in the order of `data.programs`, with `notes` as comments
// between them and `title` in the first comment line. Frames are given by number and
// commands by name, so that building the text gives the same frames and programs again.
std::string FormatSource(const AnimData& data, std::span<const std::string> notes,
                         std::string_view title);

// The name of a frame type: "copy", "keyed", "swap", "composite", or the whole byte in
// hexadecimal for any other value.
std::string FrameTypeName(uint8_t type);

}  // namespace tvx::tool::anim
