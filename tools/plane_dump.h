// The pictures of a `run --dump`: every picture plane and the window's picture as PNG files,
// rows top to bottom as they are seen, so that a test or a person can look at them.
#pragma once

#include <filesystem>
#include <ostream>

#include "platform/framebuffer.h"
#include "platform/types.h"
#include "tools/png_io.h"

namespace tvx {
class GameSystem;
}

namespace tvx::tool {

// A bottom-up picture (a plane's or a framebuffer's) turned the right way up.
Picture555 FromBottomUp(const platform::PixelView& view);

// Writes plane0.png … plane8.png into `dir` (plane 0 the real one whatever the redirect
// switch says, plane 8 the work plane; plane 2, which has no pixels, and any plane not made
// yet are left out) and screen.png from `screen`, the main window's picture, when there is
// one. False, with a message, when a file cannot be written.
bool WritePlaneDump(const std::filesystem::path& dir, GameSystem& system,
                    const platform::Framebuffer* screen, std::ostream& err);

}  // namespace tvx::tool
