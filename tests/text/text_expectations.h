// What a sequence of glyphs looks like on a black 640 × 480 plane, drawn by a glyph renderer
// of the test's own, to hold the engine's plane 0 against once a script has laid text out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/glyph_renderer.h"
#include "resources/gbk.h"

namespace tvx::testing {

struct PlacedGlyph {
  uint16_t code;
  int x;
  int y;
};

// The code of one character written in UTF-8 (GBK: lead byte high).
inline uint16_t CodeOf(std::string_view utf8) {
  const std::string gbk = gbk::FromUtf8(utf8);
  if (gbk.size() == 1) return static_cast<uint8_t>(gbk[0]);
  return static_cast<uint16_t>(static_cast<uint8_t>(gbk[0]) << 8 | static_cast<uint8_t>(gbk[1]));
}

class ExpectedScreen {
 public:
  ExpectedScreen(uint16_t outline, uint16_t face) {
    renderer_.CreateFont();
    renderer_.Initialise();
    renderer_.SetColours(outline, face);
  }
  ExpectedScreen& Add(uint16_t code, int x, int y, uint16_t style = 0) {
    renderer_.Draw(plane_, code, x, y, style);
    return *this;
  }
  ExpectedScreen& Add(std::string_view utf8, int x, int y) { return Add(CodeOf(utf8), x, y); }

  // Empty when the plane holds exactly this picture; otherwise where it first differs.
  std::string Compare(const VramPlane& plane) const {
    if (plane.width != 640 || plane.height != 480) return "plane of another size";
    for (uint32_t y = 0; y < 480; ++y)
      for (uint32_t x = 0; x < 640; ++x)
        if (plane.At(x, y) != plane_.At(x, y))
          return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return {};
  }

 private:
  std::vector<uint16_t> pixels_ = std::vector<uint16_t>(640 * 480, 0);
  VramPlane plane_{pixels_, 0, 0, 640, 480};
  GlyphRenderer renderer_;
};

}  // namespace tvx::testing
