// The demo's pictures and sounds as the build made them: sizes, levels, seamless loops, the
// key colour kept out of faces, animation frames that fit their pictures, a generator that
// makes the same bytes every run, and a game folder that holds every file the scripts name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "demo/generator/asset_catalog.h"
#include "demo/generator/scenes.h"
#include "demo/generator/sounds.h"
#include "tools/arc_reader.h"
#include "tools/png_io.h"
#include "tools/wav/wav_data.h"

namespace tvx::demo {
namespace {

const std::filesystem::path kGenerated = TALVEX_DEMO_GENERATED;
const std::filesystem::path kGame = TALVEX_GAME_DIR;

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

tool::Picture555 ReadPicture(const std::string& name) {
  std::string error;
  auto picture = tool::ReadPngFile((kGenerated / name).string(), error);
  EXPECT_TRUE(picture) << error;
  return picture ? *picture : tool::Picture555{};
}

std::vector<float> ReadSamples(const std::string& name, tool::WavData& wav) {
  std::string error;
  auto read = tool::ReadWav(ReadFile(kGenerated / name), error);
  EXPECT_TRUE(read) << name << ": " << error;
  if (!read) return {};
  wav = *read;
  return wav.channels.at(0);
}

// The value at `share` (0..1) of the sorted magnitudes.
float Percentile(std::vector<float> values, double share) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
}

// "A30_01" … "A30_13": the pictures of the dawn, step 1 … 13.
std::string DawnName(int step) {
  return "A30_" + std::string(step < 10 ? "0" : "") + std::to_string(step);
}

// How often the sound crosses zero per second between two times: its pitch, roughly.
double Crossings(const std::vector<float>& s, double from, double to) {
  size_t first = static_cast<size_t>(from * 22050), last = static_cast<size_t>(to * 22050);
  int count = 0;
  for (size_t i = first + 1; i < last && i < s.size(); ++i) {
    if ((s[i - 1] < 0) != (s[i] < 0)) ++count;
  }
  return count / (to - from);
}

TEST(DemoAssets, TheInterfaceSoundsBonkLowAndTheWindowBlipsRiseAndFall) {
  tool::WavData wav;
  std::vector<float> bonk = ReadSamples("ERROR.wav", wav);
  std::vector<float> open = ReadSamples("WINOPN.wav", wav);
  std::vector<float> close = ReadSamples("WINCLS.wav", wav);
  ASSERT_FALSE(bonk.empty() || open.empty() || close.empty());
  // The bonk is low (a few hundred crossings a second: under 300 Hz), and soft: it dies away.
  EXPECT_LT(Crossings(bonk, 0.01, 0.15), 600);
  auto level = [](const std::vector<float>& s, double from, double to) {
    float peak = 0;
    for (size_t i = static_cast<size_t>(from * 22050); i < static_cast<size_t>(to * 22050); ++i) {
      peak = std::max(peak, std::abs(s[i]));
    }
    return peak;
  };
  EXPECT_LT(level(bonk, 0.2, 0.24), level(bonk, 0.0, 0.05) / 4);
  // The opening blip's second note is higher than its first; the closing one's lower.
  EXPECT_GT(Crossings(open, 0.12, 0.18), Crossings(open, 0.01, 0.06) * 1.3);
  EXPECT_LT(Crossings(close, 0.12, 0.18), Crossings(close, 0.01, 0.06) / 1.3);
}

TEST(DemoAssets, SoundsAreInTheEnginesFormatLevelledAndLoopSeamlessly) {
  struct Expect {
    const char* name;
    double minSeconds, maxSeconds;
    bool loops;
  };
  const Expect expected[] = {
      {"M_TITLE.wav", 30, 40, true},     {"M_TOWN.wav", 30, 40, true},
      {"M_CAVE.wav", 20, 30, true},      {"M_END.wav", 38, 42, true},
      {"S_WAVES.wav", 5, 7, true},       {"S_GULL.wav", 0.5, 3, false},
      {"S_STEP.wav", 0.8, 1.2, false},   {"S_DOOR.wav", 0.8, 3, false},
      {"S_CHIME.wav", 0.3, 2, false},    {"S_LAMP.wav", 0.5, 3, false},
      {"ERROR.wav", 0.2, 0.3, false},    {"WINOPN.wav", 0.15, 0.25, false},
      {"WINCLS.wav", 0.15, 0.25, false},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.name);
    tool::WavData wav;
    std::vector<float> s = ReadSamples(e.name, wav);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(wav.format.tag, 1);
    EXPECT_EQ(wav.format.channels, 1);
    EXPECT_EQ(wav.format.samplesPerSec, 22050u);
    EXPECT_EQ(wav.format.bitsPerSample, 16);
    double seconds = static_cast<double>(s.size()) / 22050;
    EXPECT_GE(seconds, e.minSeconds);
    EXPECT_LE(seconds, e.maxSeconds);
    // Loud enough to hear, never clipped, no offset.
    double sum = 0, squares = 0;
    float peak = 0;
    for (float v : s) {
      sum += v;
      squares += double{v} * v;
      peak = std::max(peak, std::abs(v));
    }
    double mean = sum / static_cast<double>(s.size());
    double rms = std::sqrt(squares / static_cast<double>(s.size()));
    EXPECT_LT(peak, 0.9f);
    EXPECT_GT(peak, 0.3f);
    EXPECT_GT(rms, 0.02);
    EXPECT_LT(rms, 0.35);
    EXPECT_LT(std::abs(mean), 0.002);
    ASSERT_EQ(wav.loop.has_value(), e.loops);
    if (!e.loops) {
      // Sounds played once start and end in silence, without a click.
      EXPECT_LT(std::abs(s.front()), 0.01f);
      EXPECT_LT(std::abs(s.back()), 0.01f);
      continue;
    }
    // The loop is the whole file, and its end runs into its start as any two neighbouring
    // samples do: the jump and the bend at the join are no larger than nearly all others.
    EXPECT_EQ(wav.loop->start, 0u);
    EXPECT_EQ(wav.loop->end, s.size());
    std::vector<float> steps, bends;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
      steps.push_back(std::abs(s[i] - s[i - 1]));
      bends.push_back(std::abs(s[i + 1] - 2 * s[i] + s[i - 1]));
    }
    size_t n = s.size();
    float joinStep = std::abs(s[0] - s[n - 1]);
    float joinBends =
        std::max(std::abs(s[0] - 2 * s[n - 1] + s[n - 2]), std::abs(s[1] - 2 * s[0] + s[n - 1]));
    EXPECT_LE(joinStep, Percentile(steps, 0.999));
    EXPECT_LE(joinBends, Percentile(bends, 0.999));
  }
}

TEST(DemoAssets, PicturesHaveTheirSizesAndFacesKeepTheKeyColourOutside) {
  std::set<std::string> screens = {"TITLE.png",  "HARBOR.png", "HARBOR2.png", "COAST.png",
                                   "TUNNEL.png", "ROOM.png",   "LAMP.png",    "LAMP2.png",
                                   "ENDING.png", "FOG.png"};
  for (int step = 1; step <= kDawnSteps; ++step) screens.insert(DawnName(step) + ".png");
  for (const std::string& name : screens) {
    tool::Picture555 p = ReadPicture(name);
    EXPECT_EQ(p.width, 640u) << name;
    EXPECT_EQ(p.height, 480u) << name;
  }
  tool::Picture555 panel = ReadPicture("PANEL.png");
  EXPECT_EQ(panel.width, 640u);
  EXPECT_EQ(panel.height, 92u);
  tool::Picture555 items = ReadPicture("ITEMS.png");
  EXPECT_EQ(items.width, 320u);
  EXPECT_EQ(items.height, 32u);

  const uint16_t key = 31 << 10 | 31;
  tool::Picture555 faces = ReadPicture("FACES.png");
  ASSERT_EQ(faces.width, 480u);
  ASSERT_EQ(faces.height, 320u);
  for (uint32_t row = 0; row < 2; ++row) {
    for (uint32_t column = 0; column < 3; ++column) {
      SCOPED_TRACE(testing::Message() << "face " << row << "," << column);
      uint32_t ox = column * 160, oy = row * 160;
      // The corners are the key, the face from brow to chin none of it, and the silhouette
      // is one piece: every row is key, face, key, without holes of key colour inside.
      EXPECT_EQ(faces.At(ox, oy), key);
      EXPECT_EQ(faces.At(ox + 159, oy), key);
      for (uint32_t y = oy + 30; y < oy + 160; ++y) {
        uint32_t first = ox + 160, last = ox;
        for (uint32_t x = ox; x < ox + 160; ++x) {
          if (faces.At(x, y) != key) {
            first = std::min(first, x);
            last = std::max(last, x);
          }
        }
        ASSERT_LT(first, last) << "row " << y;
        for (uint32_t x = first; x <= last; ++x) {
          ASSERT_NE(faces.At(x, y), key) << "a key pixel inside the face at " << x << "," << y;
        }
      }
    }
  }
}

// The frame's block of the sheet equals the picture's block where the frame is drawn.
bool FrameMatchesPicture(const tool::Picture555& sheet, int sx, int sy, const Rect& place,
                         const tool::Picture555& picture) {
  for (int y = 0; y < place.height; ++y) {
    for (int x = 0; x < place.width; ++x) {
      if (sheet.At(sx + x, sy + y) != picture.At(place.x + x, place.y + y)) return false;
    }
  }
  return true;
}

TEST(DemoAssets, AnimationFramesFitThePicturesTheyAreDrawnOver) {
  tool::Picture555 sheet = ReadPicture("ANIMS.png");
  tool::Picture555 title = ReadPicture("TITLE.png");
  tool::Picture555 coast = ReadPicture("COAST.png");
  tool::Picture555 room = ReadPicture("ROOM.png");
  tool::Picture555 lamp2 = ReadPicture("LAMP2.png");
  ASSERT_EQ(sheet.width, 800u);
  ASSERT_EQ(sheet.height, 880u);
  // Each picture shows one phase of its animation, so one frame is exactly its pixels, and
  // the other frames differ from it (something moves).
  EXPECT_TRUE(FrameMatchesPicture(sheet, 200, 0, kTitleBeam, title));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 0, 0, kTitleBeam, title));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 0, 240, kCoastWaves, coast));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 320, 240, kCoastWaves, coast));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 0, 304, kCoastWaves, coast));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 640, 240, kCoastGull, coast));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 672, 240, kCoastGull, coast));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 640, 280, kRoomFlame, room));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 664, 280, kRoomFlame, room));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 0, 368, kLampBeamLeft, lamp2));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 0, 624, kLampBeamRight, lamp2));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 176, 368, kLampBeamLeft, lamp2));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 176, 624, kLampBeamRight, lamp2));
  // LAMP2 is LAMP lit: the same room, the lens far brighter.
  tool::Picture555 lamp = ReadPicture("LAMP.png");
  auto brightness = [](const tool::Picture555& p, uint32_t x, uint32_t y) {
    uint16_t c = p.At(x, y);
    return (c >> 10 & 31) + (c >> 5 & 31) + (c & 31);
  };
  EXPECT_GT(brightness(lamp2, 320, 215), brightness(lamp, 320, 215) + 30);
  EXPECT_GT(brightness(lamp2, 250, 180), brightness(lamp, 250, 180) + 20);
  // Around the frames the sheet is the key colour.
  EXPECT_EQ(sheet.At(799, 479), 31 << 10 | 31);
  EXPECT_EQ(sheet.At(780, 300), 31 << 10 | 31);
}

// The message window covers the screen from y 388 down; the faces stand at (24, 228) and
// (456, 228), 160 × 160.
constexpr int kMessageTop = 388;
constexpr Rect kFacePlaces[] = {{24, 228, 160, 160}, {456, 228, 160, 160}};

bool Overlaps(const Rect& a, const Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// ANIM.DAT as the build made it: the frames' records and the slots' programs.
class AnimationData {
 public:
  explicit AnimationData(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  size_t Size() const { return bytes_.size(); }
  uint16_t U16(size_t at) const {
    return at + 1 < bytes_.size() ? bytes_[at] | bytes_[at + 1] << 8 : 0;
  }
  uint32_t ProgramOffset(int slot) const {
    size_t at = 2 + 4 * static_cast<size_t>(slot);
    return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16;
  }
  // The frames a slot's program draws, in order, up to its restart or end.
  std::vector<int> Frames(int slot) const {
    std::vector<int> frames;
    for (size_t at = ProgramOffset(slot); at + 1 < bytes_.size(); at += 2) {
      uint16_t command = U16(at);
      if (command == 3 || command == 4 || command == 65535) break;
      if (command == 2 || command == 5 || command == 7) at += 2;  // the command's operand
      if (command >= 20) frames.push_back(command);
    }
    return frames;
  }
  uint8_t Type(int frame) const { return bytes_.at(62 + 17 * static_cast<size_t>(frame)); }
  Rect Source(int frame) const {
    size_t at = 62 + 17 * static_cast<size_t>(frame) + 1;
    return {U16(at), U16(at + 2), U16(at + 4), U16(at + 6)};
  }
  Rect Place(int frame) const {
    size_t at = 62 + 17 * static_cast<size_t>(frame) + 1;
    return {U16(at + 8), U16(at + 10), U16(at + 4), U16(at + 6)};
  }

 private:
  std::vector<uint8_t> bytes_;
};

TEST(DemoAssets, AnimationSlotsDrawTheirFramesInsideTheSheetAndClearOfTheMessageWindow) {
  AnimationData anim(ReadFile(kGame / "ANIM.DAT"));
  ASSERT_GT(anim.Size(), 62u + 17 * 78);
  tool::Picture555 sheet = ReadPicture("ANIMS.png");
  tool::Picture555 lamp2 = ReadPicture("LAMP2.png");
  for (int slot = 0; slot <= 4; ++slot) {
    SCOPED_TRACE(testing::Message() << "slot 0 " << slot);
    ASSERT_NE(anim.ProgramOffset(slot), 0u);
    std::vector<int> frames = anim.Frames(slot);
    ASSERT_FALSE(frames.empty());
    for (int frame : frames) {
      SCOPED_TRACE(testing::Message() << "frame " << frame);
      Rect from = anim.Source(frame), to = anim.Place(frame);
      EXPECT_EQ(anim.Type(frame) >> 4, 1);  // copy
      EXPECT_GT(from.width * from.height, 0);
      EXPECT_LE(from.x + from.width, static_cast<int>(sheet.width));
      EXPECT_LE(from.y + from.height, static_cast<int>(sheet.height));
      EXPECT_LE(to.x + to.width, kScreenWidth);
      EXPECT_LE(to.y + to.height, kScreenHeight);
      // The surf (slot 1) and the lamp's beams (slot 4) play while the story's text shows:
      // they stay above the message window, and the beams off the faces.
      if (slot == 1 || slot == 4) {
        EXPECT_LE(to.y + to.height, kMessageTop);
      }
      if (slot == 4) {
        for (const Rect& face : kFacePlaces) EXPECT_FALSE(Overlaps(to, face));
      }
      // No frame holds the key colour: each is a block of its picture.
      EXPECT_NE(sheet.At(from.x, from.y), 31 << 10 | 31);
      EXPECT_NE(sheet.At(from.x + from.width - 1, from.y + from.height - 1), 31 << 10 | 31);
    }
  }
  // The lamp's slot: eight steps, each its left and its right beam, the first as LAMP2 shows.
  std::vector<int> beams = anim.Frames(4);
  ASSERT_EQ(beams.size(), 16u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(beams[2 * i], 60 + i);
    EXPECT_EQ(beams[2 * i + 1], 70 + i);
  }
  for (int frame : {60, 70}) {
    Rect from = anim.Source(frame);
    EXPECT_TRUE(FrameMatchesPicture(sheet, from.x, from.y, anim.Place(frame), lamp2)) << frame;
  }
  EXPECT_EQ(anim.Place(60).x, kLampBeamLeft.x);
  EXPECT_EQ(anim.Place(70).x, kLampBeamRight.x);
}

TEST(DemoAssets, TheDawnBrightensInThirteenStepsToTheEndingAndFitsPlaneOne) {
  // Each step lighter than the one before, from a dark night to the ENDING's morning.
  auto mean = [](const tool::Picture555& p) {
    double sum = 0;
    for (uint32_t y = 0; y < p.height; ++y) {
      for (uint32_t x = 0; x < p.width; ++x) {
        uint16_t c = p.At(x, y);
        sum += (c >> 10 & 31) + (c >> 5 & 31) + (c & 31);
      }
    }
    return sum / (3.0 * 31 * p.width * p.height);
  };
  double previous = 0;
  for (int step = 1; step <= kDawnSteps; ++step) {
    double m = mean(ReadPicture(DawnName(step) + ".png"));
    EXPECT_GT(m, previous) << DawnName(step);
    previous = m;
    if (step == 1) {
      EXPECT_LT(m, 0.25);
    }
  }
  tool::Picture555 last = ReadPicture(DawnName(kDawnSteps) + ".png");
  tool::Picture555 ending = ReadPicture("ENDING.png");
  EXPECT_EQ(last.pixels, ending.pixels);
  // The engine loads the first twelve one after another into plane 1's pixel memory
  // (1000 × 1760 16-bit pixels): their stored sizes must fit it together.
  tool::ArcReader pictures;
  std::string error;
  ASSERT_TRUE(pictures.Open((kGame / "BG.ARC").string(), error)) << error;
  uint64_t total = 0;
  int found = 0;
  for (const auto& item : pictures.Items()) {
    std::string name(item.entry.Name());
    if (name.starts_with("A30_") && name != "A30_13.G16") {
      total += item.entry.size;
      ++found;
    }
  }
  EXPECT_EQ(found, 12);
  EXPECT_LE(total, 3'520'000u);
}

TEST(DemoAssets, TheGeneratorMakesTheSameBytesAsTheBuildDid) {
  // A fresh run of a few assets (each kind of painting and sound) against the build's files.
  for (const char* name : {"PANEL.png", "ITEMS.png", "FACES.png", "S_CHIME.wav", "S_STEP.wav"}) {
    std::vector<uint8_t> made = MakeAsset(name);
    ASSERT_FALSE(made.empty()) << name;
    EXPECT_EQ(made, ReadFile(kGenerated / name)) << name;
    EXPECT_EQ(made, MakeAsset(name)) << name;
  }
  EXPECT_TRUE(MakeAsset("NOPE.png").empty());
}

TEST(DemoAssets, TheStandInVoiceHumsEverySyllableAndPausesAtPunctuation) {
  // 孩子，雾要来了。: two syllables, a comma, four syllables, a full stop.
  Sound line = MakeMurmur("孩子，雾要来了。", 1);
  const double syllable = 0.3, lead = 0.2;
  ASSERT_FALSE(line.loop.has_value());
  EXPECT_NEAR(static_cast<double>(line.samples.size()) / kSampleRate, lead + 8 * syllable + 0.3,
              0.01);
  auto loudness = [&](int index) {
    size_t first = static_cast<size_t>((lead + index * syllable) * kSampleRate);
    size_t count = static_cast<size_t>(syllable * kSampleRate);
    double squares = 0;
    for (size_t i = first; i < first + count; ++i)
      squares += static_cast<double>(line.samples[i]) * line.samples[i];
    return std::sqrt(squares / static_cast<double>(count)) / 32768;
  };
  for (int spoken : {0, 1, 3, 4, 5, 6}) EXPECT_GT(loudness(spoken), 0.03) << spoken;
  EXPECT_EQ(loudness(2), 0.0);  // the comma
  EXPECT_EQ(loudness(7), 0.0);  // the full stop
  // A longer line lasts longer; the same line and seed give the same sound.
  EXPECT_GT(MakeMurmur("你好，请问陈伯住在这里吗？", 1).samples.size(), line.samples.size());
  EXPECT_EQ(MakeMurmur("孩子，雾要来了。", 1).samples, line.samples);
}

std::set<std::string> ArchiveNames(const std::string& archive) {
  tool::ArcReader reader;
  std::string error;
  EXPECT_TRUE(reader.Open((kGame / archive).string(), error)) << error;
  std::set<std::string> names;
  for (const auto& item : reader.Items()) names.insert(std::string(item.entry.Name()));
  return names;
}

TEST(DemoAssets, TheGameFolderHoldsEveryPictureSoundVoiceAndDataFile) {
  std::set<std::string> pictures = ArchiveNames("BG.ARC");
  std::set<std::string> sounds = ArchiveNames("BGM.ARC");
  for (const Asset& asset : Assets()) {
    std::string stem(asset.file);
    stem = stem.substr(0, stem.find('.'));
    EXPECT_LE(stem.size(), 8u) << asset.file;
    if (asset.kind == AssetKind::kGamePicture) {
      EXPECT_TRUE(pictures.count(stem + ".G16")) << stem;
    }
    if (asset.kind == AssetKind::kSound) {
      EXPECT_TRUE(sounds.count(stem + ".WAV")) << stem;
    }
  }
  // A voice for every line of the list, whatever it holds.
  std::set<std::string> voices = ArchiveNames("VOICE.ARC");
  std::ifstream lines(std::filesystem::path(TALVEX_SOURCE_DIR) / "demo/voice/lines.txt");
  std::string line;
  size_t listed = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#' || line.find('\t') == std::string::npos) continue;
    std::string name = line.substr(0, line.find('\t')) + ".WAV";
    EXPECT_TRUE(voices.count(name)) << name;
    ++listed;
  }
  EXPECT_GE(listed, 5u);
  EXPECT_EQ(voices.size(), listed);
  EXPECT_TRUE(ArchiveNames("CHS.ARC").count("MAIN.MES"));
  // The music keeps its loop through the build's conversion.
  tool::ArcReader music;
  std::string error;
  ASSERT_TRUE(music.Open((kGame / "BGM.ARC").string(), error)) << error;
  for (const auto& item : music.Items()) {
    std::string name(item.entry.Name());
    auto bytes = music.ReadData(item);
    ASSERT_TRUE(bytes) << name;
    auto wav = tool::ReadWav(*bytes, error);
    ASSERT_TRUE(wav) << name << ": " << error;
    bool loops = name.starts_with("M_") || name == "S_WAVES.WAV";
    EXPECT_EQ(wav->loop.has_value(), loops) << name;
    if (loops) {
      EXPECT_EQ(wav->loop->end, wav->Frames()) << name;
    }
  }
  // The maze and the animations lie loose, at their formats' sizes.
  EXPECT_EQ(std::filesystem::file_size(kGame / "PAL.DAT"), 32u);
  for (const char* set : {"WALL1.DAT", "WALL2.DAT", "WALL3.DAT"}) {
    EXPECT_EQ(std::filesystem::file_size(kGame / set), 966624u) << set;
  }
  EXPECT_EQ(std::filesystem::file_size(kGame / "MAP.DAT"), 4u + 7 * 7 * 4);
  EXPECT_GT(std::filesystem::file_size(kGame / "ANIM.DAT"), 0u);
}

TEST(DemoAssets, TheMazeLeadsFromItsStartToEveryCellAndTheWayOut) {
  // MAP.DAT: u16 width, u16 height, then per cell a u16 of walls (north in bits 12-15, east
  // 8-11, south 4-7, west 0-3), the event byte and a spare byte. A wall with bit 3 set
  // cannot be walked through.
  std::vector<uint8_t> map = ReadFile(kGame / "MAP.DAT");
  ASSERT_GE(map.size(), 4u);
  const int width = map[0] | map[1] << 8;
  const int height = map[2] | map[3] << 8;
  ASSERT_EQ(map.size(), 4u + static_cast<size_t>(width) * height * 4);
  auto cell = [&](int x, int y) { return 4 + static_cast<size_t>(y * width + x) * 4; };
  auto walls = [&](int x, int y) { return map[cell(x, y)] | map[cell(x, y) + 1] << 8; };
  constexpr int kDx[4] = {0, 1, 0, -1};  // north, east, south, west
  constexpr int kDy[4] = {-1, 0, 1, 0};
  std::vector<bool> seen(static_cast<size_t>(width) * height, false);
  std::vector<std::pair<int, int>> queue = {{0, 0}};
  seen[0] = true;
  std::set<int> events;
  int deadEnds = 0;
  for (size_t next = 0; next < queue.size(); ++next) {
    auto [x, y] = queue[next];
    if (map[cell(x, y) + 2] != 0) events.insert(map[cell(x, y) + 2]);
    int ways = 0;
    for (int side = 0; side < 4; ++side) {
      int wall = walls(x, y) >> (12 - 4 * side) & 0xF;
      int nx = x + kDx[side], ny = y + kDy[side];
      if (wall & 8) continue;
      // No open side leads off the map.
      ASSERT_TRUE(nx >= 0 && ny >= 0 && nx < width && ny < height) << x << "," << y;
      ++ways;
      if (!seen[static_cast<size_t>(ny * width + nx)]) {
        seen[static_cast<size_t>(ny * width + nx)] = true;
        queue.push_back({nx, ny});
      }
    }
    if (ways == 1) ++deadEnds;
  }
  EXPECT_EQ(queue.size(), seen.size());  // every cell can be reached
  EXPECT_TRUE(events.count(9));          // the way out
  EXPECT_GE(deadEnds, 1);
}

}  // namespace
}  // namespace tvx::demo
