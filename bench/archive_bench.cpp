// Archive speed: LZSS decoding against a plain byte-at-a-time decoder built with the same
// flags, lookups in a 2000-entry index, and loading a 128 KB compressed script.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_set.h"
#include "archive/lzss_decoder.h"
#include "archive/lzss_encoder.h"
#include "platform/file.h"
#include "platform/headless/headless_backend.h"
#include "platform/platform.h"
#include "resources/byte_order.h"
#include "script/variable_area.h"

namespace {

std::vector<uint8_t> TextLike(size_t size) {
  static const char* words[] = {"the ", "train ",  "left ",  "at ",       "night ",    "and ",
                                "she ", "waited ", "by ",    "window, ",  "watching ", "lights.\n",
                                "「",   "」",      "他说：", "我们走吧。"};
  std::mt19937 random(1);
  std::vector<uint8_t> out;
  while (out.size() < size) {
    const std::string w = words[random() % std::size(words)];
    out.insert(out.end(), w.begin(), w.end());
  }
  out.resize(size);
  return out;
}

std::vector<uint8_t> PictureLike(int width, int height) {
  // A soft gradient with some noise, 16-bit 5-5-5 pixels, as a painted background is.
  std::mt19937 random(2);
  std::vector<uint8_t> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int r = (x * 31 / width + (random() % 3 == 0)) & 31;
      const int g = (y * 31 / height) & 31;
      const int b = ((x + y) / 40) & 31;
      const uint16_t pixel = static_cast<uint16_t>(r << 10 | g << 5 | b);
      out.push_back(static_cast<uint8_t>(pixel));
      out.push_back(static_cast<uint8_t>(pixel >> 8));
    }
  return out;
}

// The textbook decoder: one byte at a time through getc-like reads.
size_t ReferenceDecode(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
  std::array<uint8_t, 4096> ring{};
  size_t r = 4078, ip = 0, op = 0;
  unsigned flags = 0;
  auto get = [&]() -> int { return ip < in.size() ? in[ip++] : -1; };
  for (;;) {
    if (((flags >>= 1) & 256) == 0) {
      const int c = get();
      if (c < 0) break;
      flags = static_cast<unsigned>(c) | 0xFF00;
    }
    if (flags & 1) {
      const int c = get();
      if (c < 0) break;
      out[op++] = static_cast<uint8_t>(c);
      ring[r++] = static_cast<uint8_t>(c);
      r &= 4095;
    } else {
      const int i = get();
      const int j = get();
      if (i < 0 || j < 0) break;
      const int pos = i | ((j & 0xF0) << 4);
      const int len = (j & 0x0F) + 2;
      for (int k = 0; k <= len; ++k) {
        const uint8_t c = ring[(pos + k) & 4095];
        out[op++] = c;
        ring[r++] = c;
        r &= 4095;
      }
    }
  }
  return op;
}

struct Corpus {
  std::vector<uint8_t> plain;
  std::vector<uint8_t> packed;
};

const Corpus& Get(bool picture) {
  static const Corpus text = [] {
    Corpus c{TextLike(1 << 20), {}};
    c.packed = tvx::LzssEncoder().Encode(c.plain);
    return c;
  }();
  static const Corpus pic = [] {
    Corpus c{PictureLike(640, 480), {}};
    c.packed = tvx::LzssEncoder().Encode(c.plain);
    return c;
  }();
  return picture ? pic : text;
}

void BM_Decode(benchmark::State& state) {
  const Corpus& corpus = Get(state.range(0) != 0);
  tvx::LzssDecoder decoder;
  std::vector<uint8_t> out(corpus.plain.size());
  for (auto _ : state) benchmark::DoNotOptimize(decoder.Decode(corpus.packed, out));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.plain.size()));
  state.SetLabel(state.range(0) ? "picture" : "text");
}
BENCHMARK(BM_Decode)->Arg(0)->Arg(1);

void BM_ReferenceDecode(benchmark::State& state) {
  const Corpus& corpus = Get(state.range(0) != 0);
  std::vector<uint8_t> out(corpus.plain.size() + 32);
  for (auto _ : state) benchmark::DoNotOptimize(ReferenceDecode(corpus.packed, out));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.plain.size()));
  state.SetLabel(state.range(0) ? "picture" : "text");
}
BENCHMARK(BM_ReferenceDecode)->Arg(0)->Arg(1);

// A game folder with a 2000-entry script archive whose last entry is a 128 KB script.
struct Game {
  std::filesystem::path dir;
  std::unique_ptr<tvx::VariableArea> variables = std::make_unique<tvx::VariableArea>();
  std::unique_ptr<tvx::ArchiveSet> archives;
  Game() {
    dir = std::filesystem::temp_directory_path() / "talvex-archive-bench";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    tvx::platform::SetProgramPathOverride((dir / "talvex").string());
    tvx::platform::Install(std::make_unique<tvx::platform::HeadlessBackend>());
    std::ofstream(dir / "TVXCHS.INI") << "[FILE]\nbARCMES=1\n[MES]\nbMESTYPE=1\n";
    const auto script = tvx::LzssEncoder().Encode(TextLike(128 * 1024));
    std::vector<uint8_t> index(2000 * tvx::arc::kEntrySize);
    uint32_t offset = static_cast<uint32_t>(4 + index.size());
    for (size_t i = 0; i < 2000; ++i) {
      tvx::arc::Entry entry;
      const std::string name = i == 1999 ? "MAIN.MES" : "S" + std::to_string(i) + ".MES";
      std::copy(name.begin(), name.end(), entry.name.begin());
      entry.size = i == 1999 ? static_cast<uint32_t>(script.size()) : 0;
      entry.offset = offset;
      tvx::arc::WriteEntry(index, i, entry);
    }
    tvx::arc::ScrambleIndex(index);
    std::vector<uint8_t> file;
    tvx::bytes::AppendLe32(file, 2000);
    file.insert(file.end(), index.begin(), index.end());
    file.insert(file.end(), script.begin(), script.end());
    std::ofstream(dir / "CHS.ARC", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    // Compressed input is staged at 0x20000, where the script machine puts it.
    tvx::bytes::StoreLe32(variables->bytes(), tvx::VariableArea::kSystemPointersOffset + 4,
                          0x20000);
    archives = std::make_unique<tvx::ArchiveSet>();
    archives->OpenAll(tvx::ArchiveOptions::Read(tvx::SettingsFile()));
  }
};

Game& TheGame() {
  static Game game;
  return game;
}

void BM_FindLastOf2000(benchmark::State& state) {
  Game& game = TheGame();
  for (auto _ : state) {
    std::string name = "main.mes";
    benchmark::DoNotOptimize(game.archives->Find(name, tvx::ArchiveRole::Mes));
  }
}
BENCHMARK(BM_FindLastOf2000);

void BM_LoadScript128KCompressed(benchmark::State& state) {
  Game& game = TheGame();
  for (auto _ : state) {
    std::string name = "MAIN.MES";
    if (!game.archives->LoadScript(name, game.variables->image().first(0x20000),
                                   game.variables->FileLoadSpace()))
      state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadScript128KCompressed)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
