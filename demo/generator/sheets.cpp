// The pictures that are not scenes: the message panel, the item icons and the sheet of
// animation frames.
#include <cmath>
#include <numbers>
#include <vector>

#include "demo/generator/noise.h"
#include "demo/generator/scenes.h"

namespace tvx::demo {

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

Canvas PaintPanel() {
  Canvas c(kScreenWidth, 92);
  // Deep blue, lighter at the top as if light passed through it, a faint grain of fog.
  c.ForEach([](int x, int y, Rgb& p) {
    float t = static_cast<float>(y) / 92;
    float n = Fbm(x / 90.0f, y / 20.0f, 4, 131);
    p = Mix(Hex(0x223058), Hex(0x0e1428), t);
    p = Mix(p, Hex(0x34446a), 0.25f * n);
  });
  // A thin light border with rounded corners, inset from the edges, and a darker one outside.
  auto border = [](float x, float y, float inset, float radius) {
    float left = inset, top = inset, right = kScreenWidth - inset, bottom = 92 - inset;
    float cx = std::clamp(x, left + radius, right - radius);
    float cy = std::clamp(y, top + radius, bottom - radius);
    float d = std::hypot(x - cx, y - cy);
    return std::abs(d - radius) <= 0.7f;
  };
  c.FillShape(0, 0, kScreenWidth, 92, Hex(0xc8d8f0), 0.9f,
              [&](float x, float y) { return border(x, y, 4, 6); });
  c.FillShape(0, 0, kScreenWidth, 92, Hex(0x080a14), 0.8f,
              [&](float x, float y) { return border(x, y, 1.5f, 8); });
  // A small glint at the top left corner, the lighthouse's colour.
  c.Glow(14, 5, 24, Hex(0xffd890), 0.25f);
  return c;
}

Canvas PaintItems() {
  Canvas c(320, 32, Hex(0x181c28));
  const Rgb brass = Hex(0xd8a840);
  const Rgb brassDark = Hex(0x8a6420);
  // 0 brass key.
  {
    const float x = 0 * 32.0f;
    c.FillEllipse(x + 9, 16, 6, 6, brass);
    c.FillEllipse(x + 9, 16, 2.5f, 2.5f, Hex(0x181c28));
    c.FillRect(x + 14, 14.5f, x + 28, 17.5f, brass);
    c.FillRect(x + 22, 17, x + 24, 22, brass);
    c.FillRect(x + 26, 17, x + 28, 21, brass);
    c.StrokeLine({x + 7, 12}, {x + 10, 11}, 1, Hex(0xfff0b0));
  }
  // 1 oil can.
  {
    const float x = 1 * 32.0f;
    c.FillRect(x + 6, 12, x + 20, 28, Hex(0xa03a30));
    c.FillRect(x + 6, 12, x + 9, 28, Hex(0xc86050));
    c.FillEllipse(x + 13, 12, 7, 2, Hex(0x6a2a20));
    c.StrokeLine({x + 18, 14}, {x + 28, 5}, 2, Hex(0x9a9a9a));
    c.StrokeLine({x + 8, 10}, {x + 14, 5}, 1.5f, Hex(0x6a6a6a));
    c.StrokeLine({x + 14, 5}, {x + 20, 10}, 1.5f, Hex(0x6a6a6a));
  }
  // 2 map.
  {
    const float x = 2 * 32.0f;
    Point sheet[] = {{x + 4, 7},   {x + 12, 5},  {x + 20, 7},  {x + 28, 5},
                     {x + 28, 25}, {x + 20, 27}, {x + 12, 25}, {x + 4, 27}};
    c.FillPolygon(sheet, Hex(0xe0d0a8));
    c.StrokeLine({x + 12, 5}, {x + 12, 25}, 1, Hex(0xa89870));
    c.StrokeLine({x + 20, 7}, {x + 20, 27}, 1, Hex(0xa89870));
    Point route[] = {{x + 7, 22}, {x + 12, 16}, {x + 18, 19}, {x + 24, 10}};
    c.StrokePath(route, 1.2f, Hex(0xb03030));
    c.FillEllipse(x + 24, 10, 2, 2, Hex(0xb03030));
  }
  // 3 letter.
  {
    const float x = 3 * 32.0f;
    c.FillRect(x + 4, 9, x + 28, 25, Hex(0xf0e8d8));
    Point flap[] = {{x + 4, 9}, {x + 28, 9}, {x + 16, 18}};
    c.FillPolygon(flap, Hex(0xd8ccb8));
    c.StrokeLine({x + 4, 25}, {x + 13, 17}, 1, Hex(0xc0b4a0));
    c.StrokeLine({x + 28, 25}, {x + 19, 17}, 1, Hex(0xc0b4a0));
    c.FillEllipse(x + 16, 17, 2.5f, 2.5f, Hex(0xb02828));
  }
  // 4 shell.
  {
    const float x = 4 * 32.0f;
    Point fan[] = {{x + 16, 27}, {x + 4, 14}, {x + 8, 7}, {x + 16, 4}, {x + 24, 7}, {x + 28, 14}};
    c.FillPolygon(fan, Hex(0xf0c8b0));
    for (int i = -2; i <= 2; ++i) {
      c.StrokeLine({x + 16, 26}, {x + 16 + i * 5.5f, 6 + std::abs(i) * 2.5f}, 1, Hex(0xc08878));
    }
    c.FillRect(x + 13, 25, x + 19, 29, Hex(0xd8a890));
  }
  // 5 matches.
  {
    const float x = 5 * 32.0f;
    c.FillRect(x + 5, 14, x + 27, 26, Hex(0x3a5a8a));
    c.FillRect(x + 5, 14, x + 27, 16, Hex(0x5a7aa8));
    for (int i = 0; i < 3; ++i) {
      float mx = x + 10 + i * 6.0f;
      c.StrokeLine({mx, 14}, {mx + 2, 5}, 1.6f, Hex(0xe0c890));
      c.FillEllipse(mx + 2, 5, 1.8f, 2.2f, Hex(0xc03020));
    }
  }
  // 6 compass.
  {
    const float x = 6 * 32.0f;
    c.FillEllipse(x + 16, 16, 12, 12, brass);
    c.FillEllipse(x + 16, 16, 10, 10, Hex(0xf0ecdc));
    Point north[] = {{x + 16, 7}, {x + 19, 16}, {x + 13, 16}};
    Point south[] = {{x + 16, 25}, {x + 19, 16}, {x + 13, 16}};
    c.FillPolygon(north, Hex(0xc03030));
    c.FillPolygon(south, Hex(0x3a3a48));
    c.FillEllipse(x + 16, 16, 1.5f, 1.5f, brassDark);
  }
  // 7 lantern.
  {
    const float x = 7 * 32.0f;
    c.StrokeLine({x + 12, 6}, {x + 16, 2}, 1.5f, Hex(0x6a6a6a));
    c.StrokeLine({x + 16, 2}, {x + 20, 6}, 1.5f, Hex(0x6a6a6a));
    c.FillRect(x + 10, 6, x + 22, 9, Hex(0x3a3a3a));
    c.FillRect(x + 11, 9, x + 21, 25, Hex(0xffc860));
    c.FillEllipse(x + 16, 19, 2.5f, 4.5f, Hex(0xfff8e0));
    c.StrokeLine({x + 11, 9}, {x + 11, 25}, 1.5f, Hex(0x3a3a3a));
    c.StrokeLine({x + 21, 9}, {x + 21, 25}, 1.5f, Hex(0x3a3a3a));
    c.FillRect(x + 9, 25, x + 23, 28, Hex(0x3a3a3a));
  }
  // 8 rope.
  {
    const float x = 8 * 32.0f;
    for (int ring = 0; ring < 3; ++ring) {
      std::vector<Point> loop;
      for (int i = 0; i <= 32; ++i) {
        float a = i * 2 * kPi / 32;
        loop.push_back(
            {x + 16 + std::cos(a) * (11 - ring * 3.5f), 16 + std::sin(a) * (9 - ring * 3.0f)});
      }
      c.StrokePath(loop, 2.5f, ring % 2 ? Hex(0xa88a58) : Hex(0xc8a870));
    }
    c.StrokeLine({x + 26, 18}, {x + 30, 28}, 2.5f, Hex(0xc8a870));
  }
  // 9 photo.
  {
    const float x = 9 * 32.0f;
    c.FillRect(x + 5, 6, x + 27, 27, Hex(0xf4f0e8));
    c.FillRect(x + 7, 8, x + 25, 22, Hex(0x8aa0b0));
    c.FillRect(x + 7, 17, x + 25, 22, Hex(0x4a6a80));
    c.FillRect(x + 18, 10, x + 20, 17, Hex(0xf0f0f0));
    c.FillRect(x + 17.5f, 9, x + 20.5f, 11, Hex(0xb03a30));
  }
  return c;
}

// Each frame lies on the sheet where the 4 × 4 dither falls as at its place on its picture
// (both corners alike modulo 4), so that its pixels are the picture's.
constexpr bool SameDither(int sheetX, int sheetY, const Rect& place) {
  return (sheetX - place.x) % 4 == 0 && (sheetY - place.y) % 4 == 0;
}
static_assert(SameDither(0, 0, kTitleBeam) && SameDither(200, 120, kTitleBeam));
static_assert(SameDither(0, 240, kCoastWaves) && SameDither(320, 304, kCoastWaves));
static_assert(SameDither(640, 240, kCoastGull) && SameDither(672, 240, kCoastGull));
static_assert(SameDither(640, 280, kRoomFlame) && SameDither(664, 280, kRoomFlame));
static_assert(SameDither(176, 368, kLampBeamLeft) && SameDither(528, 752, kLampBeamRight));

// Where the lamp's beam frames lie: the eight left ones in two rows of four from y 368,
// the eight right ones in two rows below them.
constexpr int kLampBeamSheetY = 368;

Canvas PaintAnimationSheet() {
  // The layout ANIMS.md lists: beams in two rows of four, the four surf blocks below them
  // in two rows of two, gulls and flames to the right of the surf, the lamp's beams below.
  Canvas sheet(800, 880, kKey);
  std::vector<Canvas> beams = TitleBeamFrames();
  for (int i = 0; i < kTitleBeamFrames; ++i) {
    sheet.Paste(beams[i], (i % 4) * kTitleBeam.width, (i / 4) * kTitleBeam.height);
  }
  std::vector<Canvas> waves, gulls;
  CoastFrames(waves, gulls);
  for (int i = 0; i < kWaveFrames; ++i) {
    sheet.Paste(waves[i], (i % 2) * kCoastWaves.width, 240 + (i / 2) * kCoastWaves.height);
  }
  for (int i = 0; i < kGullFrames; ++i) sheet.Paste(gulls[i], 640 + i * kCoastGull.width, 240);
  std::vector<Canvas> flames = RoomFlameFrames();
  for (int i = 0; i < kFlameFrames; ++i) sheet.Paste(flames[i], 640 + i * kRoomFlame.width, 280);
  std::vector<Canvas> left, right;
  LampBeamFrames(left, right);
  for (int i = 0; i < kLampBeamFrames; ++i) {
    int x = (i % 4) * kLampBeamLeft.width;
    int y = kLampBeamSheetY + (i / 4) * kLampBeamLeft.height;
    sheet.Paste(left[i], x, y);
    sheet.Paste(right[i], x, y + 2 * kLampBeamLeft.height);
  }
  return sheet;
}

}  // namespace tvx::demo
