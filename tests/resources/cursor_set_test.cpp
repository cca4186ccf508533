#include "resources/cursor_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace tvx {
namespace {

// The cursor resources that scripts name: 100 + n by the cursor effect, 225 + n in the maze,
// and the animated pairs from 230.
std::vector<uint16_t> ScriptCursorIds() {
  std::vector<uint16_t> ids;
  for (uint16_t id = 100; id <= 109; ++id) ids.push_back(id);
  for (uint16_t id = 225; id <= 239; ++id) ids.push_back(id);
  return ids;
}

constexpr int kSide = 32;

bool Opaque(uint32_t argb) {
  return (argb >> 24) == 0xFF;
}
uint32_t Channel(uint32_t argb, int shift) {
  return (argb >> shift) & 0xFF;
}
// The outline colour: black, or nearly.
bool Dark(uint32_t argb) {
  return Opaque(argb) && Channel(argb, 16) <= 0x30 && Channel(argb, 8) <= 0x30 &&
         Channel(argb, 0) <= 0x30;
}
// A fill that stands out on a dark background.
bool Light(uint32_t argb) {
  return Opaque(argb) && std::max({Channel(argb, 16), Channel(argb, 8), Channel(argb, 0)}) >= 0xC0;
}

// The transparent pixels that the background shows through from the picture's border.
std::array<bool, kSide * kSide> Outside(const CursorPicture& picture) {
  std::array<bool, kSide * kSide> outside{};
  std::vector<int> todo;
  const auto visit = [&](int x, int y) {
    if (x < 0 || x >= kSide || y < 0 || y >= kSide) return;
    const int i = y * kSide + x;
    if (outside[i] || (picture.argb[i] >> 24) != 0) return;
    outside[i] = true;
    todo.push_back(i);
  };
  for (int i = 0; i < kSide; ++i) {
    visit(i, 0), visit(i, kSide - 1), visit(0, i), visit(kSide - 1, i);
  }
  while (!todo.empty()) {
    const int i = todo.back();
    todo.pop_back();
    const int x = i % kSide;
    const int y = i / kSide;
    visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
  }
  return outside;
}

std::map<uint16_t, CursorPicture> ById() {
  std::map<uint16_t, CursorPicture> pictures;
  for (CursorPicture& picture : DrawCursorSet()) {
    const uint16_t id = picture.id;
    EXPECT_TRUE(pictures.emplace(id, std::move(picture)).second) << "id " << id << " twice";
  }
  return pictures;
}

TEST(CursorSet, EveryCursorTheScriptsNameHasAWholePictureWithAHotSpotOnIt) {
  const auto pictures = ById();
  for (const uint16_t id : ScriptCursorIds()) {
    SCOPED_TRACE(id);
    auto it = pictures.find(id);
    ASSERT_NE(it, pictures.end());
    const CursorPicture& picture = it->second;
    ASSERT_EQ(picture.width, kSide);
    ASSERT_EQ(picture.height, kSide);
    ASSERT_EQ(picture.argb.size(), size_t{kSide * kSide});
    // The hot spot is on the drawing, or right beside it: never out in the empty space.
    ASSERT_LT(picture.hotX, kSide);
    ASSERT_LT(picture.hotY, kSide);
    bool near_opaque = false;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int x = picture.hotX + dx;
        const int y = picture.hotY + dy;
        if (x >= 0 && x < kSide && y >= 0 && y < kSide && Opaque(picture.argb[y * kSide + x]))
          near_opaque = true;
      }
    }
    EXPECT_TRUE(near_opaque);
  }
  EXPECT_EQ(pictures.size(), ScriptCursorIds().size());
}

TEST(CursorSet, ABlackOutlineKeepsTheLightFillOffAnyBackground) {
  for (const auto& [id, picture] : ById()) {
    SCOPED_TRACE(id);
    const auto outside = Outside(picture);
    int dark = 0;
    int light = 0;
    int opaque = 0;
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        const uint32_t pixel = picture.argb[y * kSide + x];
        // Straight alpha, and nothing half seen: a pixel is drawn or it is not.
        EXPECT_TRUE(Opaque(pixel) || pixel == 0) << x << ", " << y;
        opaque += Opaque(pixel);
        dark += Dark(pixel);
        if (!Light(pixel)) continue;
        ++light;
        // On a white background a light pixel right beside the background would melt into it.
        for (const auto& [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
          if (nx >= 0 && nx < kSide && ny >= 0 && ny < kSide) {
            EXPECT_FALSE(outside[ny * kSide + nx]) << x << ", " << y << " touches the outside";
          }
        }
      }
    }
    EXPECT_GT(dark, 20);
    // Enough light fill to stand out on black.
    EXPECT_GE(light * 4, opaque);
  }
}

TEST(CursorSet, AnimatedPairsChangeVisiblyAndKeepTheirHotSpot) {
  const auto pictures = ById();
  for (uint16_t base = 230; base <= 238; base += 2) {
    SCOPED_TRACE(base);
    const CursorPicture& first = pictures.at(base);
    const CursorPicture& second = pictures.at(base + 1);
    int changed = 0;
    for (size_t i = 0; i < first.argb.size(); ++i) changed += first.argb[i] != second.argb[i];
    EXPECT_GE(changed, 30);
    // The pointer must not jump while the picture alternates.
    EXPECT_EQ(first.hotX, second.hotX);
    EXPECT_EQ(first.hotY, second.hotY);
  }
}

// The drawn area's extent: leftmost, topmost, rightmost, bottommost opaque pixel.
std::array<int, 4> Extent(const CursorPicture& picture) {
  std::array<int, 4> extent{kSide, kSide, -1, -1};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      if (!Opaque(picture.argb[y * kSide + x])) continue;
      extent = {std::min(extent[0], x), std::min(extent[1], y), std::max(extent[2], x),
                std::max(extent[3], y)};
    }
  }
  return extent;
}

// The number of opaque pixels in row y.
int RowWidth(const CursorPicture& picture, int y) {
  int count = 0;
  for (int x = 0; x < kSide; ++x) count += Opaque(picture.argb[y * kSide + x]);
  return count;
}

TEST(CursorSet, ArrowsPointWhereTheirIdsSay) {
  const auto pictures = ById();
  // 106-109: up, down, left, right, with the hot spot at the tip.
  const auto up = Extent(pictures.at(106));
  EXPECT_LE(pictures.at(106).hotY, up[1] + 1);
  const auto down = Extent(pictures.at(107));
  EXPECT_GE(pictures.at(107).hotY, down[3] - 1);
  const auto left = Extent(pictures.at(108));
  EXPECT_LE(pictures.at(108).hotX, left[0] + 1);
  const auto right = Extent(pictures.at(109));
  EXPECT_GE(pictures.at(109).hotX, right[2] - 1);
  // The maze: 225 (forward) has its broad head in the upper half, 228 (back) in the lower.
  const auto widest_row = [&](uint16_t id) {
    int best = 0;
    for (int y = 1; y < kSide; ++y)
      if (RowWidth(pictures.at(id), y) > RowWidth(pictures.at(id), best)) best = y;
    return best;
  };
  EXPECT_LT(widest_row(225), kSide / 2);
  EXPECT_GE(widest_row(228), kSide / 2);
  // 226 turns left: its head reaches further left than its mirror image 227.
  EXPECT_LT(Extent(pictures.at(226))[0], Extent(pictures.at(227))[0]);
  EXPECT_GT(Extent(pictures.at(227))[2], Extent(pictures.at(226))[2]);
}

}  // namespace
}  // namespace tvx
