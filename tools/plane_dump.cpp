#include "tools/plane_dump.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/game_system.h"
#include "platform/path_text.h"

namespace tvx::tool {

Picture555 FromBottomUp(const platform::PixelView& view) {
  Picture555 picture;
  if (view.width <= 0 || view.height <= 0 ||
      view.pixels.size() < size_t(view.width) * size_t(view.height))
    return picture;
  picture.width = static_cast<uint32_t>(view.width);
  picture.height = static_cast<uint32_t>(view.height);
  picture.pixels.resize(size_t{picture.width} * picture.height);
  for (uint32_t y = 0; y < picture.height; ++y) {
    const auto row =
        view.pixels.subspan(size_t{picture.height - y - 1} * picture.width, picture.width);
    std::copy(row.begin(), row.end(), picture.pixels.begin() + size_t{y} * picture.width);
  }
  return picture;
}

bool WritePlaneDump(const std::filesystem::path& dir, GameSystem& system,
                    const platform::Framebuffer* screen, std::ostream& err) {
  // Copied out under the pixel lock (the clock may draw meanwhile), written without it.
  std::vector<std::pair<std::string, Picture555>> pictures;
  VramPlaneSet& planes = system.planes();
  if (planes.ready()) {
    std::lock_guard lock(planes.pixelLock());
    for (uint32_t index = 0; index <= VramPlaneSet::kWorkIndex; ++index) {
      const VramPlane& plane = index == 0 ? planes.Plane0() : planes.Get(index);
      if (plane.exists())
        pictures.emplace_back("plane" + std::to_string(index) + ".png", FromBottomUp(plane.View()));
    }
  }
  if (screen && screen->width() > 0 && screen->height() > 0)
    pictures.emplace_back("screen.png", FromBottomUp(screen->View()));

  bool ok = true;
  for (const auto& [name, picture] : pictures) {
    std::string error;
    if (!WritePngFile(platform::PathText(dir / name), picture, error)) {
      err << "talvex-tool run: " << error << "\n";
      ok = false;
    }
  }
  return ok;
}

}  // namespace tvx::tool
