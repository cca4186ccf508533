// A picture being painted: floating-point colours, shapes with soft (supersampled) edges,
// glows of light, and the way out to the engine's 5-5-5 colours through a 4 × 4 ordered
// dither, which keeps gradients from banding at 32 levels a channel.
#pragma once

#include <span>
#include <vector>

#include "demo/generator/colour.h"
#include "tools/png_io.h"

namespace tvx::demo {

struct Point {
  float x = 0;
  float y = 0;
};

// The pure key colour of the sheets: 255, 0, 255 (5-bit 31, 0, 31); the dither keeps it.
inline constexpr Rgb kKey{1, 0, 1};

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill = {});

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb Get(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, Rgb colour) { pixels_[Index(x, y)] = colour; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Paints `colour` over the pixel with opacity `alpha` (0..1); outside pixels are ignored.
  void Blend(int x, int y, Rgb colour, float alpha);
  // Adds light: the colour times `amount` is added to the pixel.
  void AddLight(int x, int y, Rgb colour, float amount);

  // Calls paint(x, y, pixel&) for every pixel, row by row.
  template <typename Paint>
  void ForEach(Paint paint) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) paint(x, y, pixels_[Index(x, y)]);
    }
  }

  // Fills the pixels of the box whose 4 × 4 sample points `inside(x, y)` hits, each with
  // the share of its samples inside as its opacity (times `alpha`).
  template <typename Inside>
  void FillShape(float left, float top, float right, float bottom, Rgb colour, float alpha,
                 Inside inside) {
    int x0 = std::max(0, static_cast<int>(left) - 1);
    int y0 = std::max(0, static_cast<int>(top) - 1);
    int x1 = std::min(width_ - 1, static_cast<int>(right) + 1);
    int y1 = std::min(height_ - 1, static_cast<int>(bottom) + 1);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
          }
        }
        if (hits > 0) Blend(x, y, colour, alpha * static_cast<float>(hits) / 16);
      }
    }
  }

  void FillRect(float left, float top, float right, float bottom, Rgb colour, float alpha = 1);
  void FillEllipse(float cx, float cy, float rx, float ry, Rgb colour, float alpha = 1);
  void FillPolygon(std::span<const Point> points, Rgb colour, float alpha = 1);
  // A line `width` pixels wide with round ends.
  void StrokeLine(Point a, Point b, float width, Rgb colour, float alpha = 1);
  // A polyline through the points, each segment as StrokeLine.
  void StrokePath(std::span<const Point> points, float width, Rgb colour, float alpha = 1);
  // Light spread around a point: `amount` at the centre falling to 0 at `radius`.
  void Glow(float cx, float cy, float radius, Rgb colour, float amount);

  // The block at (x, y) of this canvas.
  Canvas Crop(int x, int y, int width, int height) const;
  // Copies `source` with its top left at (x, y).
  void Paste(const Canvas& source, int x, int y);

  // The engine's colours: each channel to 5 bits after a 4 × 4 ordered dither. A channel of
  // exactly 0 or 1 stays 0 or 31, so the key colour survives.
  tool::Picture555 ToPicture() const;

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

// True when the point lies inside the polygon (even-odd rule).
bool InsidePolygon(std::span<const Point> points, float x, float y);
// Distance from a point to the segment a-b.
float DistanceToSegment(Point p, Point a, Point b);

}  // namespace tvx::demo
