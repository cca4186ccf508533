// A game killed at any moment leaves every save file and the settings file either as they
// were or as they were being written, whole: never cut short or a mixture.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/file.h"
#include "resources/byte_order.h"
#include "script/variable_area.h"
#include "tests/tools/tool_test_support.h"
#include "tools/mes/assembler.h"

#ifndef TALVEX_TOOL_PATH
#error "TALVEX_TOOL_PATH names the talvex-tool program"
#endif

namespace tvx::tool {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;

// The settings file with the sound switch set one way or the other, and enough around it that
// a write takes more than one system call's worth of bytes.
std::string SettingsWithSound(int on) {
  std::string text = "[Config]\r\nTITLE=Crash\r\nSOUND=" + std::to_string(on) + "\r\n";
  for (int i = 0; i < 400; ++i) text += "KEEP" + std::to_string(i) + "=some value to keep\r\n";
  return text + "[Last]\r\nEND=1\r\n";
}

// The identity of a file on the disk (each atomic write makes a new one); 0 when it is missing.
ino_t Identity(const fs::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : ino_t{0};
}

// Starts a headless run of the game in `game`, waits until it has saved into FLAG01 (however
// slowly it starts), and kills it `ms` milliseconds later.
void RunAndKill(const fs::path& game, const fs::path& events, int ms) {
  const ino_t old_save = Identity(game / "FLAG01");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl(TALVEX_TOOL_PATH, "talvex-tool", "run", game.c_str(), "--headless", "--input",
          events.c_str(), "--until-ms", "100000000", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int waited = 0; waited < 20000 && Identity(game / "FLAG01") == old_save; ++waited)
    usleep(1000);
  usleep(static_cast<useconds_t>(ms) * 1000);
  kill(pid, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was killed";
}

TEST(CrashSafety, SavesAndSettingsAreWholeWheneverTheGameIsKilled) {
  TempDir dir;
  const fs::path game = dir.path() / "game";
  fs::create_directories(game);
  // The game saves into two slots as fast as it can, with a counter in two places of the
  // variables: a file holding two different counts would be a mixture of two saves.
  const auto script = mes::Assemble(R"(
      SET_REG32 Z32, 0
  loop:
      SET_REG32 Z32, Z32 + 1
      SET_REG16 A, Z32 & 0xFFFF
      SYSCALL 4, 1, 1
      SYSCALL 4, 1, 2
      SYSCALL 11, 1
      JUMP loop
  )",
                                    "MAIN.MES");
  ASSERT_TRUE(script.ok());
  test::WriteFile((game / "MAIN.MES").string(), script.code);
  const std::string old_settings = SettingsWithSound(1);
  const std::string new_settings = SettingsWithSound(0);
  std::ofstream(game / "TVXCHS.INI", std::ios::binary) << old_settings;
  // Meanwhile the player switches the sound off and on: each switch writes the settings.
  const fs::path events = dir.path() / "events.txt";
  {
    std::ofstream out(events);
    // Virtual time goes slowly here (every save waits for the disk): a switch every ms.
    for (int ms = 0; ms < 100000; ++ms)
      out << ms << " command " << (ms % 2 ? 40017 : 40018) << "\n";
  }

  std::mt19937 random(12345);
  int saves_seen = 0;
  int settings_written = 0;  // rounds in which the file was replaced
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const ino_t settings_before = Identity(game / "TVXCHS.INI");
    RunAndKill(game, events, std::uniform_int_distribution<int>(0, 60)(random));
    settings_written += Identity(game / "TVXCHS.INI") != settings_before;
    for (const char* name : {"FLAG01", "FLAG02"}) {
      if (!fs::exists(game / name)) continue;
      const auto save = ReadFile((game / name).string());
      ASSERT_EQ(save.size(), 4096u) << name;
      const uint32_t count =
          bytes::LoadLe32(save, VariableArea::kRegisters32Offset + 4 * 25);          // Z32
      const uint16_t low = bytes::LoadLe16(save, VariableArea::kRegisters16Offset);  // A
      EXPECT_GE(count, 1u) << name;
      EXPECT_EQ(low, count & 0xFFFF) << name;
      ++saves_seen;
    }
    const auto settings = ReadFile((game / "TVXCHS.INI").string());
    const std::string text(settings.begin(), settings.end());
    EXPECT_TRUE(text == old_settings || text == new_settings) << text.substr(0, 80);
    // What a killed write leaves behind goes at the next start: it never piles up.
    size_t temporaries = 0;
    for (const auto& entry : fs::directory_iterator(game))
      temporaries += platform::IsAtomicWriteTemporaryName(entry.path().filename().string());
    EXPECT_LE(temporaries, 3u);
  }
  EXPECT_GT(saves_seen, 0) << "the game never got as far as a save";
  EXPECT_GT(settings_written, 0) << "the settings were never written";
}

}  // namespace
}  // namespace tvx::tool
