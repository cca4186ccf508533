#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "archive/lzss_decoder.h"
#include "archive/lzss_encoder.h"

namespace tvx {
namespace {

std::vector<uint8_t> DecodeAll(LzssDecoder& decoder, const std::vector<uint8_t>& packed,
                               size_t capacity = 1 << 16) {
  std::vector<uint8_t> out(capacity);
  out.resize(decoder.Decode(packed, out));
  return out;
}

TEST(LzssDecoder, TheCodingAtTheEdges) {
  LzssDecoder decoder;
  // Nothing in, nothing out.
  EXPECT_TRUE(DecodeAll(decoder, {}).empty());
  // A reference to offset 0, length 4, reads the cleared start of the ring.
  EXPECT_EQ(DecodeAll(decoder, {0x00, 0x00, 0x01}), (std::vector<uint8_t>{0, 0, 0, 0}));
  // Literals, then a reference to 0xFEE (the first byte written) of 5 repeats what it writes.
  EXPECT_EQ(DecodeAll(decoder, {0b0000'0011, 'a', 'b', 0xEE, 0xF2}),
            (std::vector<uint8_t>{'a', 'b', 'a', 'b', 'a', 'b', 'a'}));
  // At the very start, offset 4077 length 18 reads one cleared byte, then itself.
  EXPECT_EQ(DecodeAll(decoder, {0x00, 0xED, 0xFF}), std::vector<uint8_t>(18, 0));
  // A stream cut after a flag byte, or inside a reference, ends without that item.
  EXPECT_EQ(DecodeAll(decoder, {0xFF}), std::vector<uint8_t>{});
  EXPECT_EQ(DecodeAll(decoder, {0x01, 'x', 0x05}), std::vector<uint8_t>{'x'});
  EXPECT_TRUE(decoder.LastDecodeComplete());
}

TEST(LzssDecoder, NeverWritesPastItsDestination) {
  LzssDecoder decoder;
  // Eight references of 18 zeros each want 144 bytes; only 10 fit.
  std::vector<uint8_t> packed = {0x00};
  for (int i = 0; i < 8; ++i) packed.insert(packed.end(), {0x00, 0x0F});
  std::vector<uint8_t> out(12, 0xAA);
  EXPECT_EQ(decoder.Decode(packed, std::span(out).first(10)), 10u);
  EXPECT_FALSE(decoder.LastDecodeComplete());
  EXPECT_EQ(out[10], 0xAA);
  EXPECT_EQ(out[11], 0xAA);
  // Literals likewise.
  EXPECT_EQ(decoder.Decode(std::vector<uint8_t>{0xFF, 1, 2, 3}, std::span(out).first(2)), 2u);
  EXPECT_FALSE(decoder.LastDecodeComplete());
  // Exactly full is complete.
  EXPECT_EQ(decoder.Decode(std::vector<uint8_t>{0xFF, 1, 2}, std::span(out).first(2)), 2u);
  EXPECT_TRUE(decoder.LastDecodeComplete());
}

TEST(LzssDecoder, ExpandsWhatTheEncoderPacks) {
  std::mt19937 random(7);
  std::vector<std::vector<uint8_t>> inputs;
  inputs.push_back(std::vector<uint8_t>(100000, 'z'));  // references reading their own output
  std::vector<uint8_t> text;
  for (int i = 0; i < 3000; ++i) {
    const std::string line = "line " + std::to_string(i % 97) + " of the story\n";
    text.insert(text.end(), line.begin(), line.end());
  }
  inputs.push_back(text);
  std::vector<uint8_t> noise(20000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  inputs.push_back(noise);
  LzssEncoder encoder;
  LzssDecoder decoder;
  for (const auto& input : inputs) {
    const auto packed = encoder.Encode(input);
    // The same decoder many times: the ring's tail from an earlier decode must not matter.
    EXPECT_EQ(DecodeAll(decoder, packed, input.size() + 64), input);
  }
  EXPECT_LT(encoder.Encode(text).size(), text.size() / 4);
}

}  // namespace
}  // namespace tvx
