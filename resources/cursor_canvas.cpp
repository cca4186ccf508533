#include "resources/cursor_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace tvx::cursor_art {

Shape Box(double left, double top, double right, double bottom) {
  return [=](Vec p) { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; };
}

Shape RoundBox(double left, double top, double right, double bottom, double radius) {
  return [=](Vec p) {
    if (p.x < left || p.x >= right || p.y < top || p.y >= bottom) return false;
    // Distance into the corner square, if the point lies in one.
    const double dx = std::max({left + radius - p.x, p.x - (right - radius), 0.0});
    const double dy = std::max({top + radius - p.y, p.y - (bottom - radius), 0.0});
    return dx * dx + dy * dy <= radius * radius;
  };
}

Shape Disc(Vec centre, double radius) {
  return [=](Vec p) { return std::hypot(p.x - centre.x, p.y - centre.y) <= radius; };
}

Shape Ring(Vec centre, double inner, double outer) {
  return [=](Vec p) {
    const double d = std::hypot(p.x - centre.x, p.y - centre.y);
    return d >= inner && d <= outer;
  };
}

Shape Stroke(Vec a, Vec b, double half_width) {
  return [=](Vec p) {
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    const double length2 = ex * ex + ey * ey;
    double t = length2 > 0 ? ((p.x - a.x) * ex + (p.y - a.y) * ey) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * ex), p.y - (a.y + t * ey)) <= half_width;
  };
}

Shape Polygon(std::vector<Vec> points) {
  return [points = std::move(points)](Vec p) {
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const Vec& a = points[i];
      const Vec& b = points[j];
      if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
        inside = !inside;
    }
    return inside;
  };
}

Shape Sector(Vec centre, double from, double to) {
  const auto wrap = [](double degrees) { return degrees - 360.0 * std::floor(degrees / 360.0); };
  const double span = wrap(to - from);
  return [=](Vec p) {
    const double angle = std::atan2(p.y - centre.y, p.x - centre.x) * 180.0 / std::numbers::pi;
    return wrap(angle - from) <= span;
  };
}

Shape Union(std::initializer_list<Shape> shapes) {
  return [parts = std::vector<Shape>(shapes)](Vec p) {
    return std::any_of(parts.begin(), parts.end(), [p](const Shape& s) { return s(p); });
  };
}

Shape Intersect(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](Vec p) { return a(p) && b(p); };
}

CursorCanvas::Mask CursorCanvas::Cover(const Shape& shape) {
  Mask mask{};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) mask[y * kSize + x] = shape({x + 0.5, y + 0.5});
  return mask;
}

CursorCanvas::Mask CursorCanvas::Grow(const Mask& mask, bool diagonals) {
  Mask grown{};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      bool touched = false;
      for (int dy = -1; dy <= 1 && !touched; ++dy) {
        for (int dx = -1; dx <= 1 && !touched; ++dx) {
          if (dx != 0 && dy != 0 && !diagonals) continue;
          const int nx = x + dx;
          const int ny = y + dy;
          touched = nx >= 0 && nx < kSize && ny >= 0 && ny < kSize && mask[ny * kSize + nx];
        }
      }
      grown[y * kSize + x] = touched;
    }
  }
  return grown;
}

void CursorCanvas::Fill(const Shape& shape, uint32_t argb) {
  const Mask mask = Cover(shape);
  for (size_t i = 0; i < pixels_.size(); ++i)
    if (mask[i]) pixels_[i] = argb;
}

void CursorCanvas::Outlined(const Shape& shape, uint32_t fill) {
  const Mask mask = Cover(shape);
  const Mask ring = Grow(mask, false);
  for (size_t i = 0; i < pixels_.size(); ++i)
    if (ring[i]) pixels_[i] = mask[i] ? fill : kBlack;
}

void CursorCanvas::Hollow(const Shape& shape, uint32_t band) {
  const Mask mask = Cover(shape);
  const Mask ring = Grow(mask, false);
  // The inside less one pixel all round: what is neither the shape's edge nor outside it.
  Mask outside{};
  for (size_t i = 0; i < mask.size(); ++i) outside[i] = !mask[i];
  const Mask near_edge = Grow(outside, true);
  Mask band_mask{};
  for (size_t i = 0; i < mask.size(); ++i) band_mask[i] = mask[i] && near_edge[i];
  // A hole of a pixel or two in a narrow part would only look like dirt: fill it.
  for (int y = 1; y < kSize - 1; ++y) {
    for (int x = 1; x < kSize - 1; ++x) {
      const int i = y * kSize + x;
      if (!mask[i] || band_mask[i]) continue;
      const int open =
          !band_mask[i - 1] + !band_mask[i + 1] + !band_mask[i - kSize] + !band_mask[i + kSize];
      if (open < 2) band_mask[i] = true;
    }
  }
  for (size_t i = 0; i < pixels_.size(); ++i) {
    if (!ring[i]) continue;
    pixels_[i] = !mask[i] ? kBlack : band_mask[i] ? band : 0;
  }
}

CursorPicture CursorCanvas::Finish(uint16_t id, int hot_x, int hot_y) const {
  return {id,
          kSize,
          kSize,
          static_cast<uint16_t>(hot_x),
          static_cast<uint16_t>(hot_y),
          std::vector<uint32_t>(pixels_.begin(), pixels_.end())};
}

}  // namespace tvx::cursor_art
