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

TEST(DemoAssets, SoundsAreInTheEnginesFormatLevelledAndLoopSeamlessly) {
  struct Expect {
    const char* name;
    double minSeconds, maxSeconds;
    bool loops;
  };
  const Expect expected[] = {
      {"M_TITLE.wav", 30, 40, true},   {"M_TOWN.wav", 30, 40, true},
      {"M_CAVE.wav", 20, 30, true},    {"M_END.wav", 38, 42, true},
      {"S_WAVES.wav", 5, 7, true},     {"S_GULL.wav", 0.5, 3, false},
      {"S_STEP.wav", 0.8, 1.2, false}, {"S_DOOR.wav", 0.8, 3, false},
      {"S_CHIME.wav", 0.3, 2, false},  {"S_LAMP.wav", 0.5, 3, false},
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
  const std::set<std::string> screens = {"TITLE.png", "HARBOR.png", "HARBOR2.png",
                                         "COAST.png", "TUNNEL.png", "ROOM.png",
                                         "LAMP.png",  "ENDING.png", "FOG.png"};
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
  ASSERT_EQ(sheet.width, 800u);
  ASSERT_EQ(sheet.height, 480u);
  // Each picture shows one phase of its animation, so one frame is exactly its pixels, and
  // the other frames differ from it (something moves).
  EXPECT_TRUE(FrameMatchesPicture(sheet, 200, 0, kTitleBeam, title));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 0, 0, kTitleBeam, title));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 0, 240, kCoastWaves, coast));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 0, 300, kCoastWaves, coast));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 640, 240, kCoastGull, coast));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 672, 240, kCoastGull, coast));
  EXPECT_TRUE(FrameMatchesPicture(sheet, 640, 280, kRoomFlame, room));
  EXPECT_FALSE(FrameMatchesPicture(sheet, 664, 280, kRoomFlame, room));
  // Around the frames the sheet is the key colour.
  EXPECT_EQ(sheet.At(799, 479), 31 << 10 | 31);
  EXPECT_EQ(sheet.At(780, 300), 31 << 10 | 31);
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
