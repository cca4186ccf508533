#include "resources/cursor_set.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "resources/cursor_canvas.h"

namespace tvx {
namespace {

using namespace cursor_art;

constexpr int kSide = CursorCanvas::kSize;

constexpr uint32_t kGlass = 0xFFE4F2FF;
constexpr uint32_t kLens = 0xFFB4DCFF;
constexpr uint32_t kSand = 0xFFE8AE3A;
constexpr uint32_t kWood = 0xFFC88A4A;
constexpr uint32_t kRed = 0xFFF04040;
constexpr uint32_t kGold = 0xFFFFE070;
constexpr uint32_t kYellow = 0xFFFFE640;
constexpr uint32_t kCream = 0xFFFFF6E0;
constexpr uint32_t kSteel = 0xFF98A4B0;
constexpr uint32_t kGrey = 0xFF8C8C8C;

// ---- Pictures made from others ----

// The picture with source pixel (x, y) moved to `to(x, y)`; the hot spot moves with it.
template <typename Map>
CursorPicture Remapped(const CursorPicture& source, uint16_t id, Map to) {
  CursorPicture out = source;
  out.id = id;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const auto [tx, ty] = to(x, y);
      out.argb[ty * kSide + tx] = source.argb[y * kSide + x];
    }
  }
  const auto [hx, hy] = to(source.hotX, source.hotY);
  out.hotX = static_cast<uint16_t>(hx);
  out.hotY = static_cast<uint16_t>(hy);
  return out;
}

CursorPicture Transposed(const CursorPicture& source, uint16_t id) {
  return Remapped(source, id, [](int x, int y) { return std::pair{y, x}; });
}
CursorPicture FlippedAcross(const CursorPicture& source, uint16_t id) {
  return Remapped(source, id, [](int x, int y) { return std::pair{kSide - 1 - x, y}; });
}
CursorPicture FlippedDown(const CursorPicture& source, uint16_t id) {
  return Remapped(source, id, [](int x, int y) { return std::pair{x, kSide - 1 - y}; });
}

// ---- Arrows ----

// The game's arrow, tip at the top left.
Shape ArrowShape() {
  return Polygon({{1, 0}, {1, 17}, {5, 13}, {8.2, 21}, {10.8, 20}, {7.6, 12}, {13, 12}});
}

CursorPicture Arrow(uint16_t id, uint32_t fill, bool hollow) {
  CursorCanvas canvas;
  if (hollow) {
    canvas.Hollow(ArrowShape(), fill);
  } else {
    canvas.Outlined(ArrowShape(), fill);
  }
  return canvas.Finish(id, 1, 1);
}

// A broad arrow pointing up, tip at the top middle.
CursorPicture ArrowUp(uint16_t id) {
  CursorCanvas canvas;
  canvas.Outlined(Union({Polygon({{15.5, 1.5}, {26.5, 13}, {4.5, 13}}), Box(11, 13, 20, 28)}),
                  kWhite);
  return canvas.Finish(id, 15, 2);
}

// ---- The hand ----

// A hand pointing up with its index finger; `pressed` bends the finger towards the screen
// (shorter) and adds the little lines of a tap around where its tip was.
CursorPicture Hand(uint16_t id, bool pressed) {
  CursorCanvas canvas;
  const double tip = pressed ? 7 : 5;
  const Shape index = RoundBox(8, tip, 13, 20, 2.5);
  const Shape middle = RoundBox(12.5, 12.5, 17, 22, 2);
  const Shape ring = RoundBox(16.5, 13.5, 21, 22, 2);
  const Shape little = RoundBox(20.5, 15, 24.5, 22, 2);
  const Shape thumb = Stroke({9.5, 24}, {4.5, 19}, 2.3);
  const Shape palm = RoundBox(8, 18, 24.5, 30, 3.5);
  canvas.Outlined(Union({index, middle, ring, little, thumb, palm}), kWhite);
  // Where the curled fingers meet, the index finger's side over them, the thumb's crease.
  canvas.Fill(Stroke({12.5, 13}, {12.5, 19}, 0.5), kBlack);
  canvas.Fill(Stroke({16.5, 14.5}, {16.5, 19}, 0.5), kBlack);
  canvas.Fill(Stroke({20.5, 16}, {20.5, 19}, 0.5), kBlack);
  canvas.Fill(Stroke({8.5, 23.5}, {10.5, 25.5}, 0.5), kBlack);
  if (pressed) {
    for (const auto& [from, to] : {std::pair<Vec, Vec>{{6.5, 4.5}, {4.5, 2.5}},
                                   {{14.5, 4.5}, {16.5, 2.5}},
                                   {{10.5, 2.5}, {10.5, 0.5}},
                                   {{6, 7.5}, {3.5, 7.5}},
                                   {{15, 7.5}, {17.5, 7.5}}}) {
      canvas.Fill(Stroke(from, to, 0.5), kBlack);
    }
  }
  return canvas.Finish(id, 10, 5);
}

// ---- Hourglass ----

// The glass of the hourglass: two bulbs meeting at a neck at y = 15.5.
Shape HourglassGlass() {
  return [](Vec p) {
    if (p.y < 5 || p.y > 26) return false;
    const double t = std::abs(p.y - 15.5) / 10.5;  // 0 at the neck, 1 at the bars
    const double half_width = 1 + 6.5 * (1 - (1 - t) * (1 - t));
    return std::abs(p.x - 15.5) <= half_width;
  };
}

// `top` and `bottom`: how full each bulb is, from 0 to 1.
CursorPicture Hourglass(uint16_t id, double top, double bottom, bool falling) {
  CursorCanvas canvas;
  const Shape glass = HourglassGlass();
  canvas.Outlined(glass, kGlass);
  if (top > 0) canvas.Fill(Intersect(glass, Box(0, 15.5 - 10 * top, kSide, 15.5)), kSand);
  if (bottom > 0) {
    // A heap, higher in the middle.
    const double height = 10 * bottom;
    canvas.Fill(
        Intersect(glass,
                  [height](Vec p) { return p.y >= 26 - height + std::abs(p.x - 15.5) * 0.35 - 1; }),
        kSand);
  }
  if (falling) canvas.Fill(Box(15, 15, 16, 26), kSand);
  canvas.Outlined(RoundBox(5, 2, 26, 5, 1), kWood);
  canvas.Outlined(RoundBox(5, 26, 26, 29, 1), kWood);
  return canvas.Finish(id, 15, 15);
}

// ---- Magnifier, speech bubble, crosshair ----

CursorPicture Magnifier(uint16_t id) {
  CursorCanvas canvas;
  const Vec centre{12.5, 12.5};
  canvas.Outlined(Stroke({19, 19}, {27, 27}, 2.6), kWood);
  canvas.Outlined(Disc(centre, 9.7), kWhite);
  canvas.Outlined(Disc(centre, 7), kLens);
  canvas.Fill(Intersect(Ring(centre, 3.6, 4.8), Sector(centre, 195, 265)), kWhite);
  return canvas.Finish(id, 12, 12);
}

CursorPicture SpeechBubble(uint16_t id) {
  CursorCanvas canvas;
  canvas.Outlined(
      Union({RoundBox(3, 4, 28, 21, 6), Polygon({{6.5, 18}, {13.5, 18}, {5, 27.5}, {3.5, 28}})}),
      kWhite);
  for (double x : {9.5, 15.5, 21.5}) canvas.Fill(Disc({x, 12.5}, 1.6), kBlack);
  return canvas.Finish(id, 4, 27);
}

CursorPicture Crosshair(uint16_t id) {
  CursorCanvas canvas;
  const Vec centre{15.5, 15.5};
  canvas.Outlined(Union({Box(2, 15, 12, 16), Box(19, 15, 29, 16), Box(15, 2, 16, 12),
                         Box(15, 19, 16, 29), Ring(centre, 8.5, 9.5), Box(15, 15, 16, 16)}),
                  kWhite);
  return canvas.Finish(id, 15, 15);
}

// ---- Maze ----

// An arrow lying on the floor, seen in perspective: narrow far away (top), wide near (bottom).
// `forward`: the head at the far end, else at the near end.
CursorPicture FloorArrow(uint16_t id, bool forward) {
  CursorCanvas canvas;
  canvas.Outlined(
      [forward](Vec p) {
        if (p.y < 2 || p.y > 29) return false;
        const double scale = 0.45 + 0.55 * (p.y - 2) / 27;
        const double u = std::abs(p.x - 15.5) / scale;
        // Distance along the arrow from its tip, 0 to 27.
        const double along = forward ? p.y - 2 : 29 - p.y;
        return along < 12 ? u <= 13 * along / 12 : u <= 5;
      },
      kWhite);
  return canvas.Finish(id, 15, 15);
}

// A curved arrow that goes up on the right and bends to point left.
CursorPicture TurnLeft(uint16_t id) {
  CursorCanvas canvas;
  const Vec centre{10, 24};
  canvas.Outlined(Union({Intersect(Ring(centre, 8, 14), Sector(centre, 270, 360)),
                         Box(18, 24, 24, 29), Polygon({{10.5, 5}, {10.5, 21}, {2, 13}})}),
                  kWhite);
  return canvas.Finish(id, 15, 15);
}

CursorPicture NoWay(uint16_t id) {
  CursorCanvas canvas;
  const Vec centre{15.5, 15.5};
  canvas.Outlined(
      Union({Ring(centre, 8.5, 12.7), Intersect(Disc(centre, 9), Stroke({8, 8}, {23, 23}, 2.2))}),
      kRed);
  return canvas.Finish(id, 15, 15);
}

// ---- Quill ----

// A quill whose nib rests on the hot spot, leaning `degrees` from the horizontal.
CursorPicture Quill(uint16_t id, double degrees) {
  CursorCanvas canvas;
  const Vec tip{5.5, 27.5};
  const double angle = degrees * std::numbers::pi / 180;
  const Vec along{std::cos(angle), -std::sin(angle)};
  const Vec across{-along.y, along.x};  // towards the lower right of the shaft
  constexpr double kLength = 26;
  constexpr double kNib = 0.16;  // the part of the length that is metal nib
  const auto point_at = [&](double t, double side) {
    return Vec{tip.x + along.x * kLength * t + across.x * side,
               tip.y + along.y * kLength * t + across.y * side};
  };
  // Where a point lies: t along the quill (0 at the nib's tip, 1 at the end), side across it.
  const auto locate = [=](Vec p, double& t, double& side) {
    const double dx = p.x - tip.x;
    const double dy = p.y - tip.y;
    t = (dx * along.x + dy * along.y) / kLength;
    side = dx * across.x + dy * across.y;
  };
  const Shape nib = [=](Vec p) {
    double t, side;
    locate(p, t, side);
    return t >= 0 && t < kNib && std::abs(side) <= 0.6 + 1.2 * t / kNib;
  };
  // The vane is wider on the upper left of the shaft than on the lower right.
  const Shape vane = [=](Vec p) {
    double t, side;
    locate(p, t, side);
    if (t < kNib || t > 1) return false;
    const double bulge = std::pow(std::sin(std::numbers::pi * (t - kNib) / (1 - kNib)), 0.7);
    return side < 0 ? -side <= 1 + 5 * bulge : side <= 1 + 2.5 * bulge;
  };
  canvas.Outlined(Union({nib, vane}), kCream);
  canvas.Fill(nib, kSteel);
  canvas.Fill(Stroke(point_at(kNib, 0), point_at(0.95, 0), 0.5), kGrey);
  // Notches in the vane, slanting towards the nib, make it read as a feather.
  for (const double t : {0.5, 0.72})
    canvas.Fill(Intersect(vane, Stroke(point_at(t - 0.1, -7), point_at(t, -3), 0.5)), kBlack);
  return canvas.Finish(id, 5, 27);
}

// ---- Star ----

Shape StarShape(Vec centre, double outer, double inner, int points) {
  std::vector<Vec> corners;
  for (int i = 0; i < points * 2; ++i) {
    const double radius = i % 2 == 0 ? outer : inner;
    const double angle = -std::numbers::pi / 2 + std::numbers::pi * i / points;
    corners.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
  }
  return Polygon(std::move(corners));
}

CursorPicture Star(uint16_t id, bool large) {
  CursorCanvas canvas;
  const Vec centre{15.5, 16};
  if (large) {
    canvas.Outlined(StarShape(centre, 12.5, 5.3, 5), kGold);
    // Glints: small crosses centred on a pixel, so that all four come out alike.
    for (const Vec glint : {Vec{4.5, 4.5}, Vec{26.5, 4.5}, Vec{27.5, 27.5}, Vec{3.5, 27.5}}) {
      canvas.Outlined(Union({Box(glint.x - 0.5, glint.y - 2.5, glint.x + 0.5, glint.y + 2.5),
                             Box(glint.x - 2.5, glint.y - 0.5, glint.x + 2.5, glint.y + 0.5)}),
                      kWhite);
    }
  } else {
    canvas.Outlined(StarShape(centre, 8, 3.4, 5), kGold);
  }
  return canvas.Finish(id, 15, 15);
}

}  // namespace

std::vector<CursorPicture> DrawCursorSet() {
  std::vector<CursorPicture> set;
  // Set by the scripts as 100 + n.
  set.push_back(Arrow(100, kWhite, false));
  set.push_back(Hand(101, false));
  set.push_back(Hourglass(102, 0.45, 0.35, true));
  set.push_back(Magnifier(103));
  set.push_back(SpeechBubble(104));
  set.push_back(Crosshair(105));
  const CursorPicture up = ArrowUp(106);
  const CursorPicture left = Transposed(up, 108);
  set.push_back(up);
  set.push_back(FlippedDown(up, 107));
  set.push_back(left);
  set.push_back(FlippedAcross(left, 109));
  // The maze.
  set.push_back(FloorArrow(225, true));
  const CursorPicture turn_left = TurnLeft(226);
  set.push_back(turn_left);
  set.push_back(FlippedAcross(turn_left, 227));
  set.push_back(FloorArrow(228, false));
  set.push_back(NoWay(229));
  // Animated pairs: the engine shows base + 1, then base, and so on.
  set.push_back(Hand(230, false));
  set.push_back(Hand(231, true));
  set.push_back(Hourglass(232, 0.8, 0, false));
  set.push_back(Hourglass(233, 0, 0.8, false));
  set.push_back(Quill(234, 56));
  set.push_back(Quill(235, 36));
  set.push_back(Arrow(236, kYellow, false));
  set.push_back(Arrow(237, kYellow, true));
  set.push_back(Star(238, false));
  set.push_back(Star(239, true));
  return set;
}

}  // namespace tvx
