#include "archive/lzss_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "archive/lzss_decoder.h"
#include "tests/tools/tool_test_support.h"

namespace tvx {
namespace {

using tool::test::RandomBytes;
using tool::test::SampleText;

// A decoder whose ring end (the part not cleared between decodes) holds 0xFF from an earlier
// stream, so a reference to ring positions this stream has not written shows up as wrong
// output.
LzssDecoder DirtyDecoder() {
  std::vector<uint8_t> literals;
  for (int group = 0; group < 520; ++group) {
    literals.push_back(0xFF);
    literals.insert(literals.end(), 8, 0xFF);
  }
  LzssDecoder decoder;
  std::vector<uint8_t> sink(literals.size());
  decoder.Decode(literals, sink);
  return decoder;
}

// Encodes, then decodes with a fresh and with a dirty decoder into room for one byte more
// than the input, so extra output is caught too.
void ExpectRoundTrip(const std::vector<uint8_t>& input, const std::string& what) {
  const std::vector<uint8_t> packed = LzssEncoder().Encode(input);
  LzssDecoder fresh;
  LzssDecoder dirty = DirtyDecoder();
  for (LzssDecoder* decoder : {&fresh, &dirty}) {
    std::vector<uint8_t> out(input.size() + 1, 0xEE);
    const size_t produced = decoder->Decode(packed, out);
    ASSERT_EQ(produced, input.size()) << what;
    out.resize(produced);
    ASSERT_EQ(out, input) << what << (decoder == &dirty ? " (dirty ring)" : "");
  }
}

std::vector<uint8_t> Periodic(size_t period, size_t size) {
  const std::vector<uint8_t> unit = RandomBytes(period, static_cast<uint32_t>(period));
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = unit[i % period];
  return data;
}

TEST(LzssEncoder, SmallInputs) {
  EXPECT_TRUE(LzssEncoder().Encode({}).empty());
  ExpectRoundTrip({0x41}, "one byte");
  ExpectRoundTrip({0x00}, "one zero");
  ExpectRoundTrip({1, 2, 3}, "three bytes");
  // Zeros at the start can come from the cleared ring before anything is written.
  ExpectRoundTrip(std::vector<uint8_t>(40, 0), "zeros");
  ExpectRoundTrip({0, 0, 0, 7, 0, 0, 0, 0}, "zeros around a byte");
  for (size_t size = 1; size <= 40; ++size) {
    ExpectRoundTrip(SampleText(size, static_cast<uint32_t>(size)), "text " + std::to_string(size));
  }
}

TEST(LzssEncoder, TextRoundTripsAndShrinks) {
  const auto text = SampleText(300000);
  ExpectRoundTrip(text, "text");
  const size_t packed = LzssEncoder().Encode(text).size();
  EXPECT_LT(packed, text.size() * 6 / 10);
}

TEST(LzssEncoder, RandomBytesGrowByTheFlagBitsAtMost) {
  const auto data = RandomBytes(100000);
  ExpectRoundTrip(data, "random");
  EXPECT_LE(LzssEncoder().Encode(data).size(), data.size() + (data.size() + 7) / 8);
}

TEST(LzssEncoder, RunsUseReferencesThatReadWhatTheyWrite) {
  for (const uint8_t byte : {uint8_t{0}, uint8_t{0x41}, uint8_t{0xFF}}) {
    const std::vector<uint8_t> run(100000, byte);
    ExpectRoundTrip(run, "run of " + std::to_string(byte));
    // Eighteen bytes for every two-byte reference, plus its flag bit.
    EXPECT_LT(LzssEncoder().Encode(run).size(), run.size() / 8) << int{byte};
  }
  // Short periods: every reference overlaps the bytes it produces.
  for (size_t period : {2, 3, 5, 17, 18, 19}) {
    ExpectRoundTrip(Periodic(period, 20000), "period " + std::to_string(period));
  }
}

TEST(LzssEncoder, PeriodsAroundTheRingSize) {
  for (size_t period : {4077, 4078, 4095, 4096, 4097}) {
    const auto data = Periodic(period, 5 * period + 123);
    ExpectRoundTrip(data, "period " + std::to_string(period));
    const size_t packed = LzssEncoder().Encode(data).size();
    // Only periods the window reaches (distances up to 4095) repeat cheaply.
    if (period < 4096) {
      EXPECT_LT(packed, data.size() / 3) << period;
    }
  }
}

TEST(LzssEncoder, LargeMixedData) {
  // Longer than the ring and than one parse block, with text, noise, runs and repeats.
  std::vector<uint8_t> data = SampleText(150000, 7);
  const auto noise = RandomBytes(30000, 8);
  data.insert(data.end(), noise.begin(), noise.end());
  data.insert(data.end(), 70000, 0x00);
  data.insert(data.end(), data.begin() + 1000, data.begin() + 60000);
  for (size_t size : {65535, 65536, 65537, 131072}) {
    ExpectRoundTrip({data.begin(), data.begin() + static_cast<ptrdiff_t>(size)},
                    "prefix " + std::to_string(size));
  }
  ExpectRoundTrip(data, "all");
}

TEST(LzssEncoder, ManySmallAlphabetInputs) {
  // Few distinct bytes give deep, often-rebalanced trees: a stress for node removal.
  std::mt19937 rng(99);
  for (int round = 0; round < 150; ++round) {
    const size_t size = rng() % 9000;
    const unsigned alphabet = 1 + rng() % 4;
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) {
      data[i] =
          (rng() % 16 == 0) ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>(rng() % alphabet);
    }
    ExpectRoundTrip(data, "round " + std::to_string(round));
  }
}

TEST(LzssEncoder, EncoderIsReusable) {
  LzssEncoder encoder;
  const auto text = SampleText(70000, 3);
  const auto first = encoder.Encode(text);
  encoder.Encode(RandomBytes(5000));
  EXPECT_EQ(encoder.Encode(text), first);
}

}  // namespace
}  // namespace tvx
