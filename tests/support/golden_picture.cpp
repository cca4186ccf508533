#include "tests/support/golden_picture.h"

#include <cstdlib>
#include <string_view>

#include "tools/png_io.h"

namespace tvx::testing {

std::string CompareWithGolden(const platform::Framebuffer& screen, const platform::Rect& area,
                              const std::string& name) {
  const platform::Rect r = platform::Intersect(area, {0, 0, screen.width(), screen.height()});
  if (r.Empty() || r != area) return "the area is not inside the window";
  tool::Picture555 picture;
  picture.width = static_cast<uint32_t>(r.Width());
  picture.height = static_cast<uint32_t>(r.Height());
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      picture.pixels.push_back(static_cast<uint16_t>(screen.At(x, y) & 0x7FFF));
  return CompareWithGolden(picture, name);
}

std::string CompareWithGolden(const tool::Picture555& picture, const std::string& name) {
  const std::string path = std::string(TALVEX_SOURCE_DIR) + "/tests/data/golden/" + name + ".png";
  std::string error;
  const char* update = std::getenv("TALVEX_UPDATE_EXPECTED");
  if (update && std::string_view(update) == "1")
    return tool::WritePngFile(path, picture, error) ? std::string() : error;
  const auto golden = tool::ReadPngFile(path, error);
  if (!golden) return error + " (TALVEX_UPDATE_EXPECTED=1 writes it)";
  if (golden->width != picture.width || golden->height != picture.height)
    return name + ": the golden picture is " + std::to_string(golden->width) + " x " +
           std::to_string(golden->height);
  size_t differing = 0;
  std::string first;
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x)
      if (golden->At(x, y) != picture.At(x, y) && differing++ == 0)
        first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  if (differing == 0) return {};
  return name + ": " + std::to_string(differing) + " pixels differ;" + first;
}

}  // namespace tvx::testing
