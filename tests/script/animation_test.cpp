// The animation slots: programs stepped tick by tick on a started game (frames appearing on
// plane 0 at the ticks they should), the table's operations, bad data, and the slots driven
// by a script through system call 3 while the clock runs them.
#include <gtest/gtest.h>

#include <vector>

#include "resources/byte_order.h"
#include "script/animation_table.h"
#include "tests/app/game_fixture.h"
#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

constexpr uint32_t kBlock = 0x30000;  // where the tests place the animation data

// An animation data block: programs for some slots and frame records.
struct AnimationData {
  struct FrameRecord {
    uint32_t number;
    uint8_t type;
    uint16_t sx, sy, w, h, dx, dy;
  };
  std::vector<std::pair<size_t, std::vector<uint16_t>>> programs;  // slot index, commands
  std::vector<FrameRecord> frames;

  std::vector<uint8_t> Bytes() const {
    uint32_t frames_end = 402;
    for (const auto& f : frames) frames_end = std::max(frames_end, 62 + 17 * f.number + 17);
    std::vector<uint8_t> out(frames_end, 0);
    for (const auto& f : frames) {
      const size_t at = 62 + 17 * size_t{f.number};
      out[at] = f.type;
      const uint16_t fields[] = {f.sx, f.sy, f.w, f.h, f.dx, f.dy};
      for (size_t i = 0; i < 6; ++i) bytes::StoreLe16(out, at + 1 + 2 * i, fields[i]);
    }
    for (const auto& [slot, commands] : programs) {
      bytes::StoreLe32(out, 2 + 4 * slot, static_cast<uint32_t>(out.size()));
      for (uint16_t c : commands) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
      }
    }
    return out;
  }
};

constexpr uint16_t kRed = 0x7C00, kGreen = 0x03E0, kBlue = 0x001F, kKey = 0x7C1F;

// Frames 20 (red), 21 (green) and 22 (blue, keyed) are 4 × 4 blocks at the top of plane 1,
// all shown at (100, 100) of plane 0.
std::vector<AnimationData::FrameRecord> ThreeFrames(uint8_t type = 0x10) {
  return {{20, type, 0, 0, 4, 4, 100, 100},
          {21, type, 4, 0, 4, 4, 100, 100},
          {22, 0x20, 8, 0, 4, 4, 100, 100}};
}

class SlotsOnGame : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(Start());
    PumpAll();
    VramPlane& sheet = game().planes().Get(1);
    for (uint32_t y = 0; y < 4; ++y)
      for (uint32_t x = 0; x < 12; ++x) sheet.At(x, y) = x < 4 ? kRed : x < 8 ? kGreen : kBlue;
    sheet.At(9, 1) = kKey;  // one keyed-out pixel in frame 22
    game().variables().SetWord(kWordKeyColour, kKey);
    game().variables().SetPointer(2, kBlock);
  }
  AnimationTable& table() { return *game().animations(); }
  void Place(const AnimationData& data) {
    const auto bytes = data.Bytes();
    std::copy(bytes.begin(), bytes.end(), game().variables().image().begin() + kBlock);
    table().Observe();
  }
  uint16_t& Shown() { return game().planes().Plane0().At(100, 100); }
  // One tick; which frame colour it drew at (100, 100), 0 when it drew nothing.
  uint16_t TickDrawn() {
    Shown() = 0;
    table().Tick();
    return Shown();
  }
  std::vector<uint16_t> Ticks(int n) {
    std::vector<uint16_t> drawn;
    for (int i = 0; i < n; ++i) drawn.push_back(TickDrawn());
    return drawn;
  }
  static std::vector<int> DrawnAt(const std::vector<uint16_t>& drawn, uint16_t colour) {
    std::vector<int> ticks;
    for (size_t i = 0; i < drawn.size(); ++i)
      if (drawn[i] == colour) ticks.push_back(static_cast<int>(i) + 1);
    return ticks;
  }
};

TEST_F(SlotsOnGame, ProgramsStepOneCommandPerTick) {
  // Waits: frame 20 on tick 1, the wait set on tick 2, ten ticks of waiting, frame 21 on
  // tick 13; the restart takes tick 25 and frame 20 comes again on tick 26.
  Place({{{0, {20, 2, 10, 21, 2, 10, 3}}}, ThreeFrames()});
  table().LoadSlot(0, 0);
  EXPECT_EQ(table().SlotState(0, 0), AnimationTable::kStopped);
  EXPECT_EQ(TickDrawn(), 0);  // loaded, not started
  table().StartSlot(0, 0, AnimationTable::kRepeat);
  const auto drawn = Ticks(30);
  EXPECT_EQ(DrawnAt(drawn, kRed), (std::vector<int>{1, 26}));
  EXPECT_EQ(DrawnAt(drawn, kGreen), (std::vector<int>{13}));

  // Loops: 5 3 20 6 4 draws frame 20 three times, every second tick, then ends.
  Place({{{1, {5, 3, 20, 6, 4}}}, ThreeFrames()});
  table().StopAll();
  table().LoadSlot(0, 1);
  table().StartSlot(0, 1, AnimationTable::kRepeat);
  EXPECT_EQ(DrawnAt(Ticks(12), kRed), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(table().SlotState(0, 1), AnimationTable::kStopped);

  // Nested loop 2 inside loop 1: 2 × 2 frames.
  Place({{{2, {5, 2, 7, 2, 21, 8, 6, 65535}}}, ThreeFrames()});
  table().LoadSlot(0, 2);
  table().StartSlot(0, 2, AnimationTable::kRepeat);
  EXPECT_EQ(DrawnAt(Ticks(20), kGreen).size(), 4u);
  EXPECT_EQ(table().SlotState(0, 2), AnimationTable::kStopped);
}

TEST_F(SlotsOnGame, RunOnceEndsAtCommandOneAndTheSwitchFreezesEverySlot) {
  Place({{{0, {20, 1, 21, 3}}, {1, {20, 1, 21, 3}}}, ThreeFrames()});
  table().LoadSlot(0, 0);
  table().StartSlot(0, 0, AnimationTable::kOnce);
  EXPECT_EQ(Ticks(4), (std::vector<uint16_t>{kRed, 0, 0, 0}));
  EXPECT_EQ(table().SlotState(0, 0), AnimationTable::kStopped);
  // Running repeatedly (and to the end) the same command is passed over.
  table().LoadSlot(0, 1);
  table().StartSlot(0, 1, AnimationTable::kUntilEnd);
  EXPECT_EQ(Ticks(4), (std::vector<uint16_t>{kRed, 0, kGreen, 0}));
  // MakeAllRunOnce: the running slot ends at its next command 1.
  table().MakeAllRunOnce();
  EXPECT_EQ(table().SlotState(0, 1), AnimationTable::kOnce);
  EXPECT_EQ(Ticks(3), (std::vector<uint16_t>{kRed, 0, 0}));
  EXPECT_EQ(table().SlotState(0, 1), AnimationTable::kStopped);

  // Bit 0x0004 of the system flags, as the clock sees it, holds every slot where it is.
  table().LoadSlot(0, 1);
  table().StartSlot(0, 1, AnimationTable::kRepeat);
  game().variables().SetSystemFlag(kFlagAnimationsRun, false);
  table().Observe();
  EXPECT_EQ(Ticks(3), (std::vector<uint16_t>{0, 0, 0}));
  game().variables().SetSystemFlag(kFlagAnimationsRun, true);
  table().Observe();
  EXPECT_EQ(Ticks(3), (std::vector<uint16_t>{kRed, 0, kGreen}));
}

TEST_F(SlotsOnGame, FrameTypesRewindStopAndTheFirstFrame) {
  // Frame 22 is keyed: its key pixel leaves plane 0 as it was.
  Place({{{0, {22, 0, 0}}, {5, {2, 3, 20, 3}}, {6, {21, 3}}}, ThreeFrames()});
  VramPlane& screen = game().planes().Plane0();
  screen.At(101, 101) = 0x1234;
  table().LoadSlot(0, 0);
  table().StartSlot(0, 0, AnimationTable::kRepeat);
  EXPECT_EQ(TickDrawn(), kBlue);
  EXPECT_EQ(screen.At(101, 101), 0x1234);

  // Rewind: running slots start again from their first command, in state "repeat", with
  // that step taken at once (slot 6 draws frame 21); stopped slots stay as they were.
  table().LoadSlot(0, 6);
  table().StartSlot(0, 6, AnimationTable::kOnce);
  table().LoadSlot(0, 5);  // loaded but stopped
  Ticks(5);
  Shown() = 0;
  table().RewindAll();
  EXPECT_EQ(Shown(), kGreen);
  EXPECT_EQ(table().SlotState(0, 6), AnimationTable::kRepeat);
  EXPECT_EQ(table().SlotState(0, 5), AnimationTable::kStopped);
  // StopAll does the same and then stops them all.
  Shown() = 0;
  table().StopAll();
  EXPECT_EQ(Shown(), kGreen);
  EXPECT_EQ(table().SlotState(0, 6), AnimationTable::kStopped);
  EXPECT_EQ(Ticks(3), (std::vector<uint16_t>{0, 0, 0}));

  // The first frame, keyed onto the text target plane whatever the frame's type; a program
  // that starts with a command below 20 shows nothing.
  game().variables().SetWord(kWordTargetPlane, 3);
  game().planes().Get(3).At(100, 100) = 0;
  table().DrawFirstFrame(0, 6);
  EXPECT_EQ(game().planes().Get(3).At(100, 100), kGreen);
  EXPECT_EQ(Shown(), 0);
  game().planes().Get(3).At(100, 100) = 0;
  table().DrawFirstFrame(0, 5);
  EXPECT_EQ(game().planes().Get(3).At(100, 100), 0);

  // Swapped frames exchange the blocks of the sheet and the screen.
  Place({{{7, {20, 0}}}, ThreeFrames(0x30)});
  table().LoadSlot(0, 7);
  table().StartSlot(0, 7, AnimationTable::kRepeat);
  screen.At(100, 100) = 0x0421;
  table().Tick();
  EXPECT_EQ(screen.At(100, 100), kRed);
  EXPECT_EQ(game().planes().Get(1).At(0, 0), 0x0421);
}

TEST_F(SlotsOnGame, BadDataDrawsNothingAndStaysInside) {
  // Frames that lie partly or wholly outside the planes, a composite frame (its background
  // would be plane 2, which has no pixels), a frame number whose record is past the image,
  // and slots outside the table.
  Place({{{0, {23, 24, 25, 60000, 3}}},
         {{23, 0x10, 996, 1756, 50, 50, 630, 470},
          {24, 0x10, 0, 0, 4, 4, 65535, 65535},
          {25, 0x40, 0, 0, 4, 4, 100, 100}}});
  table().LoadSlot(0, 0);
  table().StartSlot(0, 0, AnimationTable::kRepeat);
  for (int i = 0; i < 8; ++i) table().Tick();
  EXPECT_EQ(Shown(), 0);
  table().LoadSlot(10, 0);
  table().StartSlot(0, 10, AnimationTable::kRepeat);
  EXPECT_EQ(table().SlotState(10, 0), AnimationTable::kStopped);
  EXPECT_FALSE(table().SlotLoaded(0, 10));

  // A program placed at the very end of the image runs off it and ends there; so does one
  // whose offset points past the image.
  auto image = game().variables().image();
  const uint32_t near_end = static_cast<uint32_t>(image.size() - 2 - kBlock);
  bytes::StoreLe32(image, kBlock + 2 + 4 * 3, near_end);
  bytes::StoreLe16(image, kBlock + near_end, 0);  // "nothing", then the image ends
  bytes::StoreLe32(image, kBlock + 2 + 4 * 4, 0xFFFFFFF0u);
  table().LoadSlot(0, 3);
  table().LoadSlot(0, 4);
  table().StartSlot(0, 3, AnimationTable::kRepeat);
  table().StartSlot(0, 4, AnimationTable::kRepeat);
  Ticks(2);
  EXPECT_EQ(table().SlotState(0, 3), AnimationTable::kStopped);
  EXPECT_EQ(table().SlotState(0, 4), AnimationTable::kStopped);
  // A data block placed past the image gives programs that end at once.
  game().variables().SetPointer(2, 0xFFFFFFFFu);
  table().LoadSlot(1, 1);
  table().StartSlot(1, 1, AnimationTable::kRepeat);
  Ticks(1);
  EXPECT_EQ(table().SlotState(1, 1), AnimationTable::kStopped);
}

TEST_F(SlotsOnGame, TheAnimatedCursorAlternatesItsTwoImages) {
  table().SetCursorBase(230);
  EXPECT_EQ(table().CurrentCursorFrame(), 230);
  std::vector<uint16_t> shown;
  for (int i = 0; i < 136; ++i) shown.push_back(table().CursorTick(230));
  // base + 1 for 34 ticks, then the base for 34, and again.
  for (int i = 0; i < 136; ++i) EXPECT_EQ(shown[i], (i / 34) % 2 == 0 ? 231 : 230) << i;
  table().SetCursorBase(232);
  EXPECT_EQ(table().CursorTick(232), 233);
}

// ---- Scripts ----

using AnimationScripts = ScriptTest;

TEST_F(AnimationScripts, SlotsRunOnTheClockWhileTheScriptWaits) {
  AnimationData data;
  data.programs = {{0, {20, 2, 3, 21, 2, 3, 3}},  // slot (0, 0): alternate red and green
                   {11, {20, 2, 5, 21, 4}},       // slot (1, 1): red, then green, then end
                   {12, {20, 1, 3}}};             // slot (1, 2): ends at once when run once
  data.frames = ThreeFrames();
  WriteBytes("ANIM.DAT", data.Bytes());
  Script("MAIN.MES", R"(
    SET_DIM16 1, 0, 1                 ; text target plane 1: the sheet
    SET_DIM16 11, 0, 0x7C00           ; fill colour red
    SYSCALL 10, 2, 0, 0, 3, 3
    SET_DIM16 11, 0, 0x03E0           ; green
    SYSCALL 10, 2, 4, 0, 7, 3
    SET_DIM16 1, 0, 0
    SYSCALL 7, "ANIM.DAT", 0x30000
    SET_DIM32 2, 0, 0x30000           ; the animation data
    SYSCALL 3, 0, 0, 0                ; load slot (0, 0)
    SYSCALL 3, 1, 0, 0                ; run it repeatedly
    SYSCALL 11, 40                    ; ten ticks
    SYSCALL 3, 3, 0, 0                ; stop it
    SYSCALL 3, 0, 1, 1
    SYSCALL 3, 4, 1, 1                ; run to its end, waiting
    SYSCALL 3, 4, 5, 5                ; never loaded: no wait
    SYSCALL 3, 0, 1, 2
    SYSCALL 3, 2, 1, 2                ; once: ends at its command 1
    SYSCALL 11, 20
    SYSCALL 3, 0, 0, 0
    SYSCALL 3, 1, 0, 0
    SYSCALL 11, 20
    SYSCALL 8, "NONE.G16"             ; a picture call stops every slot (the file is missing)
    SYSCALL 11, 20
    END
  )");
  Run({}, 20000);
  EXPECT_FALSE(timed_out_);
  AnimationTable& table = *system_->animations();
  EXPECT_EQ(table.SlotState(1, 1), AnimationTable::kStopped);
  EXPECT_EQ(table.SlotState(1, 2), AnimationTable::kStopped);
  EXPECT_EQ(table.SlotState(0, 0), AnimationTable::kStopped);
  // Slot (1, 1) drew green last, over the red of slot (0, 0); StopAll drew slot (0, 0)'s
  // first frame (red) again on the way out.
  EXPECT_EQ(system_->planes().Plane0().At(101, 101), kRed);
}

TEST_F(AnimationScripts, TheWaitingStartEndsWhenTheSlotsMayNotRun) {
  AnimationData data;
  data.programs = {{0, {20, 3}}};  // never ends
  data.frames = ThreeFrames();
  WriteBytes("ANIM.DAT", data.Bytes());
  Script("MAIN.MES", R"(
    SYSCALL 7, "ANIM.DAT", 0x30000
    SET_DIM32 2, 0, 0x30000
    SYSCALL 3, 0, 0, 0
    SET_DIM16 2, 0, DIM16[0][2] & 0xFFFB   ; the slots may not run
    SYSCALL 3, 4, 0, 0
    SET_REG16 A, 1
    END
  )");
  Run({}, 5000);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('A'), 1);
}

}  // namespace
}  // namespace tvx::testing
