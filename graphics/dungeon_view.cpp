#include "graphics/dungeon_view.h"

#include <algorithm>
#include <mutex>

#include "graphics/dungeon_tables.h"
#include "platform/platform.h"
#include "resources/byte_order.h"

namespace tvx {
namespace {

// The sides of an oriented wall word: the wall in front in bits 12-15, on the right 8-11,
// behind 4-7, on the left 0-3.
constexpr int kFront = 12, kRight = 8, kBehind = 4, kLeft = 0;

// Each view byte: the window slot (5 × depth row + lateral) and the side it shows.
struct ViewByteSource {
  uint8_t index;
  uint8_t slot;
  uint8_t side;
};
constexpr std::array<ViewByteSource, 21> kViewBytes = {{
    {3, 11, kFront}, {4, 12, kLeft},  {5, 12, kFront}, {6, 12, kRight}, {7, 13, kFront},
    {12, 5, kFront}, {13, 6, kLeft},  {14, 6, kFront}, {15, 7, kLeft},  {16, 7, kFront},
    {17, 7, kRight}, {18, 8, kFront}, {19, 8, kRight}, {20, 9, kFront}, {24, 1, kLeft},
    {25, 1, kFront}, {26, 2, kLeft},  {27, 2, kFront}, {28, 2, kRight}, {29, 3, kFront},
    {30, 3, kRight},
}};

constexpr size_t kWalkerSlot = 12;
constexpr uint32_t kMiddleFrameMs = 30;
constexpr size_t kCellBytes = 4;
constexpr size_t kPaletteBytes = 32;
constexpr size_t kClickRecordBytes = 10;
constexpr uint16_t kClickTableEnd = 0xFFFF;
constexpr uint8_t kKindMask = 7;
constexpr uint8_t kOneWay = 8;

// The cell word turned so that the heading's front wall is in bits 12-15.
uint16_t Oriented(uint16_t word, uint16_t heading) {
  switch (heading & 3) {
    case 0:
      return static_cast<uint16_t>(word << 4 | word >> 12);
    case 1:
      return word;
    case 2:
      return static_cast<uint16_t>(word >> 4 | word << 12);
    default:
      return static_cast<uint16_t>(word << 8 | word >> 8);
  }
}

uint8_t Side(uint16_t oriented, int side) {
  return static_cast<uint8_t>(oriented >> side & 0xF);
}

// The map cell of window slot (depth row, lateral) for a walker at (x, y).
void SlotCell(int64_t x, int64_t y, uint16_t heading, int64_t depth, int64_t lateral, int64_t& cx,
              int64_t& cy) {
  switch (heading & 3) {
    case 0:
      cx = x + 2 - depth;
      cy = y - 2 + lateral;
      return;
    case 1:
      cx = x - 2 + lateral;
      cy = y - 2 + depth;
      return;
    case 2:
      cx = x - 2 + depth;
      cy = y + 2 - lateral;
      return;
    default:
      cx = x + 2 - lateral;
      cy = y + 2 - depth;
      return;
  }
}

}  // namespace

uint16_t DungeonView::MapWidth() const {
  return bound_ ? bytes::LoadLe16(data_.map, 0) : 0;
}

uint16_t DungeonView::MapHeight() const {
  return bound_ ? bytes::LoadLe16(data_.map, 2) : 0;
}

bool DungeonView::Inside(int64_t x, int64_t y) const {
  return x >= 0 && y >= 0 && x < MapWidth() && y < MapHeight();
}

uint16_t DungeonView::WallWord(int64_t x, int64_t y) const {
  return bytes::LoadLe16(data_.map, 4 + static_cast<size_t>(y * MapWidth() + x) * kCellBytes);
}

uint8_t DungeonView::EventAt(int64_t x, int64_t y) const {
  return data_.map[4 + static_cast<size_t>(y * MapWidth() + x) * kCellBytes + 2];
}

bool DungeonView::SetUp(const MazeData& data) {
  if (data.map.size() < 4 || data.palette.size() < kPaletteBytes) return false;
  const size_t cells = size_t{bytes::LoadLe16(data.map, 0)} * bytes::LoadLe16(data.map, 2);
  if (data.map.size() < 4 + cells * kCellBytes) return false;
  data_ = data;
  for (size_t i = 0; i < palette_.size(); ++i)
    palette_[i] = bytes::LoadLe16(data.palette, 2 * i) & 0x7FFF;
  bound_ = true;
  x_ = y_ = heading_ = 0;
  passage_ = 0;
  Look();
  return true;
}

void DungeonView::Place(uint16_t x, uint16_t y, uint16_t heading) {
  x_ = x;
  y_ = y;
  heading_ = heading & 3;
  Look();
}

void DungeonView::Look() {
  event_ = Inside(x_, y_) ? EventAt(x_, y_) : 0;
  // Cells outside the map are empty: nothing stale is drawn where the map ends.
  for (int64_t depth = 0; depth < 3; ++depth) {
    for (int64_t lateral = 0; lateral < 5; ++lateral) {
      int64_t cx = 0, cy = 0;
      SlotCell(x_, y_, heading_, depth, lateral, cx, cy);
      window_[static_cast<size_t>(5 * depth + lateral)] =
          Inside(cx, cy) ? Oriented(WallWord(cx, cy), heading_) : 0;
    }
  }
  view_bytes_.fill(0);
  for (const ViewByteSource& source : kViewBytes)
    view_bytes_[source.index] = Side(window_[source.slot], source.side);
}

void DungeonView::DrawTile(VramPlane& plane, int32_t x, int32_t y, uint8_t reference,
                           size_t set) const {
  const uint8_t number = reference & ~maze::kMirrored;
  if (number >= maze::kTiles.size()) return;
  // Tile set 3 has descriptors of its own, which repeat the first ones.
  const maze::TileDescriptor& tile = maze::kTiles[number];
  const std::span<const uint8_t> pixels = data_.tiles[set];
  const size_t row_bytes = tile.width / 2;
  if (size_t{tile.offset} + row_bytes * tile.height > pixels.size()) return;
  const bool mirrored = (reference & maze::kMirrored) != 0;
  for (int32_t row = 0; row < tile.height; ++row) {
    const int32_t py = y + row;
    if (py < 0 || py >= plane.height) continue;
    const uint8_t* source = pixels.data() + tile.offset + row_bytes * static_cast<size_t>(row);
    for (int32_t column = 0; column < tile.width; ++column) {
      const int32_t px = mirrored ? x + tile.width - 1 - column : x + column;
      if (px < 0 || px >= plane.width) continue;
      const uint8_t byte = source[column / 2];
      plane.At(static_cast<uint32_t>(px), static_cast<uint32_t>(py)) =
          palette_[column % 2 == 0 ? byte >> 4 : byte & 0xF];
    }
  }
}

void DungeonView::DrawOnto(VramPlane& plane, uint32_t frame) const {
  if (!bound_ || !plane.exists() || frame >= maze::kFrames) return;
  std::fill(plane.pixels.begin(), plane.pixels.end(), uint16_t{0});
  auto place = [&](const maze::Placement& placement, size_t set) {
    int32_t x = placement.x;
    for (size_t i = 0; i < placement.count; ++i) {
      const uint8_t reference = placement.tiles[i];
      DrawTile(plane, x, 4 * placement.y4, reference, set);
      const uint8_t number = reference & ~maze::kMirrored;
      if (number < maze::kTiles.size()) x += maze::kTiles[number].width;
    }
  };
  for (const maze::Placement& background : maze::kBackground[frame]) place(background, 0);
  const auto list = maze::kDrawLists[frame];
  size_t entry = 0;
  while (entry < list.size()) {
    const uint8_t kind = view_bytes_[list[entry].viewByte] & kKindMask;
    // Kinds 4-7 have no tile set: they block, but there is nothing to draw.
    if (kind == 0 || kind > 3) {
      ++entry;
      continue;
    }
    place(list[entry].placement, kind - 1u);
    if (list[entry].next == maze::kStop) break;
    entry = list[entry].next;
  }
}

void DungeonView::Draw(uint32_t frame) {
  if (!bound_) return;
  {
    std::lock_guard lock(planes_.pixelLock());
    DrawOnto(planes_.Get(target_), frame);
  }
  // Presented through the usual path, so that the overlay stays on the window.
  if (target_ != 0 || planes_.redirect()) return;
  planes_.PresentRect(0, 0, VramPlaneSet::kScreenWidth, VramPlaneSet::kScreenHeight);
  if (frame == 0) return;
  // A step's or turn's middle frame reaches the screen and stays a moment, as long as
  // drawing a frame once took; drawn and replaced at once, it would never be seen.
  platform::PresentDirty();
  platform::Sleep(kMiddleFrameMs);
}

bool DungeonView::Advance(bool forward) {
  static constexpr std::array<int, 4> kDx = {1, 0, -1, 0};
  static constexpr std::array<int, 4> kDy = {0, -1, 0, 1};
  const int sign = forward ? 1 : -1;
  const int64_t nx = int64_t{x_} + sign * kDx[heading_ & 3];
  const int64_t ny = int64_t{y_} + sign * kDy[heading_ & 3];
  // The walker never leaves the map: such a step is refused like one into a wall.
  if (!Inside(nx, ny)) return false;
  x_ = static_cast<uint16_t>(nx);
  y_ = static_cast<uint16_t>(ny);
  return true;
}

uint16_t DungeonView::Result() const {
  if (event_ != 0) return static_cast<uint16_t>(event_ << 8 | 0xFF);
  switch (passage_ & kKindMask) {
    case 3:
      return kThroughKind3;
    case 1:
      return kThroughKind1;
    default:
      return 0;
  }
}

uint16_t DungeonView::Move(uint32_t command) {
  const uint16_t here = window_[kWalkerSlot];
  switch (command) {
    case kForward: {
      passage_ = Side(here, kFront);
      const bool wall = (passage_ & kOneWay) != 0 || (passage_ & kKindMask) > 3;
      if (wall || !Inside(x_, y_)) {
        Draw(1);
        Draw(0);
        return kBlocked;
      }
      Draw(1);
      if (!Advance(true)) {
        Draw(0);
        return kBlocked;
      }
      Look();
      Draw(2);
      Draw(0);
      return Result();
    }
    case kBack: {
      passage_ = Side(here, kBehind);
      if (passage_ != 0 || !Inside(x_, y_)) {
        Draw(2);
        Draw(0);
        return kBlocked;
      }
      Draw(2);
      if (!Advance(false)) {
        Draw(0);
        return kBlocked;
      }
      Look();
      Draw(1);
      Draw(0);
      return Result();
    }
    case kTurnLeft:
      Draw(4);
      heading_ = (heading_ + 1) & 3;
      Look();
      Draw(3);
      Draw(0);
      return Result();
    case kTurnRight:
      Draw(3);
      heading_ = (heading_ + 3) & 3;
      Look();
      Draw(4);
      Draw(0);
      return Result();
    default:
      return 0;
  }
}

uint16_t DungeonView::Act(uint32_t input) {
  switch (input) {
    case kInputForward:
      return Move(kForward);
    case kInputLeft:
      return Move(kTurnLeft);
    case kInputRight:
      return Move(kTurnRight);
    case kInputBack:
      return Move(kBack);
    default:
      return 0;
  }
}

uint32_t DungeonView::ClickCode(int32_t x, int32_t y) const {
  const std::span<const uint8_t> table = data_.clicks;
  for (size_t at = 0; at + kClickRecordBytes <= table.size(); at += kClickRecordBytes) {
    const uint16_t code = bytes::LoadLe16(table, at);
    if (code == kClickTableEnd) break;
    const int32_t left = bytes::LoadLe16(table, at + 2), top = bytes::LoadLe16(table, at + 4);
    const int32_t right = bytes::LoadLe16(table, at + 6), bottom = bytes::LoadLe16(table, at + 8);
    if (left <= x && x <= right && top <= y && y <= bottom) return code & 0xFFu;
  }
  return 255;
}

}  // namespace tvx
