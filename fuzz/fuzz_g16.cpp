// Any byte string as a G16 picture, onto a screen-sized plane and onto a small one: the
// loader stays inside its file and writes nothing outside the plane (guard pixels on both
// sides of each plane must keep their value; ASan watches the rest).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "fuzz/fuzz_picture_planes.h"
#include "graphics/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tvx::PictureLoader loader;
  static tvx::fuzz::GuardedPlane screen(640, 480);
  static tvx::fuzz::GuardedPlane bar(320, 32);
  const std::span<const uint8_t> file(data, size);
  for (tvx::fuzz::GuardedPlane* plane : {&screen, &bar}) {
    loader.LoadG16(file, plane->plane());
    if (!plane->GuardsIntact()) std::abort();
  }
  return 0;
}
