#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <vector>

#include "platform/platform.h"
#include "tests/support/headless_fixture.h"

namespace tvx::testing {
namespace {

using platform::CursorShape;
using platform::Point;

using CursorImageTest = HeadlessTest;

TEST_F(CursorImageTest, AResourceShowsItsPictureAndOneWithoutAPictureShowsTheArrow) {
  platform::HeadlessBackend& headless = StartPlatform();
  const std::vector<uint32_t> pixels(16 * 16, 0xFFFFFFFF);

  // No picture yet: the arrow, rather than nothing at all.
  platform::SetCursor({101});
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{});
  EXPECT_EQ(headless.cursor_shape(), CursorShape{});

  ASSERT_TRUE(platform::RegisterCursorImage(101, {pixels, 16, 16, {3, 4}}));
  EXPECT_TRUE(platform::HasCursorImage(101));
  const auto* record = headless.cursor_image(101);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->argb, pixels);
  EXPECT_EQ(record->hotspot, (Point{3, 4}));
  platform::SetCursor({101});
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{101});
  EXPECT_EQ(headless.cursor_shape(), CursorShape{101});

  // Leaving a picture for a resource without one goes back to the arrow.
  platform::SetCursor({102});
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{});
  EXPECT_EQ(headless.cursor_shape(), CursorShape{});

  // Pictures belong to the installed backend: a new one starts without them.
  StartPlatform();
  EXPECT_FALSE(platform::HasCursorImage(101));
  platform::SetCursor({101});
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{});
}

TEST_F(CursorImageTest, PicturesThatAreNotWholeAreRefusedAndTheOldOneStays) {
  platform::HeadlessBackend& headless = StartPlatform();
  const std::vector<uint32_t> pixels(16 * 16, 0xFF000000);
  const std::span<const uint32_t> short_of_one = std::span(pixels).first(255);
  EXPECT_FALSE(platform::RegisterCursorImage(0, {pixels, 16, 16, {}}));
  EXPECT_FALSE(platform::RegisterCursorImage(5, {short_of_one, 16, 16, {}}));
  EXPECT_FALSE(platform::RegisterCursorImage(5, {pixels, 0, 16, {}}));
  EXPECT_FALSE(platform::RegisterCursorImage(5, {pixels, 16, 16, {16, 0}}));
  EXPECT_FALSE(platform::RegisterCursorImage(5, {pixels, 16, 16, {0, -1}}));
  EXPECT_FALSE(platform::HasCursorImage(5));
  EXPECT_EQ(headless.cursor_image(5), nullptr);

  ASSERT_TRUE(platform::RegisterCursorImage(5, {pixels, 16, 16, {15, 15}}));
  EXPECT_FALSE(platform::RegisterCursorImage(5, {short_of_one, 16, 16, {}}));
  EXPECT_TRUE(platform::HasCursorImage(5));
  ASSERT_NE(headless.cursor_image(5), nullptr);
  EXPECT_EQ(headless.cursor_image(5)->hotspot, (Point{15, 15}));
}

// A backend that cannot make cursors from pictures, as SDL's dummy video driver.
class NoCursorPictures : public platform::HeadlessBackend {
 public:
  bool RegisterCursorImage(uint16_t, const platform::CursorImage&) override { return false; }
};

TEST_F(CursorImageTest, APictureTheBackendRefusesLeavesTheArrow) {
  auto backend = std::make_unique<NoCursorPictures>();
  NoCursorPictures& headless = *backend;
  platform::Install(std::move(backend));
  const std::vector<uint32_t> pixels(16 * 16, 0xFFFFFFFF);
  EXPECT_FALSE(platform::RegisterCursorImage(101, {pixels, 16, 16, {}}));
  EXPECT_FALSE(platform::HasCursorImage(101));
  platform::SetCursor({101});
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{});
  EXPECT_EQ(headless.cursor_shape(), CursorShape{});
}

}  // namespace
}  // namespace tvx::testing
