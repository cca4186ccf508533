#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/app/game_fixture.h"

namespace tvx::testing {
namespace {

using platform::CursorShape;

// The cursor resources that scripts name: 100 + n by the cursor effect, 225 + n in the maze,
// and the animated pairs from 230.
std::vector<uint16_t> ScriptCursorIds() {
  std::vector<uint16_t> ids;
  for (uint16_t id = 100; id <= 109; ++id) ids.push_back(id);
  for (uint16_t id = 225; id <= 239; ++id) ids.push_back(id);
  return ids;
}

using CursorResourcesTest = GameTest;

TEST_F(CursorResourcesTest, AfterStartUpEveryCursorAScriptNamesShowsItsPicture) {
  ASSERT_TRUE(Start());
  for (const uint16_t id : ScriptCursorIds()) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(platform::HasCursorImage(id));
    const auto* image = backend().cursor_image(id);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
  }
  // What a script chose shows; a number the program has no picture for shows the arrow.
  game().shared().cursorKind = 2;
  game().shared().cursorId = 103;
  window().SetCursorByKind();
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{103});
  EXPECT_EQ(backend().cursor_shape(), CursorShape{103});
  game().shared().cursorId = 110;
  window().SetCursorByKind();
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{});
  EXPECT_EQ(backend().cursor_shape(), CursorShape{});
}

// A platform that makes no cursors from pictures.
class NoCursorPictures : public platform::HeadlessBackend {
 public:
  bool RegisterCursorImage(uint16_t, const platform::CursorImage&) override { return false; }
};

TEST_F(CursorResourcesTest, WithoutCursorPicturesTheGameStillStartsAndShowsTheArrow) {
  platform::Install(std::make_unique<NoCursorPictures>());
  system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
  ASSERT_TRUE(system_->StartUp());
  EXPECT_TRUE(platform::ShownBoxes().empty());
  EXPECT_FALSE(platform::HasCursorImage(230));
  game().shared().cursorKind = 2;
  game().shared().cursorId = 230;
  window().SetCursorByKind();
  EXPECT_EQ(platform::CurrentCursor(), CursorShape{});
}

}  // namespace
}  // namespace tvx::testing
