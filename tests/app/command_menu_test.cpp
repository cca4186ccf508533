// The right-button command menu as a player works it: opened by a right click at the
// pointer, walked with the keys and the mouse, choosing through the same handler as every
// other command; drawn over the game, which shows again where the menu was once it closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/blinking_animation.h"
#include "tests/script/script_fixture.h"
#include "tests/support/golden_picture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/png_io.h"
#include "tools/run_command.h"
#include "ui/menu_tree.h"
#include "ui/popup_menu_window.h"

namespace tvx::testing {
namespace {

constexpr uint16_t kTeal = 0x0210;

// Fills the screen with teal, then waits for 3 s of ticks, twice (a wait ends on a click).
constexpr std::string_view kTealScreen = R"(
    SET_DIM16 11, 0, 0x0210
    SYSCALL 10, 2, 0, 0, 639, 479
    SYSCALL 11, 800
    SYSCALL 11, 800
    END
)";

std::string Tap(int ms, const char* key) {
  return std::to_string(ms) + " key down " + key + "\n" + std::to_string(ms + 10) + " key up " +
         key + "\n";
}
std::string RightClick(int ms, int x, int y) {
  return std::to_string(ms) + " mouse move " + std::to_string(x) + " " + std::to_string(y) + "\n" +
         std::to_string(ms + 10) + " mouse down right\n" + std::to_string(ms + 20) +
         " mouse up right\n";
}
std::string Click(int ms, platform::Point p) {
  return std::to_string(ms) + " mouse move " + std::to_string(p.x) + " " + std::to_string(p.y) +
         "\n" + std::to_string(ms + 10) + " mouse down left\n" + std::to_string(ms + 20) +
         " mouse up left\n";
}
platform::Point Centre(const platform::Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class CommandMenu : public ScriptTest {
 protected:
  // Runs until `at` ms, then keeps a copy of the window's picture and ends the game there.
  void RunAndLook(std::string_view events, uint32_t at) {
    StartPlatform(events);
    system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
    platform::SetDeadline(
        at,
        [](void* context) {
          auto* self = static_cast<CommandMenu*>(context);
          self->look_ = *platform::WindowFramebuffer(self->system_->mainWindow().handle());
          self->system_->mainWindow().SetRunState(MainWindow::kQuit);
        },
        this);
    system_->RunSystem();
  }
  // The command menu laid out as it opens at the pointer `at`.
  static PopupMenuWindow RootAt(const MenuTree& tree, platform::Point at) {
    PopupMenuWindow root(tree.root(), static_cast<int>(tree.menuCount()) - 1);
    platform::Point corner = at;
    if (at.x + root.width() > 640) corner.x -= root.width();
    if (at.y + root.height() > 480) corner.y -= root.height();
    root.MoveTo(corner);
    return root;
  }
  int TealPixels(const platform::Framebuffer& screen, const platform::Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += screen.At(x, y) == kTeal;
    return n;
  }
  platform::Framebuffer look_;
};

TEST_F(CommandMenu, KeysWalkIntoTheSubmenusAndChoose) {
  Script("MAIN.MES", kTealScreen);
  // Down five times reaches the settings; Right opens it at its first entry (music), Right
  // again opens the music switch at "ON"; Down, Enter: music off.
  std::string events = RightClick(100, 200, 150);
  for (int i = 0; i < 5; ++i) events += Tap(200 + 50 * i, "Down");
  events += Tap(500, "Right") + Tap(550, "Right") + Tap(600, "Down");
  RunAndLook(events + Tap(700, "Enter"), 650);
  EXPECT_EQ(CompareWithGolden(look_, {0, 0, 640, 480}, "command_menu_music"), "");
  // The menu opened with its corner at the pointer; the game shows around it.
  EXPECT_NE(look_.At(200, 150), kTeal);
  EXPECT_EQ(look_.At(199, 149), kTeal);

  // A headless run's dump at that moment shows the same picture, and lists the menu.
  system_.reset();
  platform::Uninstall();
  std::ofstream(dir() / "events.txt") << events;
  const auto dump = dir() / "dump";
  const auto run = tool::test::RunCommand(
      tool::RunRun, {dir().string(), "--headless", "--input", (dir() / "events.txt").string(),
                     "--until-ms", "2000", "--dump", dump.string(), "--dump-at", "650"});
  EXPECT_EQ(run.code, 124) << run.err;  // ended by the time limit, the script still waiting
  std::string error;
  const auto dumped = tool::ReadPngFile((dump / "650" / "screen.png").string(), error);
  const auto golden = tool::ReadPngFile(
      std::string(TALVEX_SOURCE_DIR) + "/tests/data/golden/command_menu_music.png", error);
  ASSERT_TRUE(dumped && golden) << error;
  EXPECT_TRUE(*dumped == *golden);

  // Played on, the choice reaches the command handler and the menu leaves no trace.
  system_.reset();
  Script("MAIN.MES", kTealScreen);
  Run(events + Tap(700, "Enter"), 2000);
  EXPECT_EQ(system_->shared().soundOn, 0u);
  EXPECT_TRUE(system_->mainWindow().menus().Find(40018)->checked);
  const platform::Framebuffer& screen = system_->finalScreen;
  EXPECT_EQ(TealPixels(screen, {0, 0, 640, 480}), 640 * 480);
}

TEST_F(CommandMenu, EscapeAndLeftStepBackAndAClickOutsideDismisses) {
  Script("MAIN.MES", kTealScreen);
  // Into the settings and out again with Left, out of the menu with Escape: nothing chosen.
  // Reopened, a click outside closes it; reopened again, Escape closes it at once.
  std::string events = RightClick(100, 300, 200);
  for (int i = 0; i < 5; ++i) events += Tap(200 + 50 * i, "Down");
  events += Tap(500, "Right") + Tap(550, "Left") + Tap(600, "Escape");
  // A command cannot be slipped in while the menu is open.
  events += RightClick(700, 300, 200) + "750 command 40018\n" + Click(800, {20, 20});
  events += RightClick(900, 300, 200) + Tap(1000, "Escape");
  Run(events, 1200);
  EXPECT_EQ(system_->shared().soundOn, 1u);
  EXPECT_TRUE(platform::ShownBoxes().empty());
  EXPECT_EQ(TealPixels(system_->finalScreen, {0, 0, 640, 480}), 640 * 480);
}

TEST_F(CommandMenu, TheMouseChoosesAndGreyedItemsStayUnchosen) {
  Script("MAIN.MES", kTealScreen);
  MenuTree tree;
  tree.Build(false);
  // Near the bottom-right corner the menu opens up and to the left of the pointer.
  const PopupMenuWindow root = RootAt(tree, {630, 470});
  ASSERT_LE(root.bounds().right, 640);
  ASSERT_LE(root.bounds().bottom, 480);
  // A click on the greyed save entry chooses nothing and leaves the menu open; the end entry
  // asks "end the game?", answered Cancel.
  std::string events = RightClick(100, 630, 470);
  events += Click(200, Centre(root.ItemRect(1)));
  events += "300 answer Cancel\n" + Click(300, Centre(root.ItemRect(8)));
  RunAndLook(events, 250);
  EXPECT_NE(look_.At(root.bounds().left + 2, root.bounds().top + 2), kTeal);  // still open
  EXPECT_EQ(CompareWithGolden(look_, root.bounds(), "command_menu_corner"), "");

  system_.reset();
  Script("MAIN.MES", kTealScreen);
  Run(events, 1500);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"游戏的结束 / 结束游戏吗？"});
  EXPECT_EQ(TealPixels(system_->finalScreen, {0, 0, 640, 480}), 640 * 480);
}

TEST_F(CommandMenu, SubmenusOpenWhereThereIsRoom) {
  MenuTree tree;
  tree.Build(true);
  // Opened at the right edge, the settings menu cascades to the left of the root and its
  // music switch further left; the whole cascade stays inside the window.
  Script("MAIN.MES", kTealScreen);
  WriteSettings("[Config]\nbDEBUG=1\n");
  std::string events = RightClick(100, 600, 10);
  for (int i = 0; i < 5; ++i) events += Tap(200 + 50 * i, "Down");
  events += Tap(500, "Right") + Tap(550, "Right");
  RunAndLook(events, 650);
  const PopupMenuWindow root = RootAt(tree, {600, 10});
  // The music switch's "ON" is selected: its highlight lies left of the root.
  int navy_left_of_root = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < root.bounds().left - 100; ++x)
      navy_left_of_root += look_.At(x, y) == 0x0010;
  EXPECT_GT(navy_left_of_root, 100);
  EXPECT_EQ(CompareWithGolden(look_, {0, 0, 640, 480}, "command_menu_debug_cascade"), "");
}

TEST_F(CommandMenu, ARightClickOnADebugViewClosesTheViewAndOpensNoMenu) {
  WriteSettings("[Config]\nbDEBUG=1\n");
  Script("MAIN.MES", kTealScreen);
  // The flag view from the menu, closed by a right click; the game's picture is back.
  std::string events = RightClick(100, 300, 200);
  for (int i = 0; i < 7; ++i) events += Tap(200 + 20 * i, "Down");  // to "Debug"
  events += Tap(400, "Right") + Tap(450, "Down") + Tap(500, "Down") + Tap(550, "Enter");
  RunAndLook(events + RightClick(700, 300, 200), 650);
  int white = 0;  // the flag view's zeros
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) white += look_.At(x, y) == 0x7FFF;
  EXPECT_GT(white, 5000);
  system_.reset();
  Script("MAIN.MES", kTealScreen);
  RunAndLook(events + RightClick(700, 300, 200), 900);
  EXPECT_EQ(TealPixels(look_, {0, 0, 640, 480}), 640 * 480);
  EXPECT_EQ(system_->menuTracking, 0u);
}

TEST_F(CommandMenu, TheGameGoesOnAroundTheOpenMenu) {
  WriteBytes("ANIM.DAT", BlinkingAnimation());
  Script("MAIN.MES", std::string(kStartBlinking) + R"(
    SYSCALL 2, 4, 1                   ; the script's own cursor
    SYSCALL 11, 4000
    END
  )");
  // While the menu is open at (300, 200), every picture the window gets is looked at: the
  // blinking square at (100, 100) keeps changing beside it, under the arrow pointer.
  std::vector<uint16_t> seen;
  std::vector<platform::CursorShape> cursors;
  StartPlatform(RightClick(100, 300, 200) + Tap(1000, "Escape"));
  system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
  system_->planes().SetPresentHook([&] {
    if (!system_->menuTracking) return;
    seen.push_back(platform::WindowFramebuffer(system_->mainWindow().handle())->At(101, 101));
    cursors.push_back(platform::CurrentCursor());
  });
  platform::SetDeadline(
      1200, [](void* context) { static_cast<GameSystem*>(context)->mainWindow().SetRunState(255); },
      system_.get());
  system_->RunSystem();
  system_->planes().SetPresentHook(nullptr);
  EXPECT_GT(std::count(seen.begin(), seen.end(), uint16_t{0x7C00}), 2);
  EXPECT_GT(std::count(seen.begin(), seen.end(), uint16_t{0x03E0}), 2);
  EXPECT_TRUE(std::all_of(cursors.begin(), cursors.end(),
                          [](platform::CursorShape c) { return c == platform::CursorShape{}; }));
}

}  // namespace
}  // namespace tvx::testing
