#include "demo/generator/canvas.h"

#include <algorithm>
#include <cmath>

namespace tvx::demo {

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Rgb colour, float alpha) {
  if (!Contains(x, y) || alpha <= 0) return;
  Rgb& p = pixels_[Index(x, y)];
  p = Mix(p, colour, std::min(alpha, 1.0f));
}

void Canvas::AddLight(int x, int y, Rgb colour, float amount) {
  if (!Contains(x, y) || amount <= 0) return;
  Rgb& p = pixels_[Index(x, y)];
  p = Add(p, Scale(colour, amount));
}

void Canvas::FillRect(float left, float top, float right, float bottom, Rgb colour, float alpha) {
  FillShape(left, top, right, bottom, colour, alpha,
            [&](float x, float y) { return x >= left && x < right && y >= top && y < bottom; });
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, Rgb colour, float alpha) {
  FillShape(cx - rx, cy - ry, cx + rx, cy + ry, colour, alpha, [&](float x, float y) {
    float dx = (x - cx) / rx;
    float dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
  });
}

bool InsidePolygon(std::span<const Point> points, float x, float y) {
  bool inside = false;
  for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
    const Point& a = points[i];
    const Point& b = points[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
  }
  return inside;
}

namespace {

// The smallest rectangle that holds the points (there is at least one).
struct Bounds {
  float left, top, right, bottom;
};
Bounds BoundsOf(std::span<const Point> points) {
  Bounds b{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    b.left = std::min(b.left, p.x);
    b.right = std::max(b.right, p.x);
    b.top = std::min(b.top, p.y);
    b.bottom = std::max(b.bottom, p.y);
  }
  return b;
}

}  // namespace

void Canvas::FillPolygon(std::span<const Point> points, Rgb colour, float alpha) {
  if (points.size() < 3) return;
  const auto [left, top, right, bottom] = BoundsOf(points);
  FillShape(left, top, right, bottom, colour, alpha,
            [&](float x, float y) { return InsidePolygon(points, x, y); });
}

float DistanceToSegment(Point p, Point a, Point b) {
  float dx = b.x - a.x;
  float dy = b.y - a.y;
  float length2 = dx * dx + dy * dy;
  float t =
      length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0f, 1.0f) : 0.0f;
  float ex = p.x - (a.x + t * dx);
  float ey = p.y - (a.y + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

void Canvas::StrokeLine(Point a, Point b, float width, Rgb colour, float alpha) {
  float r = width / 2;
  FillShape(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
            std::max(a.y, b.y) + r, colour, alpha, [&](float x, float y) {
              return DistanceToSegment({x, y}, a, b) <= r;
            });
}

void Canvas::StrokePath(std::span<const Point> points, float width, Rgb colour, float alpha) {
  float r = width / 2;
  if (points.empty()) return;
  const auto [left, top, right, bottom] = BoundsOf(points);
  auto distance = [&](float x, float y) {
    float d = 1e9f;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
      d = std::min(d, DistanceToSegment({x, y}, points[i], points[i + 1]));
    }
    return d;
  };
  // One shape for the whole path, so that the joints are not painted twice. A pixel whose
  // centre lies well inside or well outside the stroke needs no samples.
  int x0 = std::max(0, static_cast<int>(left - r) - 1);
  int y0 = std::max(0, static_cast<int>(top - r) - 1);
  int x1 = std::min(width_ - 1, static_cast<int>(right + r) + 1);
  int y1 = std::min(height_ - 1, static_cast<int>(bottom + r) + 1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      float centre = distance(x + 0.5f, y + 0.5f);
      if (centre > r + 0.75f) continue;
      if (centre < r - 0.75f) {
        Blend(x, y, colour, alpha);
        continue;
      }
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          hits += distance(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) <= r ? 1 : 0;
        }
      }
      if (hits > 0) Blend(x, y, colour, alpha * static_cast<float>(hits) / 16);
    }
  }
}

void Canvas::Glow(float cx, float cy, float radius, Rgb colour, float amount) {
  int x0 = std::max(0, static_cast<int>(cx - radius));
  int x1 = std::min(width_ - 1, static_cast<int>(cx + radius) + 1);
  int y0 = std::max(0, static_cast<int>(cy - radius));
  int y1 = std::min(height_ - 1, static_cast<int>(cy + radius) + 1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      float dx = x + 0.5f - cx;
      float dy = y + 0.5f - cy;
      float d = std::sqrt(dx * dx + dy * dy) / radius;
      if (d >= 1) continue;
      float k = (1 - d) * (1 - d);
      AddLight(x, y, colour, amount * k);
    }
  }
}

Canvas Canvas::Crop(int x, int y, int width, int height) const {
  Canvas out(width, height);
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      if (Contains(x + i, y + j)) out.Set(i, j, Get(x + i, y + j));
    }
  }
  return out;
}

void Canvas::Paste(const Canvas& source, int x, int y) {
  for (int j = 0; j < source.Height(); ++j) {
    for (int i = 0; i < source.Width(); ++i) {
      if (Contains(x + i, y + j)) Set(x + i, y + j, source.Get(i, j));
    }
  }
}

namespace {

// The 4 × 4 Bayer matrix, as thresholds in (0, 1).
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint16_t Channel(float value, float threshold) {
  float v = Clamp01(value) * 31 + threshold;
  return static_cast<uint16_t>(std::clamp(static_cast<int>(std::floor(v + 0.5f)), 0, 31));
}

}  // namespace

tool::Picture555 Canvas::ToPicture() const {
  tool::Picture555 picture;
  picture.width = static_cast<uint32_t>(width_);
  picture.height = static_cast<uint32_t>(height_);
  picture.pixels.resize(pixels_.size());
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float threshold = (static_cast<float>(kBayer[y & 3][x & 3]) + 0.5f) / 16 - 0.5f;
      Rgb c = Get(x, y);
      picture.At(x, y) = static_cast<uint16_t>(
          Channel(c.r, threshold) << 10 | Channel(c.g, threshold) << 5 | Channel(c.b, threshold));
    }
  }
  return picture;
}

}  // namespace tvx::demo
