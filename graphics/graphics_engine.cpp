#include "graphics/graphics_engine.h"

#include <mutex>

#include "app/game_system.h"
#include "graphics/blitter.h"

namespace tvx {

void GraphicsEngine::Initialise() { bg_type_ = settings_.ReadInt("GRAPHICS", "bBGTYPE", 0); }

void GraphicsEngine::Blit(uint32_t op, const BlitParams& p) {
  VramPlaneSet& planes = system_.planes();
  auto low = [&](int i) { return p[static_cast<size_t>(i)] & 0xFFFF; };
  auto plane = [&](int i) -> VramPlane& { return planes.Get(p[static_cast<size_t>(i)]); };
  const blit::Rect16 rect{low(1), low(2), low(3), low(4)};
  std::lock_guard lock(planes.pixelLock());
  switch (op) {
    case kCopyRect:
      blit::CopyRect(plane(5), rect, plane(8), low(6), low(7));
      break;
    case kCopyRectKeyed:
      blit::CopyRectKeyed(plane(5), rect, plane(8), low(6), low(7),
                          static_cast<uint16_t>(p[12]));
      break;
    case kFillRect:
      blit::FillRect(plane(5), rect, static_cast<uint16_t>(p[12]));
      break;
    case kSwapRect:
      blit::SwapRect(plane(5), rect, plane(8), low(6), low(7), scratch_row_);
      break;
    case kToggleColour:
      blit::ToggleColour(plane(5), rect, static_cast<uint16_t>(p[12]),
                         static_cast<uint16_t>(p[13]));
      break;
    case kComposite:
      blit::Composite(plane(5), rect, plane(8), low(6), low(7), plane(11), low(9), low(10),
                      static_cast<uint16_t>(p[12]), scratch_row_);
      break;
    default:
      break;  // the dissolve and the cross-fade arrive with the transitions
  }
}

bool GraphicsEngine::LoadPicture(std::span<const uint8_t> file, VramPlane& plane) {
  std::lock_guard lock(system_.planes().pixelLock());
  return loader_.Load(file, plane, g16());
}

}  // namespace tvx
