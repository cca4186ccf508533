// The IMA ADPCM decoder and the voice stream, checked against independent decoders: the
// fixtures in tests/data/sound are IMA ADPCM files made by ffmpeg (adpcm_ima_wav, 22050 Hz
// mono, 512-byte blocks) with sox's and ffmpeg's decodes of each as raw 16-bit samples.
// sox reconstructs by shifts and adds as the reference does, and so do we: its samples are
// matched exactly. ffmpeg multiplies instead, which rounds otherwise: it stays close.
//   ima_exact        3051 samples: exactly three blocks
//   ima_partial4     two blocks and a last block of 312 bytes (whole 4-byte groups)
//   ima_partial_odd  two blocks and a last block of 309 bytes
#include <gtest/gtest.h>

#include <memory>

#include "resources/byte_order.h"
#include "sound/acm_wave_stream.h"
#include "sound/ima_adpcm.h"
#include "sound/wave_chunks.h"
#include "tests/sound/sound_test_support.h"

namespace tvx::testing {
namespace {

using platform::SoundDevice;

std::string Fixture(const std::string& name) {
  return std::string(TALVEX_SOUND_DATA) + "/" + name;
}

std::vector<int16_t> Raw16(const std::string& name) {
  const auto bytes = ReadBytes(Fixture(name));
  std::vector<int16_t> out(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(bytes::LoadLe16(std::span<const uint8_t>(bytes), 2 * i));
  return out;
}

// Our decode of a whole file, block by block.
std::vector<int16_t> DecodeFile(const std::vector<uint8_t>& file) {
  const auto chunks = ReadWaveChunks(file, true);
  EXPECT_TRUE(chunks && chunks->format);
  if (!chunks || !chunks->format) return {};
  EXPECT_EQ(chunks->format->blockAlign, 512);
  EXPECT_EQ(chunks->format->samplesPerBlock, 1017);
  const auto data = std::span<const uint8_t>(file).subspan(chunks->dataOffset, chunks->dataSize);
  std::vector<int16_t> out;
  std::array<int16_t, 1017> block{};
  for (size_t at = 0; at < data.size(); at += 512) {
    const auto frames =
        ima::DecodeBlock(data.subspan(at, std::min<size_t>(512, data.size() - at)), 1, block);
    EXPECT_TRUE(frames);
    if (!frames) return out;
    out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(*frames));
  }
  return out;
}

TEST(ImaAdpcm, DecodesLikeTheReferenceDecoder) {
  for (const std::string name : {"ima_exact", "ima_partial4"}) {
    const auto ours = DecodeFile(ReadBytes(Fixture(name + ".wav")));
    EXPECT_EQ(ours, Raw16(name + ".sox.s16")) << name;
    // The multiplying decoder: the same number of samples, never far off.
    const auto ffmpeg = Raw16(name + ".ffmpeg.s16");
    ASSERT_EQ(ours.size(), ffmpeg.size()) << name;
    for (size_t i = 0; i < ours.size(); ++i)
      ASSERT_NEAR(ours[i], ffmpeg[i], 32) << name << " " << i;
  }
  EXPECT_EQ(Raw16("ima_exact.sox.s16").size(), 3u * 1017);           // an exact multiple
  EXPECT_EQ(Raw16("ima_partial4.sox.s16").size(), 2u * 1017 + 617);  // a partial last block
  // A last block that ends inside a 4-byte group: the other decoders stop at the last whole
  // group; ours also gives the two samples of the remaining byte.
  const auto odd = DecodeFile(ReadBytes(Fixture("ima_partial_odd.wav")));
  const auto theirs = Raw16("ima_partial_odd.sox.s16");
  ASSERT_EQ(odd.size(), theirs.size() + 2);
  EXPECT_TRUE(std::equal(theirs.begin(), theirs.end(), odd.begin()));
}

TEST(ImaAdpcm, BlockSizesAndDamagedBlocks) {
  EXPECT_EQ(ima::FramesInBlock(512, 1), 1017u);
  EXPECT_EQ(ima::FramesInBlock(1024, 2), 1017u);
  EXPECT_EQ(ima::FramesInBlock(3, 1), 0u);
  EXPECT_EQ(ima::FramesInBlock(4, 1), 1u);
  std::array<uint8_t, 8> block = {0x34, 0x12, 89, 0, 0x77, 0x77, 0x77, 0x77};
  std::array<int16_t, 16> out{};
  EXPECT_FALSE(ima::DecodeBlock(block, 1, out));  // step index 89
  block[2] = 0;
  EXPECT_EQ(ima::DecodeBlock(block, 1, out), 9u);
  EXPECT_EQ(out[0], 0x1234);
  EXPECT_FALSE(ima::DecodeBlock(block, 1, std::span(out).first(8)));  // no room
  EXPECT_FALSE(ima::DecodeBlock(block, 3, out));
  // The reconstruction saturates instead of wrapping.
  std::array<uint8_t, 6> loud = {0xFF, 0x7F, 88, 0, 0x77, 0x77};
  EXPECT_EQ(ima::DecodeBlock(loud, 1, out), 5u);
  EXPECT_EQ(out[4], 32767);
}

class VoiceStreamTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    voice_ = std::make_unique<AcmWaveStream>(module_);
    ASSERT_TRUE(voice_->CreateCompressed(kVoiceSourceFormat));
  }
  void BeforeShutdown() override { voice_.reset(); }
  bool Playing() const { return voice_->GetStatus() & SoundDevice::kPlaying; }
  std::unique_ptr<AcmWaveStream> voice_;
};

TEST_F(VoiceStreamTest, PlaysTheDecodedSamplesThenSilenceAndStopsByItself) {
  for (const std::string name : {"ima_exact", "ima_partial4"}) {
    const auto expected = Raw16(name + ".sox.s16");
    ASSERT_TRUE(voice_->Open(FileOf(name + ".wav", ReadBytes(Fixture(name + ".wav")))));
    // Shorter than three seconds: the stop is armed during the prefill.
    EXPECT_EQ(voice_->EndState(), 2u);
    voice_->SetVolume(0);
    const size_t start = Side().size();
    ASSERT_TRUE(voice_->Play());
    AdvanceMs(300);
    EXPECT_FALSE(Playing()) << name;
    const auto heard = Side();
    ASSERT_GE(heard.size(), start + expected.size() + 100);
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), heard.begin() + static_cast<ptrdiff_t>(start)))
        << name;
    EXPECT_TRUE(std::all_of(heard.begin() + static_cast<ptrdiff_t>(start + expected.size()),
                            heard.end(), [](int16_t s) { return s == 0; }))
        << name;
  }
}

TEST_F(VoiceStreamTest, ALongVoiceIsDecodedBlockByBlockAcrossRefills) {
  // 5 s of voice made from the fixture's blocks repeated: the end lies beyond the prefill.
  const auto one = ReadBytes(Fixture("ima_exact.wav"));
  const auto chunks = ReadWaveChunks(one, false);
  ASSERT_TRUE(chunks);
  const auto blocks = std::span<const uint8_t>(one).subspan(chunks->dataOffset, chunks->dataSize);
  std::vector<uint8_t> data;
  const size_t copies = 37;  // 37 × 3 blocks × 1017 samples = 5.1 s
  for (size_t i = 0; i < copies; ++i) data.insert(data.end(), blocks.begin(), blocks.end());
  const auto file = WavBuilder().Chunk("data", data).Raw(std::vector<uint8_t>(8)).Build();
  const auto decoded = Raw16("ima_exact.sox.s16");
  ASSERT_TRUE(voice_->Open(FileOf("LONG.WAV", file)));
  EXPECT_EQ(voice_->EndState(), 0u);
  voice_->SetVolume(0);
  const size_t start = Side().size();
  voice_->Play();
  AdvanceMs(5000);
  EXPECT_TRUE(Playing());
  AdvanceMs(300);
  EXPECT_FALSE(Playing());
  const auto heard = Side();
  for (size_t i = 0; i < copies * decoded.size(); ++i)
    ASSERT_EQ(heard[start + i], decoded[i % decoded.size()]) << i;
  EXPECT_EQ(heard[start + copies * decoded.size()], 0);
}

TEST_F(VoiceStreamTest, ADamagedBlockEndsTheVoiceCleanly) {
  auto file = ReadBytes(Fixture("ima_exact.wav"));
  const auto chunks = ReadWaveChunks(file, false);
  file[chunks->dataOffset + 512 + 2] = 200;  // the second block's step index
  ASSERT_TRUE(voice_->Open(FileOf("BAD.WAV", file)));
  voice_->SetVolume(0);
  const size_t start = Side().size();
  voice_->Play();
  AdvanceMs(300);
  EXPECT_FALSE(Playing());
  const auto heard = Side();
  const auto expected = Raw16("ima_exact.sox.s16");
  EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 1017,
                         heard.begin() + static_cast<ptrdiff_t>(start)));
  EXPECT_TRUE(std::all_of(heard.begin() + static_cast<ptrdiff_t>(start + 1017), heard.end(),
                          [](int16_t s) { return s == 0; }));
}

TEST_F(VoiceStreamTest, VoicesNeitherFadeNorLoopAndNeedAnAdpcmSource) {
  EXPECT_FALSE(voice_->FadeTo(1, -5000, 1, 150));
  EXPECT_TRUE(voice_->SetVolume(-300));
  EXPECT_FALSE(voice_->FadeTo(1, -5000, 1, 150));
  EXPECT_EQ(voice_->BufferVolume(), -300);
  AcmWaveStream pcm(module_);
  EXPECT_FALSE(pcm.CreateCompressed(kPcmStreamFormat));
  WaveFormat wrong = kVoiceSourceFormat;
  wrong.samplesPerBlock = 1000;  // blocks that do not hold what the format claims
  EXPECT_FALSE(pcm.CreateCompressed(wrong));
  // A "smpl" loop in a voice file is not followed.
  auto file = ReadBytes(Fixture("ima_exact.wav"));
  const auto looped =
      WavBuilder().Raw(std::span<const uint8_t>(file).subspan(12)).Smpl(1, 0, 1000).Build();
  ASSERT_TRUE(voice_->Open(FileOf("LOOP.WAV", looped)));
  EXPECT_FALSE(voice_->Looping());
  // Giving the stream up returns its decoding buffers to the pool.
  const uint32_t budget = module_.pool().budget();
  voice_->Release();
  EXPECT_EQ(module_.pool().budget(), budget + 2 * 0x10000u);
}

}  // namespace
}  // namespace tvx::testing
