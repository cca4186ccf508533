#include "demo/generator/scenery.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo/generator/noise.h"

namespace tvx::demo {

Rgb Gradient(std::initializer_list<ColourStop> stops, float t) {
  const ColourStop* previous = stops.begin();
  if (t <= previous->at) return previous->colour;
  for (const ColourStop* s = stops.begin() + 1; s != stops.end(); ++s) {
    if (t <= s->at) {
      float k = (t - previous->at) / std::max(1e-6f, s->at - previous->at);
      return Mix(previous->colour, s->colour, SmoothStep(0, 1, k));
    }
    previous = s;
  }
  return previous->colour;
}

void PaintSky(Canvas& canvas, int top, int bottom, std::initializer_list<ColourStop> stops) {
  for (int y = std::max(0, top); y < std::min(bottom, canvas.Height()); ++y) {
    Rgb c = Gradient(stops, static_cast<float>(y - top) / static_cast<float>(bottom - top));
    for (int x = 0; x < canvas.Width(); ++x) canvas.Set(x, y, c);
  }
}

void PaintStars(Canvas& canvas, int bottom, int count, float brightness, uint32_t seed) {
  Random random(seed);
  for (int i = 0; i < count; ++i) {
    float x = random.Range(0, static_cast<float>(canvas.Width()));
    float y = random.Range(0, static_cast<float>(bottom));
    float size = random.Unit();
    float fade = 1 - y / static_cast<float>(bottom);
    float amount = brightness * fade * (0.35f + 0.65f * size);
    Rgb tint = Mix(Rgb{0.8f, 0.85f, 1}, Rgb{1, 0.95f, 0.8f}, random.Unit());
    canvas.AddLight(static_cast<int>(x), static_cast<int>(y), tint, amount);
    if (size > 0.85f) canvas.Glow(x, y, 2.5f, tint, amount * 0.6f);
  }
}

void PaintClouds(Canvas& canvas, int top, int bottom, Rgb colour, float cover, float opacity,
                 uint32_t seed) {
  for (int y = std::max(0, top); y < std::min(bottom, canvas.Height()); ++y) {
    float band = static_cast<float>(y - top) / static_cast<float>(bottom - top);
    float edge = SmoothStep(0, 0.25f, band) * SmoothStep(1, 0.75f, band);
    for (int x = 0; x < canvas.Width(); ++x) {
      float n = Fbm(x / 180.0f, y / 26.0f, 5, seed);
      float a = SmoothStep(1 - cover, 1 - cover + 0.25f, n) * edge * opacity;
      if (a > 0) canvas.Blend(x, y, colour, a);
    }
  }
}

void PaintSea(Canvas& canvas, int horizon, const SeaLook& look, uint32_t seed) {
  int height = canvas.Height() - horizon;
  for (int y = horizon; y < canvas.Height(); ++y) {
    float depth = static_cast<float>(y - horizon) / static_cast<float>(height);
    // Ripples get larger towards the viewer, as the surface comes nearer.
    float scale = 0.35f + 2.2f * depth;
    Rgb base = Mix(look.far, look.near, std::pow(depth, 0.7f));
    for (int x = 0; x < canvas.Width(); ++x) {
      // Long thin ripples: the noise is stretched sideways about twenty to one.
      float n = Fbm(x / (34.0f * scale), (y - horizon) / (1.6f * scale), 4, seed);
      float ripple = SmoothStep(0.55f, 0.8f, n);
      Rgb c = Mix(base, look.glint, ripple * look.glintAmount);
      c = Scale(c, 0.92f + 0.16f * n);
      if (look.lightX >= 0) {
        float width = look.lightWidth * (0.3f + 2.2f * depth);
        float dx = (static_cast<float>(x) - look.lightX) / width;
        float column = std::exp(-dx * dx);
        float sparkle = SmoothStep(0.45f, 0.75f, n);
        c = Add(c, Scale(look.light, column * sparkle * look.lightAmount));
      }
      canvas.Set(x, y, c);
    }
  }
}

void PaintLand(Canvas& canvas, const std::function<float(float)>& height, int bottom, Rgb colour,
               float texture, Rgb rim, float rimAmount, uint32_t seed) {
  for (int x = 0; x < canvas.Width(); ++x) {
    // Four sub-columns give the skyline a soft edge.
    float tops[4];
    float highest = 1e9f;
    for (int s = 0; s < 4; ++s) {
      tops[s] = height(static_cast<float>(x) + (s + 0.5f) / 4);
      highest = std::min(highest, tops[s]);
    }
    float top = (tops[0] + tops[1] + tops[2] + tops[3]) / 4;
    int y0 = std::max(0, static_cast<int>(std::floor(highest)));
    for (int y = y0; y < std::min(bottom, canvas.Height()); ++y) {
      float cover = 0;
      for (float t : tops) cover += std::clamp(static_cast<float>(y) + 1 - t, 0.0f, 1.0f) / 4;
      float n = Fbm(static_cast<float>(x) / 30.0f, static_cast<float>(y) / 18.0f, 4, seed);
      Rgb c = Scale(colour, 1 - texture / 2 + texture * n);
      float rimK = std::exp(-std::max(0.0f, static_cast<float>(y) - top) / 5.0f) * rimAmount;
      c = Mix(c, rim, std::clamp(rimK, 0.0f, 1.0f));
      canvas.Blend(x, y, c, cover);
    }
  }
}

void PaintFog(Canvas& canvas, float centre, float spread, Rgb colour, float density,
              uint32_t seed) {
  int y0 = std::max(0, static_cast<int>(centre - 2.5f * spread));
  int y1 = std::min(canvas.Height(), static_cast<int>(centre + 2.5f * spread) + 1);
  for (int y = y0; y < y1; ++y) {
    float d = (static_cast<float>(y) - centre) / spread;
    float band = std::exp(-d * d);
    for (int x = 0; x < canvas.Width(); ++x) {
      float n = Fbm(x / 140.0f, y / 30.0f, 5, seed);
      float a = band * density * (0.45f + 0.9f * n);
      canvas.Blend(x, y, colour, std::clamp(a, 0.0f, 1.0f));
    }
  }
}

Point LighthouseLamp(const LighthouseLook& look) {
  return {look.x, look.base - look.height * 0.86f};
}

void PaintLighthouse(Canvas& canvas, const LighthouseLook& look) {
  float h = look.height;
  float baseHalf = h * 0.13f;
  float topHalf = h * 0.085f;
  float towerTop = look.base - h * 0.74f;
  Rgb body = Scale(look.body, look.shade);
  Rgb band = Scale(look.band, look.shade);
  Rgb shadow = Scale(look.shadow, std::sqrt(look.shade));
  auto halfAt = [&](float y) {
    float t = (look.base - y) / (look.base - towerTop);
    return baseHalf + (topHalf - baseHalf) * t;
  };
  // The tower: lit on its left side, in shadow on its right, red bands across.
  canvas.FillShape(look.x - baseHalf, towerTop, look.x + baseHalf, look.base, body, 1,
                   [&](float x, float y) {
                     return y >= towerTop && y <= look.base && std::abs(x - look.x) <= halfAt(y);
                   });
  for (int i = 0; i < 2; ++i) {
    float b0 = look.base - h * (0.2f + 0.26f * i);
    float b1 = b0 - h * 0.11f;
    canvas.FillShape(look.x - baseHalf, b1, look.x + baseHalf, b0, band, 1, [&](float x, float y) {
      return y >= b1 && y <= b0 && std::abs(x - look.x) <= halfAt(y);
    });
  }
  canvas.FillShape(look.x, towerTop, look.x + baseHalf, look.base, shadow, 0.55f,
                   [&](float x, float y) {
                     return y >= towerTop && y <= look.base && x - look.x >= halfAt(y) * 0.25f &&
                            x - look.x <= halfAt(y);
                   });
  // The gallery, the lamp room and its cap.
  Rgb iron = Scale(Rgb{0.16f, 0.16f, 0.2f}, std::sqrt(look.shade));
  float galleryHalf = topHalf * 1.45f;
  canvas.FillRect(look.x - galleryHalf, towerTop - h * 0.03f, look.x + galleryHalf, towerTop + 1,
                  iron);
  float roomTop = towerTop - h * 0.17f;
  float roomHalf = topHalf * 0.85f;
  Rgb glass = Mix(Scale(Rgb{0.25f, 0.3f, 0.4f}, look.shade), look.lamp, look.lit);
  canvas.FillRect(look.x - roomHalf, roomTop, look.x + roomHalf, towerTop - h * 0.03f, glass);
  for (int i = -1; i <= 1; ++i) {
    float bx = look.x + i * roomHalf * 0.66f;
    canvas.StrokeLine({bx, roomTop}, {bx, towerTop - h * 0.03f}, std::max(1.0f, h * 0.008f), iron);
  }
  Point capPoints[] = {{look.x - roomHalf * 1.3f, roomTop + 1},
                       {look.x + roomHalf * 1.3f, roomTop + 1},
                       {look.x + roomHalf * 0.2f, roomTop - h * 0.08f},
                       {look.x - roomHalf * 0.2f, roomTop - h * 0.08f}};
  canvas.FillPolygon(capPoints, Scale(look.band, look.shade * 0.8f));
  canvas.StrokeLine({look.x, roomTop - h * 0.08f}, {look.x, roomTop - h * 0.12f},
                    std::max(1.0f, h * 0.01f), iron);
  if (look.lit > 0) {
    Point lamp = LighthouseLamp(look);
    canvas.Glow(lamp.x, lamp.y, h * 0.35f, look.lamp, 0.55f * look.lit);
    canvas.Glow(lamp.x, lamp.y, h * 0.09f, Rgb{1, 1, 0.9f}, 0.8f * look.lit);
  }
  // A small door at the foot.
  float doorW = baseHalf * 0.4f;
  canvas.FillRect(look.x - doorW / 2 - baseHalf * 0.2f, look.base - h * 0.1f,
                  look.x + doorW / 2 - baseHalf * 0.2f, look.base,
                  Scale(Rgb{0.3f, 0.2f, 0.15f}, look.shade));
}

void PaintHouse(Canvas& canvas, const HouseLook& look, Rgb light) {
  Random random(look.seed);
  float left = look.x;
  float right = look.x + look.width;
  float top = look.base - look.height;
  // Walls, their right quarter in shade.
  canvas.FillRect(left, top, right, look.base, look.wall);
  canvas.FillRect(right - look.width * 0.22f, top, right, look.base, Scale(look.wall, 0.78f));
  // The roof, with a little overhang, darker underneath.
  Point roof[] = {{left - 4, top + 1},
                  {right + 4, top + 1},
                  {right - look.width * 0.12f, top - look.roof},
                  {left + look.width * 0.12f, top - look.roof}};
  canvas.FillPolygon(roof, look.roofColour);
  canvas.FillRect(left, top + 1, right, top + 4, Scale(look.wall, 0.6f));
  // A door and windows.
  float doorX = left + look.width * random.Range(0.12f, 0.55f);
  float doorW = std::max(6.0f, look.width * 0.14f);
  canvas.FillRect(doorX, look.base - look.height * 0.55f, doorX + doorW, look.base,
                  Scale(look.roofColour, 0.55f));
  int windows = look.width > 50 ? 2 : 1;
  for (int i = 0; i < windows; ++i) {
    float wx = left + look.width * (windows == 1 ? 0.62f : 0.3f + 0.42f * i);
    if (std::abs(wx - doorX) < doorW + 4) wx = doorX + doorW + 6;
    if (wx + 9 > right - 2) continue;
    float wy = top + look.height * 0.25f;
    float ww = std::max(7.0f, look.width * 0.13f);
    float wh = look.height * 0.28f;
    bool lit = random.Unit() < 0.8f;
    Rgb pane = Mix(Scale(look.wall, 0.35f), light, lit ? look.lights : 0);
    canvas.FillRect(wx - 1, wy - 1, wx + ww + 1, wy + wh + 1, Scale(look.wall, 0.55f));
    canvas.FillRect(wx, wy, wx + ww, wy + wh, pane);
    canvas.StrokeLine({wx + ww / 2, wy}, {wx + ww / 2, wy + wh}, 1, Scale(look.wall, 0.5f));
    if (lit && look.lights > 0) {
      canvas.Glow(wx + ww / 2, wy + wh / 2, ww * 2.2f, light, 0.25f * look.lights);
    }
  }
}

void PaintBoat(Canvas& canvas, float x, float waterline, float length, Rgb hull, Rgb cabin,
               bool facingRight) {
  float d = facingRight ? 1.0f : -1.0f;
  float h = length * 0.22f;
  Point body[] = {{x - d * length * 0.5f, waterline - h},
                  {x + d * length * 0.55f, waterline - h * 1.15f},
                  {x + d * length * 0.38f, waterline + h * 0.25f},
                  {x - d * length * 0.42f, waterline + h * 0.25f}};
  canvas.FillPolygon(body, hull);
  canvas.FillRect(std::min(x - d * length * 0.5f, x + d * length * 0.55f), waterline - h * 0.95f,
                  std::max(x - d * length * 0.5f, x + d * length * 0.55f), waterline - h * 0.75f,
                  Scale(hull, 1.5f));
  float c0 = x - d * length * 0.25f;
  float c1 = x + d * length * 0.05f;
  canvas.FillRect(std::min(c0, c1), waterline - h * 2.1f, std::max(c0, c1), waterline - h, cabin);
  canvas.StrokeLine({x - d * length * 0.1f, waterline - h * 2.1f},
                    {x - d * length * 0.1f, waterline - h * 4.2f}, std::max(1.0f, length / 60),
                    Scale(hull, 0.7f));
  // Its reflection, broken by the ripples.
  for (int i = 0; i < 6; ++i) {
    float y = waterline + h * 0.4f + i * 2.0f;
    float w = length * (0.45f - i * 0.05f);
    canvas.FillRect(x - w, y, x + w, y + 1, Scale(hull, 0.6f), 0.35f - i * 0.05f);
  }
}

}  // namespace tvx::demo
