// The walk-through of docs/making-a-game.md, done as a maker would do it: the source folder
// of docs/examples/making with the library copied in, pictures and sounds of one's own, the
// loop marked, `talvex-tool build`, then the game played headless with the two input files
// the page shows, and the dumps checked for what the page says they show.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/byte_order.h"
#include "tests/tools/tool_test_support.h"
#include "tools/build_command.h"
#include "tools/png_io.h"
#include "tools/run_command.h"
#include "tools/wav/wav_data.h"
#include "tools/wav_command.h"

namespace tvx::tool::test {
namespace {

namespace fs = std::filesystem;

const fs::path kDocs = fs::path(TALVEX_SOURCE_DIR) / "docs";

std::string Text(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

const uint16_t kTitle = Rgb(2, 4, 12), kStation = Rgb(5, 11, 7), kTrain = Rgb(28, 27, 23),
               kRoad = Rgb(6, 6, 9), kHighlight = 0x7FE0;

std::vector<int16_t> Tone(double hz, double seconds) {
  std::vector<int16_t> out(static_cast<size_t>(seconds * 44100));
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(std::lround(6000 * std::sin(2 * M_PI * hz * i / 44100)));
  return out;
}

class MakingAGame : public ::testing::Test {
 protected:
  void SetUp() override {
    // The maker's folder: the example's files, the library, pictures and sounds.
    fs::create_directories(src_ / "lib");
    fs::create_directories(src_ / "voice");
    for (const char* name : {"MAIN.tvs", "TVXCHS.INI"})
      fs::copy_file(kDocs / "examples" / "making" / name, src_ / name);
    for (const char* name : {"text.tvs", "choice.tvs"})
      fs::copy_file(kDocs / "lib" / name, src_ / "lib" / name);
    const std::pair<const char*, uint16_t> pictures[] = {{"TITLE.png", kTitle},
                                                         {"STATION.png", kStation},
                                                         {"TRAIN.png", kTrain},
                                                         {"ROAD.png", kRoad}};
    for (const auto& [name, colour] : pictures) {
      std::string error;
      ASSERT_TRUE(WritePngFile((src_ / name).string(),
                               Picture555{640, 480, std::vector<uint16_t>(640 * 480, colour)},
                               error))
          << error;
    }
    // Recorded at 44100 Hz, as a sound program would save them.
    WriteFile((src_ / "RAIN.wav").string(), WritePcm16(Tone(220, 2.5), 44100, std::nullopt));
    WriteFile((src_ / "BELL.wav").string(), WritePcm16(Tone(880, 0.5), 44100, std::nullopt));
    WriteFile((src_ / "voice" / "V0001.wav").string(),
              WritePcm16(Tone(300, 1.0), 44100, std::nullopt));
    // The page's commands, with its folder names.
    ASSERT_EQ(RunCommand(RunWav, {"loop", (src_ / "RAIN.wav").string(), "0", "88200"}).code, 0);
    const auto built = RunCommand(RunBuild, {src_.string(), game_.string()});
    ASSERT_EQ(built.code, 0) << built.err;
  }

  // Plays the game with one of the page's input files; the exit status.
  int Play(const char* input, const std::string& dump_at) {
    return RunCommand(RunRun, {game_.string(), "--headless", "--input",
                               (kDocs / "examples" / "making-input" / input).string(), "--dump",
                               out_.string(), "--dump-at", dump_at, "--until-ms", "120000"})
        .code;
  }
  Picture555 Screen(const std::string& at) {
    std::string error;
    auto picture = ReadPngFile((out_ / at / "screen.png").string(), error);
    EXPECT_TRUE(picture) << at << ": " << error;
    return picture ? *picture : Picture555{640, 480, std::vector<uint16_t>(640 * 480, 0)};
  }
  std::string Dumped(const std::string& name) { return Text(ReadFile((out_ / name).string())); }
  uint16_t Register16(char name) {
    return bytes::LoadLe16(ReadFile((out_ / "vars.bin").string()), 2180 + 2 * (name - 'A'));
  }
  uint8_t Flag(size_t n) { return ReadFile((out_ / "vars.bin").string()).at(128 + n); }

  TempDir dir_;
  fs::path src_ = dir_.path() / "rain";
  fs::path game_ = dir_.path() / "game";
  fs::path out_ = dir_.path() / "out";
};

TEST_F(MakingAGame, ThePageQuotesItsFilesWholeAndTheCommandsItRuns) {
  const std::string page = Text(ReadFile((kDocs / "making-a-game.md").string()));
  for (const char* file : {"making/MAIN.tvs", "making-input/keys.txt", "making-input/mouse.txt"}) {
    const std::string text = Text(ReadFile((kDocs / "examples" / file).string()));
    ASSERT_FALSE(text.empty()) << file;
    EXPECT_NE(page.find("```\n" + text + "```"), std::string::npos) << file;
  }
  EXPECT_NE(page.find("```ini\n" + Text(ReadFile((src_ / "TVXCHS.INI").string())) + "```"),
            std::string::npos);
  for (const char* command :
       {"talvex-tool wav loop rain/RAIN.wav 0 88200", "talvex-tool build rain game",
        "talvex-tool run game --headless --input keys.txt --dump out --dump-at 2500,12000,15000"})
    EXPECT_NE(page.find(command), std::string::npos) << command;
  // The settings the build wrote: the title from the source's file, in GBK.
  EXPECT_NE(Text(ReadFile((game_ / "TVXCHS.INI").string())).find("TITLE=\xD3\xEA\xD2\xB9"),
            std::string::npos);
}

TEST_F(MakingAGame, TheKeysTakeTheTrain) {
  EXPECT_EQ(Play("keys.txt", "2500,12000,15000"), 0);
  EXPECT_EQ(Dumped("boxes.txt"), "");
  // The title with its highlight on the first item, the crossing likewise, the train.
  const Picture555 title = Screen("2500");
  EXPECT_EQ(title.At(320, 100), kTitle);
  EXPECT_EQ(title.At(70, 308), kHighlight);
  const Picture555 crossing = Screen("12000");
  EXPECT_EQ(crossing.At(320, 100), kStation);
  EXPECT_EQ(crossing.At(70, 428), kHighlight);
  EXPECT_EQ(crossing.At(70, 452), kStation);
  EXPECT_EQ(Screen("15000").At(320, 100), kTrain);
  // The music, the bell and the voice line; the music faded out at the end.
  const std::string sounds = Dumped("sounds.txt");
  for (const char* event : {"\t0\tplay\tRAIN.WAV", "\t2\tplay\tBELL.WAV", "\t1\tplay\tV0001.WAV",
                            "\t1\tend\tV0001.WAV", "\t0\tfade-end\tRAIN.WAV"})
    EXPECT_NE(sounds.find(event), std::string::npos) << event << "\n" << sounds;
  EXPECT_EQ(Register16('E'), 1);
  EXPECT_EQ(Flag(1), 1);
  EXPECT_EQ(fs::file_size(game_ / "FLAG01"), 4096u);
}

TEST_F(MakingAGame, TheMouseTakesTheRoadAndALoadGoesBackToTheCrossing) {
  EXPECT_EQ(Play("mouse.txt", "12000,15000,22000,25000"), 0);
  EXPECT_EQ(Dumped("boxes.txt"), "");
  EXPECT_EQ(Screen("15000").At(320, 100), kRoad);
  // After the load: the crossing again, the first item highlighted, then the train.
  const Picture555 again = Screen("22000");
  EXPECT_EQ(again.At(320, 100), kStation);
  EXPECT_EQ(again.At(70, 428), kHighlight);
  EXPECT_EQ(Screen("25000").At(320, 100), kTrain);
  // The load started the music again (it is not saved); the bell and voice only once.
  const std::string sounds = Dumped("sounds.txt");
  size_t plays = 0;
  for (size_t at = sounds.find("\t0\tplay\tRAIN.WAV"); at != std::string::npos;
       at = sounds.find("\t0\tplay\tRAIN.WAV", at + 1))
    ++plays;
  EXPECT_EQ(plays, 2u) << sounds;
  EXPECT_EQ(sounds.find("\t1\tplay\tV0001.WAV"), sounds.rfind("\t1\tplay\tV0001.WAV"));
  EXPECT_EQ(Register16('E'), 1);
}

}  // namespace
}  // namespace tvx::tool::test
