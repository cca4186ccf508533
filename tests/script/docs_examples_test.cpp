// The examples of the game makers' documents are real: every docs/examples/*.tvs assembles,
// every example file is quoted whole in the documents, and the examples run on a headless
// game and do what the documents say they do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/lzss_encoder.h"
#include "resources/byte_order.h"
#include "sound/sound_manager.h"
#include "sound/wave_format.h"
#include "tests/archive/archive_builder.h"
#include "tests/script/script_fixture.h"
#include "tests/sound/sound_test_support.h"
#include "tests/support/solid_g16.h"
#include "tools/wav/ima_encoder.h"
#include "tools/wav/wav_data.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kDocs = fs::path(TALVEX_SOURCE_DIR) / "docs";

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Example(std::string_view name) {
  const std::string text = ReadText(kDocs / "examples" / name);
  EXPECT_FALSE(text.empty()) << name;
  return text;
}

// The documents that quote the examples.
std::string Documents() {
  return ReadText(kDocs / "settings.md") + ReadText(kDocs / "system-words.md") +
         ReadText(kDocs / "mes.md");
}

std::vector<int16_t> Tone(double hz, double seconds) {
  std::vector<int16_t> out(static_cast<size_t>(seconds * 22050));
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(std::lround(6000 * std::sin(2 * M_PI * hz * i / 22050)));
  return out;
}

std::vector<uint8_t> VoiceFile(double seconds) {
  const auto samples = Tone(500, seconds);
  const auto blocks = tool::EncodeImaAdpcm(samples, 512);
  return tool::WriteImaAdpcm(blocks, static_cast<uint32_t>(samples.size()), kVoiceSourceFormat);
}

constexpr uint16_t kBlue = 0x001F, kGreen = 0x03E0;

class DocsExamples : public ScriptTest {
 protected:
  std::vector<uint8_t> Assembled(std::string_view name) {
    const auto result = mes::Assemble(Example(name), name);
    EXPECT_TRUE(result.ok()) << (result.errors.empty() ? "" : result.errors.front());
    return result.code;
  }
  void LooseSounds() {
    WriteBytes("TITLE.WAV", PcmFile(Tone(220, 0.5)));
    WriteBytes("DOOR.WAV", PcmFile(Tone(900, 0.2)));
    WriteBytes("V0001.WAV", VoiceFile(0.3));
  }
  void LoosePictures() {
    WriteBytes("ROOM1.G16", SolidG16(kBlue));
    WriteBytes("ROOM2.G16", SolidG16(kGreen));
  }
  std::vector<std::string> SoundEvents() {
    std::vector<std::string> out;
    for (const auto& e : system_->sound()->log().Events())
      out.push_back(std::to_string(e.channel) + " " + e.what + " " + e.name);
    return out;
  }
  size_t Position(const std::vector<std::string>& events, const std::string& event) {
    return static_cast<size_t>(std::find(events.begin(), events.end(), event) - events.begin());
  }
  // Pixels of the final screen in the rectangle that are not `colour`.
  int Others(int x1, int y1, int x2, int y2, uint16_t colour) {
    int count = 0;
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) count += system_->finalScreen.At(x, y) != colour;
    return count;
  }
  void ExpectWholeScreen(uint16_t colour) { EXPECT_EQ(Others(0, 0, 639, 479, colour), 0); }
};

// The bodies of the fenced blocks of a Markdown text.
std::vector<std::string> FencedBlocks(const std::string& text) {
  std::vector<std::string> blocks;
  size_t at = 0;
  for (;;) {
    const size_t open = text.find("```", at);
    if (open == std::string::npos) break;
    const size_t body = text.find('\n', open) + 1;
    const size_t close = text.find("\n```", body);
    if (close == std::string::npos) break;
    blocks.push_back(text.substr(body, close + 1 - body));
    at = text.find('\n', close + 1) + 1;
  }
  return blocks;
}

TEST_F(DocsExamples, EveryBlockOfTheTwoReferencesIsAnExampleFile) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(kDocs / "examples"))
    if (entry.is_regular_file()) files.push_back(ReadText(entry.path()));
  for (const char* doc : {"settings.md", "system-words.md"}) {
    const auto blocks = FencedBlocks(ReadText(kDocs / doc));
    EXPECT_FALSE(blocks.empty()) << doc;
    for (const auto& block : blocks)
      EXPECT_NE(std::find(files.begin(), files.end(), block), files.end())
          << doc << " has a block that is no example file:\n"
          << block;
  }
}

TEST_F(DocsExamples, EveryExampleAssemblesAndIsQuotedWholeInTheDocuments) {
  const std::string docs = Documents();
  int scripts = 0, settings = 0;
  for (const auto& entry : fs::directory_iterator(kDocs / "examples")) {
    if (!entry.is_regular_file()) continue;  // the folders of docs/making-a-game.md
    const std::string name = entry.path().filename().string();
    const std::string text = ReadText(entry.path());
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_NE(docs.find(text), std::string::npos) << name << " is not quoted whole";
    if (entry.path().extension() == ".tvs") {
      ++scripts;
      const auto result = mes::Assemble(text, name);
      EXPECT_TRUE(result.ok()) << (result.errors.empty() ? "" : result.errors.front());
    } else if (entry.path().extension() == ".ini") {
      ++settings;
    }
  }
  EXPECT_EQ(scripts, 5);
  EXPECT_EQ(settings, 2);
}

// ---- Sound: the system flag bits ----

TEST_F(DocsExamples, TheSoundExamplePlaysMusicVoiceAndEffectInTurn) {
  LooseSounds();
  Script("MAIN.MES", Example("sound.tvs"));
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Boxes().empty());
  const auto events = SoundEvents();
  const size_t music = Position(events, "0 play TITLE.WAV");
  const size_t voice = Position(events, "1 play V0001.WAV");
  const size_t voice_end = Position(events, "1 end V0001.WAV");
  const size_t effect = Position(events, "2 play DOOR.WAV");
  const size_t effect_end = Position(events, "2 end DOOR.WAV");
  ASSERT_LT(effect_end, events.size()) << ::testing::PrintToString(events);
  // The voice is waited for before the effect starts; the effect ends before the script.
  EXPECT_LT(music, voice);
  EXPECT_LT(voice, voice_end);
  EXPECT_LT(voice_end, effect);
  EXPECT_LT(effect, effect_end);
}

TEST_F(DocsExamples, WithoutTheBitsTheSoundExampleIsSilentAndTheMakerIsToldOncePerBit) {
  LooseSounds();
  std::string source = Example("sound.tvs");
  const size_t line = source.find("    SET_REG16 28, R16(28) | 0x0300\n");
  ASSERT_NE(line, std::string::npos);
  source.erase(line, source.find('\n', line) + 1 - line);
  Script("MAIN.MES", source);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(SoundEvents().empty()) << ::testing::PrintToString(SoundEvents());
  // The system flags as they start: 0x000F.
  EXPECT_EQ(vars().Word(kWordSystemFlags), 0x000F);
  // Music and the effect share one warning; the voice has its own. No box for the player.
  EXPECT_TRUE(Boxes().empty());
  const auto& warnings = system_->makerWarnings();
  ASSERT_EQ(warnings.size(), 2u) << ::testing::PrintToString(warnings);
  EXPECT_NE(warnings[0].find("call 5 played nothing (\"TITLE.WAV\")"), std::string::npos);
  EXPECT_NE(warnings[0].find("bit 0x0200"), std::string::npos);
  EXPECT_NE(warnings[1].find("call 6 played nothing (\"V0001.WAV\")"), std::string::npos);
  EXPECT_NE(warnings[1].find("bit 0x0100"), std::string::npos);
}

TEST_F(DocsExamples, InDebugModeTheWarningsAreBoxesToo) {
  LooseSounds();
  WriteSettings("[Config]\nbDEBUG=1\n");
  Script("MAIN.MES", "    SYSCALL 5, 0, \"TITLE.WAV\"\n    SYSCALL 5, 0, \"TITLE.WAV\"\n    END\n");
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(Boxes().size(), 1u) << ::testing::PrintToString(Boxes());
  EXPECT_EQ(Boxes()[0].rfind("警告 / call 5 played nothing", 0), 0u) << Boxes()[0];
}

TEST_F(DocsExamples, VoiceOffInTheSettingsSilencesOnlyTheVoice) {
  LooseSounds();
  WriteSettings("[Config]\nVOICE=0\n");
  Script("MAIN.MES", Example("sound.tvs"));
  EXPECT_EQ(Run(), 0);
  const auto events = SoundEvents();
  EXPECT_LT(Position(events, "0 play TITLE.WAV"), events.size());
  EXPECT_LT(Position(events, "2 play DOOR.WAV"), events.size());
  for (const auto& e : events) EXPECT_NE(e.rfind("1 ", 0), 0u) << e;
  // The player's own switch is no mistake of the game's.
  EXPECT_TRUE(system_->makerWarnings().empty());
}

TEST_F(DocsExamples, SoundOffInTheSettingsPlaysAtTheQuietestVolumeAndStopsInsteadOfWaiting) {
  LooseSounds();
  WriteSettings("[Config]\nSOUND=0\n");
  Script("MAIN.MES", Example("sound.tvs"));
  EXPECT_EQ(Run(), 0);
  const auto events = SoundEvents();
  EXPECT_LT(Position(events, "0 play TITLE.WAV"), events.size());
  EXPECT_LT(Position(events, "1 end V0001.WAV"), events.size());  // the voice as always
  // The wait for the effect's end stops it instead.
  EXPECT_LT(Position(events, "2 stop DOOR.WAV"), events.size()) << ::testing::PrintToString(events);
  EXPECT_EQ(Position(events, "2 end DOOR.WAV"), events.size());
  EXPECT_EQ(system_->sound()->AppliedVolume(SoundManager::kMusic), -6000);
}

// ---- Transitions and the picture format ----

TEST_F(DocsExamples, TheLooseSettingsExampleIsReadAndTheTransitionsShowBothPictures) {
  WriteSettings(Example("loose.ini"));
  LoosePictures();
  Script("MAIN.MES", Example("transition.tvs"));
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(system_->mainWindow().title(), "Night Train");
  EXPECT_TRUE(system_->graphics().g16());
  EXPECT_EQ(system_->sound()->GetChannelVolume(SoundManager::kMusic), -1000);
  EXPECT_EQ(system_->sound()->GetChannelVolume(SoundManager::kEffect1), -800);
  EXPECT_EQ(system_->sound()->GetChannelVolume(SoundManager::kVoice), -200);
  ExpectWholeScreen(kGreen);
  EXPECT_FALSE(system_->planes().redirect());
  // The picture's place and size.
  EXPECT_EQ(vars().Word(kWordPictureWidth), 640);
  EXPECT_EQ(vars().Word(kWordPictureHeight), 480);
}

TEST_F(DocsExamples, TheFirstPictureIsOnTheScreenBeforeTheDissolve) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  LoosePictures();
  // The example up to its pause.
  std::string source = Example("transition.tvs");
  source.resize(source.find("    SYSCALL 11, 400"));
  Script("MAIN.MES", source + "    END\n");
  EXPECT_EQ(Run(), 0);
  ExpectWholeScreen(kBlue);
  EXPECT_FALSE(system_->planes().redirect());
}

TEST_F(DocsExamples, PicturesOfTheOtherLayoutDrawNothingAndTheMakerIsTold) {
  LoosePictures();
  Script("MAIN.MES", Example("transition.tvs"));
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(system_->graphics().g16());
  EXPECT_TRUE(Boxes().empty());
  ExpectWholeScreen(0x0000);
  const auto& warnings = system_->makerWarnings();
  ASSERT_EQ(warnings.size(), 1u) << ::testing::PrintToString(warnings);
  EXPECT_NE(warnings[0].find("\"ROOM1.G16\" is a G16 picture"), std::string::npos);
  EXPECT_NE(warnings[0].find("set bBGTYPE=1"), std::string::npos);
}

TEST_F(DocsExamples, ARawPictureWithG16ChosenIsNamedToo) {
  // A raw picture of 4 x 2 at (0, 0): two rows of 8 bytes from offset 54.
  std::vector<uint8_t> raw(600, 0);
  bytes::StoreLe32(raw, 564, 4);
  bytes::StoreLe32(raw, 568, 2);
  WriteBytes("RAW.BMP", raw);
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  Script("MAIN.MES", "    SYSCALL 8, \"RAW.BMP\"\n    END\n");
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(system_->makerWarnings().size(), 1u);
  EXPECT_NE(system_->makerWarnings()[0].find("set bBGTYPE=0"), std::string::npos);
  // The same picture with the raw layout chosen, and a G16 one with G16: not a word.
  WriteSettings("[GRAPHICS]\nbBGTYPE=0\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(system_->makerWarnings().empty());
}

// ---- Save and load ----

TEST_F(DocsExamples, ALoadStartsTheSavedScriptAgainFromItsFirstByte) {
  Script("MAIN.MES", Example("save_load.tvs"));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 2);  // started twice
  EXPECT_EQ(R16('B'), 7);  // as saved
  EXPECT_EQ(R16('C'), 0);  // the line after the load never ran
  EXPECT_EQ(vars().Flag(10), 1);
  EXPECT_EQ(fs::file_size(dir() / "FLAG01"), 4096u);
}

// ---- The text window and the choice ----

TEST_F(DocsExamples, TheTextWindowIsClearedByCopyingTheCleanPictureBack) {
  Script("MAIN.MES", Example("text_window.tvs"));
  EXPECT_EQ(Run("1000 key down Enter\n1100 key up Enter\n"), 0);
  EXPECT_FALSE(timed_out_);
  // The window and the cursor after "第二页。": four characters of 16 pixels.
  EXPECT_EQ(vars().Word(kWordWindowLeft), 40);
  EXPECT_EQ(vars().Word(kWordWindowBottom), 460);
  EXPECT_EQ(vars().Word(kWordLineAdvance), 20);
  EXPECT_EQ(vars().Word(kWordCursorX), 40 + 4 * 16);
  EXPECT_EQ(vars().Word(kWordCursorY), 392);
  // The first line holds the second page; the second line of the first page is gone.
  EXPECT_GT(Others(40, 392, 639, 411, 0x0C63), 0);
  EXPECT_EQ(Others(0, 412, 639, 479, 0x0C63), 0);
  EXPECT_EQ(Others(0, 0, 639, 391, 0x0C63), 0);
}

TEST_F(DocsExamples, TheChoiceFollowsThePointerAndTakesTheClick) {
  Script("MAIN.MES", Example("choice.tvs"));
  // Over the left choice, then over the right one, and a click there.
  EXPECT_EQ(Run("200 mouse move 150 210\n"
                "400 mouse move 400 210\n"
                "600 mouse down left\n"
                "700 mouse up left\n"),
            0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('C'), 2);
  // The right choice is highlighted (white behind black text), the left one is not.
  EXPECT_EQ(system_->finalScreen.At(340, 200), 0x7FFF);
  EXPECT_EQ(system_->finalScreen.At(539, 223), 0x7FFF);
  EXPECT_EQ(system_->finalScreen.At(100, 200), 0x0000);
  EXPECT_EQ(system_->finalScreen.At(299, 223), 0x0000);
  EXPECT_GT(Others(340, 200, 539, 223, 0x7FFF), 0);  // the text, inverted
}

// ---- A packed game ----

class PackedGame : public DocsExamples {
 protected:
  void Pack(std::string_view main_script) {
    WriteSettings(Example("packed.ini"));
    LzssEncoder encoder;
    const auto code = Assembled(main_script);
    WriteBytes("MES.ARC", BuildArchive({{"MAIN.MES", encoder.Encode(code)}}));
    WriteBytes("BG.ARC",
               BuildArchive({{"ROOM1.G16", SolidG16(kBlue)}, {"ROOM2.G16", SolidG16(kGreen)}}));
    const std::vector<uint8_t> table = {1, 2, 3, 4};
    WriteBytes("DATA.ARC", BuildArchive({{"TABLE.DAT", encoder.Encode(table)}}));
    WriteBytes("BGM.ARC", BuildArchive({{"TITLE.WAV", PcmFile(Tone(220, 0.5))},
                                        {"DOOR.WAV", PcmFile(Tone(900, 0.2))}}));
    WriteBytes("VOICE.ARC", BuildArchive({{"V0001.WAV", VoiceFile(0.3)}}));
  }
};

TEST_F(PackedGame, PicturesComeFromTheArchives) {
  Pack("transition.tvs");
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
  ExpectWholeScreen(kGreen);
}

TEST_F(PackedGame, SoundsComeFromTheArchives) {
  Pack("sound.tvs");
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
  const auto events = SoundEvents();
  for (const char* played : {"0 play TITLE.WAV", "1 play V0001.WAV", "2 play DOOR.WAV"})
    EXPECT_LT(Position(events, played), events.size()) << played;
}

TEST_F(PackedGame, AnArchiveWithoutItsNameKeyIsLookedForUnderTheDefaultName) {
  Pack("sound.tvs");
  WriteSettings("[FILE]\nbARCMES=1\n[MES]\nbMESTYPE=1\n");  // no ARCMESNAME: CHS.ARC
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / CHS.ARC"});
  EXPECT_TRUE(SoundEvents().empty());
}

}  // namespace
}  // namespace tvx::testing
