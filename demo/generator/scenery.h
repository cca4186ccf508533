// The pieces the demo's pictures are painted from: skies, sea, clouds, fog, hills, the
// lighthouse and the town's houses. Each takes its seed, so the same call paints the same
// pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "demo/generator/canvas.h"

namespace tvx::demo {

struct ColourStop {
  float at;  // 0..1 down the span
  Rgb colour;
};

// The colour at `t` of a run of stops sorted by position.
Rgb Gradient(std::initializer_list<ColourStop> stops, float t);

// Fills rows `top` to `bottom` with a vertical gradient.
void PaintSky(Canvas& canvas, int top, int bottom, std::initializer_list<ColourStop> stops);

// Small stars above `bottom`, fainter lower down.
void PaintStars(Canvas& canvas, int bottom, int count, float brightness, uint32_t seed);

// Long soft clouds between rows `top` and `bottom`: `cover` 0..1 how much sky they take.
void PaintClouds(Canvas& canvas, int top, int bottom, Rgb colour, float cover, float opacity,
                 uint32_t seed);

// The sea from the horizon down: its colour from `far` to `near`, ripples of `glint`
// colour, and a path of light under `lightX` (no path when lightX < 0).
struct SeaLook {
  Rgb far;
  Rgb near;
  Rgb glint;
  float glintAmount = 0.3f;
  float lightX = -1;
  float lightWidth = 40;
  Rgb light{1, 0.8f, 0.5f};
  float lightAmount = 0.6f;
};
void PaintSea(Canvas& canvas, int horizon, const SeaLook& look, uint32_t seed);

// Land below a skyline: every column x is filled from height(x) down to `bottom` with
// `colour`, shaded by noise (`texture` 0..1) and lighter along its top edge by `rim`.
void PaintLand(Canvas& canvas, const std::function<float(float)>& height, int bottom, Rgb colour,
               float texture, Rgb rim, float rimAmount, uint32_t seed);

// A band of fog: densest at row `centre`, fading over `spread` rows, patchy by noise.
void PaintFog(Canvas& canvas, float centre, float spread, Rgb colour, float density, uint32_t seed);

// A lighthouse standing on (x, base), `height` tall: a white tower with red bands, gallery,
// lamp room and cap. `lit` 0..1 lights the lamp; `shade` darkens it for dusk or distance.
struct LighthouseLook {
  float x = 0;
  float base = 0;
  float height = 100;
  float lit = 0;
  Rgb body{0.92f, 0.9f, 0.86f};
  Rgb band{0.7f, 0.22f, 0.2f};
  Rgb shadow{0.3f, 0.32f, 0.45f};
  Rgb lamp{1, 0.85f, 0.5f};
  float shade = 1;  // 1 lit by day, lower for dusk
};
void PaintLighthouse(Canvas& canvas, const LighthouseLook& look);
// Where the lamp of that lighthouse is.
Point LighthouseLamp(const LighthouseLook& look);

// A house of the town: walls, roof, door and windows. `lights` 0..1 lights the windows.
struct HouseLook {
  float x = 0;     // left
  float base = 0;  // ground line
  float width = 60;
  float height = 40;
  float roof = 20;  // roof height
  Rgb wall;
  Rgb roofColour;
  float lights = 0;
  uint32_t seed = 0;
};
void PaintHouse(Canvas& canvas, const HouseLook& look, Rgb light);

// A small fishing boat floating at (x, waterline), `length` long, facing right or left.
void PaintBoat(Canvas& canvas, float x, float waterline, float length, Rgb hull, Rgb cabin,
               bool facingRight);

}  // namespace tvx::demo
