// The demo's pictures, each painted whole by one function. The animation frames are cut
// from the same paintings with the moving part in another phase, so that a frame drawn
// over its picture matches it pixel for pixel around what moves.
#pragma once

#include <vector>

#include "demo/generator/canvas.h"

namespace tvx::demo {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

// Where the moving parts sit on their pictures (the rectangles the frames cover).
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
inline constexpr Rect kTitleBeam{420, 56, 200, 120};  // over TITLE: the lamp at its centre
inline constexpr int kTitleBeamFrames = 8;
// COAST's surf, where the sea runs up the beach: above the message window (y 388 on), and
// left of the cliffs, which stand over its right end.
inline constexpr Rect kCoastWaves{0, 324, 320, 64};
inline constexpr int kWaveFrames = 4;
inline constexpr Rect kCoastGull{396, 88, 32, 24};  // a gull in COAST's sky
inline constexpr int kGullFrames = 4;
inline constexpr Rect kRoomFlame{300, 236, 24, 32};  // the flame of ROOM's oil lamp
inline constexpr int kFlameFrames = 4;
// The beams of LAMP2 in the fog either side of the lens, above the faces' places: each
// step of the sweep is a frame for the left and one for the right.
inline constexpr Rect kLampBeamLeft{0, 96, 176, 128};
inline constexpr Rect kLampBeamRight{464, 96, 176, 128};
inline constexpr int kLampBeamFrames = 8;

// TITLE: the lighthouse on its cliff at dusk; `beamFrame` 0-7 the turn of the beam.
Canvas PaintTitle(int beamFrame = 1);
// HARBOR and HARBOR2: the same town by day (dusk false) and at dusk.
Canvas PaintHarbor(bool dusk);
// COAST: the road along the cliffs; the waves and the gull in the given phases (0-3).
Canvas PaintCoast(int wavePhase = 0, int gullPhase = 0);
Canvas PaintTunnel();
// ROOM: the keeper's room; the flame of the oil lamp in the given phase (0-3).
Canvas PaintRoom(int flamePhase = 0);
// LAMP: the lamp room, the great lamp dark. LAMP2: the same moment with the lamp lit, its
// beams going out into the fog in `beamFrame` 0-7 of their sweep.
Canvas PaintLamp();
Canvas PaintLamp2(int beamFrame = 0);
Canvas PaintEnding();
Canvas PaintFogLayer();
Canvas PaintPanel();
Canvas PaintFaces();
Canvas PaintItems();
// The animation frames: each the block of its picture where it is drawn, in every phase.
std::vector<Canvas> TitleBeamFrames();
void CoastFrames(std::vector<Canvas>& waves, std::vector<Canvas>& gulls);
std::vector<Canvas> RoomFlameFrames();
void LampBeamFrames(std::vector<Canvas>& left, std::vector<Canvas>& right);

// The dawn in 13 steps (0 pre-dawn dark blue … 12 close to ENDING), for the engine's
// thirteen-picture show A30_01 … A30_13.
inline constexpr int kDawnSteps = 13;
Canvas PaintDawn(int step);

// The frame sheet: every frame listed in ANIMS.md, on the key colour.
Canvas PaintAnimationSheet();

// The maze: three 256 × 256 wall textures (0 dry stone, 1 brick, 2 mossy stone) and the
// palette's 16 colours as a 16 × 1 picture, chosen for them and the ceiling and floor.
Canvas PaintMazeWall(int kind);
Canvas PaintMazePaletteSource();
// The ceiling and floor colours the tile sets are rendered with (RRGGBB).
inline constexpr const char* kMazeCeiling = "2a2a36";
inline constexpr const char* kMazeFloor = "5a4a3c";

}  // namespace tvx::demo
