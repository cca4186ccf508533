// Drawing onto the planes: the blit dispatcher, the picture loader and (to come with glyph
// drawing and transitions) fonts, glyphs and fades.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "app/settings_file.h"
#include "graphics/picture_loader.h"

namespace tvx {

class GameSystem;

// The blit operations, by number.
enum BlitOp : uint32_t {
  kCopyRect = 0,
  kCopyRectKeyed = 1,
  kFillRect = 2,
  kSwapRect = 3,
  kToggleColour = 4,
  kDissolve = 5,
  kComposite = 6,
  kCrossFade = 7,
};

class GraphicsEngine {
 public:
  // p1 … p13 of a blit request (index 0 is unused).
  using BlitParams = std::array<uint32_t, 14>;

  explicit GraphicsEngine(GameSystem& system) : system_(system) {}
  int Create() { return 1; }
  // Reads the picture layout (GRAPHICS/bBGTYPE) once for the run.
  void Initialise();

  // Operation 0-7 on planes named by number; coordinates and sizes are taken as their low
  // 16 bits. Numbers above 7 do nothing.
  void Blit(uint32_t op, const BlitParams& p);
  // Decodes a picture file (as read) onto a plane; false for a file too short for a header.
  bool LoadPicture(std::span<const uint8_t> file, VramPlane& plane);
  const PictureGeometry& lastPicture() const { return loader_.last(); }
  bool g16() const { return bg_type_ != 0; }

 private:
  GameSystem& system_;
  SettingsFile settings_;
  int32_t bg_type_ = 0;
  PictureLoader loader_;
  // Row scratch of SwapRect and Composite: as wide as the widest plane.
  std::array<uint16_t, 1000> scratch_row_{};
};

}  // namespace tvx
