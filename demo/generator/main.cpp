// talvex-demo-assets: paints and plays every picture and sound of the demo game.
//
//   talvex-demo-assets GAME_DIR MAZE_DIR            the game's files and the maze's sources
//   talvex-demo-assets --murmur LINES.txt VOICE_DIR  stand-in voices when there is no speech
//                                                    synthesiser
//
// The same bytes on every run: every asset has fixed seeds.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "demo/generator/asset_catalog.h"
#include "demo/generator/sounds.h"
#include "tools/text_files.h"
#include "tools/wav/wav_data.h"

namespace {

constexpr std::string_view kWho = "talvex-demo-assets";

int Generate(const std::filesystem::path& game_dir, const std::filesystem::path& maze_dir) {
  std::error_code ec;
  std::filesystem::create_directories(game_dir, ec);
  std::filesystem::create_directories(maze_dir, ec);
  auto assets = tvx::demo::Assets();
  // Two workers taking the next asset in turn: the assets are independent, and a build
  // machine has at least two cores.
  std::vector<std::vector<uint8_t>> bytes(assets.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < assets.size(); i = next++) {
      bytes[i] = tvx::demo::MakeAsset(assets[i].file);
    }
  };
  std::thread other(work);
  work();
  other.join();
  for (size_t i = 0; i < assets.size(); ++i) {
    const auto& dir = assets[i].kind == tvx::demo::AssetKind::kMazePicture ? maze_dir : game_dir;
    if (bytes[i].empty()) {
      std::cerr << kWho << ": could not make " << assets[i].file << "\n";
      return 1;
    }
    if (!tvx::tool::WriteOutput(kWho, (dir / assets[i].file).string(), bytes[i], std::cerr)) {
      return 1;
    }
  }
  std::cout << kWho << ": " << assets.size() << " files -> " << game_dir.string() << ", "
            << maze_dir.string() << "\n";
  return 0;
}

// LINES.txt holds NAME<TAB>text a line; each becomes VOICE_DIR/NAME.wav.
int Murmur(const std::string& lines_path, const std::filesystem::path& voice_dir) {
  std::ifstream in(lines_path);
  if (!in) {
    std::cerr << kWho << ": cannot read '" << lines_path << "'\n";
    return 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(voice_dir, ec);
  std::string line;
  uint32_t seed = 1;
  int count = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
    tvx::demo::Sound sound = tvx::demo::MakeMurmur(line.substr(tab + 1), seed++);
    auto bytes = tvx::tool::WritePcm16(sound.samples, tvx::demo::kSampleRate, std::nullopt);
    if (!tvx::tool::WriteOutput(kWho, (voice_dir / (line.substr(0, tab) + ".wav")).string(), bytes,
                                std::cerr)) {
      return 1;
    }
    ++count;
  }
  std::cout << kWho << ": " << count << " stand-in voices -> " << voice_dir.string() << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "--murmur") return Murmur(args[1], args[2]);
  if (args.size() == 2 && args[0][0] != '-') return Generate(args[0], args[1]);
  std::cerr << "usage: " << kWho << " GAME_DIR MAZE_DIR\n"
            << "       " << kWho << " --murmur LINES.txt VOICE_DIR\n";
  return 2;
}
