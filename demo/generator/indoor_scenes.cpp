// The pictures inside the lighthouse: the keeper's room and the lamp room.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "demo/generator/noise.h"
#include "demo/generator/scenery.h"
#include "demo/generator/scenes.h"

namespace tvx::demo {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The oil lamp's flame: a teardrop that sways and stretches with the phase.
void PaintFlame(Canvas& c, int phase) {
  static constexpr float kHeight[4] = {22, 25, 20, 24};
  static constexpr float kSway[4] = {0, 1.5f, -1.2f, 0.6f};
  float cx = kRoomFlame.x + kRoomFlame.width / 2.0f;
  float bottom = kRoomFlame.y + kRoomFlame.height - 3.0f;
  float h = kHeight[phase % 4];
  float sway = kSway[phase % 4];
  auto inside = [&](float x, float y, float scale) {
    float t = (bottom - y) / (h * scale);  // 0 at the wick, 1 at the tip
    if (t < 0 || t > 1) return false;
    float half = 5.2f * scale * std::sin(std::pow(t, 0.55f) * kPi) * (1 - 0.3f * t);
    return std::abs(x - cx - sway * t * t) <= half;
  };
  c.FillShape(cx - 8, bottom - h - 1, cx + 8, bottom, Hex(0xff9a30), 1,
              [&](float x, float y) { return inside(x, y, 1); });
  c.FillShape(cx - 8, bottom - h - 1, cx + 8, bottom, Hex(0xffe090), 1,
              [&](float x, float y) { return inside(x, y + 1.5f, 0.7f); });
  c.FillShape(cx - 8, bottom - h - 1, cx + 8, bottom, Hex(0xfffce8), 1,
              [&](float x, float y) { return inside(x, y + 2.5f, 0.38f); });
}

constexpr float kLampX = kRoomFlame.x + kRoomFlame.width / 2.0f;

// Everything of the room but the flame and the glass round it.
Canvas PaintRoomScene() {
  Canvas c(kScreenWidth, kScreenHeight);
  const float lampX = kLampX;
  const float lampY = kRoomFlame.y + 18.0f;
  // The round wall: plaster over stone, warm where the lamp reaches, dark at the sides.
  c.ForEach([&](int x, int y, Rgb& p) {
    float n = Fbm(x / 50.0f, y / 30.0f, 5, 101);
    float curve = std::cos((static_cast<float>(x) - 320) / 640 * kPi * 0.9f);
    p = Scale(Mix(Hex(0x4a3a30), Hex(0x7a6048), n), 0.45f + 0.45f * curve);
  });
  // The floor: planks towards the viewer.
  c.ForEach([&](int x, int y, Rgb& p) {
    if (y < 372) return;
    float depth = (y - 372) / 108.0f;
    float plank = std::fmod((x - 320) / (40 + 40 * depth) + 100, 1.0f);
    float grain = Fbm(x / 60.0f, y / 3.0f, 4, 102);
    Rgb wood = Mix(Hex(0x3a2618), Hex(0x6a4a30), grain);
    if (plank < 0.04f) wood = Scale(wood, 0.5f);
    p = Scale(wood, 0.6f + 0.4f * depth);
  });
  c.FillRect(0, 368, 640, 374, Hex(0x2a1e16));
  // The round window, the foggy night outside.
  const float wx = 150;
  const float wy = 160;
  c.FillEllipse(wx, wy, 66, 66, Hex(0x5a4630));
  c.FillEllipse(wx, wy, 58, 58, Hex(0x8a6a40));
  for (int y = static_cast<int>(wy) - 52; y <= static_cast<int>(wy) + 52; ++y) {
    for (int x = static_cast<int>(wx) - 52; x <= static_cast<int>(wx) + 52; ++x) {
      float dx = x + 0.5f - wx;
      float dy = y + 0.5f - wy;
      float d = std::sqrt(dx * dx + dy * dy);
      if (d > 52) continue;
      float n = Fbm(x / 30.0f, y / 14.0f, 5, 103);
      Rgb night = Mix(Hex(0x1a2438), Hex(0x5a6a80), n * (0.4f + 0.6f * (y - wy + 52) / 104));
      c.Blend(x, y, night, std::clamp(52 - d, 0.0f, 1.0f));
    }
  }
  c.StrokeLine({wx - 52, wy}, {wx + 52, wy}, 3, Hex(0x5a4630));
  c.StrokeLine({wx, wy - 52}, {wx, wy + 52}, 3, Hex(0x5a4630));
  c.Glow(wx - 20, wy - 22, 22, Hex(0xffffff), 0.12f);
  // A shelf with a few things, left of the table.
  c.FillRect(40, 270, 200, 277, Hex(0x4a3020));
  c.FillRect(54, 244, 66, 270, Hex(0x2a4a5a));
  c.FillRect(68, 240, 78, 270, Hex(0x6a2a2a));
  c.FillRect(80, 248, 92, 270, Hex(0x5a5a3a));
  c.FillEllipse(150, 262, 16, 8, Hex(0xa08050));
  c.FillRect(134, 254, 166, 262, Hex(0xa08050));
  // The spiral stair on the right: wedge steps round a pole, rising out of the picture.
  const float poleX = 530;
  for (int i = 0; i < 16; ++i) {
    float y = 452 - i * 26.0f;
    float a = i * 0.62f;
    float side = std::sin(a);
    float depth = std::cos(a);
    float reach = 100 * side;
    Rgb tread = Scale(Hex(0x6a4a30), 0.55f + 0.35f * (depth * 0.5f + 0.5f));
    Point step[] = {{poleX, y - 4},
                    {poleX + reach, y - 8 + depth * 4},
                    {poleX + reach * 0.9f, y + 6 + depth * 4},
                    {poleX, y + 6}};
    c.FillPolygon(step, tread);
    c.FillRect(std::min(poleX, poleX + reach * 0.9f), y + 6 + depth * 2,
               std::max(poleX, poleX + reach * 0.9f), y + 10 + depth * 2, Scale(tread, 0.55f));
    // The rail's posts.
    c.StrokeLine({poleX + reach * 0.95f, y - 6}, {poleX + reach * 0.95f, y - 46}, 2, Hex(0x2a2018));
  }
  std::vector<Point> rail;
  for (int i = 0; i < 64; ++i) {
    float t = i / 4.0f;
    rail.push_back({poleX + 95 * std::sin(t * 0.62f), 452 - t * 26 - 46});
  }
  c.StrokePath(rail, 3, Hex(0x3a2a1c));
  c.FillRect(poleX - 7, 0, poleX + 7, 470, Hex(0x3a2a20));
  c.FillRect(poleX - 7, 0, poleX - 3, 470, Hex(0x5a4430));
  // The table: top, edge and legs.
  c.FillEllipse(320, 302, 130, 22, Hex(0x5a3a24));
  c.FillRect(190, 300, 450, 312, Hex(0x3a2416));
  c.FillEllipse(320, 298, 128, 20, Hex(0x7a5234));
  for (float x : {214.0f, 420.0f}) c.FillRect(x, 310, x + 10, 420, Hex(0x3a2416));
  c.FillRect(300, 314, 340, 400, Hex(0x2a1a10));
  // A chart and a mug on the table.
  Point chart[] = {{210, 296}, {270, 286}, {286, 300}, {226, 310}};
  c.FillPolygon(chart, Hex(0xd8c8a0));
  c.StrokeLine({232, 294}, {262, 300}, 1, Hex(0x8a7a60));
  c.FillRect(380, 276, 396, 298, Hex(0x5a7080));
  c.FillEllipse(388, 276, 8, 3, Hex(0x2a2420));
  // The oil lamp: brass font, glass chimney, and its light on everything.
  c.FillEllipse(lampX, 292, 22, 6, Hex(0x6a4a20));
  c.FillEllipse(lampX, 282, 18, 12, Hex(0xb08838));
  c.FillEllipse(lampX - 5, 278, 6, 4, Hex(0xe8c878));
  c.FillRect(lampX - 8, 268, lampX + 8, 274, Hex(0x8a6a30));
  c.Glow(lampX, lampY, 330, Hex(0xffa040), 0.42f);
  c.Glow(lampX, lampY, 90, Hex(0xffc070), 0.35f);
  return c;
}

void PaintRoomFlame(Canvas& c, int flamePhase) {
  const float lampX = kLampX;
  PaintFlame(c, flamePhase);
  // The chimney glass over the flame, faint.
  c.FillShape(lampX - 12, kRoomFlame.y - 6.0f, lampX + 12, 268, Hex(0xfff0d0), 0.12f,
              [&](float x, float y) {
                float t = (268 - y) / 40;
                float half = 11 - 5 * SmoothStep(0.55f, 0.8f, t);
                return std::abs(x - lampX) <= half;
              });
}

}  // namespace

Canvas PaintRoom(int flamePhase) {
  Canvas c = PaintRoomScene();
  PaintRoomFlame(c, flamePhase);
  return c;
}

std::vector<Canvas> RoomFlameFrames() {
  const Canvas scene = PaintRoomScene();
  std::vector<Canvas> frames;
  for (int i = 0; i < kFlameFrames; ++i) {
    Canvas c = scene;
    PaintRoomFlame(c, i);
    frames.push_back(c.Crop(kRoomFlame.x, kRoomFlame.y, kRoomFlame.width, kRoomFlame.height));
  }
  return frames;
}

namespace {

constexpr float kLensX = 320;
constexpr float kLensTop = 64;
constexpr float kLensBottom = 366;

// The beams of the lit lamp in the fog outside the glass, `frame` 0-7 of their sweep: two
// beams, opposite each other, turning round the lens, so that one half-turn makes the
// whole cycle. Each reaches out sideways from the lens, rising a little towards the edges
// of the picture, longest when it points across the picture and brighter when it points
// towards the viewer. Only the two places of the frames are lit, fading out before their
// top and bottom so that a frame joins the picture around it.
void PaintLampBeams(Canvas& c, int frame) {
  const float angle = kPi * (static_cast<float>(frame) / kLampBeamFrames + 0.25f);
  const float lensEdge = 140;  // where a beam comes out of the glass, from the lens' axis
  const float reach = 320;
  for (const Rect& place : {kLampBeamLeft, kLampBeamRight}) {
    float side = place.x < kLensX ? -1.0f : 1.0f;
    for (int beam = 0; beam < 2; ++beam) {
      float across = std::sin(angle + beam * kPi);
      float toward = std::cos(angle + beam * kPi);
      if (across * side <= 0) continue;  // this beam goes out on the other side
      float length = reach * std::abs(across);
      float amount = 0.5f + 0.3f * toward;
      for (int y = place.y; y < place.y + place.height; ++y) {
        float fade = SmoothStep(place.y, place.y + 14.0f, static_cast<float>(y)) *
                     SmoothStep(place.y + place.height, place.y + place.height - 14.0f,
                                static_cast<float>(y));
        for (int x = place.x; x < place.x + place.width; ++x) {
          float out = (x + 0.5f - kLensX) * side - lensEdge;
          if (out <= 0 || out >= length) continue;
          float centre = 204 - 0.34f * out;
          float half = 6 + 0.07f * out;
          float off = (y + 0.5f - centre) / half;
          float along = std::pow(1 - out / length, 1.2f);
          float fog = 0.6f + 0.8f * Fbm(x / 46.0f, y / 18.0f, 4, 125);
          float a = std::exp(-off * off * 2.2f) * along * fog * fade * amount;
          if (a > 0) c.AddLight(x, y, Hex(0xfff0cc), a);
        }
      }
    }
  }
}

// The lamp room: `lit` the great lamp burning, its beams in `beamFrame`.
Canvas PaintLampRoom(bool lit, int beamFrame) {
  Canvas c(kScreenWidth, kScreenHeight);
  // Fog outside the glazing, a little light from the lens in it.
  c.ForEach([](int x, int y, Rgb& p) {
    float n = Fbm(x / 120.0f, y / 40.0f, 6, 121);
    p = Mix(Hex(0x1a2230), Hex(0x6a7888), n * (0.5f + 0.5f * (1 - static_cast<float>(y) / 480)));
  });
  c.Glow(320, 220, 300, Hex(0x8a9aa8), 0.18f);
  if (lit) {
    // The fog round the lantern glows warm, and the beams cut through it.
    c.Glow(kLensX, 210, 420, Hex(0xffc890), 0.3f);
    PaintLampBeams(c, beamFrame);
  }
  // The glazing bars: the panes lean, as in a lantern.
  Rgb iron = Hex(0x14161c);
  for (int i = -1; i <= 7; ++i) {
    float x = i * 100 + 20.0f;
    c.StrokeLine({x, 0}, {x + 30, 390}, 7, iron);
  }
  c.FillRect(0, 120, 640, 128, iron);
  c.FillRect(0, 0, 640, 22, Hex(0x101216));
  // Reflections on the glass: cold, or the lamp's warm light when it burns.
  for (int i = 0; i < 6; ++i) {
    float x = 60 + i * 100.0f;
    c.StrokeLine({x, 40}, {x + 6, 100}, 10, lit ? Hex(0xffe8c0) : Hex(0xa0b0c0),
                 lit ? 0.14f : 0.05f);
  }
  if (lit) {
    // The light catching the glazing bars' edges nearest the lens.
    for (int i = -1; i <= 7; ++i) {
      float x = i * 100 + 20.0f + (i * 100 + 20.0f < kLensX ? 3.5f : -3.5f);
      float near = std::exp(-std::abs(x + 15 - kLensX) / 180);
      c.StrokeLine({x, 22}, {x + 30, 390}, 1.5f, Hex(0xffc878), 0.5f * near);
    }
  }
  // The floor and the iron rail round the lens.
  c.FillRect(0, 390, 640, 480, Hex(0x1c1a1c));
  c.ForEach([](int x, int y, Rgb& p) {
    if (y < 392) return;
    if ((x / 12 + y / 12) % 2 == 0) p = Scale(p, 1.25f);
  });
  c.FillRect(0, 350, 640, 354, Hex(0x3a3434));
  for (int x = 10; x < 640; x += 48) c.FillRect(x, 350, x + 3, 392, Hex(0x2a2626));
  // The great lens: a beehive of glass rings round a bullseye, in a brass frame.
  const float cx = kLensX;
  const float top = kLensTop;
  const float bottom = kLensBottom;
  const float half = 146;
  const float middle = (top + bottom) / 2;
  // The lens' half-width at row y: widest at its waist, drawn in towards top and bottom.
  auto width = [&](float y) {
    float k = (y - middle) / ((bottom - top) / 2 + 24);
    return half * std::sqrt(std::max(0.0f, 1 - k * k));
  };
  // The pedestal and the brass rings above and below.
  c.FillRect(cx - 64, bottom + 10, cx + 64, 462, Hex(0x3a2e1a));
  c.FillRect(cx - 64, bottom + 10, cx - 48, 462, Hex(0x5a4424));
  c.FillEllipse(cx, bottom + 8, width(bottom) + 14, 12, Hex(0x6a4c22));
  c.FillEllipse(cx, bottom + 4, width(bottom) + 10, 9, Hex(0x9a7434));
  const int rings = 15;
  for (int i = 0; i < rings; ++i) {
    float y0 = top + (bottom - top) * i / rings;
    float y1 = top + (bottom - top) * (i + 1) / rings;
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y) {
      float w = width(static_cast<float>(y));
      float t = (y - y0) / (y1 - y0);
      for (int x = static_cast<int>(cx - w); x < static_cast<int>(cx + w); ++x) {
        float u = (x + 0.5f - cx) / w;
        // Each prism ring is lit along its upper edge and dark below; the glass shows the
        // fog through it, darker towards the sides where it turns away.
        float prism = 0.3f + 0.7f * std::pow(1 - t, 3.0f);
        float side = std::sqrt(std::max(0.0f, 1 - u * u));
        Rgb glass = lit ? Mix(Hex(0x8a6038), Hex(0xfff0d8), prism * (0.45f + 0.55f * side))
                        : Mix(Hex(0x101824), Hex(0x6a8a9a), prism * (0.25f + 0.75f * side));
        glass =
            Mix(glass, lit ? Hex(0xffffff) : Hex(0xc8e0e8), std::pow(1 - t, 12.0f) * 0.6f * side);
        c.Set(x, y, glass);
      }
    }
    float w1 = width(y1);
    c.StrokeLine({cx - w1, y1}, {cx + w1, y1}, 1.5f, Hex(0x4a3c22));
  }
  // The bullseye in the middle, its concentric ridges catching a little light.
  for (int r = 72; r > 0; r -= 9) {
    float k = static_cast<float>(r) / 72;
    c.FillEllipse(cx, middle, r, r,
                  lit ? Mix(Hex(0xfffff4), Hex(0xf0c080), k * 0.8f)
                      : Mix(Hex(0x8aa8b8), Hex(0x1a2430), k * 0.8f));
    c.FillEllipse(cx - r * 0.15f, middle - r * 0.2f, r * 0.5f, r * 0.25f, Hex(0xe0f0f8),
                  lit ? 0.2f : 0.08f);
  }
  // Brass ribs holding the glass, curving with it, and its dome on top.
  for (float k : {-1.0f, -0.55f, 0.55f, 1.0f}) {
    std::vector<Point> rib;
    for (int i = 0; i <= 30; ++i) {
      float y = top + (bottom - top) * i / 30.0f;
      rib.push_back({cx + k * width(y), y});
    }
    Rgb brass = k < 0 ? Hex(0x9a7434) : Hex(0x6a4c22);
    c.StrokePath(rib, std::abs(k) > 0.9f ? 5.0f : 3.0f, lit ? Hex(0xd8a850) : brass);
  }
  c.FillEllipse(cx, top, width(top) + 6, 16, Hex(0x7a5a28));
  c.FillEllipse(cx, top - 6, width(top) * 0.7f, 12, Hex(0x9a7434));
  c.FillEllipse(cx - 20, top - 10, 26, 4, Hex(0xe0c080), 0.4f);
  if (!lit) {
    // A faint glow low in the glass: the lamp inside is not lit, but the fog gives it light.
    c.Glow(cx, middle + 40, 150, Hex(0x8aa0b0), 0.08f);
    return c;
  }
  // The burning lamp: the lens blazing warm white, its light over the brass, the rail and
  // the floor.
  c.Glow(cx, middle, 300, Hex(0xffb868), 0.35f);
  c.Glow(cx, middle, 120, Hex(0xfff0d8), 0.5f);
  c.Glow(cx, middle, 40, Hex(0xffffff), 0.6f);
  return c;
}

}  // namespace

Canvas PaintLamp() {
  return PaintLampRoom(false, 0);
}

Canvas PaintLamp2(int beamFrame) {
  return PaintLampRoom(true, beamFrame);
}

void LampBeamFrames(std::vector<Canvas>& left, std::vector<Canvas>& right) {
  for (int i = 0; i < kLampBeamFrames; ++i) {
    Canvas c = PaintLamp2(i);
    left.push_back(
        c.Crop(kLampBeamLeft.x, kLampBeamLeft.y, kLampBeamLeft.width, kLampBeamLeft.height));
    right.push_back(
        c.Crop(kLampBeamRight.x, kLampBeamRight.y, kLampBeamRight.width, kLampBeamRight.height));
  }
}

}  // namespace tvx::demo
