// WaveStream on the headless platform: what it plays is read back from the mixed output,
// sample by sample, at the virtual times its feeder runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "sound/wave_stream.h"
#include "tests/sound/sound_test_support.h"

namespace tvx::testing {
namespace {

using platform::SoundDevice;
constexpr uint32_t kStaging = 0x80000;
constexpr size_t kRate = 22050;

class WaveStreamTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    stream_ = std::make_unique<WaveStream>(module_);
    ASSERT_TRUE(stream_->Create(kPcmStreamFormat, staging_));
    stream_->SetStopObserver([this](WaveStream::SelfStop why) { stops_.push_back(why); });
  }
  void BeforeShutdown() override {
    if (stream_) stream_->Release();
    stream_.reset();
  }
  bool Playing() const { return stream_->GetStatus() & SoundDevice::kPlaying; }
  // Plays the file from now on at full volume (the output then holds its exact samples).
  void PlayAtFullVolume(std::span<const uint8_t> file) {
    ASSERT_TRUE(stream_->Open(FileOf("T.WAV", file)));
    ASSERT_TRUE(stream_->SetVolume(0));
    start_frame_ = Side().size();
    ASSERT_TRUE(stream_->Play());
  }
  // The output from the moment of Play on.
  std::vector<int16_t> Heard() {
    const auto all = Side();
    return {all.begin() + static_cast<ptrdiff_t>(start_frame_), all.end()};
  }

  uint32_t staging_ = kStaging;
  std::unique_ptr<WaveStream> stream_;
  std::vector<WaveStream::SelfStop> stops_;
  size_t start_frame_ = 0;
};

// Loops are tried with the engine's staging buffer and with one smaller than a block, so
// that the loop's joins fall at every kind of place: inside a staging fill, at its edge,
// inside a ring block and at a ring block's edge.
class LoopTest : public WaveStreamTest, public ::testing::WithParamInterface<uint32_t> {
 protected:
  void SetUp() override {
    staging_ = GetParam();
    WaveStreamTest::SetUp();
  }
};

TEST_P(LoopTest, TheLoopedRegionRepeatsSampleExactlyAndNeverStops) {
  const auto samples = Pattern(3 * kRate);
  const uint32_t start = 10000, end = 52000;  // end is not played
  PlayAtFullVolume(WavBuilder().Format().Data(samples).Smpl(1, start, end).Build());
  EXPECT_TRUE(stream_->Looping());
  AdvanceMs(14000);  // past the end of a 512 KB staging buffer and many ring turns
  EXPECT_TRUE(Playing());
  const auto heard = Heard();
  ASSERT_GE(heard.size(), 13 * kRate);
  for (size_t i = 0; i < 13 * kRate; ++i) {
    const size_t at = i < end ? i : start + (i - end) % (end - start);
    ASSERT_EQ(heard[i], samples[at]) << "frame " << i;
  }
  EXPECT_TRUE(stops_.empty());
  EXPECT_EQ(stream_->EndState(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Staging, LoopTest, ::testing::Values(0x80000u, 0x3001u * 2));

TEST_F(WaveStreamTest, UnusableLoopsPlayTheFileOnce) {
  const auto samples = Pattern(kRate / 2);
  // An end before the start, an end past the data, and an empty loop.
  for (auto [start, end] : {std::pair{400u, 300u}, {0u, 20000u}, {500u, 500u}}) {
    PlayAtFullVolume(WavBuilder().Format().Data(samples).Smpl(1, start, end).Build());
    EXPECT_FALSE(stream_->Looping());
    AdvanceMs(800);
    EXPECT_FALSE(Playing()) << start << " " << end;
  }
  EXPECT_EQ(stops_.size(), 3u);
}

TEST_F(WaveStreamTest, AShortFileStopsByItselfOnceHeard) {
  // 1.5 s: its end lies in the prefilled blocks, so the stop is armed at Open.
  const auto samples = Pattern(kRate * 3 / 2);
  PlayAtFullVolume(PcmFile(samples));
  EXPECT_EQ(stream_->EndState(), 2u);
  uint64_t stopped_at = 0;
  for (uint64_t ms = 50; ms <= 3000 && !stopped_at; ms += 50) {
    AdvanceMs(50);
    if (!Playing()) stopped_at = ms;
  }
  // Noticed by the first feeder pass that finds the cursor at or past the end.
  EXPECT_GE(stopped_at, 1500u);
  EXPECT_LT(stopped_at, 1550u);
  ASSERT_EQ(stops_.size(), 1u);
  EXPECT_EQ(stops_[0], WaveStream::SelfStop::End);
  const auto heard = Heard();
  ASSERT_GE(heard.size(), samples.size());
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), heard.begin()));
  EXPECT_TRUE(std::all_of(heard.begin() + static_cast<ptrdiff_t>(samples.size()), heard.end(),
                          [](int16_t s) { return s == 0; }));
  // The file is let go: playing again needs a new Open.
  EXPECT_FALSE(stream_->Play());
}

TEST_F(WaveStreamTest, ALongFileIsRefilledBlockByBlockAndEndsInALaterBlock) {
  // 13.3 s: more than a staging buffer, and the end is found by a refill, not the prefill.
  const auto samples = Pattern(kRate * 133 / 10 + 7);
  PlayAtFullVolume(PcmFile(samples));
  EXPECT_EQ(stream_->EndState(), 0u);
  AdvanceMs(13000);
  EXPECT_TRUE(Playing());
  AdvanceMs(500);
  EXPECT_FALSE(Playing());
  const auto heard = Heard();
  ASSERT_GE(heard.size(), samples.size());
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(heard[i], samples[i]) << "frame " << i;
  EXPECT_EQ(heard[samples.size()], 0);
}

TEST_F(WaveStreamTest, AFileShorterThanItClaimsOrCutWhilePlayingEndsWhereItsDataEnds) {
  // The data chunk claims 10 s; the file holds 0.7 s of it.
  const auto samples = Pattern(kRate * 7 / 10);
  auto data = PcmFile(samples);
  bytes::StoreLe32(data, 40, kRate * 2 * 10);
  PlayAtFullVolume(data);
  AdvanceMs(1500);
  EXPECT_FALSE(Playing());
  auto heard = Heard();
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), heard.begin()));

  // A 14 s file that loses its end while it plays (after the first staging fill): what
  // could be read plays, then silence, and the stream stops instead of waiting for ever.
  const auto long_samples = Pattern(kRate * 14, 5);
  PlayAtFullVolume(PcmFile(long_samples));
  const size_t kept_frames = 280000;
  std::filesystem::resize_file(dir() / "T.WAV", 44 + 2 * kept_frames);
  AdvanceMs(15000);
  EXPECT_FALSE(Playing());
  heard = Heard();
  ASSERT_GT(heard.size(), kept_frames + 100);
  for (size_t i = 0; i < kept_frames; ++i) ASSERT_EQ(heard[i], long_samples[i]) << i;
  EXPECT_TRUE(
      std::all_of(heard.begin() + kept_frames, heard.end(), [](int16_t v) { return v == 0; }));
}

TEST_F(WaveStreamTest, FilesWithoutDataDoNotOpenAndCannotPlay) {
  const auto empty = WavBuilder().Format().Chunk("data", {}).Raw(std::vector<uint8_t>(16)).Build();
  EXPECT_FALSE(stream_->Open(FileOf("E.WAV", empty)));
  EXPECT_FALSE(stream_->Play());
  EXPECT_FALSE(stream_->Open(nullptr));
  // Stopping a stream that was never opened succeeds and closes nothing.
  EXPECT_TRUE(stream_->Stop());
}

// Collects the volume the buffer plays at after each feeder pass until the stream stops.
std::vector<int32_t> FadeVolumes(WaveStream& stream, const std::function<void(uint64_t)>& advance,
                                 size_t max_passes) {
  std::vector<int32_t> volumes;
  for (size_t pass = 0; pass < max_passes && (stream.GetStatus() & SoundDevice::kPlaying); ++pass) {
    advance(50);
    volumes.push_back(stream.BufferVolume());
  }
  return volumes;
}

TEST_F(WaveStreamTest, SlowAndFastFadesStepEveryHundredMillisecondsThenStop) {
  const auto looped = WavBuilder().Format().Data(Pattern(kRate)).Smpl(1, 0, kRate).Build();
  auto advance = [this](uint64_t ms) { AdvanceMs(ms); };
  for (const int32_t step : {150, 1000}) {
    stops_.clear();
    ASSERT_TRUE(stream_->Open(FileOf("L.WAV", looped)));
    ASSERT_TRUE(stream_->SetVolume(-500));
    ASSERT_TRUE(stream_->Play());
    AdvanceMs(20);
    ASSERT_TRUE(stream_->FadeTo(1, -5000, 1, step));
    EXPECT_EQ(stream_->GetFadeState(), 2u);
    const auto volumes = FadeVolumes(*stream_, advance, 200);
    // The volume changes on every second pass only.
    std::vector<int32_t> steps;
    for (size_t i = 0; i < volumes.size(); ++i) {
      const int32_t before = i == 0 ? -500 : volumes[i - 1];
      if (volumes[i] != before) {
        EXPECT_EQ(i % 2, 1u) << "pass " << i;
        steps.push_back(volumes[i]);
      }
    }
    std::vector<int32_t> expected;
    if (step == 150) {
      for (int32_t v = -650; v >= -5000; v -= 150) expected.push_back(v);
      // The 30th step reaches -5000; the 31st ends the fade and stops the stream.
      EXPECT_EQ(volumes.size(), 2u * 31);
    } else {
      // A step that does not divide the distance overshoots once, then lands on the target.
      expected = {-1500, -2500, -3500, -4500, -5500, -5000};
      EXPECT_EQ(volumes.size(), 2u * 6);
    }
    EXPECT_EQ(steps, expected);
    EXPECT_FALSE(stream_->GetStatus() & SoundDevice::kPlaying);
    EXPECT_EQ(stops_, std::vector{WaveStream::SelfStop::FadeEnd});
    // The set volume is untouched: the next Play starts there again.
    EXPECT_EQ(stream_->GetVolume(), -500);
  }
}

TEST_F(WaveStreamTest, SetVolumeCancelsAFadeAndAFadeToThePresentVolumeStopsAtOnce) {
  const auto looped = WavBuilder().Format().Data(Pattern(kRate)).Smpl(1, 0, kRate).Build();
  ASSERT_TRUE(stream_->Open(FileOf("L.WAV", looped)));
  stream_->SetVolume(-500);
  stream_->Play();
  stream_->FadeTo(1, -5000, 1, 150);
  AdvanceMs(500);
  EXPECT_LT(stream_->BufferVolume(), -500);
  ASSERT_TRUE(stream_->SetVolume(-700));
  EXPECT_EQ(stream_->GetFadeState(), 0u);
  AdvanceMs(5000);
  EXPECT_TRUE(Playing());
  EXPECT_EQ(stream_->BufferVolume(), -700);
  // A rising fade ends at its target and keeps playing.
  stream_->FadeTo(0, -100, 1, 200);
  EXPECT_EQ(stream_->GetFadeState(), 1u);
  AdvanceMs(1000);
  EXPECT_EQ(stream_->BufferVolume(), -100);
  EXPECT_EQ(stream_->GetFadeState(), 0u);
  EXPECT_TRUE(Playing());
  // Now at -100: a falling fade to -100 with stop-at-end stops the stream straight away.
  ASSERT_TRUE(stream_->FadeTo(1, -100, 1, 150));
  EXPECT_FALSE(Playing());
  EXPECT_TRUE(stops_.empty());  // asked for, not a stop of its own
}

TEST_F(WaveStreamTest, VolumesAreClampedAndAboveZeroPlaysAtFullLevel) {
  EXPECT_TRUE(stream_->SetVolume(-7000));
  EXPECT_EQ(stream_->GetVolume(), -6000);
  EXPECT_TRUE(stream_->SetVolume(7000));
  EXPECT_EQ(stream_->GetVolume(), 6000);
  EXPECT_TRUE(stream_->SetVolume(-1234));
  EXPECT_EQ(stream_->GetVolume(), -1234);
  const auto samples = Pattern(kRate / 10);
  ASSERT_TRUE(stream_->Open(FileOf("S.WAV", PcmFile(samples))));
  stream_->SetVolume(6000);
  const size_t start = Side().size();
  stream_->Play();
  AdvanceMs(50);
  const auto heard = Side();
  EXPECT_EQ(heard[start + 10], samples[10]);
}

TEST_F(WaveStreamTest, ReleasedStreamsGiveTheirMemoryBackAndCanBeCreatedAgain) {
  const uint32_t budget = module_.pool().budget();
  EXPECT_TRUE(stream_->Release());
  EXPECT_FALSE(stream_->Release());
  EXPECT_EQ(module_.pool().budget(), budget + 0x90000u);
  EXPECT_EQ(stream_->GetStatus(), 0u);
  EXPECT_FALSE(stream_->SetVolume(0));  // no buffer
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(stream_->Create(kPcmStreamFormat, kStaging)) << i;
    ASSERT_TRUE(stream_->Release());
  }
  ASSERT_TRUE(stream_->Create(kPcmStreamFormat, kStaging));
  // A staging buffer the pool cannot hold fails Create and leaves nothing behind.
  WaveStream greedy(module_);
  EXPECT_FALSE(greedy.Create(kPcmStreamFormat, 0x300000));
  EXPECT_EQ(greedy.GetStatus(), 0u);
  EXPECT_FALSE(greedy.Release());
}

}  // namespace
}  // namespace tvx::testing
