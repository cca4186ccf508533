#include "tools/maze_palette.h"

#include <algorithm>
#include <map>

#include "resources/byte_order.h"

namespace tvx::tool::maze {
namespace {

constexpr uint16_t kColourBits = 0x7FFF;
constexpr int kRefinements = 8;

int Channel(uint16_t colour, int channel) {
  return colour >> (10 - 5 * channel) & 0x1F;
}

uint16_t Colour(int red, int green, int blue) {
  return static_cast<uint16_t>(red << 10 | green << 5 | blue);
}

struct Weighted {
  uint16_t colour;
  uint32_t count;
};

// One box of the median cut: a run of `colours`.
struct Box {
  size_t begin;
  size_t end;
};

// The channel along which a box spreads most (red first of equals), and how far.
std::pair<int, int> Widest(std::span<const Weighted> colours) {
  int best = 0;
  int spread = -1;
  for (int channel = 0; channel < 3; ++channel) {
    int low = 31;
    int high = 0;
    for (const Weighted& w : colours) {
      low = std::min(low, Channel(w.colour, channel));
      high = std::max(high, Channel(w.colour, channel));
    }
    if (high - low > spread) {
      spread = high - low;
      best = channel;
    }
  }
  return {best, spread};
}

// The weighted mean of colours, rounded to the nearest 5-bit level.
uint16_t Mean(std::span<const Weighted> colours) {
  uint64_t total = 0;
  std::array<uint64_t, 3> sums{};
  for (const Weighted& w : colours) {
    total += w.count;
    for (int channel = 0; channel < 3; ++channel)
      sums[channel] += uint64_t{w.count} * static_cast<uint64_t>(Channel(w.colour, channel));
  }
  if (total == 0) return 0;
  std::array<int, 3> mean{};
  for (int channel = 0; channel < 3; ++channel)
    mean[channel] = static_cast<int>((2 * sums[channel] + total) / (2 * total));
  return Colour(mean[0], mean[1], mean[2]);
}

int Distance(uint16_t a, uint16_t b) {
  int sum = 0;
  for (int channel = 0; channel < 3; ++channel) {
    const int d = Channel(a, channel) - Channel(b, channel);
    sum += d * d;
  }
  return sum;
}

// The squared error of a run of colours around their (unrounded) mean, times the pixels.
double SquaredError(std::span<const Weighted> colours) {
  double total = 0;
  std::array<double, 3> sums{};
  std::array<double, 3> squares{};
  for (const Weighted& w : colours) {
    total += w.count;
    for (int channel = 0; channel < 3; ++channel) {
      const double v = Channel(w.colour, channel);
      sums[channel] += w.count * v;
      squares[channel] += w.count * v * v;
    }
  }
  if (total == 0) return 0;
  double error = 0;
  for (int channel = 0; channel < 3; ++channel)
    error += squares[channel] - sums[channel] * sums[channel] / total;
  return error;
}

Palette MedianCut(std::vector<Weighted> colours) {
  std::vector<Box> boxes = {{0, colours.size()}};
  while (boxes.size() < kPaletteColours) {
    // The box with the largest squared error is cut in two, across the channel along which
    // it spreads most, where the two halves' errors add up to the least.
    size_t pick = boxes.size();
    double worst = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      const double error = SquaredError(std::span<const Weighted>(colours.data() + boxes[i].begin,
                                                                  boxes[i].end - boxes[i].begin));
      if (error > worst) {
        worst = error;
        pick = i;
      }
    }
    if (pick == boxes.size()) break;
    Box& box = boxes[pick];
    const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
    const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
    const int channel = Widest(std::span<const Weighted>(&*first, box.end - box.begin)).first;
    std::sort(first, last, [channel](const Weighted& a, const Weighted& b) {
      const int ca = Channel(a.colour, channel);
      const int cb = Channel(b.colour, channel);
      return ca != cb ? ca < cb : a.colour < b.colour;
    });
    // Running sums from the left give each cut's error in one pass.
    const size_t count = box.end - box.begin;
    std::array<double, 3> all_sums{};
    std::array<double, 3> all_squares{};
    double all_pixels = 0;
    for (auto it = first; it != last; ++it) {
      all_pixels += it->count;
      for (int c = 0; c < 3; ++c) {
        const double v = Channel(it->colour, c);
        all_sums[c] += it->count * v;
        all_squares[c] += it->count * v * v;
      }
    }
    std::array<double, 3> sums{};
    std::array<double, 3> squares{};
    double pixels = 0;
    size_t split = box.begin + 1;
    double best = -1;
    for (size_t i = 0; i + 1 < count; ++i) {
      const Weighted& w = colours[box.begin + i];
      pixels += w.count;
      for (int c = 0; c < 3; ++c) {
        const double v = Channel(w.colour, c);
        sums[c] += w.count * v;
        squares[c] += w.count * v * v;
      }
      // Only between different values of the channel: equal ones stay together.
      if (Channel(w.colour, channel) == Channel(colours[box.begin + i + 1].colour, channel))
        continue;
      double error = 0;
      for (int c = 0; c < 3; ++c) {
        const double rest_sum = all_sums[c] - sums[c];
        error += squares[c] - sums[c] * sums[c] / pixels;
        error += (all_squares[c] - squares[c]) - rest_sum * rest_sum / (all_pixels - pixels);
      }
      if (best < 0 || error < best) {
        best = error;
        split = box.begin + i + 1;
      }
    }
    const Box upper{split, box.end};
    box.end = split;
    boxes.push_back(upper);
  }

  std::vector<uint16_t> centres;
  for (const Box& box : boxes)
    centres.push_back(
        Mean(std::span<const Weighted>(colours.data() + box.begin, box.end - box.begin)));
  // A few rounds of k-means over the distinct colours: each goes to its nearest centre, each
  // centre moves to the mean of its colours (one without any stays).
  for (int round = 0; round < kRefinements; ++round) {
    std::vector<std::vector<Weighted>> members(centres.size());
    for (const Weighted& w : colours) {
      size_t nearest = 0;
      for (size_t i = 1; i < centres.size(); ++i)
        if (Distance(w.colour, centres[i]) < Distance(w.colour, centres[nearest])) nearest = i;
      members[nearest].push_back(w);
    }
    bool moved = false;
    for (size_t i = 0; i < centres.size(); ++i) {
      if (members[i].empty()) continue;
      const uint16_t mean = Mean(members[i]);
      moved = moved || mean != centres[i];
      centres[i] = mean;
    }
    if (!moved) break;
  }
  std::stable_sort(centres.begin(), centres.end(), [](uint16_t a, uint16_t b) {
    return Brightness(a) != Brightness(b) ? Brightness(a) < Brightness(b) : a < b;
  });
  Palette palette{};
  for (size_t i = 0; i < kPaletteColours; ++i)
    palette[i] = centres[std::min(i, centres.size() - 1)];
  return palette;
}

}  // namespace

uint32_t Brightness(uint16_t colour) {
  return static_cast<uint32_t>(299 * Channel(colour, 0) + 587 * Channel(colour, 1) +
                               114 * Channel(colour, 2));
}

std::vector<uint8_t> WritePalette(const Palette& palette) {
  std::vector<uint8_t> bytes(kPaletteBytes);
  for (size_t i = 0; i < kPaletteColours; ++i) bytes::StoreLe16(bytes, 2 * i, palette[i]);
  return bytes;
}

std::optional<Palette> ReadPalette(std::span<const uint8_t> bytes, std::string& error) {
  if (bytes.size() != kPaletteBytes) {
    error = "a palette is 32 bytes (16 colours of 2 bytes), the file has " +
            std::to_string(bytes.size());
    return std::nullopt;
  }
  Palette palette{};
  for (size_t i = 0; i < kPaletteColours; ++i) palette[i] = bytes::LoadLe16(bytes, 2 * i);
  return palette;
}

PaletteMaking MakePalette(const Picture555& picture) {
  PaletteMaking making;
  std::map<uint16_t, uint32_t> counts;
  for (const uint16_t pixel : picture.pixels) ++counts[pixel & kColourBits];
  making.colours = counts.size();
  if (picture.pixels.size() == kPaletteColours) {
    for (size_t i = 0; i < kPaletteColours; ++i)
      making.palette[i] = picture.pixels[i] & kColourBits;
    making.takenAsIs = true;
    return making;
  }
  if (counts.empty()) return making;
  std::vector<Weighted> colours;
  for (const auto& [colour, count] : counts) colours.push_back({colour, count});
  making.palette = MedianCut(std::move(colours));
  return making;
}

uint8_t NearestEntry(const Palette& palette, uint16_t colour) {
  uint8_t best = 0;
  int distance = Distance(colour & kColourBits, palette[0] & kColourBits);
  for (uint8_t i = 1; i < kPaletteColours; ++i) {
    const int d = Distance(colour & kColourBits, palette[i] & kColourBits);
    if (d < distance) {
      distance = d;
      best = i;
    }
  }
  return best;
}

uint8_t NearestEntry(const Palette& palette, float red, float green, float blue) {
  uint8_t best = 0;
  float distance = 0;
  for (uint8_t i = 0; i < kPaletteColours; ++i) {
    const float dr = red - static_cast<float>(Channel(palette[i], 0));
    const float dg = green - static_cast<float>(Channel(palette[i], 1));
    const float db = blue - static_cast<float>(Channel(palette[i], 2));
    const float d = dr * dr + dg * dg + db * db;
    if (i == 0 || d < distance) {
      distance = d;
      best = i;
    }
  }
  return best;
}

Picture555 PaletteStrip(const Palette& palette) {
  constexpr uint32_t kSwatch = 32;
  Picture555 strip{kSwatch * kPaletteColours, kSwatch, {}};
  strip.pixels.resize(size_t{strip.width} * strip.height);
  for (uint32_t y = 0; y < strip.height; ++y)
    for (uint32_t x = 0; x < strip.width; ++x) strip.At(x, y) = palette[x / kSwatch] & kColourBits;
  return strip;
}

}  // namespace tvx::tool::maze
