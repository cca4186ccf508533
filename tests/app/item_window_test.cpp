// The item window as the scripts and the player meet it: system call 22 made, shown, hidden,
// read and repainted by a script; the item-window command and its Space key; where the
// window goes on the screen and where it is remembered; the item bar it shows; and the NOW
// FILE view of the debug menu beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/shell_windows.h"
#include "platform/ui_canvas.h"
#include "script/shared_state.h"
#include "sound/sound_manager.h"
#include "tests/app/game_fixture.h"
#include "tests/graphics/png_test_support.h"
#include "tests/script/script_fixture.h"
#include "tests/tools/tool_test_support.h"
#include "tools/png_io.h"
#include "tools/run_command.h"
#include "ui/menu_tree.h"
#include "ui/now_file_view.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;

// The headless screen and the nominal frame around a window's client area.
constexpr int32_t kScreenWidth = platform::HeadlessBackend::kScreenSize.x;
constexpr int32_t kScreenHeight = platform::HeadlessBackend::kScreenSize.y;
constexpr platform::FrameInsets kFrame = platform::kNominalFrame;
constexpr int32_t kFrameWidth = 320 + kFrame.left + kFrame.right;
constexpr int32_t kFrameHeight = 32 + kFrame.top + kFrame.bottom;

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// How often each of the engine's window sounds was asked for.
struct WindowSounds {
  int open = 0, close = 0, error = 0;
  bool operator==(const WindowSounds&) const = default;
};
WindowSounds Count(const SoundManager& sound) {
  WindowSounds counts;
  for (const auto& event : sound.log().Events()) {
    if (event.channel != SoundManager::kEffect2) continue;
    counts.open += event.name == "WINOPN.WAV";
    counts.close += event.name == "WINCLS.WAV";
    counts.error += event.name == "ERROR.WAV";
  }
  return counts;
}
std::ostream& operator<<(std::ostream& out, const WindowSounds& s) {
  return out << "open " << s.open << ", close " << s.close << ", error " << s.error;
}

using ItemWindowScript = ScriptTest;

TEST_F(ItemWindowScript, TheScriptMakesShowsReadsAndDisablesIt) {
  WriteSettings("[ITEMWIN]\nX=100\nY=200\n");
  Script("MAIN.MES", R"(
    EFFECT 11                         ; the window sounds on
    SYSCALL 22, 1                     ; nothing made yet: nothing to toggle
    SYSCALL 22, 2
    SET_REG16 A, S
    SYSCALL 22, 0                     ; made, hidden
    SYSCALL 22, 2
    SET_REG16 B, S
    SYSCALL 22, 1                     ; shown
    SYSCALL 22, 2
    SET_REG16 C, S
    SYSCALL 22, 3                     ; its frame into system pointers 11-14
    SYSCALL 11, 400                   ; the pointer moves over the item bar meanwhile
    SYSCALL 22, 4                     ; into system words 3 and 4
    SYSCALL 22, 6                     ; disabled: hidden first, the menu entry greyed
    SYSCALL 22, 2
    SET_REG16 D, S
    SYSCALL 22, 1                     ; disabled: no toggle
    SYSCALL 11, 400                   ; the player chooses the greyed entry: nothing
    SYSCALL 22, 2
    SET_REG16 E, S
    SYSCALL 22, 5                     ; enabled again, and the entry with it
    SYSCALL 11, 400                   ; the player chooses it: shown
    SYSCALL 22, 2
    SET_REG16 F, S
    END
  )");
  ASSERT_EQ(Run("500 mouse move 150 230\n2000 command 40032\n3700 command 40032\n"), 0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ((std::vector<int>{R16('A'), R16('B'), R16('C'), R16('D'), R16('E'), R16('F')}),
            (std::vector<int>{0, 0, 1, 0, 0, 1}));
  // The frame lies where the settings put it; the client area starts inside the frame.
  EXPECT_EQ((std::vector<uint32_t>{vars().Pointer(11), vars().Pointer(12), vars().Pointer(13),
                                   vars().Pointer(14)}),
            (std::vector<uint32_t>{100, 200, 100 + kFrameWidth, 200 + kFrameHeight}));
  EXPECT_EQ(vars().Word(kWordMouseX), 150 - 100 - kFrame.left);
  EXPECT_EQ(vars().Word(kWordMouseY), 230 - 200 - kFrame.top);
  EXPECT_EQ(Count(*system_->sound()), (WindowSounds{2, 1, 0}));
  MenuTree& menus = system_->mainWindow().menus();
  menus.Sync(system_->shared().commands);
  EXPECT_TRUE(menus.Choosable(kCommandItemWindow));
}

TEST_F(ItemWindowScript, TheCommandNeedsTheScriptsConsent) {
  Script("MAIN.MES", R"(
    EFFECT 11
    SYSCALL 11, 200                   ; Space: nothing made yet
    SYSCALL 22, 0
    SYSCALL 22, 6
    SYSCALL 11, 200                   ; Space: made but disabled
    SYSCALL 22, 2
    SET_REG16 A, S
    SYSCALL 22, 5
    SYSCALL 11, 200                   ; Space: shown
    SYSCALL 22, 2
    SET_REG16 B, S
    END
  )");
  ASSERT_EQ(Run("100 key down Space\n110 key up Space\n"
                "1000 key down Space\n1010 key up Space\n"
                "1800 key down Space\n1810 key up Space\n"),
            0);
  EXPECT_EQ(R16('A'), 0);
  EXPECT_EQ(R16('B'), 1);
  EXPECT_EQ(Count(*system_->sound()), (WindowSounds{1, 0, 2}));
}

TEST_F(ItemWindowScript, TheWindowStaysOnTheScreenAndIsRemembered) {
  constexpr std::string_view kMakeAndShow = R"(
    SYSCALL 22, 0
    SYSCALL 22, 1
    SYSCALL 22, 3
    END
  )";
  auto frame = [&] {
    return std::vector<uint32_t>{vars().Pointer(11), vars().Pointer(12), vars().Pointer(13),
                                 vars().Pointer(14)};
  };
  Script("MAIN.MES", kMakeAndShow);
  // Far off the screen: the bottom right corner, all of it visible.
  WriteSettings("[ITEMWIN]\nX=5000\nY=5000\n");
  ASSERT_EQ(Run(), 0);
  const int32_t right_x = kScreenWidth - kFrameWidth, bottom_y = kScreenHeight - kFrameHeight;
  EXPECT_EQ(frame(), (std::vector<uint32_t>{static_cast<uint32_t>(right_x),
                                            static_cast<uint32_t>(bottom_y), 1024, 768}));
  // The game ended by itself with the window standing: its place is kept.
  std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("X=" + std::to_string(right_x)), std::string::npos) << settings;
  EXPECT_NE(settings.find("Y=" + std::to_string(bottom_y)), std::string::npos) << settings;
  system_.reset();

  // Above and left of the screen: the top left corner.
  WriteSettings("[ITEMWIN]\nX=-20\nY=-20\n");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(frame(), (std::vector<uint32_t>{0, 0, kFrameWidth, kFrameHeight}));
  system_.reset();

  // A damaged value counts as none.
  WriteSettings("[ITEMWIN]\nX=left\nY=99999999999999999999\n");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(vars().Pointer(11), 0u);
  EXPECT_LE(static_cast<int32_t>(vars().Pointer(14)), kScreenHeight);
}

TEST_F(ItemWindowScript, AConfirmedQuitSavesTheFramesCorner) {
  WriteSettings("[ITEMWIN]\nX=-20\nY=40\n");
  Script("MAIN.MES", R"(
    SYSCALL 22, 0
    SYSCALL 11, 4000                  ; the player quits meanwhile
    SYSCALL 11, 4000
    SET_REG16 A, 1                    ; never reached
    END
  )");
  ASSERT_EQ(Run("100 answer Cancel\n100 close\n500 answer OK\n500 close\n"), 0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('A'), 0);
  ASSERT_EQ(platform::ShownBoxes().size(), 2u);
  // The frame's corner, not the client area's (which lies inside the frame).
  const std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("X=0"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Y=40"), std::string::npos) << settings;
}

TEST_F(ItemWindowScript, TheCaptionCursorAndTheMessageArea) {
  // The window lies over the message area at the bottom of the game's picture.
  WriteSettings("[ITEMWIN]\nX=100\nY=400\n");
  Script("MAIN.MES", R"(
    SYSCALL 22, 9                     ; not made: S stays
    SYSCALL 22, 10                    ; not made: nothing
    SYSCALL 22, 0
    SYSCALL 22, 1
    SYSCALL 11, 200                   ; the pointer on the caption
    SET_REG16 S, 7
    SYSCALL 22, 9
    SET_REG16 A, S
    SYSCALL 11, 200                   ; the pointer on the item bar
    SYSCALL 22, 9
    SET_REG16 B, S
    SYSCALL 22, 10                    ; reaches into the message area: hidden, flag 2008
    SYSCALL 22, 2
    SET_REG16 C, S
    SYSCALL 22, 10                    ; and shown again
    SYSCALL 22, 2
    SET_REG16 D, S
    END
  )");
  ASSERT_EQ(Run("100 mouse move 150 410\n1000 mouse move 150 430\n"), 0);
  EXPECT_EQ(R16('A'), 1);
  EXPECT_EQ(R16('B'), 0);
  EXPECT_EQ(R16('C'), 0);
  EXPECT_EQ(R16('D'), 1);
  EXPECT_EQ(vars().Flag(2008), 1);
  // The animated cursor of the caption: images 230 and 231.
  EXPECT_EQ(system_->shared().cursorKind.load(), 1u);
  EXPECT_EQ(system_->shared().cursorId.load(), 230);
}

TEST_F(ItemWindowScript, TheMessageAreaRuleLeavesAWindowElsewhereAlone) {
  WriteSettings("[ITEMWIN]\nX=600\nY=300\n");
  Script("MAIN.MES", R"(
    SYSCALL 22, 0
    SYSCALL 22, 1
    SYSCALL 22, 10
    SYSCALL 22, 2
    SET_REG16 A, S
    END
  )");
  ASSERT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 1);
  EXPECT_EQ(vars().Flag(2008), 0);
}

// Plane 7 in two halves: red on the left, and (later) blue on the right.
constexpr std::string_view kRedHalf = R"(
    SET_DIM16 1, 0, 7
    SET_DIM16 11, 0, 0x7C00
    SYSCALL 10, 2, 0, 0, 159, 31
    SET_DIM16 11, 0, 0x0210
    SYSCALL 10, 2, 10, 10, 19, 13
)";
constexpr std::string_view kBlueHalf = R"(
    SET_DIM16 1, 0, 7
    SET_DIM16 11, 0, 0x001F
    SYSCALL 10, 2, 160, 0, 319, 31
)";

tool::Picture555 ItemBar(bool blue_half) {
  tool::Picture555 bar{320, 32, std::vector<uint16_t>(320 * 32)};
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 320; ++x) bar.At(x, y) = x < 160 ? 0x7C00 : (blue_half ? 0x001F : 0);
  for (uint32_t y = 10; y <= 13; ++y)
    for (uint32_t x = 10; x <= 19; ++x) bar.At(x, y) = 0x0210;
  return bar;
}

TEST_F(ItemWindowScript, TheDumpShowsTheItemBarAndTheNowFileTexts) {
  WriteBytes("ITEMS.DAT", std::vector<uint8_t>{1, 2, 3, 4});
  Script("MAIN.MES", std::string(kRedHalf) + R"(
    SYSCALL 22, 0                     ; painted as it is made
    SYSCALL 22, 1
    SYSCALL 7, "ITEMS.DAT", 0x30000
    SYSCALL 11, 400
)" + std::string(kBlueHalf) +
                         R"(
    SYSCALL 11, 400                   ; not repainted yet
    SYSCALL 22, 8
    END
  )");
  const fs::path dump = dir() / "dump";
  const auto result = tool::test::RunCommand(
      tool::RunRun,
      {dir().string(), "--headless", "--dump", dump.string(), "--dump-at", "1000,2500"});
  ASSERT_EQ(result.code, 0) << result.err;
  std::string error;
  auto png = [&](const fs::path& path) {
    auto picture = tool::ReadPngFile(path.string(), error);
    EXPECT_TRUE(picture) << error;
    return picture.value_or(tool::Picture555{});
  };
  EXPECT_TRUE(tool::test::SamePicture(png(dump / "1000" / "itemwin.png"), ItemBar(false)));
  EXPECT_TRUE(tool::test::SamePicture(png(dump / "2500" / "itemwin.png"), ItemBar(false)));
  EXPECT_TRUE(tool::test::SamePicture(png(dump / "itemwin.png"), ItemBar(true)));
  EXPECT_EQ(ReadText(dump / "nowfile.txt"),
            "MES FILE\tMAIN.MES\nPIC FILE\t********.GP8\nDATA FILE\tITEMS.DAT\n"
            "MUSIC FILE\t********.WAV\nVOICE FILE\t********.WAV\nSE1 FILE\t********.WAV\n"
            "SE2 FILE\t********.WAV\nSE3 FILE\t********.WAV\nSE4 FILE\t********.WAV\n");
}

TEST_F(ItemWindowScript, NoItemBarInTheDumpBeforeTheWindowIsMade) {
  Script("MAIN.MES", "    END\n");
  const fs::path dump = dir() / "dump";
  const auto result =
      tool::test::RunCommand(tool::RunRun, {dir().string(), "--headless", "--dump", dump.string()});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_FALSE(fs::exists(dump / "itemwin.png"));
  EXPECT_TRUE(ReadText(dump / "nowfile.txt").starts_with("MES FILE\tMAIN.MES\nPIC FILE\t"));
}

using ItemWindowInput = GameTest;

TEST_F(ItemWindowInput, ButtonsPressedOnTheWindowAndItsCursor) {
  WriteSettings("[ITEMWIN]\nX=100\nY=400\n");
  ASSERT_TRUE(Start());
  ShellWindows& shell = *game().shell();
  ScriptInterpreter& interpreter = game().interpreter();
  interpreter.RunSystemCall(22, {0});
  interpreter.RunSystemCall(22, {1});
  const platform::WindowId item = shell.itemWindow();
  ASSERT_NE(item, platform::kNoWindow);
  auto capture_flags = [&] {
    interpreter.RunSystemCall(22, {7});
    return std::pair{game().variables().Pointer(15), game().variables().Pointer(16)};
  };
  using Flags = std::pair<uint32_t, uint32_t>;

  platform::input::MouseButton(item, true, true);
  PumpAll();
  EXPECT_EQ(capture_flags(), (Flags{1, 0}));
  EXPECT_EQ(platform::Capture(), item);
  // The right button while the left one holds the capture: nothing more.
  platform::input::MouseButton(item, false, true);
  PumpAll();
  EXPECT_EQ(capture_flags(), (Flags{1, 0}));
  platform::input::MouseButton(item, true, false);
  platform::input::MouseButton(item, false, false);
  PumpAll();
  EXPECT_EQ(capture_flags(), (Flags{0, 0}));
  EXPECT_EQ(platform::Capture(), platform::kNoWindow);
  platform::input::MouseButton(item, false, true);
  PumpAll();
  EXPECT_EQ(capture_flags(), (Flags{0, 1}));
  platform::input::MouseButton(item, false, false);
  PumpAll();
  // The game's window saw none of these clicks.
  EXPECT_EQ(window().inputBits(), 0);

  // The pointer on the caption shows the arrow even while the game hides the cursor; in
  // the item bar the game's choice holds again.
  game().shared().cursorVisible = 0;
  window().ForceCursor(false);
  platform::input::MouseMove(window().handle(), {150, 405});
  PumpAll();
  EXPECT_GE(platform::CursorCounter(), 0);
  platform::input::MouseMove(window().handle(), {150, 430});
  PumpAll();
  EXPECT_LT(platform::CursorCounter(), 0);

  // Space typed in the window, its close box: both only hide it, with the closing sound.
  const WindowSounds before = Count(*game().sound());
  game().shared().interfaceSounds = 1;
  platform::PostMessage(item, platform::Msg::Char, ' ');
  PumpAll();
  EXPECT_FALSE(shell.itemWindowShown());
  EXPECT_FALSE(platform::IsVisible(item));
  shell.ShowItemWindow();
  shell.ShowItemWindow();  // shown twice: the sound twice
  platform::input::SystemCommand(item, platform::kScClose);
  PumpAll();
  EXPECT_FALSE(shell.itemWindowShown());
  EXPECT_TRUE(platform::IsWindow(item));
  const WindowSounds after = Count(*game().sound());
  EXPECT_EQ(after.open - before.open, 2);
  EXPECT_EQ(after.close - before.close, 2);
}

using NowFileViewTest = GameTest;

TEST_F(NowFileViewTest, TheViewFollowsTheNamesWhileShown) {
  WriteSettings("[Config]\nbDEBUG=1\n");
  ASSERT_TRUE(Start());
  ShellWindows& shell = *game().shell();
  game().ShowFileName(1, "MAIN.MES");
  platform::PostMessage(window().handle(), platform::Msg::Command, 40009, platform::kChosenInMenu);
  PumpAll();
  const NowFileView& view = shell.nowFileView();
  const platform::WindowId handle = view.handle();
  ASSERT_TRUE(platform::IsWindow(handle));
  EXPECT_TRUE(view.shown());
  EXPECT_TRUE(platform::IsVisible(handle));
  const platform::Rect client = platform::WindowRect(handle);
  EXPECT_EQ(client.Width(), NowFileView::kWidth);

  // Each row: the label on the face, the name in a white field to its right.
  auto row_pixels = [&](int row) {
    const platform::Framebuffer& picture = *platform::WindowFramebuffer(handle);
    std::vector<uint16_t> pixels;
    for (int y = 10 + 22 * row; y < 28 + 22 * row; ++y)
      for (int x = 0; x < NowFileView::kWidth; ++x) pixels.push_back(picture.At(x, y));
    return pixels;
  };
  // Each row shows its label in black on the face, and a white field beside it.
  const platform::Framebuffer& picture = *platform::WindowFramebuffer(handle);
  for (int row = 0; row < 9; ++row) {
    int label_ink = 0;
    for (int y = 10 + 22 * row; y < 28 + 22 * row; ++y)
      for (int x = 0; x < 80; ++x) label_ink += picture.At(x, y) == platform::ui::kBlack;
    EXPECT_GT(label_ink, 20) << row;
    EXPECT_EQ(picture.At(NowFileView::kWidth - 14, 19 + 22 * row), platform::ui::kWhite) << row;
  }
  const auto data_row = row_pixels(2);
  const auto music_row = row_pixels(3);

  // A new name repaints its row at once; nothing else changes.
  game().ShowFileName(3, "A.DAT");
  EXPECT_NE(row_pixels(2), data_row);
  EXPECT_EQ(row_pixels(3), music_row);
  EXPECT_EQ(view.Text(2), "A.DAT");

  // Closed, it is only hidden; names that change meanwhile show when it opens again.
  platform::input::SystemCommand(handle, platform::kScClose);
  PumpAll();
  EXPECT_FALSE(view.shown());
  EXPECT_FALSE(platform::IsVisible(handle));
  const auto hidden_row = row_pixels(2);
  game().ShowFileName(3, "WALL1.DAT");
  EXPECT_EQ(row_pixels(2), hidden_row) << "a hidden view is not repainted";
  platform::PostMessage(window().handle(), platform::Msg::Command, 40009, platform::kChosenInMenu);
  PumpAll();
  EXPECT_EQ(view.handle(), handle);
  EXPECT_TRUE(platform::IsVisible(handle));
  game().ShowFileName(4, "BGM01.WAV");
  EXPECT_NE(row_pixels(2), hidden_row);
}

TEST_F(NowFileViewTest, OnlyTheDebugMenuOpensIt) {
  ASSERT_TRUE(Start());
  platform::PostMessage(window().handle(), platform::Msg::Command, 40009, platform::kChosenInMenu);
  PumpAll();
  EXPECT_EQ(game().shell()->nowFileView().handle(), platform::kNoWindow);
}

}  // namespace
}  // namespace tvx::testing
