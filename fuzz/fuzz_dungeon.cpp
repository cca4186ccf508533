// Any byte string as the maze data a script hands the engine's maze view: a map, three tile
// sets, a palette and a click table cut from the input at lengths its first bytes give, then
// a walk whose moves are the input's last bytes, clicks looked up on the way. The view reads
// nothing outside the spans it was given; the frame the input asks for, drawn onto a guarded
// screen-sized plane and a short one, writes nothing outside them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fuzz/fuzz_picture_planes.h"
#include "fuzz/fuzz_support.h"
#include "graphics/dungeon_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  if (size < 8) return 0;
  GameSystem& game = fuzz::Game();
  DungeonView& view = *game.dungeon();
  std::span<const uint8_t> rest(data + 8, size - 8);
  // Each part as long as its length byte says (times 16), or what is left.
  auto take = [&rest](uint8_t units) {
    const auto part = rest.first(std::min<size_t>(size_t{units} * 16, rest.size()));
    rest = rest.subspan(part.size());
    return part;
  };
  MazeData maze;
  maze.map = take(data[0]);
  for (size_t i = 0; i < maze.tiles.size(); ++i) maze.tiles[i] = take(data[1 + i]);
  maze.palette = take(data[4]);
  maze.clicks = take(data[5]);
  if (!view.SetUp(maze)) return 0;
  // The walk's frames go to a plane that does not exist: drawing a screen for every step
  // would cost far more than the walk. The frames are fuzzed below.
  view.SetTargetPlane(0xFF);
  view.Place(data[7] % 8, data[7] / 8 % 8, data[7] / 64);
  for (size_t i = 0; i < std::min<size_t>(rest.size(), 16); ++i) {
    const uint8_t step = rest[i];
    if (step & 0x80) {
      (void)view.Act(step & 0x0F);
    } else {
      (void)view.Move(step & 3);
    }
    (void)view.ClickCode(step * 3 - 64, step * 2 - 32);
  }
  static fuzz::GuardedPlane screen(640, 480);
  static fuzz::GuardedPlane bar(200, 24);
  for (fuzz::GuardedPlane* plane : {&screen, &bar}) {
    view.DrawOnto(plane->plane(), data[6] % 5);
    if (!plane->GuardsIntact()) std::abort();
  }
  return 0;
}
