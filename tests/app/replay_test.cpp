#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/memory_folder.h"
#include "tests/app/game_fixture.h"
#include "tools/mes/assembler.h"

namespace tvx::testing {
namespace {

std::vector<uint8_t> Assembled(std::string_view source) {
  const auto result = mes::Assemble(source, "test.tvs");
  EXPECT_TRUE(result.ok()) << (result.errors.empty() ? "" : result.errors[0]);
  return result.code;
}

// A game whose files are all in memory: the settings beside a pretend program, loose scripts.
class ReplayTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    platform::UseMemoryFolder(&folder_);
    platform::SetProgramPathOverride("/memory-game/talvex");
    folder_.Put("/memory-game/TVXCHS.INI", std::string_view("[Config]\nTITLE=MEMORY\n"));
  }
  void TearDown() override {
    GameTest::TearDown();
    platform::UseMemoryFolder(nullptr);
  }
  platform::MemoryFolder folder_;
};

TEST_F(ReplayTest, EachReplayStartsFromANewGame) {
  // Counts its starts in register A and saves: a replay that kept the variables would count 2.
  folder_.Put("MAIN.MES", Assembled("    SET_REG16 A, A + 1\n    SYSCALL 4, 1, 1\n    END\n"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(window().title(), "MEMORY");
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(game().ReplayStartScript(7), GameSystem::Ending::kGameEnded);
    EXPECT_EQ(game().variables().Register16(0), 1);
  }
  EXPECT_TRUE(backend().boxes().empty());
  // The save went to memory, not into the folder on the disk.
  const auto save = folder_.Find("FLAG01");
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->size(), 4096u);
  EXPECT_FALSE(std::filesystem::exists(dir() / "FLAG01"));
}

TEST_F(ReplayTest, AHaltedRunDoesNotStopTheNext) {
  folder_.Put("MAIN.MES", Assembled("loop: JUMP loop\n"));
  ASSERT_TRUE(Start());
  // A deadline in virtual time halts the endless loop.
  platform::SetDeadline(
      platform::TickCount() + 50, [](void* game) { static_cast<GameSystem*>(game)->Halt(); },
      &game());
  EXPECT_EQ(game().ReplayStartScript(0), GameSystem::Ending::kHalted);
  platform::SetDeadline(0, nullptr, nullptr);
  // The next game runs to its end, in the same window.
  folder_.Put("MAIN.MES", Assembled("    SET_REG16 B, 5\n    END\n"));
  EXPECT_EQ(game().ReplayStartScript(0), GameSystem::Ending::kGameEnded);
  EXPECT_EQ(game().variables().Register16(1), 5);
  EXPECT_TRUE(platform::IsWindow(window().handle()));
}

TEST_F(ReplayTest, TheRecordsOfFilesShownAndSoundsStartAfresh) {
  folder_.Put("MAIN.MES", Assembled("    END\n"));
  ASSERT_TRUE(Start());
  game().ShowFileName(3, "STALE.DAT");
  game().sound()->PlayFile("STALE.WAV", SoundManager::kVoice);  // not there: recorded as missing
  ASSERT_FALSE(game().sound()->log().Events().empty());
  game().ReplayStartScript(0);
  for (const auto& shown : game().shownFiles()) EXPECT_NE(shown.name, "STALE.DAT");
  // A record that outlived its game would grow with every replay.
  EXPECT_TRUE(game().sound()->log().Events().empty());
}

}  // namespace
}  // namespace tvx::testing
