// Drawing onto the planes: fonts and glyphs, picture decoding, blits and fades.
//
// Stand-in until glyph drawing and pictures are built: creating and initialising succeed.
#pragma once

namespace tvx {

class GraphicsEngine {
 public:
  int Create() { return 1; }
  void Initialise() {}
};

}  // namespace tvx
