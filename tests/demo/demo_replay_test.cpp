// The demo played from start to end, headless, with the recorded inputs of demo/replay: by
// the coast road, by the tunnel and its maze, saving and loading. Key screens are compared
// with committed pictures (5-bit channels, exactly; TALVEX_UPDATE_EXPECTED=1 rewrites them,
// then look at them), and the end state with what the story leaves behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "resources/byte_order.h"
#include "tests/support/golden_picture.h"
#include "tools/png_io.h"
#include "tools/run_command.h"

namespace tvx::demo {
namespace {

namespace fs = std::filesystem;

const fs::path kGame = TALVEX_GAME_DIR;
const fs::path kReplay = fs::path(TALVEX_SOURCE_DIR) / "demo" / "replay";

std::string Text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A screen to look at: the time of the dump and the committed picture's name.
struct Shot {
  uint32_t ms;
  std::string golden;
};

class DemoReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    // The built game in a folder of its own, so that the saves are the test's: every file
    // but the programs and old saves.
    // The process id keeps two runs of the test (two build trees, two checkouts) apart.
    dir_ = fs::temp_directory_path() /
           ("talvex-demo-replay-" + std::to_string(::getpid()) + "-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    game_ = dir_ / "game";
    out_ = dir_ / "out";
    fs::create_directories(game_);
    for (const auto& entry : fs::directory_iterator(kGame)) {
      const std::string name = entry.path().filename().string();
      if (!entry.is_regular_file() || name.starts_with("talvex") || name.starts_with("FLAG"))
        continue;
      fs::copy_file(entry.path(), game_ / name);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Plays one of the recorded inputs; the exit status.
  int Play(const std::string& input, const std::vector<Shot>& shots) {
    std::string at;
    for (const Shot& shot : shots) at += (at.empty() ? "" : ",") + std::to_string(shot.ms);
    fs::remove_all(out_);
    std::vector<std::string> args = {
        game_.string(), "--headless", "--input", (kReplay / input).string(),
        "--until-ms",   "400000",     "--dump",  out_.string()};
    if (!at.empty()) args.insert(args.end(), {"--dump-at", at});
    std::ostringstream out, err;
    const int status = tool::RunRun(args, out, err);
    errors_ = err.str();
    for (const Shot& shot : shots) {
      std::string error;
      const auto screen =
          tool::ReadPngFile((out_ / std::to_string(shot.ms) / "screen.png").string(), error);
      EXPECT_TRUE(screen) << shot.golden << ": " << error;
      if (!screen) continue;
      EXPECT_EQ(testing::CompareWithGolden(*screen, "demo/" + shot.golden), "");
    }
    return status;
  }
  std::string Dumped(const std::string& name) { return Text(out_ / name); }
  std::vector<uint8_t> Variables() {
    const std::string text = Dumped("vars.bin");
    return {text.begin(), text.end()};
  }
  uint8_t Flag(size_t n) { return Variables().at(128 + n); }
  // The names that came up in a NOW FILE slot, in order.
  std::vector<std::string> Shown(char slot) {
    std::vector<std::string> names;
    std::istringstream lines(Dumped("files.txt"));
    for (std::string line; std::getline(lines, line);)
      if (line.size() > 2 && line[0] == slot && line[1] == '\t') names.push_back(line.substr(2));
    return names;
  }
  bool Played(const std::string& sound) {
    return Dumped("sounds.txt").find("\tplay\t" + sound) != std::string::npos;
  }

  fs::path dir_;
  fs::path game_;
  fs::path out_;
  std::string errors_;  // what the run wrote to standard error
};

using Names = std::vector<std::string>;

TEST_F(DemoReplay, TheCoastRoadFromTheTitleToTheEndAndBack) {
  EXPECT_EQ(Play("coast.txt", {{2500, "title"},
                               {8500, "face-page"},
                               {23500, "cross-fade"},
                               {32500, "crossroads"},
                               {88000, "lamp-room"},
                               {92000, "lamp-lit"},
                               {94000, "sunrise"},
                               {121000, "credits"}}),
            0);
  EXPECT_EQ(Dumped("boxes.txt"), "");
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Shown('1'),
            (Names{"MAIN.MES", "HARBOR.MES", "COAST.MES", "LIGHT.MES", "DAWN.MES", "MAIN.MES"}));
  for (const char* sound : {"M_TITLE.WAV", "M_TOWN.WAV", "S_WAVES.WAV", "M_END.WAV", "V_LX01.WAV",
                            "V_LX02.WAV", "V_CB01.WAV", "V_CB02.WAV", "V_LX03.WAV"})
    EXPECT_TRUE(Played(sound)) << sound;
  // The letter, the shell, the oil and the matches; both questions asked.
  EXPECT_EQ(Flag(200 + 3), 1);
  EXPECT_EQ(Flag(200 + 4), 1);
  EXPECT_EQ(Flag(200 + 1), 1);
  EXPECT_EQ(Flag(200 + 5), 1);
  EXPECT_EQ(Flag(200 + 0), 0);  // no key: that is in the tunnel
  EXPECT_EQ(Flag(110), 1);
  EXPECT_EQ(Flag(111), 1);
}

TEST_F(DemoReplay, TheTunnelAndItsMaze) {
  EXPECT_EQ(Play("tunnel.txt", {{60000, "maze"}}), 0);
  EXPECT_EQ(Dumped("boxes.txt"), "");
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Shown('1'),
            (Names{"MAIN.MES", "HARBOR.MES", "TUNNEL.MES", "LIGHT.MES", "DAWN.MES", "MAIN.MES"}));
  EXPECT_TRUE(Played("M_CAVE.WAV"));
  EXPECT_TRUE(Played("S_STEP.WAV"));
  // The walker came out at the far corner with the brass key and the lantern.
  const auto vars = Variables();
  EXPECT_EQ(bytes::LoadLe16(vars, 2180 + 2 * ('X' - 'A')), 6);
  EXPECT_EQ(bytes::LoadLe16(vars, 2180 + 2 * ('Y' - 'A')), 6);
  EXPECT_EQ(Flag(200 + 0), 1);
  EXPECT_EQ(Flag(200 + 7), 1);
  EXPECT_EQ(Flag(200 + 4), 0);  // no shell: that is on the coast
}

TEST_F(DemoReplay, SavingAndLoadingFromTheKeysTheMenuAndTheTitle) {
  EXPECT_EQ(Play("saves.txt", {{10000, "save-screen"}}), 0);
  // The harbour, the coast, then the harbour again from the load; the quit confirmed.
  EXPECT_EQ(Shown('1'), (Names{"MAIN.MES", "HARBOR.MES", "COAST.MES", "HARBOR.MES"}));
  EXPECT_EQ(Dumped("boxes.txt"), "游戏的结束\t结束游戏吗？\n");
  ASSERT_TRUE(fs::exists(game_ / "FLAG01"));
  EXPECT_EQ(fs::file_size(game_ / "FLAG01"), 4096u);
  EXPECT_TRUE(fs::exists(game_ / "FLAG09"));  // the slots' index
  // The title's 读取 finds the game saved in slot 1 and goes back to the harbour.
  EXPECT_EQ(Play("title_load.txt", {}), 0);
  EXPECT_EQ(Shown('1'), (Names{"MAIN.MES", "HARBOR.MES"}));
  EXPECT_EQ(Dumped("boxes.txt"), "游戏的结束\t结束游戏吗？\n");
}

}  // namespace
}  // namespace tvx::demo
