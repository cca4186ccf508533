// `talvex-tool build`: a source folder with every kind of asset made into a game folder that
// runs headless (the picture shown, the music and the voice played), with a settings file
// holding every key, and archives byte for byte those that the single commands make.
#include "tools/build_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/tool_test_support.h"
#include "tools/arc_command.h"
#include "tools/g16_command.h"
#include "tools/mes_command.h"
#include "tools/png_io.h"
#include "tools/run_command.h"
#include "tools/settings_text.h"
#include "tools/wav/wav_data.h"
#include "tools/wav_command.h"

namespace tvx::tool::test {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

// A tone of `frames` 16-bit samples at 22050 Hz.
std::vector<int16_t> Tone(size_t frames, int period) {
  std::vector<int16_t> samples(frames);
  for (size_t i = 0; i < frames; ++i)
    samples[i] = static_cast<int16_t>((static_cast<int>(i % period) - period / 2) * 400);
  return samples;
}

class BuildCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(src_ / "lib");
    fs::create_directories(src_ / "voice");
    WriteFile((src_ / "lib" / "sound.tvs").string(),
              Bytes("; music, effects and voices on: bits 0x0200 and 0x0100 of the flags\n"
                    "    SET_REG16 28, R16(28) | 0x0300\n"));
    WriteFile((src_ / "MAIN.tvs").string(), Bytes(".include \"lib/sound.tvs\"\n"
                                                  "    SYSCALL 8, \"ROOM.G16\"\n"
                                                  "    SYSCALL 5, 0, \"THEME.WAV\"\n"
                                                  "    SYSCALL 6, 2, \"V0001.WAV\"\n"
                                                  "    END\n"));
    std::string error;
    ASSERT_TRUE(WritePngFile((src_ / "ROOM.png").string(), room_, error)) << error;
    const LoopRecord loop{0, 0, 1000, 3000, 0, 0};
    WriteFile((src_ / "THEME.wav").string(), WritePcm16(Tone(4000, 50), 22050, loop));
    WriteFile((src_ / "voice" / "V0001.wav").string(),
              WritePcm16(Tone(2205, 30), 22050, std::nullopt));
    WriteFile((src_ / "ITEMS.DAT").string(), {1, 2, 3, 4, 5});
    WriteFile((src_ / "TVXCHS.INI").string(),
              Bytes("; the maker's own keys\n[config]\ntitle=Rain Test\n[VOLUME]\nMusic=-1000\n"
                    "[Extra]\nFoo=1\n"));
  }

  TempDir dir_;
  fs::path src_ = dir_.path() / "src";
  fs::path out_ = dir_.path() / "out" / "game";
  const Picture555 room_{4,
                         2,
                         {Rgb(31, 0, 0), Rgb(0, 31, 0), Rgb(0, 0, 31), Rgb(9, 9, 9),  //
                          Rgb(1, 2, 3), Rgb(31, 31, 0), Rgb(0, 31, 31), Rgb(31, 0, 31)}};
};

TEST_F(BuildCommand, EveryKindOfAssetMakesAGameThatRuns) {
  const auto built = RunCommand(RunBuild, {src_.string(), out_.string()});
  ASSERT_EQ(built.code, 0) << built.err;

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(out_)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"BG.ARC", "BGM.ARC", "CHS.ARC", "ITEMS.DAT",
                                             "TVXCHS.INI", "VOICE.ARC"}));
  EXPECT_EQ(ReadFile((out_ / "ITEMS.DAT").string()), (std::vector<uint8_t>{1, 2, 3, 4, 5}));

  const SettingsText ini = SettingsText::Parse(Text(ReadFile((out_ / "TVXCHS.INI").string())));
  const std::vector<std::array<std::string, 3>> expected = {{"Config", "TITLE", "Rain Test"},
                                                            {"Config", "StartMES", "MAIN.MES"},
                                                            {"Config", "SOUND", "1"},
                                                            {"Config", "VOICE", "1"},
                                                            {"FILE", "bARCMES", "1"},
                                                            {"FILE", "ARCMESNAME", "CHS.ARC"},
                                                            {"FILE", "bARCBG", "1"},
                                                            {"FILE", "ARCBGNAME", "BG.ARC"},
                                                            {"FILE", "bARCBGM", "1"},
                                                            {"FILE", "ARCBGMNAME", "BGM.ARC"},
                                                            {"FILE", "bARCVOICE", "1"},
                                                            {"FILE", "ARCVOICENAME", "VOICE.ARC"},
                                                            {"FILE", "bARCDATA", "0"},
                                                            {"MES", "bMESTYPE", "1"},
                                                            {"DATA", "bDATATYPE", "0"},
                                                            {"GRAPHICS", "bBGTYPE", "1"},
                                                            {"VOLUME", "Music", "-1000"},
                                                            {"VOLUME", "Effect", "-500"},
                                                            {"Extra", "Foo", "1"}};
  for (const auto& [section, key, value] : expected)
    EXPECT_EQ(ini.Get(section, key).value_or("(missing)"), value) << section << " " << key;

  // The music keeps its loop.
  const fs::path unpacked = dir_.path() / "unpacked";
  ASSERT_EQ(
      RunCommand(RunArc, {"extract", "-o", unpacked.string(), (out_ / "BGM.ARC").string()}).code,
      0);
  std::string error;
  const auto theme = ReadWav(ReadFile((unpacked / "THEME.WAV").string()), error);
  ASSERT_TRUE(theme) << error;
  ASSERT_TRUE(theme->loop);
  EXPECT_EQ(theme->loop->start, 1000u);
  EXPECT_EQ(theme->loop->end, 3000u);

  const fs::path dump = dir_.path() / "dump";
  const auto run = RunCommand(
      RunRun, {out_.string(), "--headless", "--dump", dump.string(), "--until-ms", "5000"});
  ASSERT_EQ(run.code, 0) << run.err;
  const auto screen = ReadPngFile((dump / "screen.png").string(), error);
  ASSERT_TRUE(screen) << error;
  for (uint32_t y = 0; y < room_.height; ++y)
    for (uint32_t x = 0; x < room_.width; ++x)
      EXPECT_EQ(screen->At(x, y), room_.At(x, y)) << x << "," << y;
  const std::string sounds = Text(ReadFile((dump / "sounds.txt").string()));
  EXPECT_NE(sounds.find("\tTHEME.WAV"), std::string::npos) << sounds;
  EXPECT_NE(sounds.find("\tV0001.WAV"), std::string::npos) << sounds;
  EXPECT_EQ(Text(ReadFile((dump / "boxes.txt").string())), "") << "no box";
}

TEST_F(BuildCommand, ArchivesAreThoseTheSingleCommandsMake) {
  ASSERT_EQ(RunCommand(RunBuild, {src_.string(), out_.string()}).code, 0);

  const fs::path hand = dir_.path() / "hand";
  fs::create_directories(hand / "files");
  const auto file = [&](const std::string& name) { return (hand / "files" / name).string(); };
  const std::vector<std::pair<CommandFunction, std::vector<std::string>>> steps = {
      {RunMes, {"asm", (src_ / "MAIN.tvs").string(), file("MAIN.MES")}},
      {RunG16, {"encode", (src_ / "ROOM.png").string(), file("ROOM.G16")}},
      {RunWav, {"convert", (src_ / "THEME.wav").string(), file("THEME.WAV")}},
      {RunWav, {"adpcm", (src_ / "voice" / "V0001.wav").string(), file("V0001.WAV")}},
      {RunArc, {"pack", "--lzss", (hand / "CHS.ARC").string(), file("MAIN.MES")}},
      {RunArc, {"pack", (hand / "BG.ARC").string(), file("ROOM.G16")}},
      {RunArc, {"pack", (hand / "BGM.ARC").string(), file("THEME.WAV")}},
      {RunArc, {"pack", (hand / "VOICE.ARC").string(), file("V0001.WAV")}},
  };
  for (const auto& [function, args] : steps) {
    const auto result = RunCommand(function, args);
    ASSERT_EQ(result.code, 0) << args[0] << ": " << result.err;
  }
  for (const char* archive : {"CHS.ARC", "BG.ARC", "BGM.ARC", "VOICE.ARC"})
    EXPECT_EQ(ReadFile((out_ / archive).string()), ReadFile((hand / archive).string())) << archive;
}

TEST_F(BuildCommand, SettingsDecideWhatIsPackedAndCompressed) {
  // Loose, uncompressed scripts and loose pictures when the maker's settings say so.
  WriteFile((src_ / "TVXCHS.INI").string(),
            Bytes("[FILE]\nbARCMES=0\nbARCBG=0\n[MES]\nbMESTYPE=0\n"));
  const auto built = RunCommand(RunBuild, {src_.string(), out_.string()});
  ASSERT_EQ(built.code, 0) << built.err;
  EXPECT_TRUE(fs::exists(out_ / "ROOM.G16"));
  EXPECT_FALSE(fs::exists(out_ / "CHS.ARC"));
  EXPECT_FALSE(fs::exists(out_ / "BG.ARC"));
  const auto hand = RunCommand(
      RunMes, {"asm", (src_ / "MAIN.tvs").string(), (dir_.path() / "MAIN.MES").string()});
  ASSERT_EQ(hand.code, 0) << hand.err;
  EXPECT_EQ(ReadFile((out_ / "MAIN.MES").string()), ReadFile((dir_.path() / "MAIN.MES").string()));
  const auto run = RunCommand(RunRun, {out_.string(), "--headless", "--until-ms", "5000"});
  EXPECT_EQ(run.code, 0) << run.err;
}

TEST_F(BuildCommand, ASettingsFileSavedAsUtf8IsWrittenInGbk) {
  // As an editor saves it, with a byte-order mark; and one already in GBK stays as it is.
  const std::string title_gbk = "\xD3\xEA\xD2\xB9";  // 雨夜
  for (const std::string& source :
       {std::string("\xEF\xBB\xBF[Config]\nTITLE=雨夜\n"), "[Config]\nTITLE=" + title_gbk + "\n"}) {
    WriteFile((src_ / "TVXCHS.INI").string(), Bytes(source));
    const auto built = RunCommand(RunBuild, {src_.string(), out_.string()});
    ASSERT_EQ(built.code, 0) << built.err;
    const SettingsText ini = SettingsText::Parse(Text(ReadFile((out_ / "TVXCHS.INI").string())));
    EXPECT_EQ(ini.Get("Config", "TITLE").value_or("(missing)"), title_gbk);
  }
}

TEST_F(BuildCommand, FailuresNameTheFile) {
  WriteFile((src_ / "BROKEN.png").string(), Bytes("not a picture"));
  WriteFile((src_ / "lib" / "sound.tvs").string(), Bytes("    SET_REG16 28,\n"));
  const auto result = RunCommand(RunBuild, {src_.string(), out_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find((src_ / "BROKEN.png").string() + ": "), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find((src_ / "lib" / "sound.tvs").string() + ":1:"), std::string::npos)
      << result.err;
  EXPECT_FALSE(fs::exists(out_ / "TVXCHS.INI")) << "nothing written after a failure";

  fs::remove(src_ / "BROKEN.png");
  WriteFile((src_ / "lib" / "sound.tvs").string(), Bytes("\n"));
  fs::rename(src_ / "MAIN.tvs", src_ / "START.tvs");
  const auto no_start = RunCommand(RunBuild, {src_.string(), out_.string()});
  EXPECT_EQ(no_start.code, 1);
  EXPECT_NE(no_start.err.find("MAIN.MES"), std::string::npos) << no_start.err;

  // A music file with a made-up rate is refused by name, not converted into gigabytes.
  WriteFile((src_ / "THEME.wav").string(), WritePcm16(Tone(4000, 50), 0xFFFFFFFF, std::nullopt));
  const auto bad_rate = RunCommand(RunBuild, {src_.string(), out_.string()});
  EXPECT_EQ(bad_rate.code, 1);
  EXPECT_NE(bad_rate.err.find((src_ / "THEME.wav").string() +
                              ": a sample rate of 4294967295 Hz is not supported"),
            std::string::npos)
      << bad_rate.err;
  WriteFile((src_ / "THEME.wav").string(), WritePcm16(Tone(4000, 50), 22050, std::nullopt));

  WriteFile((src_ / "voice" / "NOTES.txt").string(), Bytes("x"));
  const auto not_voice = RunCommand(RunBuild, {src_.string(), out_.string()});
  EXPECT_EQ(not_voice.code, 1);
  EXPECT_NE(not_voice.err.find("NOTES.txt"), std::string::npos) << not_voice.err;
}

TEST_F(BuildCommand, UsageAndHelp) {
  EXPECT_EQ(RunCommand(RunBuild, {"--help"}).code, 0);
  EXPECT_NE(RunCommand(RunBuild, {"--help"}).out.find("voice/"), std::string::npos);
  EXPECT_EQ(RunCommand(RunBuild, {src_.string()}).code, 2);
  EXPECT_EQ(RunCommand(RunBuild, {src_.string(), out_.string(), "x"}).code, 2);
  EXPECT_EQ(RunCommand(RunBuild, {"--lzss", src_.string()}).code, 2);
  EXPECT_EQ(RunCommand(RunBuild, {(dir_.path() / "none").string(), out_.string()}).code, 1);
  EXPECT_EQ(RunCommand(RunBuild, {src_.string(), src_.string()}).code, 1);
}

TEST_F(BuildCommand, ExistingFilesAreReplacedAndNothingIsLeftBehind) {
  fs::create_directories(out_);
  WriteFile((out_ / "ITEMS.DAT").string(), Bytes("old"));
  WriteFile((out_ / "KEEP.TXT").string(), Bytes("mine"));
  ASSERT_EQ(RunCommand(RunBuild, {src_.string(), out_.string()}).code, 0);
  EXPECT_EQ(ReadFile((out_ / "ITEMS.DAT").string()), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Text(ReadFile((out_ / "KEEP.TXT").string())), "mine");
  EXPECT_FALSE(fs::exists(out_ / ".talvex-build"));
  std::vector<std::string> in_source;
  for (const auto& entry : fs::recursive_directory_iterator(src_))
    in_source.push_back(entry.path().lexically_relative(src_).string());
  std::sort(in_source.begin(), in_source.end());
  EXPECT_EQ(in_source, (std::vector<std::string>{"ITEMS.DAT", "MAIN.tvs", "ROOM.png", "THEME.wav",
                                                 "TVXCHS.INI", "lib", "lib/sound.tvs", "voice",
                                                 "voice/V0001.wav"}));
}

}  // namespace
}  // namespace tvx::tool::test
