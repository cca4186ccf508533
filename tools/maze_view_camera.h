// Where the walls of the maze view lie on the screen in each frame, so that wall pieces can
// be rendered from a texture in perspective. The details of the camera, and how it was found
// from the placement tables, are in maze_view_camera.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tvx::tool::maze {

// A wall as one frame shows it: the screen columns of its two ends (its left end as seen
// from the walker's side first), and at each end 1 / depth and the texture's u (0 at the
// wall's left end, 1 at its right). Both 1 / depth and u / depth go linearly with the
// column, as a perspective view has it.
struct WallSpan {
  double left = 0;
  double right = 0;
  double wLeft = 0;
  double wRight = 0;
  double uLeft = 0;
  double uRight = 1;
  bool along = false;  // a wall along the view (a left or right wall), not across it

  // 1 / depth and u at a screen position between the ends (t = 0 at `left`).
  double W(double x) const;
  double U(double x) const;
};

class ViewCamera {
 public:
  // The row where the view's floor and ceiling meet, and a wall's rows in `frame` at
  // 1 / depth w.
  static constexpr double kHorizon = 208;
  static double Top(size_t frame, double w);
  static double Bottom(size_t frame, double w);
  // Pixels a wall one cell wide spans at 1 / depth w.
  static double CellPixels(double w);

  // The wall that view byte `index` (3-30) stands for in `frame` (0-4); nothing for an index
  // without a wall, or a wall wholly behind the eye.
  static std::optional<WallSpan> Wall(size_t frame, uint8_t index);
};

}  // namespace tvx::tool::maze
