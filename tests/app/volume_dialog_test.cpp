// The volume dialog, opened and worked as a player does it (the headless "command" event, keys
// and the mouse) while a script waits: the volumes each move sets at once, what is written
// back when it closes, greyed sliders, settings volumes out of range, the cursor, and the
// picture of the open dialog.
//
// The golden picture is tests/data/golden/volume_dialog_open.png; run the test with
// TALVEX_UPDATE_EXPECTED=1 in the environment to write it anew (and look at it before
// committing it).
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "sound/sound_manager.h"
#include "tests/script/script_fixture.h"
#include "tests/support/golden_picture.h"
#include "ui/volume_dialog.h"

namespace tvx::testing {
namespace {

using Move = TrackbarMove;
constexpr uint16_t kWhite = 0x7FFF, kBlack = 0x0000;

TEST(VolumeSteps, MovesFromTheRememberedVolume) {
  // From -750, between two positions: a line each way, a page each way, the ends.
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kLineUp, 0), -1250);
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kLineDown, 0), -250);
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kPageUp, 0), -1750);
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kPageDown, 0), 0);
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kTop, 0), -5000);
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kBottom, 0), 0);
  // Steps stop at both ends.
  EXPECT_EQ(VolumeDialog::Moved(-4800, Move::kLineUp, 0), -5000);
  EXPECT_EQ(VolumeDialog::Moved(-5000, Move::kLineUp, 0), -5000);
  EXPECT_EQ(VolumeDialog::Moved(-4500, Move::kPageUp, 0), -5000);
  EXPECT_EQ(VolumeDialog::Moved(-200, Move::kLineDown, 0), 0);
  EXPECT_EQ(VolumeDialog::Moved(0, Move::kPageDown, 0), 0);
  // The thumb: (p - 10) × 500, whatever the volume was; positions outside 0..10 are kept in.
  EXPECT_EQ(VolumeDialog::Moved(-750, Move::kThumbTrack, 3), -3500);
  EXPECT_EQ(VolumeDialog::Moved(0, Move::kThumbPosition, 0), -5000);
  EXPECT_EQ(VolumeDialog::Moved(-9000, Move::kThumbTrack, 0), -5000);
  EXPECT_EQ(VolumeDialog::Moved(-100, Move::kThumbTrack, 12), 0);
  EXPECT_EQ(VolumeDialog::Moved(-100, Move::kThumbTrack, -1), -5000);

  // Volumes outside the range: a move towards the quiet end never makes one louder, towards
  // the loud end never quieter; otherwise they step from the nearer end.
  EXPECT_EQ(VolumeDialog::Moved(300, Move::kLineUp, 0), -500);
  EXPECT_EQ(VolumeDialog::Moved(300, Move::kLineDown, 0), 300);
  EXPECT_EQ(VolumeDialog::Moved(300, Move::kBottom, 0), 300);
  EXPECT_EQ(VolumeDialog::Moved(-9000, Move::kLineUp, 0), -9000);
  EXPECT_EQ(VolumeDialog::Moved(-9000, Move::kTop, 0), -9000);
  EXPECT_EQ(VolumeDialog::Moved(-9000, Move::kLineDown, 0), -4500);
  EXPECT_EQ(VolumeDialog::Moved(INT32_MIN, Move::kPageUp, 0), INT32_MIN);
  EXPECT_EQ(VolumeDialog::Moved(INT32_MIN, Move::kPageDown, 0), -4000);
  EXPECT_EQ(VolumeDialog::Moved(INT32_MAX, Move::kLineUp, 0), -500);

  // Where the slider stands: the division rounds toward zero; outside the range, the end.
  const std::vector<std::pair<int32_t, int>> positions = {
      {-500, 9}, {0, 10},    {-750, 8}, {-5000, 0},     {-4999, 0},
      {-1, 9},   {-9000, 0}, {300, 10}, {INT32_MIN, 0}, {INT32_MAX, 10}};
  for (const auto& [volume, position] : positions)
    EXPECT_EQ(VolumeDialog::PositionOf(volume), position) << volume;

  // Music, effects (channel 2 stands for both effect streams), voice.
  EXPECT_EQ(VolumeDialog::ChannelOf(0), SoundManager::kMusic);
  EXPECT_EQ(VolumeDialog::ChannelOf(1), SoundManager::kEffect1);
  EXPECT_EQ(VolumeDialog::ChannelOf(2), SoundManager::kVoice);
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Tap(int ms, const char* key) {
  return std::to_string(ms) + " key down " + key + "\n" + std::to_string(ms + 10) + " key up " +
         key + "\n";
}

std::string Click(int ms, platform::Point at) {
  return std::to_string(ms) + " mouse move " + std::to_string(at.x) + " " + std::to_string(at.y) +
         "\n" + std::to_string(ms) + " mouse down left\n" + std::to_string(ms + 10) +
         " mouse up left\n";
}

// Remembered music, effect, voice; then applied to channels 0, 2, 3, 1.
using Volumes = std::array<int32_t, 7>;

class VolumeDialogTest : public ScriptTest {
 protected:
  struct Look {
    uint32_t ms;
    std::function<void()> look;
  };

  void SetUp() override {
    ScriptTest::SetUp();
    // The script waits (with the cursor hidden and animated) while the player works.
    Script("MAIN.MES", R"(
      SYSCALL 2, 4, 0
      SYSCALL 2, 1
      SYSCALL 11, 40000
      END
    )");
  }

  // Runs the game with the events; each look runs at its time (virtual ms, ascending) from
  // the message queue, also while the dialog is open. The game quits at `quit_ms`.
  void RunWithLooks(const std::string& events, std::vector<Look> looks, uint32_t quit_ms) {
    looks_ = std::move(looks);
    looks_.push_back({quit_ms, [this] { system_->mainWindow().SetRunState(MainWindow::kQuit); }});
    next_ = 0;
    StartPlatform(events);
    system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
    Arm();
    system_->RunSystem();
    EXPECT_EQ(next_, looks_.size()) << "not every look came";
  }

  Volumes Now() {
    SoundManager& s = *system_->sound();
    return {s.GetChannelVolume(0), s.GetChannelVolume(2), s.GetChannelVolume(1), s.AppliedVolume(0),
            s.AppliedVolume(2),    s.AppliedVolume(3),    s.AppliedVolume(1)};
  }
  // A look that records the volumes.
  Look Record(uint32_t ms) {
    return {ms, [this] { seen_.push_back(Now()); }};
  }

  const platform::Framebuffer& Screen() {
    return *platform::WindowFramebuffer(system_->mainWindow().handle());
  }
  // A point of the dialog in the window's client coordinates.
  static platform::Point OnScreen(platform::Point in_dialog) {
    return {VolumeDialog::kOrigin.x + in_dialog.x, VolumeDialog::kOrigin.y + in_dialog.y};
  }
  static Trackbar SliderAt(int slider, int position) {
    return {VolumeDialog::SliderRect(slider), position, 10, true};
  }
  static platform::Point ThumbMiddle(int slider, int position) {
    const platform::Rect thumb = SliderAt(slider, position).Thumb();
    return OnScreen({(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
  }
  // The thumb of the slider is drawn at the position: its light top-left and dark
  // bottom-right corners are there. `hatched` tells a greyed one.
  bool ThumbDrawnAt(int slider, int position, bool* hatched = nullptr) {
    const platform::Rect thumb = SliderAt(slider, position).Thumb();
    const platform::Point top_left = OnScreen({thumb.left, thumb.top});
    const platform::Point bottom_right = OnScreen({thumb.right - 1, thumb.bottom - 1});
    if (hatched) {
      *hatched = false;
      for (int32_t y = top_left.y + 2; y < bottom_right.y - 1; ++y)
        for (int32_t x = top_left.x + 2; x < bottom_right.x - 1; ++x)
          *hatched |= Screen().At(x, y) == kWhite;
    }
    return Screen().At(top_left.x, top_left.y) == kWhite &&
           Screen().At(bottom_right.x, bottom_right.y) == kBlack;
  }
  // The dotted focus outline runs along the top of the slider.
  bool Focused(int slider) {
    const platform::Rect rect = VolumeDialog::SliderRect(slider);
    int black = 0;
    for (int32_t x = rect.left; x < rect.right; ++x)
      black +=
          Screen().At(VolumeDialog::kOrigin.x + x, VolumeDialog::kOrigin.y + rect.top) == kBlack;
    return black > rect.Width() / 3;
  }
  bool Covered() { return !Screen().covers().empty(); }

  std::vector<Volumes> seen_;

 private:
  void Arm() {
    if (next_ >= looks_.size()) return;
    platform::SetDeadline(
        looks_[next_].ms,
        [](void* context) {
          auto* self = static_cast<VolumeDialogTest*>(context);
          self->looks_[self->next_++].look();
          self->Arm();
        },
        this);
  }
  std::vector<Look> looks_;
  size_t next_ = 0;
};

TEST_F(VolumeDialogTest, KeysMoveTheFocusedSliderAndClosingSavesTheVolumes) {
  std::string events = "100 command 40030\n" + Tap(200, "Left") + Tap(300, "Tab") +
                       Tap(400, "PageUp") + Tap(500, "Tab") + Tap(600, "Home") + Tap(700, "End") +
                       Tap(800, "PageUp") + "900 key down Shift\n" + Tap(910, "Tab") +
                       "930 key up Shift\n" + Tap(1000, "PageDown") + Tap(1100, "Right") +
                       Tap(1200, "Right") +
                       "1300 command 40030\n"  // no second dialog inside the first
                       + Tap(2000, "Escape");
  bool cursor_while_open = false;
  bool picture_ok = false;
  bool closed_after = false;
  RunWithLooks(events,
               {{150,
                 [&] {
                   seen_.push_back(Now());
                   const SharedState& shared = system_->shared();
                   cursor_while_open = shared.cursorKind == 0 && shared.cursorVisible == 1 &&
                                       platform::CursorCounter() >= 0 &&
                                       platform::CurrentCursor() == platform::CursorShape{};
                   // The defaults stand at 9, 9 and 10, the music slider focused.
                   picture_ok = Covered() && ThumbDrawnAt(0, 9) && ThumbDrawnAt(1, 9) &&
                                ThumbDrawnAt(2, 10) && Focused(0) && !Focused(1) && !Focused(2);
                 }},
                Record(250),
                Record(450),
                Record(650),
                Record(750),
                Record(850),
                Record(1050),
                Record(1150),
                Record(1250),
                {1500,
                 [&] {
                   const platform::Rect dialog{VolumeDialog::kOrigin.x, VolumeDialog::kOrigin.y,
                                               VolumeDialog::kOrigin.x + VolumeDialog::kWidth,
                                               VolumeDialog::kOrigin.y + VolumeDialog::kHeight};
                   EXPECT_EQ(CompareWithGolden(Screen(), dialog, "volume_dialog_open"), "");
                 }},
                {2100, [&] { closed_after = !Covered(); }}},
               3000);

  EXPECT_TRUE(cursor_while_open);
  EXPECT_TRUE(picture_ok);
  const std::vector<Volumes> expected = {
      {-500, -500, 0, -500, -500, -500, 0},               // opened: nothing changed
      {-1000, -500, 0, -1000, -500, -500, 0},             // Left on music
      {-1000, -1500, 0, -1000, -1500, -1500, 0},          // PageUp on effects: both streams
      {-1000, -1500, -5000, -1000, -1500, -1500, -5000},  // Home on voice
      {-1000, -1500, 0, -1000, -1500, -1500, 0},          // End
      {-1000, -1500, -1000, -1000, -1500, -1500, -1000},  // PageUp
      {-1000, -500, -1000, -1000, -500, -500, -1000},     // Shift+Tab back to effects, PageDown
      {-1000, 0, -1000, -1000, 0, 0, -1000},              // Right
      {-1000, 0, -1000, -1000, 0, 0, -1000},              // Right at the end
  };
  EXPECT_EQ(seen_, expected);
  // One Escape closed it: the second command opened nothing inside it.
  EXPECT_TRUE(closed_after);
  const std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("Music=-1000"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Effect=0"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Voice=-1000"), std::string::npos) << settings;
  // The script's cursor came back: animated and hidden.
  EXPECT_EQ(system_->shared().cursorKind, 1u);
  EXPECT_EQ(system_->shared().cursorVisible, 0u);
  EXPECT_LT(platform::CursorCounter(), 0);
}

TEST_F(VolumeDialogTest, SoundOffGreysMusicAndEffectsButWritesThemBack) {
  WriteSettings("[VOLUME]\nMusic=-2500\nEffect=-1500\nVoice=-750\n");
  const platform::Point music_thumb = ThumbMiddle(0, 5);
  // Music and effects switched off in the menu just before: the dialog knows at once.
  std::string events =
      "50 command 40018\n100 command 40030\n" + Tap(200, "Left") + Tap(300, "Tab") +
      // the mouse on the greyed music slider: its thumb and its channel
      Click(400, music_thumb) + Click(500, ThumbMiddle(0, 0)) + Tap(600, "Escape") +
      "700 command 40030\n" + Tap(800, "Right") + Tap(900, "Escape");
  bool greyed = false;
  RunWithLooks(events,
               {{150,
                 [&] {
                   bool music_hatched = false, effect_hatched = false, voice_hatched = true;
                   greyed = ThumbDrawnAt(0, 5, &music_hatched) &&
                            ThumbDrawnAt(1, 7, &effect_hatched) &&
                            ThumbDrawnAt(2, 8, &voice_hatched) && music_hatched && effect_hatched &&
                            !voice_hatched && Focused(2) && !Focused(0);
                 }},
                Record(250),
                Record(550),
                Record(850)},
               2000);
  EXPECT_TRUE(greyed);
  const std::vector<Volumes> expected = {
      // Left on the voice, the only slider that takes the focus: from -750 one step down.
      {-2500, -1500, -1250, -6000, -6000, -6000, -1250},
      // Tab stays on it; clicks on the greyed slider change nothing.
      {-2500, -1500, -1250, -6000, -6000, -6000, -1250},
      // Opened again at -1250 (position 7): one step up.
      {-2500, -1500, -750, -6000, -6000, -6000, -750},
  };
  EXPECT_EQ(seen_, expected);
  const std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("Music=-2500"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Effect=-1500"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Voice=-750"), std::string::npos) << settings;
}

TEST_F(VolumeDialogTest, VolumesOutOfRangeNeverStepTheWrongWay) {
  WriteSettings("[VOLUME]\nMusic=300\nEffect=-9000\nVoice=-2147483648\n");
  std::string events = "100 command 40030\n" + Tap(200, "Right") + Tap(300, "Left") +
                       Tap(400, "Tab") + Tap(500, "Left") + Tap(600, "Home") + Tap(700, "Right") +
                       Tap(800, "Tab") + Tap(900, "Left") + Tap(1000, "End");
  bool ends = false;
  RunWithLooks(
      events,
      {{150, [&] { ends = ThumbDrawnAt(0, 10) && ThumbDrawnAt(1, 0) && ThumbDrawnAt(2, 0); }},
       Record(250),
       Record(350),
       Record(650),
       Record(750),
       Record(950),
       Record(1050)},
      // The program quits with the dialog open: what was set is kept all the same.
      1500);
  EXPECT_TRUE(ends);
  const std::vector<Volumes> expected = {
      {300, -9000, INT32_MIN, 300, -6000, -6000, -6000},  // Right: already above the top
      {-500, -9000, INT32_MIN, -500, -6000, -6000, -6000},
      {-500, -9000, INT32_MIN, -500, -6000, -6000, -6000},  // Left and Home: not louder
      {-500, -4500, INT32_MIN, -500, -4500, -4500, -6000},
      {-500, -4500, INT32_MIN, -500, -4500, -4500, -6000},
      {-500, -4500, 0, -500, -4500, -4500, 0},
  };
  EXPECT_EQ(seen_, expected);
  const std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("Music=-500"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Effect=-4500"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Voice=0"), std::string::npos) << settings;
}

TEST_F(VolumeDialogTest, TheMouseDragsPagesAndCloses) {
  const platform::Point close = OnScreen({227, 10});
  auto move = [](int ms, platform::Point at) {
    return std::to_string(ms) + " mouse move " + std::to_string(at.x) + " " + std::to_string(at.y) +
           "\n";
  };
  std::string events = "100 command 40030\n" + move(190, ThumbMiddle(0, 9)) +
                       "200 mouse down left\n" + move(300, ThumbMiddle(0, 3)) +
                       move(400, {0, ThumbMiddle(0, 0).y}) +  // past the end, off the dialog
                       move(500, ThumbMiddle(0, 3)) + "600 mouse up left\n" +
                       Click(700, ThumbMiddle(0, 0)) +   // in the channel left of the thumb
                       Click(800, ThumbMiddle(0, 10)) +  // right of it
                       Click(900, ThumbMiddle(1, 10)) +  // the effects, and the focus with them
                       // the close box pressed, then let go elsewhere: still open
                       move(1000, close) + "1010 mouse down left\n" + move(1020, {320, 400}) +
                       "1030 mouse up left\n" + Click(1100, close);
  bool focus_moved = false;
  bool open_after_slip = false;
  bool closed = false;
  RunWithLooks(
      events,
      {Record(350),
       Record(450),
       Record(550),
       Record(650),
       Record(750),
       Record(850),
       {950,
        [&] {
          seen_.push_back(Now());
          focus_moved = Focused(1) && !Focused(0);
        }},
       {1050, [&] { open_after_slip = Covered() && platform::Capture() == platform::kNoWindow; }},
       {1200, [&] { closed = !Covered(); }}},
      2000);
  const std::vector<Volumes> expected = {
      {-3500, -500, 0, -3500, -500, -500, 0},  // dragged to 3: the volume follows at once
      {-5000, -500, 0, -5000, -500, -500, 0},  // past the left end
      {-3500, -500, 0, -3500, -500, -500, 0},
      {-3500, -500, 0, -3500, -500, -500, 0},  // let go where it was
      {-4500, -500, 0, -4500, -500, -500, 0},  // a page towards the click
      {-3500, -500, 0, -3500, -500, -500, 0},
      {-3500, 0, 0, -3500, 0, 0, 0},
  };
  EXPECT_EQ(seen_, expected);
  EXPECT_TRUE(focus_moved);
  EXPECT_TRUE(open_after_slip);
  EXPECT_TRUE(closed);
  const std::string settings = ReadText(SettingsPath());
  EXPECT_NE(settings.find("Music=-3500"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Effect=0"), std::string::npos) << settings;
}

}  // namespace
}  // namespace tvx::testing
