#include "tools/maze_view_previews.h"

#include <filesystem>
#include <initializer_list>

#include "platform/path_text.h"

namespace tvx::tool::maze {
namespace {

constexpr uint8_t kWall = 9;

ViewBytes WallsAt(std::initializer_list<uint8_t> indices) {
  ViewBytes walls{};
  for (const uint8_t index : indices) walls[index] = kWall;
  return walls;
}

const std::array<PreviewScene, 5> kScenes = {{
    {"closed", WallsAt({4, 5, 6})},
    {"corridor", WallsAt({4, 6, 15, 17, 24, 26, 27, 28, 30})},
    {"junction", WallsAt({3, 7, 15, 16, 17})},
    {"hall", WallsAt({12, 13, 14, 16, 18, 19, 20})},
    {"far", WallsAt({12, 20, 24, 25, 26, 27, 28, 29, 30})},
}};

}  // namespace

std::span<const PreviewScene> PreviewScenes() {
  return kScenes;
}

std::optional<size_t> WritePreviews(const std::string& dir, std::span<const uint8_t> set,
                                    const Palette& palette, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(platform::PathFromText(dir), ec);
  const std::array<std::span<const uint8_t>, 3> sets = {set, set, set};
  constexpr uint32_t kHalfWidth = 320;
  constexpr uint32_t kHalfHeight = 240;
  Picture555 sheet{kHalfWidth * kFrames, kHalfHeight * static_cast<uint32_t>(kScenes.size()), {}};
  sheet.pixels.assign(size_t{sheet.width} * sheet.height, 0);
  size_t written = 0;
  for (size_t s = 0; s < kScenes.size(); ++s) {
    for (size_t frame = 0; frame < kFrames; ++frame) {
      const Picture555 view = AssembleView(frame, kScenes[s].walls, sets, palette);
      const std::string name =
          "view-" + std::to_string(frame) + "-" + std::string(kScenes[s].name) + ".png";
      if (!WritePngFile(platform::PathText(platform::PathFromText(dir) / name), view, error))
        return std::nullopt;
      ++written;
      // Each pixel of the sheet the mean of four, so that dithered colours keep their look.
      for (uint32_t y = 0; y < kHalfHeight; ++y) {
        for (uint32_t x = 0; x < kHalfWidth; ++x) {
          uint32_t mean = 0;
          for (const unsigned shift : {10u, 5u, 0u}) {
            uint32_t sum = 0;
            for (uint32_t dy = 0; dy < 2; ++dy)
              for (uint32_t dx = 0; dx < 2; ++dx)
                sum += view.At(2 * x + dx, 2 * y + dy) >> shift & 31;
            mean |= (sum + 2) / 4 << shift;
          }
          sheet.At(static_cast<uint32_t>(frame) * kHalfWidth + x,
                   static_cast<uint32_t>(s) * kHalfHeight + y) = static_cast<uint16_t>(mean);
        }
      }
    }
  }
  if (!WritePngFile(platform::PathText(platform::PathFromText(dir) / "sheet.png"), sheet, error))
    return std::nullopt;
  return written + 1;
}

}  // namespace tvx::tool::maze
