// The maze view: which pieces each frame draws where (against placements worked out by hand
// from the tables), the walls the walker sees from a position and heading, and bad data.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/dungeon_tables.h"
#include "graphics/dungeon_view.h"
#include "resources/byte_order.h"

namespace tvx {
namespace {

// Palette index 15 marks the right half of every piece, so a mirrored piece shows it on the
// left; the left half of piece n has index (n % 14) + 1.
uint8_t LeftIndex(size_t tile) {
  return static_cast<uint8_t>(tile % 14 + 1);
}

std::vector<uint8_t> MarkedTileSet() {
  std::vector<uint8_t> set(maze::kTileSetBytes, 0);
  for (size_t n = 0; n < maze::kTileCount; ++n) {
    const maze::TileDescriptor& tile = maze::kTiles[n];
    for (size_t row = 0; row < tile.height; ++row)
      for (size_t column = 0; column < tile.width; column += 2) {
        const uint8_t index = column < tile.width / 2u ? LeftIndex(n) : 15;
        set[tile.offset + row * (tile.width / 2u) + column / 2] =
            static_cast<uint8_t>(index << 4 | index);
      }
  }
  return set;
}

// Colour of palette index i: distinct, and telling the tile set apart (set 1 red, 2 green,
// 3 blue tints) is not needed: the tests use one set at a time.
std::vector<uint8_t> Palette() {
  std::vector<uint8_t> palette(32);
  for (uint16_t i = 0; i < 16; ++i)
    bytes::StoreLe16(palette, 2 * i, static_cast<uint16_t>(i * 0x0421 + 1));
  return palette;
}
uint16_t Colour(uint8_t index) {
  return static_cast<uint16_t>(index * 0x0421 + 1);
}

// A map of w × h cells, all open.
struct Map {
  uint16_t width, height;
  std::vector<uint8_t> bytes;
  Map(uint16_t w, uint16_t h) : width(w), height(h), bytes(4 + size_t{w} * h * 4, 0) {
    bytes::StoreLe16(bytes, 0, w);
    bytes::StoreLe16(bytes, 2, h);
  }
  size_t At(uint16_t x, uint16_t y) const { return 4 + (size_t{y} * width + x) * 4; }
  // Walls as seen on the map: north, east, south, west values.
  void Walls(uint16_t x, uint16_t y, uint8_t n, uint8_t e, uint8_t s, uint8_t w) {
    bytes::StoreLe16(bytes, At(x, y), static_cast<uint16_t>(n << 12 | e << 8 | s << 4 | w));
  }
  void Event(uint16_t x, uint16_t y, uint8_t e) { bytes[At(x, y) + 2] = e; }
};

class MazeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    planes_ = std::make_unique<VramPlaneSet>();
    ASSERT_TRUE(planes_->CreateAll(platform::kNoWindow));
    view_ = std::make_unique<DungeonView>(*planes_);
    tiles_ = MarkedTileSet();
    palette_ = Palette();
  }
  bool Bind(const Map& map) {
    map_ = map.bytes;
    MazeData data{map_, {tiles_, tiles_, tiles_}, palette_, {}};
    return view_->SetUp(data);
  }
  uint16_t Pixel(uint32_t x, uint32_t y) { return planes_->Get(3).At(x, y); }
  void DrawFrame(uint32_t frame) { view_->DrawOnto(planes_->Get(3), frame); }
  // A placed piece: left half its own colour, right half the marker (swapped if mirrored).
  void ExpectPiece(size_t tile, bool mirrored, uint32_t x, uint32_t y) {
    const maze::TileDescriptor& d = maze::kTiles[tile];
    const uint32_t quarter = d.width / 4u;
    const uint16_t left = Colour(mirrored ? 15 : LeftIndex(tile));
    const uint16_t right = Colour(mirrored ? LeftIndex(tile) : 15);
    for (uint32_t row : {y, y + d.height / 2u, y + d.height - 1u}) {
      if (row >= 480) continue;
      EXPECT_EQ(Pixel(x + quarter, row), left) << "tile " << tile << " at " << x << "," << row;
      EXPECT_EQ(Pixel(x + d.width - 1 - quarter, row), right) << "tile " << tile;
    }
  }
  std::unique_ptr<VramPlaneSet> planes_;
  std::unique_ptr<DungeonView> view_;
  std::vector<uint8_t> tiles_, palette_, map_;
};

TEST_F(MazeViewTest, FramesDrawThePiecesOfTheWallsInView) {
  // A corridor cell facing east with only a wall in front: frame 0 shows the ceiling and
  // floor halves, then the front wall's four pieces from x = 88, and nothing else.
  Map map(5, 5);
  ASSERT_TRUE(Bind(map));
  view_->Place(2, 2, DungeonView::kEast);
  DrawFrame(0);
  ExpectPiece(37, false, 0, 0);
  ExpectPiece(37, true, 320, 0);
  ExpectPiece(38, false, 0, 312);
  ExpectPiece(38, true, 320, 312);
  map.Walls(2, 2, 0, 1, 0, 0);  // east wall of the walker's cell
  ASSERT_TRUE(Bind(map));
  view_->Place(2, 2, DungeonView::kEast);
  EXPECT_EQ(view_->viewBytes()[5], 1);
  DrawFrame(0);
  ExpectPiece(3, false, 88, 0);
  ExpectPiece(4, false, 176, 0);
  ExpectPiece(4, true, 320, 0);
  ExpectPiece(3, true, 464, 0);

  // The walker's own left wall hides what lies beyond it on the left: entry 0 draws and goes
  // on with entry 3, past the cell to the left's front wall (view byte 3).
  map.Walls(2, 2, 2, 0, 0, 0);  // north is on the left when facing east
  map.Walls(2, 1, 0, 1, 0, 0);  // the left cell's front wall
  ASSERT_TRUE(Bind(map));
  view_->Place(2, 2, DungeonView::kEast);
  EXPECT_EQ(view_->viewBytes()[4], 2);
  EXPECT_EQ(view_->viewBytes()[3], 1);
  DrawFrame(0);
  ExpectPiece(0, false, 0, 0);
  // Tile 131 (3 mirrored) at (0, 0) would have put the marker colour on the left.
  EXPECT_EQ(Pixel(20, 200), Colour(LeftIndex(0)));
  // Seen from the north, the same cells: the wall is now on the right (view byte 6), drawn
  // at x = 552 with the piece 128 (0 mirrored).
  view_->Place(2, 2, DungeonView::kWest);
  EXPECT_EQ(view_->viewBytes()[6], 2);
  DrawFrame(0);
  ExpectPiece(0, true, 552, 0);

  // A turn's first half with a front wall and a right wall: (0, 0: 25) then, as entry 0
  // names entry 6, the right wall at (412, 0: 29) ends the list.
  map = Map(5, 5);
  map.Walls(2, 2, 0, 1, 1, 0);
  ASSERT_TRUE(Bind(map));
  view_->Place(2, 2, DungeonView::kEast);
  DrawFrame(3);
  ExpectPiece(25, false, 0, 0);
  ExpectPiece(29, false, 412, 0);

  // The step's near frame, the cell ahead with a front wall: view byte 16 draws six pieces
  // from (140, 24).
  map = Map(5, 5);
  map.Walls(3, 2, 0, 1, 0, 0);
  ASSERT_TRUE(Bind(map));
  view_->Place(2, 2, DungeonView::kEast);
  EXPECT_EQ(view_->viewBytes()[16], 1);
  DrawFrame(1);
  ExpectPiece(13, false, 140, 24);
  ExpectPiece(14, false, 252, 24);
  ExpectPiece(15, false, 280, 24);
  ExpectPiece(15, true, 320, 24);
  ExpectPiece(14, true, 360, 24);
  ExpectPiece(13, true, 388, 24);
}

TEST_F(MazeViewTest, TheWindowFollowsTheHeadingAndEndsAtTheMapEdge) {
  // The walker in the corner (0, 0) facing south: the cell ahead (0, 1) has a wall on its
  // south side (its front); the walker's own east wall is on its left.
  Map map(3, 3);
  map.Walls(0, 1, 0, 0, 3, 1);
  map.Walls(0, 0, 0, 2, 0, 0);
  map.Event(0, 0, 7);
  ASSERT_TRUE(Bind(map));
  view_->Place(0, 0, DungeonView::kSouth);
  EXPECT_EQ(view_->event(), 7);
  const auto& v = view_->viewBytes();
  EXPECT_EQ(v[16], 3);  // slot 7, front
  EXPECT_EQ(v[4], 2);   // own left
  EXPECT_EQ(v[6], 0);   // own right (west)
  EXPECT_EQ(v[17], 1);  // slot 7, right: the west wall of (0, 1)
  // From (1, 1) facing west the west wall of (0, 1) is ahead; from (0, 1) that cell's place
  // lies off the map and shows nothing rather than what was seen before.
  view_->Place(1, 1, DungeonView::kWest);
  EXPECT_EQ(v[16], 1);
  view_->Place(0, 1, DungeonView::kWest);
  EXPECT_EQ(v[5], 1);  // now it is the walker's own front wall
  for (const size_t i : {12, 13, 14, 15, 16, 17, 18, 19, 20, 24, 25, 26, 27, 28, 29, 30})
    EXPECT_EQ(v[i], 0) << i;
}

TEST_F(MazeViewTest, BadDataDrawsNothingAndChangesNothing) {
  Map map(4, 4);
  // The map claims more cells than it holds, or the palette is short: not bound.
  std::vector<uint8_t> short_map(map.bytes.begin(), map.bytes.end() - 1);
  EXPECT_FALSE(view_->SetUp({short_map, {tiles_, tiles_, tiles_}, palette_, {}}));
  EXPECT_FALSE(view_->SetUp({map.bytes, {tiles_, tiles_, tiles_}, {palette_.data(), 31}, {}}));
  EXPECT_FALSE(view_->bound());
  std::fill(planes_->Get(3).pixels.begin(), planes_->Get(3).pixels.end(), 0x1234);
  DrawFrame(0);
  EXPECT_EQ(Pixel(10, 10), 0x1234);
  // Moves of an unbound view are refused: there is no map to walk.
  EXPECT_EQ(view_->Move(DungeonView::kForward), DungeonView::kBlocked);

  // A tile set cut short: the pieces beyond its end are not drawn, the others are.
  std::vector<uint8_t> short_set(tiles_.begin(), tiles_.begin() + maze::kTiles[37].offset + 100);
  map.Walls(1, 1, 0, 1, 0, 0);
  map_ = map.bytes;
  ASSERT_TRUE(view_->SetUp({map_, {short_set, tiles_, tiles_}, palette_, {}}));
  view_->Place(1, 1, DungeonView::kEast);
  DrawFrame(0);
  EXPECT_EQ(Pixel(100, 10), Colour(LeftIndex(3)));  // tile 3 fits
  EXPECT_EQ(Pixel(10, 10), 0);                      // tile 37 does not: the plane stays clear

  // Pieces are clipped to narrow planes (plane 7 is 320 × 32).
  view_->DrawOnto(planes_->Get(7), 0);
  EXPECT_EQ(planes_->Get(7).At(100, 10), Colour(LeftIndex(3)));
}

}  // namespace
}  // namespace tvx
