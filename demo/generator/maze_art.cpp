// The old tunnel's walls for the maze view: dry stone, brick and mossy stone, and the
// picture the maze palette's 16 colours are chosen from.
#include <algorithm>
#include <cmath>

#include "demo/generator/noise.h"
#include "demo/generator/scenes.h"

namespace tvx::demo {

namespace {

constexpr int kWall = 256;

// Irregular stones: the nearest of jittered grid points gives the stone, the gap between
// the nearest two its mortar.
Rgb DryStone(int x, int y, uint32_t seed) {
  const float cell = 40;
  float fx = x / cell;
  float fy = y / (cell * 0.7f);
  int ix = static_cast<int>(std::floor(fx));
  int iy = static_cast<int>(std::floor(fy));
  float best = 1e9f, second = 1e9f;
  int bestX = 0, bestY = 0;
  for (int j = -1; j <= 1; ++j) {
    for (int i = -1; i <= 1; ++i) {
      int cx = ix + i, cy = iy + j;
      float px = cx + 0.15f + 0.7f * LatticeValue(cx, cy, seed);
      float py = cy + 0.15f + 0.7f * LatticeValue(cx, cy, seed + 1);
      float d = std::hypot(fx - px, fy - py);
      if (d < best) {
        second = best;
        best = d;
        bestX = cx;
        bestY = cy;
      } else if (d < second) {
        second = d;
      }
    }
  }
  float tone = 0.75f + 0.4f * LatticeValue(bestX, bestY, seed + 2);
  float grain = Fbm(x / 7.0f, y / 7.0f, 3, seed + 3);
  Rgb stone = Scale(Mix(Hex(0x6a6258), Hex(0x9a9080), grain), tone);
  // Each stone is lit from above: lighter at its top, darker at its foot.
  float edge = second - best;
  Rgb mortar = Hex(0x2a2622);
  return Mix(mortar, stone, SmoothStep(0.04f, 0.12f, edge));
}

Rgb Brick(int x, int y, uint32_t seed) {
  const int course = 32;
  const int length = 64;
  int row = y / course;
  int shift = (row % 2) * (length / 2);
  int bx = (x + shift) / length;
  int inX = (x + shift) % length;
  int inY = y % course;
  float tone = 0.8f + 0.35f * LatticeValue(bx, row, seed);
  float grain = Fbm(x / 5.0f, y / 5.0f, 3, seed + 1);
  Rgb brick = Scale(Mix(Hex(0x7a3a2a), Hex(0xa86048), grain), tone);
  if (inY < 4 || inX < 4) return Mix(Hex(0x4a423a), Hex(0x6a6258), grain);
  if (inY > course - 6) brick = Scale(brick, 0.8f);
  return brick;
}

}  // namespace

Canvas PaintMazeWall(int kind) {
  Canvas c(kWall, kWall);
  c.ForEach([&](int x, int y, Rgb& p) {
    if (kind == 1) {
      p = Brick(x, y, 141);
      return;
    }
    p = DryStone(x, y, 151);
    if (kind == 2) {
      // Moss where the damp gathers: more towards the floor, in patches.
      float damp = Fbm(x / 40.0f, y / 30.0f, 5, 161) + 0.35f * static_cast<float>(y) / kWall;
      float moss = SmoothStep(0.62f, 0.8f, damp);
      float grain = Fbm(x / 4.0f, y / 4.0f, 3, 162);
      p = Mix(p, Mix(Hex(0x2a4a22), Hex(0x5a7a34), grain), moss);
    }
  });
  return c;
}

Canvas PaintMazePaletteSource() {
  // The 16 colours chosen by hand (a 16-pixel picture is taken as it is): reduced from the
  // walls' pixels, the brick's many reds won the boxes and the dry stone came out pink. So:
  // black for the far end of a corridor, the ceiling and the floor, seven greys from the
  // mortar to the lit stone (warm, never redder than they are yellow), three reds for the
  // brick and two greens for the moss. Exact 5-bit levels, which the dither keeps.
  static constexpr int kLevels[16][3] = {
      {0, 0, 0},                 // black
      {5, 5, 7},    {11, 9, 7},  // ceiling, floor
      {4, 4, 3},    {6, 6, 5},    {8, 8, 7},    {11, 10, 9},
      {13, 13, 11}, {16, 15, 13}, {19, 18, 16}, {22, 21, 19},  // the stone's greys
      {7, 4, 3},    {13, 6, 5},   {19, 11, 8},                 // brick
      {6, 8, 4},    {11, 15, 6},                               // moss
  };
  Canvas c(16, 1);
  for (int i = 0; i < 16; ++i) {
    c.Set(i, 0, {kLevels[i][0] / 31.0f, kLevels[i][1] / 31.0f, kLevels[i][2] / 31.0f});
  }
  return c;
}

}  // namespace tvx::demo
