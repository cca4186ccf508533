// The camera of the maze view, found from the placement tables of graphics/dungeon_tables.h.
//
// World: cells one unit wide, the walker's cell centred on (0, 0), the walker looking along
// +z, x to the right; walls stand on the cell edges, posts at their corners. The draw lists
// name which wall each placement shows (by view byte), and the placements' columns say
// where the posts between walls stand on the screen: in frame 0 the corridor's edges
// (x = ±0.5) are at columns 88 / 552 at z = 0.5 and 172 / 468 at z = 1.5; in frame 1 at
// 28, 140 and 232 (z = 2.5, where a front wall spans 232-416 and the next one to the left
// begins at 48); in frame 2 at 116 and 200; frame 3 turns right, with the posts (0.5, 0.5),
// (0.5, 1.5), (0.5, 2.5), (1.5, 1.5), (1.5, 2.5), (2.5, 1.5) at 412, 268, 176, about 464,
// 376 and 580; frame 4 is frame 3 mirrored. The ceiling (rows 0-103) and the floor (rows
// 312-479) meet at row 208, the horizon.
//
// One pinhole camera fitted to those 22 columns by least squares (the walker's eye on the
// cell's centre line, square pixels):
//   focal length  515 pixels
//   frame 0       the eye 0.53 cell behind the cell's centre
//   frame 1       0.18 cell further forward (the nearer frame of a step)
//   frame 2       0.22 cell further back (the farther frame: the next cell, not reached yet)
//   frames 3, 4   turned 21 degrees right and left where the eye stands
// misses them by 22 pixels on average and by up to 48 (frame 3's post (0.5, 0.5)): the
// pieces were drawn in a perspective of their own, not one pinhole's. (Letting the turn
// pivot on a point ahead of the eye fits the columns a little better, 19 pixels, but then
// the walls of frame 3 would have to be drawn a quarter lower than the camera has them to
// fit their pieces' rows; turning in place they need 8% less.) So each post the tables
// place is moved onto its column: slid along its line of sight when it stands well off
// that line (a few pixels then mean little depth), else moved across at the camera's depth.
// The walls are drawn between the posts so placed; posts the tables do not place (off the
// screen, or at the far end of a wall that ends in the dark) keep the camera's place. Where
// the tables draw two walls that share a post at columns a few pixels apart (frame 3's post
// (1.5, 1.5) at 460 and 468), each wall keeps its own column and the post's depth is the one
// between them, so the walls still meet at the same height.
//
// A wall's rows follow from its depth: it is 0.97 of a cell high, the eye at half its height
// and the horizon at row 208. Each frame draws its walls as high as that or, where a wall
// would reach beyond the rows of a placement that shows it (other than at the screen's
// edges), as much lower as keeps every wall inside its pieces, so that no wall is cut by the
// edge of its own piece: frame 0 keeps 99%, frames 1 and 2 all, frames 3 and 4 92%.
#include "tools/maze_view_camera.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/maze_tile_set.h"

namespace tvx::tool::maze {
namespace {

constexpr double kCentreColumn = 320;
constexpr double kScreenWidth = 640;
constexpr double kScreenHeight = 480;
constexpr double kFocal = 515;
constexpr double kEye = 0.4835;        // the eye's height over the floor, in cells
constexpr double kWallHeight = 0.967;  // in cells
constexpr double kNear = 0.05;         // walls nearer to the eye than this are cut off
// Posts nearer to the line of sight than this (in cells) keep the camera's depth and are
// moved across instead: there a few pixels of the tables' columns would move them far.
constexpr double kLeastSlid = 0.4;
constexpr double kPi = 3.14159265358979323846;

struct Pose {
  double z;
  double yaw;  // radians, positive: turned right
};
constexpr double kStandingZ = -0.53;
constexpr double kTurn = 21 * kPi / 180;
constexpr std::array<Pose, 5> kPoses = {{{kStandingZ, 0},
                                         {kStandingZ + 0.18, 0},
                                         {kStandingZ - 0.22, 0},
                                         {kStandingZ, kTurn},
                                         {kStandingZ, -kTurn}}};

// A post the tables place: in `frame`, the corner (x, z) stands at screen column `column`.
// Frames 0-2 are symmetric (the right-hand posts are the mirror images of these), frame 4
// is frame 3 mirrored.
struct PlacedPost {
  size_t frame;
  double x;
  double z;
  double column;
};
constexpr std::array<PlacedPost, 14> kPlacedPosts = {{
    {0, -0.5, 0.5, 88},
    {0, -0.5, 1.5, 172},
    {1, -0.5, 0.5, 28},
    {1, -0.5, 1.5, 140},
    {1, -0.5, 2.5, 232},
    {1, -1.5, 2.5, 48},
    {2, -0.5, 0.5, 116},
    {2, -0.5, 1.5, 200},
    {3, 0.5, 0.5, 412},
    {3, 0.5, 1.5, 268},
    {3, 0.5, 2.5, 176},
    {3, 1.5, 1.5, 464},
    {3, 1.5, 2.5, 376},
    {3, 2.5, 1.5, 580},
}};

// Ends of walls that the tables draw off their shared post (frame 3 only).
struct PlacedEnd {
  size_t frame;
  uint8_t index;
  bool right;  // the wall's right end, else its left
  double column;
};
constexpr std::array<PlacedEnd, 4> kPlacedEnds = {{
    {3, 19, false, 460},  // the right wall of the cell ahead-right, its far end
    {3, 30, true, 460},   // the right wall of the cell two ahead-right, its near end
    {3, 18, true, 468},   // the front wall of the cell ahead-right
    {3, 20, false, 468},  // the front wall of the cell ahead and two right
}};

// Which wall of which window slot each view byte shows (slot = 5 × depth row + lateral;
// depth row 0 is two cells ahead, lateral 0 two to the left).
enum class Face { kFront, kLeft, kRight };
struct ViewByteWall {
  uint8_t index;
  uint8_t slot;
  Face face;
};
constexpr std::array<ViewByteWall, 21> kViewByteWalls = {{
    {3, 11, Face::kFront}, {4, 12, Face::kLeft},  {5, 12, Face::kFront}, {6, 12, Face::kRight},
    {7, 13, Face::kFront}, {12, 5, Face::kFront}, {13, 6, Face::kLeft},  {14, 6, Face::kFront},
    {15, 7, Face::kLeft},  {16, 7, Face::kFront}, {17, 7, Face::kRight}, {18, 8, Face::kFront},
    {19, 8, Face::kRight}, {20, 9, Face::kFront}, {24, 1, Face::kLeft},  {25, 1, Face::kFront},
    {26, 2, Face::kLeft},  {27, 2, Face::kFront}, {28, 2, Face::kRight}, {29, 3, Face::kFront},
    {30, 3, Face::kRight},
}};

struct EyePoint {
  double across;  // to the right of the line of sight
  double depth;   // along it
};

std::optional<double> PlacedColumn(size_t frame, double x, double z) {
  for (const PlacedPost& post : kPlacedPosts) {
    if (std::abs(post.z - z) > 1e-9) continue;
    if (post.frame == frame && std::abs(post.x - x) < 1e-9) return post.column;
    const bool mirror = (frame <= 2 && post.frame == frame) || (frame == 4 && post.frame == 3);
    if (mirror && std::abs(post.x + x) < 1e-9) return kScreenWidth - post.column;
  }
  return std::nullopt;
}

// A post as the eye of `frame` sees it, moved onto its placed column: slid along its line of
// sight when it stands well off it, else moved across at the camera's depth.
EyePoint SeePost(size_t frame, double x, double z) {
  const Pose& pose = kPoses[frame];
  const double dz = z - pose.z;
  EyePoint point{x * std::cos(pose.yaw) - dz * std::sin(pose.yaw),
                 x * std::sin(pose.yaw) + dz * std::cos(pose.yaw)};
  const auto column = PlacedColumn(frame, x, z);
  if (column) {
    const double offset = *column - kCentreColumn;
    if (offset * point.across > 0 && std::abs(point.across) >= kLeastSlid) {
      point.depth = kFocal * point.across / offset;
    } else {
      point.across = offset * point.depth / kFocal;
    }
  }
  return point;
}

// How much lower than the camera has them the walls of each frame are drawn, so that no wall
// reaches beyond the rows of a placement that shows it (except at the screen's edges, where
// the screen cuts it anyway).
std::array<double, kFrames> FindHeightScales() {
  std::array<double, kFrames> scales{};
  for (size_t frame = 0; frame < kFrames; ++frame) {
    double scale = 1;
    for (const WallEntry& entry : kDrawLists[frame]) {
      const auto wall = ViewCamera::Wall(frame, entry.viewByte);
      if (!wall) continue;
      const Placement& placement = entry.placement;
      double width = 0;
      for (size_t i = 0; i < placement.count; ++i) width += kTiles[placement.tiles[i] & 0x7F].width;
      double height = 0;
      for (size_t i = 0; i < placement.count; ++i)
        height = std::max<double>(height, kTiles[placement.tiles[i] & 0x7F].height);
      const double top = 4.0 * placement.y4;
      const double bottom = top + height;
      const double from = std::max<double>(placement.x, std::min(wall->left, wall->right));
      const double to = std::min(placement.x + width, std::max(wall->left, wall->right));
      for (double x = std::floor(from) + 0.5; x < to; x += 1) {
        const double w = wall->W(x);
        if (top > 0)
          scale =
              std::min(scale, (ViewCamera::kHorizon - top) / (kFocal * (kWallHeight - kEye) * w));
        if (bottom < kScreenHeight)
          scale = std::min(scale, (bottom - ViewCamera::kHorizon) / (kFocal * kEye * w));
      }
    }
    scales[frame] = scale;
  }
  return scales;
}

const std::array<double, kFrames>& HeightScales() {
  static const std::array<double, kFrames> scales = FindHeightScales();
  return scales;
}

}  // namespace

double WallSpan::W(double x) const {
  const double t = right == left ? 0 : (x - left) / (right - left);
  return (1 - t) * wLeft + t * wRight;
}

double WallSpan::U(double x) const {
  const double t = right == left ? 0 : (x - left) / (right - left);
  return ((1 - t) * uLeft * wLeft + t * uRight * wRight) / W(x);
}

double ViewCamera::Top(size_t frame, double w) {
  return kHorizon - HeightScales()[frame] * kFocal * (kWallHeight - kEye) * w;
}

double ViewCamera::Bottom(size_t frame, double w) {
  return kHorizon + HeightScales()[frame] * kFocal * kEye * w;
}

double ViewCamera::CellPixels(double w) {
  return kFocal * w;
}

std::optional<WallSpan> ViewCamera::Wall(size_t frame, uint8_t index) {
  if (frame >= kPoses.size()) return std::nullopt;
  const auto found =
      std::find_if(kViewByteWalls.begin(), kViewByteWalls.end(),
                   [index](const ViewByteWall& wall) { return wall.index == index; });
  if (found == kViewByteWalls.end()) return std::nullopt;
  const double cx = found->slot % 5 - 2.0;
  const double cz = 2.0 - found->slot / 5;
  // The wall's ends, its left end (as seen from inside the cell) first.
  std::array<double, 4> ends{};  // x, z of the left end, x, z of the right end
  switch (found->face) {
    case Face::kFront:
      ends = {cx - 0.5, cz + 0.5, cx + 0.5, cz + 0.5};
      break;
    case Face::kLeft:
      ends = {cx - 0.5, cz - 0.5, cx - 0.5, cz + 0.5};
      break;
    case Face::kRight:
      ends = {cx + 0.5, cz + 0.5, cx + 0.5, cz - 0.5};
      break;
  }
  EyePoint a = SeePost(frame, ends[0], ends[1]);
  EyePoint b = SeePost(frame, ends[2], ends[3]);
  double ua = 0;
  double ub = 1;
  if (a.depth < kNear && b.depth < kNear) return std::nullopt;
  // Cut off what lies behind the eye, and u with it.
  const auto cut = [&](EyePoint& behind, double& u_behind, const EyePoint& front, double u_front) {
    const double s = (kNear - behind.depth) / (front.depth - behind.depth);
    behind = {behind.across + s * (front.across - behind.across), kNear};
    u_behind = u_behind + s * (u_front - u_behind);
  };
  if (a.depth < kNear) cut(a, ua, b, ub);
  if (b.depth < kNear) cut(b, ub, a, ua);
  WallSpan span;
  span.left = kCentreColumn + kFocal * a.across / a.depth;
  span.right = kCentreColumn + kFocal * b.across / b.depth;
  span.wLeft = 1 / a.depth;
  span.wRight = 1 / b.depth;
  span.uLeft = ua;
  span.uRight = ub;
  span.along = found->face != Face::kFront;
  for (const PlacedEnd& end : kPlacedEnds) {
    if (end.frame != frame || end.index != index) continue;
    (end.right ? span.right : span.left) = end.column;
  }
  return span;
}

}  // namespace tvx::tool::maze
