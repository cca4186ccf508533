// The first-person maze view: a walker in a grid map, seen two cells deep and two to each
// side, drawn from pre-drawn 4-bit wall pieces placed at fixed screen positions. Steps and
// turns show one frame between the two standing views.
//
// The script's data (the map, three tile sets, the palette, the click table) lies in its
// image; the script machine resolves the script's references and hands them over as spans
// that end where the script's memory ends, and the view reads nothing outside them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "graphics/vram_plane_set.h"

namespace tvx {

struct MazeData {
  std::span<const uint8_t> map;  // width, height (u16), then 4 bytes a cell
  std::array<std::span<const uint8_t>, 3> tiles;
  std::span<const uint8_t> palette;  // 16 colours, u16 each
  std::span<const uint8_t> clicks;   // (code, left, top, right, bottom) u16 records
};

class DungeonView {
 public:
  // Headings.
  static constexpr uint16_t kEast = 0, kNorth = 1, kWest = 2, kSouth = 3;
  // Move commands.
  static constexpr uint32_t kForward = 0, kBack = 1, kTurnLeft = 2, kTurnRight = 3;
  // Results of moves.
  static constexpr uint16_t kBlocked = 0xFF01;
  static constexpr uint16_t kThroughKind3 = 0xFF02;
  static constexpr uint16_t kThroughKind1 = 0xFF03;
  // What the player's input asks for: the click table's codes and the arrow keys.
  static constexpr uint32_t kInputForward = 1, kInputLeft = 2, kInputRight = 4, kInputBack = 8;

  explicit DungeonView(VramPlaneSet& planes) : planes_(planes) {}
  DungeonView(const DungeonView&) = delete;
  DungeonView& operator=(const DungeonView&) = delete;

  // Binds the maze: the walker at (0, 0) facing east. False, with nothing changed, when the
  // map or the palette does not fit in what the spans hold.
  bool SetUp(const MazeData& data);
  bool bound() const { return bound_; }
  // Puts the walker at (x, y) facing `heading` (taken modulo 4).
  void Place(uint16_t x, uint16_t y, uint16_t heading);
  // The plane the view draws on (the script's text target plane).
  void SetTargetPlane(uint32_t plane) { target_ = plane; }
  // Draws a frame (0 standing, 1 and 2 a step's near and far frames, 3 and 4 a turn's
  // halves) on the target plane, and shows it at once when that is the screen.
  void Draw(uint32_t frame);
  // Draws a frame onto any plane (clipped to it), nothing shown.
  void DrawOnto(VramPlane& plane, uint32_t frame) const;
  // A step or turn (kForward, kBack, kTurnLeft, kTurnRight), shown frame by frame; the result
  // (kBlocked, an event e as e × 256 + 255, the kind of wall passed, or 0).
  uint16_t Move(uint32_t command);
  // Acts on an input value (kInput*); any other value does nothing and gives 0.
  uint16_t Act(uint32_t input);
  // The click table's code (low byte) for a point of the window; 255 where none matches.
  uint32_t ClickCode(int32_t x, int32_t y) const;
  // Reads the cells around the walker again.
  void Look();

  uint16_t x() const { return x_; }
  uint16_t y() const { return y_; }
  uint16_t heading() const { return heading_; }
  uint16_t event() const { return event_; }
  // The view bytes (wall values 0-15 by index 0-30) of the last Look.
  const std::array<uint8_t, 31>& viewBytes() const { return view_bytes_; }

 private:
  uint16_t MapWidth() const;
  uint16_t MapHeight() const;
  bool Inside(int64_t x, int64_t y) const;
  // The wall word and the event of a cell inside the map.
  uint16_t WallWord(int64_t x, int64_t y) const;
  uint8_t EventAt(int64_t x, int64_t y) const;
  uint16_t Result() const;
  // One cell in the heading's direction (or against it); false when it leaves the map.
  bool Advance(bool forward);
  void DrawTile(VramPlane& plane, int32_t x, int32_t y, uint8_t reference, size_t set) const;

  VramPlaneSet& planes_;
  MazeData data_;
  bool bound_ = false;
  uint32_t target_ = 0;
  uint16_t x_ = 0, y_ = 0, heading_ = 0;
  uint16_t event_ = 0;
  uint16_t passage_ = 0;
  std::array<uint16_t, 15> window_{};
  std::array<uint8_t, 31> view_bytes_{};
  std::array<uint16_t, 16> palette_{};
};

}  // namespace tvx
