// The face sheet: 林汐 on the first row, 陈伯 on the second, three expressions each, 160 × 160
// portraits on the key colour. Each portrait is painted over a dark backdrop that becomes
// its outline; outside its silhouette every pixel is the key colour, with a hard edge, so
// that no half-blended pixel of the key's magenta shows around a face.
#include <cmath>
#include <vector>

#include "demo/generator/scenes.h"

namespace tvx::demo {

namespace {

constexpr int kCell = 160;

enum class Mood { kCalm, kSmile, kSurprised, kWorried };

struct Person {
  bool elder = false;
  Rgb skin;
  Rgb hair;
  Rgb coat;
};

// The shapes that make the silhouette: the same for the picture and its mask.
void PaintSilhouette(Canvas& c, float ox, float oy, const Person& p, Rgb colour, bool mask) {
  auto col = [&](Rgb rgb) { return mask ? colour : rgb; };
  // Shoulders and coat.
  Point coat[] = {{ox + 12, oy + 160},  {ox + 24, oy + 128},  {ox + 56, oy + 116},
                  {ox + 104, oy + 116}, {ox + 136, oy + 128}, {ox + 148, oy + 160}};
  c.FillPolygon(coat, col(p.coat));
  c.FillRect(ox + 68, oy + 100, ox + 92, oy + 124, col(Scale(p.skin, 0.82f)));
  if (!p.elder) {
    // Long hair falling behind the shoulders.
    c.FillEllipse(ox + 80, oy + 80, 48, 58, col(p.hair));
    c.FillRect(ox + 34, oy + 80, ox + 126, oy + 132, col(p.hair));
  }
  c.FillEllipse(ox + 80, oy + 72, p.elder ? 40 : 37, 45, col(p.skin));
  if (!mask) {
    // Light from the left: the face turns softly into shade towards its right edge.
    float rx = p.elder ? 40.0f : 37.0f;
    for (int y = static_cast<int>(oy + 27); y <= static_cast<int>(oy + 118); ++y) {
      for (int x = static_cast<int>(ox + 80); x <= static_cast<int>(ox + 80 + rx); ++x) {
        float dx = (x + 0.5f - ox - 80) / rx;
        float dy = (y + 0.5f - oy - 72) / 45;
        if (dx * dx + dy * dy > 1) continue;
        c.Blend(x, y, Scale(p.skin, 0.8f), 0.7f * SmoothStep(0.3f, 1.0f, dx));
      }
    }
  }
  // Ears.
  c.FillEllipse(ox + 41, oy + 76, 6, 10, col(p.skin));
  c.FillEllipse(ox + 119, oy + 76, 6, 10, col(p.skin));
  if (p.elder) {
    // The beard round the jaw, the cap on top.
    c.FillEllipse(ox + 80, oy + 106, 35, 23, col(p.hair));
    Point cap[] = {{ox + 36, oy + 52},  {ox + 40, oy + 28},  {ox + 62, oy + 16},
                   {ox + 100, oy + 16}, {ox + 122, oy + 28}, {ox + 126, oy + 52}};
    c.FillPolygon(cap, col(Hex(0x2a3450)));
    Point visor[] = {
        {ox + 34, oy + 50}, {ox + 126, oy + 50}, {ox + 116, oy + 60}, {ox + 44, oy + 60}};
    c.FillPolygon(visor, col(Hex(0x141a28)));
  } else {
    // The fringe over the forehead.
    Point fringe[] = {{ox + 40, oy + 76},  {ox + 42, oy + 40},  {ox + 60, oy + 24},
                      {ox + 90, oy + 22},  {ox + 114, oy + 34}, {ox + 122, oy + 76},
                      {ox + 112, oy + 52}, {ox + 92, oy + 48},  {ox + 80, oy + 56},
                      {ox + 66, oy + 46},  {ox + 52, oy + 56}};
    c.FillPolygon(fringe, col(p.hair));
  }
}

void PaintEye(Canvas& c, float x, float y, Mood mood, bool elder) {
  Rgb dark = Hex(0x1e1a20);
  if (mood == Mood::kSmile) {
    // Smiling eyes close into arcs.
    std::vector<Point> arc;
    for (int i = 0; i <= 8; ++i) {
      float t = (i / 8.0f - 0.5f) * 2;
      arc.push_back({x + t * 7, y + 1 - (1 - t * t) * 4});
    }
    c.StrokePath(arc, 2.4f, dark);
    return;
  }
  float ry = mood == Mood::kSurprised ? 7.5f : (elder ? 4.0f : 6.0f);
  float rx = mood == Mood::kSurprised ? 6.0f : 5.0f;
  c.FillEllipse(x, y, rx + 2, ry + 1, Hex(0xf8f4f0));
  c.FillEllipse(x, y + 0.5f, rx, ry, elder ? Hex(0x3a2a20) : Hex(0x2a2030));
  c.FillEllipse(x, y + 1, rx * 0.5f, ry * 0.5f, dark);
  c.FillEllipse(x + 1.5f, y - ry * 0.4f, 1.6f, 1.6f, Hex(0xffffff));
}

void PaintFace(Canvas& c, float ox, float oy, const Person& p, Mood mood) {
  float eyeY = oy + (p.elder ? 79.0f : 74.0f);
  float lift = mood == Mood::kSurprised ? -5.0f : 0.0f;
  Rgb brow = p.elder ? Hex(0xb8b8b4) : Hex(0x2a2028);
  for (int side = -1; side <= 1; side += 2) {
    float ex = ox + 80 + side * 17.0f;
    PaintEye(c, ex, eyeY, mood, p.elder);
    // Brows: raised when surprised, slanted up towards the middle when worried.
    float inner = mood == Mood::kWorried ? -5.0f : 0.0f;
    float above = p.elder ? 10.0f : 13.0f;
    Point a{ex - side * 8.0f, eyeY - above + lift + inner};
    Point b{ex + side * 9.0f, eyeY - above + 1 + lift};
    c.StrokeLine(a, b, p.elder ? 4.0f : 2.5f, brow);
  }
  // Nose.
  c.StrokeLine({ox + 81, oy + 80}, {ox + 78, oy + 92}, 1.6f, Scale(p.skin, 0.7f));
  c.StrokeLine({ox + 78, oy + 92}, {ox + 83, oy + 93}, 1.6f, Scale(p.skin, 0.7f));
  // Cheeks.
  if (!p.elder) {
    c.FillEllipse(ox + 58, oy + 92, 8, 4, Hex(0xf09a98), 0.35f);
    c.FillEllipse(ox + 102, oy + 92, 8, 4, Hex(0xf09a98), 0.35f);
  } else {
    // Lines of age at the eyes and across the brow.
    c.StrokeLine({ox + 52, oy + 56}, {ox + 68, oy + 54}, 1, Scale(p.skin, 0.72f));
    c.StrokeLine({ox + 92, oy + 54}, {ox + 108, oy + 56}, 1, Scale(p.skin, 0.72f));
    c.StrokeLine({ox + 112, oy + 74}, {ox + 117, oy + 78}, 1, Scale(p.skin, 0.72f));
    c.StrokeLine({ox + 48, oy + 74}, {ox + 43, oy + 78}, 1, Scale(p.skin, 0.72f));
  }
  // The mouth.
  float my = oy + (p.elder ? 104.0f : 104.0f);
  Rgb lips = p.elder ? Hex(0x6a3a30) : Hex(0xc0585a);
  if (p.elder) {
    // The moustache over it, then the mouth in the beard.
    Point moustache[] = {{ox + 62, oy + 100}, {ox + 80, oy + 94}, {ox + 98, oy + 100},
                         {ox + 92, oy + 103}, {ox + 80, oy + 99}, {ox + 68, oy + 103}};
    c.FillPolygon(moustache, Hex(0xd8d8d4));
    my = oy + 110;
  }
  std::vector<Point> curve;
  float bend = mood == Mood::kSmile ? 5.0f : (mood == Mood::kWorried ? -3.0f : 0.8f);
  float width = mood == Mood::kSmile ? 10.0f : 7.0f;
  if (mood == Mood::kSurprised) {
    c.FillEllipse(ox + 80, my + 1, 4.5f, 5.5f, Hex(0x5a2a2a));
  } else {
    for (int i = 0; i <= 10; ++i) {
      float t = (i / 10.0f - 0.5f) * 2;
      curve.push_back({ox + 80 + t * width, my + (1 - t * t) * bend - bend * 0.3f});
    }
    c.StrokePath(curve, 2.2f, lips);
  }
  // Coat details.
  if (p.elder) {
    c.StrokeLine({ox + 80, oy + 128}, {ox + 80, oy + 160}, 2, Scale(p.coat, 0.6f));
    c.FillRect(ox + 50, oy + 118, ox + 110, oy + 126, Scale(p.coat, 1.3f));
  } else {
    Point collarL[] = {{ox + 56, oy + 116}, {ox + 80, oy + 124}, {ox + 66, oy + 146}};
    Point collarR[] = {{ox + 104, oy + 116}, {ox + 80, oy + 124}, {ox + 94, oy + 146}};
    c.FillPolygon(collarL, Scale(p.coat, 1.25f));
    c.FillPolygon(collarR, Scale(p.coat, 1.1f));
    c.FillEllipse(ox + 80, oy + 150, 3, 3, Hex(0xd8c8a0));
    // A shine along the hair.
    c.StrokeLine({ox + 58, oy + 34}, {ox + 74, oy + 28}, 3, Scale(p.hair, 2.2f), 0.6f);
  }
}

}  // namespace

Canvas PaintFaces() {
  Canvas sheet(kCell * 3, kCell * 2, kKey);
  const Person lin{false, Hex(0xf4d4bc), Hex(0x24202c), Hex(0x2a4a8a)};
  const Person chen{true, Hex(0xd8a888), Hex(0xc8c8c4), Hex(0x4a3a30)};
  const Mood moods[2][3] = {{Mood::kCalm, Mood::kSmile, Mood::kSurprised},
                            {Mood::kCalm, Mood::kSmile, Mood::kWorried}};
  for (int row = 0; row < 2; ++row) {
    const Person& person = row == 0 ? lin : chen;
    for (int column = 0; column < 3; ++column) {
      float ox = static_cast<float>(column * kCell);
      float oy = static_cast<float>(row * kCell);
      Canvas portrait(kScreenWidth, kCell * 2, Hex(0x16141c));
      Canvas mask(kScreenWidth, kCell * 2);
      PaintSilhouette(portrait, ox, oy, person, {}, false);
      PaintFace(portrait, ox, oy, person, moods[row][column]);
      PaintSilhouette(mask, ox, oy, person, {1, 1, 1}, true);
      for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
          int px = static_cast<int>(ox) + x;
          int py = static_cast<int>(oy) + y;
          if (mask.Get(px, py).r >= 0.5f) sheet.Set(px, py, portrait.Get(px, py));
        }
      }
    }
  }
  return sheet;
}

}  // namespace tvx::demo
