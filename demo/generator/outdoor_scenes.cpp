// The pictures under the open sky: title, harbour, coast, tunnel, ending and the fog layer.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "demo/generator/noise.h"
#include "demo/generator/scenery.h"
#include "demo/generator/scenes.h"

namespace tvx::demo {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A lighthouse's beam seen from the side as the lamp turns: `phase` 0..1 is one turn. The
// beam reaches furthest when it points across the picture and flares when it faces us.
void PaintBeam(Canvas& canvas, Point lamp, float phase, float reach, Rgb colour, Rect clip) {
  float angle = phase * 2 * kPi;
  float across = std::sin(angle);
  float toward = std::cos(angle);
  float length = reach * std::abs(across);
  float direction = across < 0 ? -1.0f : 1.0f;
  for (int y = clip.y; y < clip.y + clip.height; ++y) {
    for (int x = clip.x; x < clip.x + clip.width; ++x) {
      float dx = (x + 0.5f - lamp.x) * direction;
      float dy = y + 0.5f - lamp.y;
      if (dx > 0 && length > 1) {
        float t = dx / length;
        // The beam widens from the lamp and fades along its length.
        float half = 3.0f + dx * 0.16f;
        float side = std::abs(dy) / half;
        float a = std::exp(-side * side * 2.2f) * std::pow(std::max(0.0f, 1 - t), 1.4f);
        canvas.AddLight(x, y, colour, 0.8f * a);
      }
      if (toward > 0) {
        float d = std::hypot(x + 0.5f - lamp.x, dy);
        float flare = toward * toward * std::exp(-d / 14.0f);
        canvas.AddLight(x, y, colour, 0.7f * flare);
      }
    }
  }
}

// The cliff of the title picture: a plateau on the right, a craggy face down to the sea;
// nothing left of it (a skyline below the picture).
float TitleCliff(float x) {
  const float edge = 372;
  if (x < edge - 24) return 1e4f;
  float plateau = 262 + 6 * std::sin(x / 37.0f) + 4 * Fbm(x / 20.0f, 3.1f, 3, 71);
  float face = SmoothStep(edge + 40, edge - 24, x);
  return plateau + face * (kScreenHeight + 4 - plateau) + 14 * face * Fbm(x / 6.0f, 1.7f, 3, 72);
}

}  // namespace

namespace {

LighthouseLook TitleLighthouse() {
  LighthouseLook house;
  house.x = 520;
  house.base = 266;
  house.height = 172;
  house.lit = 1;
  house.shade = 0.62f;
  house.body = Hex(0xe8d8d0);
  house.band = Hex(0xa03838);
  house.shadow = Hex(0x302a50);
  return house;
}

// Everything of the title picture but the beam.
Canvas PaintTitleScene() {
  Canvas c(kScreenWidth, kScreenHeight);
  const int horizon = 318;
  PaintSky(c, 0, horizon,
           {{0.0f, Hex(0x141a33)},
            {0.35f, Hex(0x28305a)},
            {0.62f, Hex(0x5a4a78)},
            {0.82f, Hex(0xb86e6a)},
            {1.0f, Hex(0xf0a060)}});
  PaintStars(c, 200, 170, 0.75f, 11);
  PaintClouds(c, 150, 300, Hex(0x8a5a72), 0.35f, 0.55f, 12);
  PaintClouds(c, 230, 312, Hex(0xe08a66), 0.3f, 0.45f, 13);
  SeaLook sea{Hex(0x5a4a6a), Hex(0x141c30), Hex(0xd08a6a), 0.18f, 250, 60, Hex(0xf0a060), 0.3f};
  PaintSea(c, horizon, sea, 14);
  // A far headland low on the horizon, on the left, keeps the menu's side quiet.
  PaintLand(
      c, [](float x) { return horizon - 7 * SmoothStep(60, 0, x) - 2 * SmoothStep(120, 30, x); },
      horizon + 1, Hex(0x3a3050), 0.1f, Hex(0x3a3050), 0, 15);
  // The last light lying on the water in a haze.
  PaintFog(c, horizon + 8, 10, Hex(0xc08080), 0.25f, 19);
  PaintLand(c, TitleCliff, kScreenHeight, Hex(0x1a1a2a), 0.5f, Hex(0x7a5060), 0.45f, 16);
  // Grass tufts along the cliff top, dark against the sky.
  Random random(17);
  for (int i = 0; i < 90; ++i) {
    float x = random.Range(380, 640);
    float y = TitleCliff(x) + 1;
    float h = random.Range(3, 9);
    c.StrokeLine({x, y}, {x + random.Range(-2, 2), y - h}, 1.2f, Hex(0x1c1c2a));
  }
  PaintLighthouse(c, TitleLighthouse());
  // A keeper's cottage beside it, one warm window.
  HouseLook cottage{430, 270, 46, 26, 16, Hex(0x6a5a6a), Hex(0x3a2a3a), 1, 18};
  PaintHouse(c, cottage, Hex(0xffc070));
  return c;
}

void PaintTitleBeam(Canvas& c, int frame) {
  PaintBeam(c, LighthouseLamp(TitleLighthouse()), static_cast<float>(frame) / kTitleBeamFrames, 98,
            Hex(0xfff0c0), kTitleBeam);
}

}  // namespace

Canvas PaintTitle(int beamFrame) {
  Canvas c = PaintTitleScene();
  PaintTitleBeam(c, beamFrame);
  return c;
}

std::vector<Canvas> TitleBeamFrames() {
  const Canvas scene = PaintTitleScene();
  std::vector<Canvas> frames;
  for (int i = 0; i < kTitleBeamFrames; ++i) {
    Canvas c = scene;
    PaintTitleBeam(c, i);
    frames.push_back(c.Crop(kTitleBeam.x, kTitleBeam.y, kTitleBeam.width, kTitleBeam.height));
  }
  return frames;
}

namespace {

// The harbour's hill: it rises from the water's edge, which runs up from the bottom of the
// picture, to the top of the town on the right. Left of the shore is sea.
float HarborHill(float x) {
  const float shore = 250;
  if (x < shore) return 1e4f;
  float t = std::clamp((x - shore) / (640 - shore), 0.0f, 1.0f);
  float hill = 330 - 180 * std::pow(t, 0.8f) + 8 * Fbm(x / 40.0f, 0.5f, 3, 31);
  return std::max(hill, kScreenHeight - (x - shore) * 2.2f);
}

}  // namespace

Canvas PaintHarbor(bool dusk) {
  Canvas c(kScreenWidth, kScreenHeight);
  const int horizon = 236;
  if (dusk) {
    PaintSky(c, 0, horizon,
             {{0.0f, Hex(0x1e2446)},
              {0.45f, Hex(0x4a4a7a)},
              {0.8f, Hex(0xc07a70)},
              {1.0f, Hex(0xf0a868)}});
    PaintStars(c, 110, 60, 0.5f, 21);
    PaintClouds(c, 40, 200, Hex(0x9a6a80), 0.35f, 0.6f, 22);
  } else {
    PaintSky(c, 0, horizon, {{0.0f, Hex(0x5a8ac8)}, {0.6f, Hex(0x9cc0e0)}, {1.0f, Hex(0xd8e4e8)}});
    PaintClouds(c, 40, 200, Hex(0xf4f4f4), 0.35f, 0.8f, 22);
  }
  SeaLook sea = dusk ? SeaLook{Hex(0x6a5a7a), Hex(0x1c2640), Hex(0xe09a70), 0.3f, 150, 50,
                               Hex(0xf0a060), 0.4f}
                     : SeaLook{Hex(0x7aa0c0), Hex(0x2a5a80), Hex(0xe0f0ff), 0.35f, 150, 40,
                               Hex(0xffffff), 0.2f};
  PaintSea(c, horizon, sea, 23);
  // The far headland with its lighthouse, across the bay.
  Rgb far = dusk ? Hex(0x3c3458) : Hex(0x7a90a8);
  PaintLand(
      c, [](float x) { return horizon - 16 * SmoothStep(150, 20, x) - 4 * Fbm(x / 14, 1, 3, 24); },
      horizon + 1, far, 0.15f, far, 0, 25);
  LighthouseLook beacon;
  beacon.x = 48;
  beacon.base = horizon - 17;
  beacon.height = 34;
  beacon.lit = dusk ? 1.0f : 0.0f;
  beacon.shade = dusk ? 0.55f : 0.85f;
  PaintLighthouse(c, beacon);
  // The hill and the town climbing it.
  Rgb hill = dusk ? Hex(0x3a3a4a) : Hex(0x6a8a5a);
  Rgb rim = dusk ? Hex(0x8a6a70) : Hex(0xa0b878);
  PaintLand(c, HarborHill, kScreenHeight, hill, 0.35f, rim, 0.4f, 26);
  Random random(27);
  Rgb walls[] = {Hex(0xe8dcc8), Hex(0xd8c0a0), Hex(0xc8d0d8), Hex(0xe0c8b8), Hex(0xf0e8d8)};
  Rgb roofs[] = {Hex(0xa04a3a), Hex(0x5a6a8a), Hex(0x8a5a3a), Hex(0xb86a4a), Hex(0x4a5a6a)};
  Rgb dim = dusk ? Hex(0x8a80a0) : Rgb{1, 1, 1};
  for (int row = 0; row < 4; ++row) {
    for (int i = 0; i < 7; ++i) {
      float x = 250 + i * 58 + row * 14 + random.Range(-8, 8);
      float w = random.Range(40, 58);
      float h = random.Range(28, 40);
      float base = HarborHill(x + w / 2) + 22 + row * 44;
      // Only on land: the hill's top must stand above the house's foot at both its sides.
      if (x > 640 || base > 470 || HarborHill(x) > base - 16 || HarborHill(x + w) > base - 16) {
        continue;
      }
      HouseLook look{x,
                     base,
                     w,
                     h,
                     random.Range(12, 20),
                     Multiply(walls[random.Next() % 5], dim),
                     Multiply(roofs[random.Next() % 5], dim),
                     dusk ? 1.0f : 0.0f,
                     static_cast<uint32_t>(100 + row * 10 + i)};
      PaintHouse(c, look, Hex(0xffc66a));
    }
  }
  // The pier from the shore out into the bay, on posts, and its lamps.
  Rgb wood = dusk ? Hex(0x3a2a2a) : Hex(0x7a5a40);
  c.FillRect(60, 396, 300, 404, wood);
  c.FillRect(60, 404, 300, 407, Scale(wood, 0.6f));
  for (int x = 66; x < 300; x += 22) c.FillRect(x, 404, x + 4, 436, Scale(wood, 0.7f));
  for (int x : {100, 190, 270}) {
    c.StrokeLine({static_cast<float>(x), 396}, {static_cast<float>(x), 362}, 2, Hex(0x2a2a30));
    c.FillEllipse(x, 360, 3.5f, 3.5f, dusk ? Hex(0xffd080) : Hex(0xc0c0b0));
    if (dusk) c.Glow(x, 360, 26, Hex(0xffc070), 0.5f);
  }
  // Boats at the pier and out in the bay.
  Rgb hulls[] = {Hex(0x2a4a7a), Hex(0xa03a30), Hex(0xe0e0d8)};
  Rgb cabin = dusk ? Hex(0x8a8090) : Hex(0xf0ece0);
  for (int i = 0; i < 3; ++i) {
    Rgb hull = Multiply(hulls[i], dusk ? Hex(0x8a7a9a) : Rgb{1, 1, 1});
    float x = 100.0f + i * 80;
    PaintBoat(c, x, 446 + (i % 2) * 14, 62 - i * 6, hull, cabin, i % 2 == 0);
  }
  PaintBoat(c, 150, 330, 30, Multiply(hulls[1], dusk ? Hex(0x8a7a9a) : Rgb{1, 1, 1}), cabin, true);
  PaintBoat(c, 330, 262, 22, dusk ? Hex(0x3a3040) : Hex(0x5a4a40), cabin, false);
  if (dusk) PaintFog(c, horizon + 4, 8, Hex(0xb08090), 0.3f, 28);
  return c;
}

namespace {

// The top of the cliffs on the right, rising away from the sea on the left.
float CoastTop(float x) {
  float t = std::clamp((x - 250) / 390, 0.0f, 1.0f);
  return 300 - 150 * std::pow(t, 0.7f) + 10 * Fbm(x / 50.0f, 2.0f, 4, 41);
}

// The skyline of the cliffs: their top, cut by the face that falls to the sea at its left
// end; left of its foot the sea reaches the beach.
float CoastCliff(float x) {
  const float foot = 250;
  if (x < foot) return 1e4f;
  return std::max(CoastTop(x), 430 - (x - foot) * 3.0f + 12 * Fbm(x / 8.0f, 5.0f, 3, 40));
}

// Where the road runs along the top: its upper edge and its width at column x, narrowing
// into the distance.
float RoadTop(float x) {
  return CoastTop(x) + 6 + (x - 250) * 0.06f;
}
float RoadWidth(float x) {
  return 3 + (x - 250) * 0.07f;
}

void PaintGull(Canvas& c, float x, float y, int phase) {
  // Wings up, level, down, level: the tips move, the body stays.
  static constexpr float kTip[4] = {-8, -2, 5, -2};
  static constexpr float kElbow[4] = {-4, -2, 1, -1};
  float tip = kTip[phase % 4];
  float elbow = kElbow[phase % 4];
  Rgb white = Hex(0xf0f0ec);
  Rgb grey = Hex(0x606870);
  Point wings[] = {
      {x - 14, y + tip}, {x - 7, y + elbow}, {x, y + 1}, {x + 7, y + elbow}, {x + 14, y + tip}};
  c.StrokePath(wings, 2.0f, grey);
  c.FillEllipse(x, y + 2, 5, 2.2f, white);
  c.FillEllipse(x + 5, y + 1, 2.2f, 1.8f, white);
  c.Set(static_cast<int>(x + 7), static_cast<int>(y + 1), Hex(0xe0a030));
}

// The beach at the foot of the cliffs, below the sea: sand, drier further up the beach.
Rgb CoastSand(int x, int y) {
  Rgb sand = Mix(Hex(0xa89878), Hex(0xc8b898), Fbm(x / 6.0f, y / 3.0f, 3, 50));
  return Scale(sand, 0.9f + 0.1f * SmoothStep(kCoastWaves.y, kScreenHeight, static_cast<float>(y)));
}

// The surf where the sea meets the beach, in `wavePhase`: only inside kCoastWaves, and at
// its edges the same in every phase (the sea above, dry sand below), so that a frame drawn
// over the picture joins it without a seam.
void PaintSurf(Canvas& c, int wavePhase) {
  const Rect& r = kCoastWaves;
  float phase = static_cast<float>(wavePhase) / kWaveFrames;
  for (int y = r.y; y < r.y + r.height; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) {
      float depth = (y + 0.5f - r.y) / r.height;  // 0 at the top of the strip, 1 at its foot
      // The shore line, and the swash running up the sand and back as the phase goes round.
      float shore = 0.5f + 0.08f * std::sin(x / 70.0f) + 0.06f * (Fbm(x / 40.0f, 9, 3, 49) - 0.5f);
      float edge = shore - 0.12f * std::sin(phase * 2 * kPi + x / 160.0f);
      // The sea lightens over the shallows.
      Rgb water = Mix(c.Get(x, y), Hex(0x4a7a90), 0.6f * SmoothStep(0, 0.35f, depth));
      Rgb sand = CoastSand(x, y);
      Rgb wetSand = Mix(Hex(0x7a705c), sand, SmoothStep(edge, edge + 0.2f, depth));
      float wet = SmoothStep(edge - 0.02f, edge + 0.02f, depth);
      Rgb p = Mix(water, wetSand, wet);
      // Foam along the swash's edge, and the next wave's crest breaking further out, which
      // fades before the top of the strip.
      float foam = std::exp(-std::pow((depth - edge) / 0.04f, 2)) *
                   SmoothStep(0.35f, 0.7f, Fbm(x / 10.0f + phase * 8, y / 3.0f, 4, 51));
      float crest = std::exp(-std::pow((depth - edge + 0.22f) / 0.035f, 2)) *
                    SmoothStep(0.45f, 0.8f, Fbm(x / 14.0f - phase * 6, y / 2.0f, 4, 52)) *
                    SmoothStep(0.0f, 0.12f, depth);
      p = Mix(p, Hex(0xf4f4f0), std::clamp(foam * 0.9f + crest * 0.6f, 0.0f, 1.0f));
      c.Set(x, y, p);
    }
  }
  // Below the strip the dry beach, the same in every phase.
  for (int y = r.y + r.height; y < kScreenHeight; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) c.Set(x, y, CoastSand(x, y));
  }
}

// Everything of the coast picture but the gulls, the surf in `wavePhase`.
Canvas PaintCoastScene(int wavePhase) {
  Canvas c(kScreenWidth, kScreenHeight);
  const int horizon = 206;
  PaintSky(c, 0, horizon,
           {{0.0f, Hex(0x4a6aa8)},
            {0.55f, Hex(0x90a8cc)},
            {0.9f, Hex(0xe0c8b0)},
            {1.0f, Hex(0xf0d0a8)}});
  PaintClouds(c, 20, 170, Hex(0xf8eee4), 0.4f, 0.75f, 42);
  SeaLook sea{Hex(0x8aa0b8), Hex(0x2a5070), Hex(0xe8f0f8), 0.4f, 240, 50, Hex(0xfff0d0), 0.3f};
  PaintSea(c, horizon, sea, 43);
  // The beach and its surf, high enough to stay clear of the message window; the cliffs
  // stand over their right end.
  PaintSurf(c, wavePhase);
  // The far headland and its lighthouse, where the road leads.
  PaintLand(
      c, [](float x) { return horizon - 20 * SmoothStep(240, 60, x) - 5 * Fbm(x / 12, 4, 3, 44); },
      horizon + 1, Hex(0x6a7a90), 0.15f, Hex(0x8a9aa8), 0.2f, 45);
  LighthouseLook far;
  far.x = 110;
  far.base = horizon - 22;
  far.height = 46;
  far.shade = 0.85f;
  PaintLighthouse(c, far);
  // The cliffs on the right: grass on top, the road along it, rock below.
  PaintLand(c, CoastCliff, kScreenHeight, Hex(0x6a6a58), 0.55f, Hex(0x8aa060), 0, 46);
  c.ForEach([&](int x, int y, Rgb& p) {
    float fx = static_cast<float>(x);
    float top = CoastCliff(fx);
    if (y < top + 1 || x < 250) return;
    float n = Fbm(x / 12.0f, y / 6.0f, 4, 47);
    float road = RoadTop(fx);
    float roadEnd = road + RoadWidth(fx);
    float grassEnd = roadEnd + 8 + (x - 250) * 0.05f;
    if (y < road) {
      p = Mix(Hex(0x5a7a40), Hex(0x9ab060), n);
    } else if (y < roadEnd) {
      // Pale gravel with two wheel ruts.
      float across = (y - road) / (roadEnd - road);
      float rut = std::exp(-std::pow((across - 0.3f) / 0.06f, 2)) +
                  std::exp(-std::pow((across - 0.7f) / 0.06f, 2));
      p = Scale(Mix(Hex(0xb8a888), Hex(0xd8c8a8), n), 1 - 0.15f * rut);
    } else if (y < grassEnd) {
      p = Mix(Hex(0x4a6a38), Hex(0x7a9a50), n);
    } else {
      // Rock in layers, cracked up and down, darker low down where the spray reaches.
      float strata = Fbm(x / 60.0f, y / 5.0f, 4, 48);
      float crack = SmoothStep(0.7f, 0.78f, Fbm(x / 5.0f, y / 40.0f, 3, 53));
      Rgb rock = Mix(Hex(0x5a5448), Hex(0x9a8e78), strata);
      rock = Scale(rock, 1 - 0.2f * crack - 0.25f * SmoothStep(300, 420, static_cast<float>(y)));
      p = rock;
    }
  });
  return c;
}

// The gulls, their wings in `gullPhase`.
void PaintCoastGulls(Canvas& c, int gullPhase) {
  PaintGull(c, kCoastGull.x + 16.0f, kCoastGull.y + 10.0f, gullPhase);
  PaintGull(c, 470, 60, 1);
  PaintGull(c, 300, 118, 2);
}

}  // namespace

Canvas PaintCoast(int wavePhase, int gullPhase) {
  Canvas c = PaintCoastScene(wavePhase);
  PaintCoastGulls(c, gullPhase);
  return c;
}

void CoastFrames(std::vector<Canvas>& waves, std::vector<Canvas>& gulls) {
  for (int i = 0; i < std::max(kWaveFrames, kGullFrames); ++i) {
    Canvas c = PaintCoastScene(i % kWaveFrames);
    PaintCoastGulls(c, i % kGullFrames);
    if (i < kWaveFrames) {
      waves.push_back(c.Crop(kCoastWaves.x, kCoastWaves.y, kCoastWaves.width, kCoastWaves.height));
    }
    if (i < kGullFrames) {
      gulls.push_back(c.Crop(kCoastGull.x, kCoastGull.y, kCoastGull.width, kCoastGull.height));
    }
  }
}

Canvas PaintTunnel() {
  Canvas c(kScreenWidth, kScreenHeight);
  PaintSky(c, 0, 200, {{0.0f, Hex(0x2a3058)}, {0.6f, Hex(0x6a5a80)}, {1.0f, Hex(0xc08a78)}});
  PaintStars(c, 120, 40, 0.5f, 61);
  PaintClouds(c, 30, 160, Hex(0x8a6a88), 0.3f, 0.5f, 62);
  // The hillside fills the picture; the tunnel opens into it.
  PaintLand(
      c,
      [](float x) { return 150 + 40 * std::sin(x / 190.0f + 0.8f) + 14 * Fbm(x / 40, 1, 4, 63); },
      kScreenHeight, Hex(0x3a4438), 0.5f, Hex(0x6a6a60), 0.5f, 64);
  const float cx = 320;
  const float floor = 420;
  const float innerW = 96;
  const float innerTop = 250;
  // The stone face around the mouth: blocks laid in an arch.
  c.FillRect(cx - 150, 220, cx + 150, floor, Hex(0x5a5650));
  Random random(65);
  for (int row = 0; row < 10; ++row) {
    float y0 = 220 + row * 20;
    float offset = (row % 2) * 22;
    for (float x = cx - 150 - offset; x < cx + 150; x += 44) {
      float shade = random.Range(0.75f, 1.1f);
      c.FillRect(std::max(cx - 150, x + 1), y0 + 1, std::min(cx + 150, x + 43), y0 + 19,
                 Scale(Hex(0x6a665e), shade));
    }
  }
  // The arch stones.
  for (int i = 0; i <= 12; ++i) {
    float a = kPi * i / 12;
    float a1 = kPi * (i + 0.9f) / 12;
    if (i == 12) break;
    Point stone[] = {{cx - std::cos(a) * innerW, innerTop + 70 - std::sin(a) * 96},
                     {cx - std::cos(a) * (innerW + 26), innerTop + 70 - std::sin(a) * 122},
                     {cx - std::cos(a1) * (innerW + 26), innerTop + 70 - std::sin(a1) * 122},
                     {cx - std::cos(a1) * innerW, innerTop + 70 - std::sin(a1) * 96}};
    c.FillPolygon(stone, Scale(Hex(0x7a766c), random.Range(0.85f, 1.1f)));
  }
  // The dark inside, a little lighter at the far end.
  auto inside = [&](float x, float y) {
    float dx = (x - cx) / innerW;
    if (y >= innerTop + 70) return std::abs(dx) <= 1;
    float dy = (innerTop + 70 - y) / 96;
    return dx * dx + dy * dy <= 1;
  };
  c.FillShape(cx - innerW, innerTop - 30, cx + innerW, floor, Hex(0x08080c), 1, inside);
  c.Glow(cx + 10, 330, 40, Hex(0x2a3040), 0.3f);
  // Moss and grass over the stones, the path leading in.
  c.ForEach([&](int x, int y, Rgb& p) {
    if (y < floor) return;
    float n = Fbm(x / 20.0f, y / 8.0f, 4, 66);
    p = Mix(Hex(0x2a3424), Hex(0x4a5a34), n);
    float path = std::abs(x - cx) / (innerW * (0.9f + (y - floor) / 50.0f));
    if (path < 1) p = Mix(p, Mix(Hex(0x5a5040), Hex(0x7a6a50), n), SmoothStep(1, 0.8f, path));
  });
  c.ForEach([&](int x, int y, Rgb& p) {
    // Not inside the tunnel, nor on the arch's edge.
    if (y < 200 || y > floor + 4 || inside(x - 1.0f, y + 0.5f) || inside(x + 2.0f, y + 0.5f)) {
      return;
    }
    float n = Fbm(x / 16.0f, y / 10.0f, 4, 67);
    if (n > 0.64f) p = Mix(p, Hex(0x3a5a30), SmoothStep(0.64f, 0.78f, n) * 0.6f);
  });
  // The lantern on its hook, right of the mouth.
  float lx = cx + innerW + 62;
  c.StrokeLine({lx - 14, 262}, {lx, 262}, 3, Hex(0x20201c));
  c.StrokeLine({lx, 262}, {lx, 276}, 1.5f, Hex(0x20201c));
  c.FillRect(lx - 8, 276, lx + 8, 300, Hex(0x2a241c));
  c.FillRect(lx - 6, 279, lx + 6, 297, Hex(0xffd080));
  c.FillRect(lx - 10, 298, lx + 10, 302, Hex(0x2a241c));
  Point lanternTop[] = {{lx - 10, 277}, {lx + 10, 277}, {lx, 268}};
  c.FillPolygon(lanternTop, Hex(0x2a241c));
  c.Glow(lx, 288, 120, Hex(0xffa850), 0.35f);
  c.Glow(lx, 288, 22, Hex(0xfff0c0), 0.6f);
  return c;
}

namespace {

// A value of the dawn at `t` (0 before dawn … 1 the ENDING's morning) through three
// moments: before dawn, sunrise (t 0.5) and morning. At t 1 it is exactly the morning's,
// so that the last step is the ENDING picture to the bit.
struct DawnColour {
  Rgb night, sunrise, morning;
  Rgb At(float t) const {
    if (t >= 1) return morning;
    return t < 0.5f ? Mix(night, sunrise, t / 0.5f) : Mix(sunrise, morning, (t - 0.5f) / 0.5f);
  }
};
float DawnValue(float night, float morning, float t) {
  return t >= 1 ? morning : night + (morning - night) * t;
}

// The morning after the fog, the sun `t` of the way up (ENDING is t 1).
Canvas PaintDawnScene(float t) {
  Canvas c(kScreenWidth, kScreenHeight);
  const int horizon = 300;
  const DawnColour sky[] = {{Hex(0x0a1030), Hex(0x2a3a70), Hex(0x5a78b0)},
                            {Hex(0x1a2450), Hex(0x6a5a88), Hex(0xa8b0c8)},
                            {Hex(0x2a3462), Hex(0xd07a70), Hex(0xf0c8a8)},
                            {Hex(0x3a4070), Hex(0xffa860), Hex(0xffe0a8)}};
  PaintSky(
      c, 0, horizon,
      {{0.0f, sky[0].At(t)}, {0.45f, sky[1].At(t)}, {0.78f, sky[2].At(t)}, {1.0f, sky[3].At(t)}});
  // The last stars fade as the sky lightens.
  float stars = 0.7f * (1 - t / 0.4f);
  if (stars > 0) PaintStars(c, 220, 120, stars, 87);
  PaintClouds(c, 60, 260, DawnColour{Hex(0x2a3050), Hex(0xc07080), Hex(0xffd8c0)}.At(t), 0.3f, 0.6f,
              81);
  // The sun rising out of the sea: below the horizon at first (the sea is painted over it),
  // just above it at the end; its glow grows and turns from red to gold.
  float sunY = horizon - 8 + 48 * std::pow(1 - t, 1.3f);
  if (t >= 1) sunY = horizon - 8;
  c.Glow(250, sunY, 160, DawnColour{Hex(0xff6040), Hex(0xff8050), Hex(0xffc080)}.At(t),
         DawnValue(0.1f, 0.45f, t));
  c.FillEllipse(250, sunY, 18, 18, DawnColour{Hex(0xc04030), Hex(0xff9050), Hex(0xfff4d8)}.At(t));
  SeaLook sea{DawnColour{Hex(0x2a3050), Hex(0xc08070), Hex(0xd8c0b0)}.At(t),
              DawnColour{Hex(0x0a1020), Hex(0x2a3050), Hex(0x4a6a90)}.At(t),
              DawnColour{Hex(0x4a5a80), Hex(0xffc0a0), Hex(0xfff0e0)}.At(t),
              0.3f,
              250,
              50,
              DawnColour{Hex(0xc05040), Hex(0xff9060), Hex(0xffe0a0)}.At(t),
              DawnValue(0.05f, 0.7f, t)};
  PaintSea(c, horizon, sea, 82);
  PaintLand(
      c,
      [](float x) {
        // The headland: a slope up from the water to the lighthouse's rock.
        if (x < 470) return 1e4f;
        float k = SmoothStep(470, 560, x);
        float rock = 300 - k * (70 + 10 * Fbm(x / 25, 1, 3, 83));
        return std::max(rock, kScreenHeight - (x - 470) * 4.0f);
      },
      kScreenHeight, DawnColour{Hex(0x101420), Hex(0x2a2a3a), Hex(0x4a4a58)}.At(t), 0.45f,
      DawnColour{Hex(0x2a3050), Hex(0xc07060), Hex(0xe0a888)}.At(t), 0.5f, 84);
  LighthouseLook house;
  house.x = 580;
  house.base = 234;
  house.height = 130;
  house.lit = DawnValue(1, 0.35f, t);
  house.shade = DawnValue(0.3f, 0.9f, t);
  house.shadow = DawnColour{Hex(0x1a1a30), Hex(0x4a4070), Hex(0x6a6a90)}.At(t);
  PaintLighthouse(c, house);
  // The last of the fog, thin and lifting off the water.
  PaintFog(c, horizon + 12, 14, DawnColour{Hex(0x4a5070), Hex(0xd0a0a0), Hex(0xf0e0d8)}.At(t),
           0.45f, 85);
  PaintFog(c, horizon - 30, 10, DawnColour{Hex(0x3a4068), Hex(0xe0b0b0), Hex(0xf8e8e0)}.At(t), 0.2f,
           86);
  return c;
}

}  // namespace

Canvas PaintEnding() {
  return PaintDawnScene(1);
}

Canvas PaintDawn(int step) {
  return PaintDawnScene(static_cast<float>(step) / (kDawnSteps - 1));
}

Canvas PaintFogLayer() {
  Canvas c(kScreenWidth, kScreenHeight);
  c.ForEach([](int x, int y, Rgb& p) {
    // Wisps stretched sideways, denser lower down.
    float n = Fbm(x / 160.0f, y / 50.0f, 6, 91);
    float m = Fbm(x / 60.0f + 3, y / 24.0f, 4, 92);
    // Banks of fog with thinner gaps between them, the gaps bluer and darker.
    float bank = SmoothStep(0.35f, 0.65f, n);
    float v = 0.25f + 0.55f * bank + 0.15f * m + 0.1f * static_cast<float>(y) / kScreenHeight;
    p = Mix(Hex(0x5a6474), Hex(0xe8ecf0), Clamp01(v));
  });
  return c;
}

}  // namespace tvx::demo
