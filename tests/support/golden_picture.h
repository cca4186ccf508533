// Golden pictures: a part of a window compared with a committed PNG under tests/data/golden,
// exactly, in the engine's 5-bit channels. With TALVEX_UPDATE_EXPECTED=1 in the environment
// the PNG is written instead (then look at it before committing it).
#pragma once

#include <string>

#include "platform/framebuffer.h"
#include "platform/types.h"
#include "tools/png_io.h"

namespace tvx::testing {

// Empty when the picture matches; otherwise what differs (or why it could not compare).
std::string CompareWithGolden(const platform::Framebuffer& screen, const platform::Rect& area,
                              const std::string& name);
// The same for a whole picture (a dumped screen, for instance).
std::string CompareWithGolden(const tool::Picture555& picture, const std::string& name);

}  // namespace tvx::testing
