// LZSS encoder: speed (MB/s, from bytes processed) and compression ratio (packed / input, the
// "ratio" counter) on script-like text and picture-like pixels, next to the textbook
// binary-tree encoder (4096-byte ring, 18-byte look-ahead, greedy longest match) as the
// yardstick for the ratio. Goals: several MB/s, and a ratio no worse than the textbook one.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <vector>

#include "archive/lzss_decoder.h"
#include "archive/lzss_encoder.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The textbook encoder, for comparison only: one ring of N bytes with an F-byte mirror, a
// binary tree per first byte, and the longest match taken at every step.

class TextbookLzss {
 public:
  std::vector<uint8_t> Encode(std::span<const uint8_t> input) {
    std::vector<uint8_t> out;
    if (input.empty()) return out;
    std::fill(parent_.begin(), parent_.end(), kNil);
    std::fill(right_.begin() + kN + 1, right_.end(), kNil);
    std::fill(ring_.begin(), ring_.end(), 0);  // the decoder's ring starts cleared
    size_t next = 0;
    int s = 0;
    int r = kN - kF;
    int len = 0;
    while (len < kF && next < input.size()) ring_[r + len++] = input[next++];
    for (int i = 1; i <= kF; ++i) InsertNode(r - i);
    InsertNode(r);

    std::array<uint8_t, 17> group{};
    size_t group_size = 1;
    unsigned mask = 1;
    do {
      if (match_length_ > len) match_length_ = len;
      if (match_length_ <= kThreshold) {
        match_length_ = 1;
        group[0] |= static_cast<uint8_t>(mask);
        group[group_size++] = ring_[r];
      } else {
        group[group_size++] = static_cast<uint8_t>(match_position_);
        group[group_size++] = static_cast<uint8_t>(((match_position_ >> 4) & 0xF0) |
                                                   (match_length_ - kThreshold - 1));
      }
      if ((mask <<= 1) == 0x100) {
        out.insert(out.end(), group.begin(), group.begin() + static_cast<ptrdiff_t>(group_size));
        group[0] = 0;
        group_size = 1;
        mask = 1;
      }
      const int last_match_length = match_length_;
      int i = 0;
      for (; i < last_match_length && next < input.size(); ++i) {
        DeleteNode(s);
        ring_[s] = input[next++];
        if (s < kF - 1) ring_[s + kN] = ring_[s];
        s = (s + 1) & (kN - 1);
        r = (r + 1) & (kN - 1);
        InsertNode(r);
      }
      for (; i < last_match_length; ++i) {
        DeleteNode(s);
        s = (s + 1) & (kN - 1);
        r = (r + 1) & (kN - 1);
        if (--len > 0) InsertNode(r);
      }
    } while (len > 0);
    if (group_size > 1) {
      out.insert(out.end(), group.begin(), group.begin() + static_cast<ptrdiff_t>(group_size));
    }
    return out;
  }

 private:
  static constexpr int kN = 4096;
  static constexpr int kF = 18;
  static constexpr int kThreshold = 2;
  static constexpr int kNil = kN;

  void InsertNode(int r) {
    const uint8_t* key = &ring_[r];
    int p = kN + 1 + key[0];
    int cmp = 1;
    right_[r] = left_[r] = kNil;
    match_length_ = 0;
    for (;;) {
      if (cmp >= 0) {
        if (right_[p] == kNil) {
          right_[p] = r;
          parent_[r] = p;
          return;
        }
        p = right_[p];
      } else {
        if (left_[p] == kNil) {
          left_[p] = r;
          parent_[r] = p;
          return;
        }
        p = left_[p];
      }
      int i = 1;
      for (; i < kF; ++i) {
        cmp = key[i] - ring_[p + i];
        if (cmp != 0) break;
      }
      if (i > match_length_) {
        match_position_ = p;
        match_length_ = i;
        if (i >= kF) break;
      }
    }
    parent_[r] = parent_[p];
    left_[r] = left_[p];
    right_[r] = right_[p];
    parent_[left_[p]] = r;
    parent_[right_[p]] = r;
    if (right_[parent_[p]] == p) {
      right_[parent_[p]] = r;
    } else {
      left_[parent_[p]] = r;
    }
    parent_[p] = kNil;
  }

  void DeleteNode(int p) {
    if (parent_[p] == kNil) return;
    int q;
    if (right_[p] == kNil) {
      q = left_[p];
    } else if (left_[p] == kNil) {
      q = right_[p];
    } else {
      q = left_[p];
      if (right_[q] != kNil) {
        do q = right_[q];
        while (right_[q] != kNil);
        right_[parent_[q]] = left_[q];
        parent_[left_[q]] = parent_[q];
        left_[q] = left_[p];
        parent_[left_[p]] = q;
      }
      right_[q] = right_[p];
      parent_[right_[p]] = q;
    }
    parent_[q] = parent_[p];
    if (right_[parent_[p]] == p) {
      right_[parent_[p]] = q;
    } else {
      left_[parent_[p]] = q;
    }
    parent_[p] = kNil;
  }

  std::array<uint8_t, kN + kF - 1> ring_{};
  // Node kNil is a scratch slot written harmlessly; kN + 1 + c roots the tree of first byte c.
  std::array<int, kN + 1> left_{};
  std::array<int, kN + 257> right_{};
  std::array<int, kN + 1> parent_{};
  int match_position_ = 0;
  int match_length_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Inputs.

constexpr size_t kInputSize = size_t{1} << 20;

// A compiled-script-like mix: ASCII command words and names with GBK dialogue drawn from a
// few hundred common characters, most of them rare, as in a novel's text.
std::vector<uint8_t> ScriptText() {
  static const char* const kCommands[] = {
      "TEXT ",   "WAIT 30\r\n",      "BG \"ROOM01.G16\"\r\n", "SE \"DOOR.WAV\"\r\n",
      "CHOICE ", "NAME \"YUKI\"\r\n"};
  std::mt19937 rng(11);
  std::geometric_distribution<int> common(0.02);
  std::vector<uint8_t> text;
  while (text.size() < kInputSize) {
    const char* command = kCommands[rng() % std::size(kCommands)];
    text.insert(text.end(), command, command + std::char_traits<char>::length(command));
    const int characters = 8 + static_cast<int>(rng() % 30);
    text.push_back('"');
    for (int i = 0; i < characters; ++i) {
      const unsigned index = static_cast<unsigned>(common(rng)) % 600;
      text.push_back(static_cast<uint8_t>(0xB0 + index / 94));
      text.push_back(static_cast<uint8_t>(0xA1 + index % 94));
    }
    text.insert(text.end(), {'"', '\r', '\n'});
  }
  text.resize(kInputSize);
  return text;
}

// English prose: the licence text of this repository (about 18 KB).
std::vector<uint8_t> ProseText() {
  std::ifstream file(TALVEX_SAMPLE_TEXT, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A 640 x 480 picture of 16-bit pixels (5-6-5), drawn like a game's background: a sky
// gradient, flat shapes with outlines, a dithered soft shadow and a grainy floor. `dithered`
// converts the colours with a 4 x 4 ordered dither, as full-colour art brought down to 16 bits
// usually is.
std::vector<uint8_t> PicturePixels(bool dithered) {
  constexpr int kWidth = 640;
  constexpr int kHeight = 480;
  std::mt19937 rng(5);
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<size_t>(kWidth) * kHeight * 2);
  constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  int x = 0;
  int y = 0;
  const auto pack = [&](double r, double g, double b) {
    const double bias = dithered ? (kBayer[y & 3][x & 3] + 0.5) / 16.0 : 0.0;
    const auto level = [&](double v, unsigned top) {
      return std::min(top, static_cast<unsigned>(std::max(0.0, v) * top + bias));
    };
    return static_cast<uint16_t>(level(r, 31) << 11 | level(g, 63) << 5 | level(b, 31));
  };
  for (y = 0; y < kHeight; ++y) {
    for (x = 0; x < kWidth; ++x) {
      const double fy = y / double{kHeight};
      const double fx = x / double{kWidth};
      uint16_t pixel = pack(0.3 + 0.5 * fy, 0.5 + 0.3 * fy, 0.9 - 0.2 * fy);  // sky
      const double dx = x - 420.0;
      const double dy = y - 200.0;
      const double d = std::sqrt(dx * dx + dy * dy);
      if (y > 330) {  // floor with grain
        const double grain = static_cast<double>(rng() % 5) / 64.0;
        pixel = pack(0.45 + grain, 0.35 + grain, 0.25 + 0.1 * fx);
      } else if (d < 90) {  // a round window, outlined
        pixel = d > 86 ? pack(0.1, 0.1, 0.1) : pack(0.95, 0.9, 0.6);
      } else if (x > 60 && x < 260 && y > 120 && y < 330) {  // a cupboard, flat with shading
        pixel = (x - 60) % 50 == 0 ? pack(0.2, 0.1, 0.05) : pack(0.6 - 0.002 * (y - 120), 0.4, 0.2);
      }
      if (y > 300 && y < 340 && x > 40 && x < 300 && ((x + y) & 1) == 0) {
        pixel = static_cast<uint16_t>((pixel >> 1) & 0x7BEF);  // dithered shadow
      }
      pixels.push_back(static_cast<uint8_t>(pixel & 0xFF));
      pixels.push_back(static_cast<uint8_t>(pixel >> 8));
    }
  }
  return pixels;
}

const std::vector<uint8_t>& Input(int kind) {
  static const std::array<std::vector<uint8_t>, 4> inputs = {
      ScriptText(), ProseText(), PicturePixels(false), PicturePixels(true)};
  return inputs[static_cast<size_t>(kind)];
}

constexpr const char* kKindNames[] = {"script_text", "prose_text", "picture_flat",
                                      "picture_dithered"};

bool ExpandsBack(std::span<const uint8_t> packed, std::span<const uint8_t> input) {
  std::vector<uint8_t> out(input.size() + 1);
  out.resize(tvx::LzssDecoder().Decode(packed, out));
  return std::equal(out.begin(), out.end(), input.begin(), input.end());
}

template <typename Encoder>
void Encode(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const auto& input = Input(kind);
  state.SetLabel(kKindNames[kind]);
  if (input.empty()) {
    state.SkipWithError("no sample input");
    return;
  }
  Encoder encoder;
  std::vector<uint8_t> packed = encoder.Encode(input);
  if (!ExpandsBack(packed, input)) {
    state.SkipWithError("the stream does not expand back to the input");
    return;
  }
  for (auto _ : state) {
    packed = encoder.Encode(input);
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
  state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(input.size());
}

void BM_LzssEncoder(benchmark::State& state) {
  Encode<tvx::LzssEncoder>(state);
}
void BM_TextbookLzss(benchmark::State& state) {
  Encode<TextbookLzss>(state);
}

BENCHMARK(BM_LzssEncoder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextbookLzss)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
