// A small rasteriser for the program's cursor pictures: shapes are point tests in pixel
// coordinates (pixel (x, y) covers [x, x + 1) × [y, y + 1) and is painted when its centre lies
// inside), painted without anti-aliasing so that edges and the 1-px outline stay crisp at the
// cursor's small size.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "resources/cursor_set.h"

namespace tvx::cursor_art {

struct Vec {
  double x = 0;
  double y = 0;
};

// Whether a point lies inside.
using Shape = std::function<bool(Vec)>;

Shape Box(double left, double top, double right, double bottom);
Shape RoundBox(double left, double top, double right, double bottom, double radius);
Shape Disc(Vec centre, double radius);
Shape Ring(Vec centre, double inner, double outer);
// The points within `half_width` of the segment a-b (a line with round ends).
Shape Stroke(Vec a, Vec b, double half_width);
// A polygon, even-odd rule.
Shape Polygon(std::vector<Vec> points);
// The points whose direction from `centre` lies between the two angles (degrees, measured
// clockwise from the +x axis, as y grows downward), going clockwise from `from` to `to`.
Shape Sector(Vec centre, double from, double to);
Shape Union(std::initializer_list<Shape> shapes);
Shape Intersect(Shape a, Shape b);

inline constexpr uint32_t kBlack = 0xFF000000;
inline constexpr uint32_t kWhite = 0xFFFFFFFF;

class CursorCanvas {
 public:
  static constexpr int kSize = 32;

  // Paints the pixels whose centres lie in the shape.
  void Fill(const Shape& shape, uint32_t argb);
  // Paints the shape with `fill` and a black ring one pixel wide around it (the pixels that
  // share an edge with it: a thin line, also along slopes), over whatever was there.
  void Outlined(const Shape& shape, uint32_t fill);
  // Like Outlined, but only a band of `band` one pixel wide inside the ring is painted; the
  // rest of the inside becomes transparent.
  void Hollow(const Shape& shape, uint32_t band);

  CursorPicture Finish(uint16_t id, int hot_x, int hot_y) const;

 private:
  using Mask = std::array<bool, kSize * kSize>;
  static Mask Cover(const Shape& shape);
  // The pixels of `mask` and every pixel next to one of them (diagonal neighbours too when
  // asked).
  static Mask Grow(const Mask& mask, bool diagonals);

  std::array<uint32_t, kSize * kSize> pixels_{};
};

}  // namespace tvx::cursor_art
