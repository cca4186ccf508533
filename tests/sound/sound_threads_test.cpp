// The streams with real threads, as with the SDL backend: the feeders on threads of their
// own and the mix pulled by an audio thread, while the program thread works the streams.
// Meant for ThreadSanitizer; the checks only ask that everything ends as it should.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "sound/acm_wave_stream.h"
#include "sound/wave_stream.h"
#include "tests/sound/sound_test_support.h"

namespace tvx::testing {
namespace {

using platform::SoundDevice;

// Feeders on threads; an audio thread that pulls the mix at about the real rate.
class ThreadedBackend : public platform::HeadlessBackend {
 public:
  ~ThreadedBackend() override { CloseSoundOutput(); }
  int AddPeriodic(uint32_t, std::function<void()>) override { return -1; }
  bool OpenSoundOutput(SoundDevice& device) override {
    running_ = true;
    audio_ = std::thread([this, &device] {
      std::array<int16_t, 256 * 2> chunk;
      while (running_) {
        device.Render(chunk);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
    return true;
  }
  void CloseSoundOutput() override {
    running_ = false;
    if (audio_.joinable()) audio_.join();
  }

 private:
  std::atomic<bool> running_{false};
  std::thread audio_;
};

class ThreadedStreams : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    platform::Install(std::make_unique<ThreadedBackend>());
    ASSERT_EQ(module_.Init(kPrimaryFormat), SoundModule::kOk);
  }
  void TearDown() override {
    streams_.clear();
    module_.Shutdown();
    files_.clear();
    HeadlessTest::TearDown();
  }
  platform::File* FileOf(const std::string& name, std::span<const uint8_t> bytes) {
    const std::string path = (dir() / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    files_.emplace_back();
    files_.back().Open(path, platform::File::Mode::Read);
    return &files_.back();
  }
  // Waits (up to ten seconds) until the stream has stopped.
  static bool StopsWithin10s(const WaveStream& stream) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (stream.GetStatus() & SoundDevice::kPlaying) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  SoundModule module_;
  std::vector<std::unique_ptr<WaveStream>> streams_;
  std::deque<platform::File> files_;
};

TEST_F(ThreadedStreams, FeedersMixerAndProgramThreadWorkTheStreamsTogether) {
  for (int i = 0; i < 3; ++i) {
    streams_.push_back(std::make_unique<WaveStream>(module_));
    ASSERT_TRUE(streams_.back()->Create(kPcmStreamFormat, 0x4000));
  }
  auto voice = std::make_unique<AcmWaveStream>(module_);
  ASSERT_TRUE(voice->CreateCompressed(kVoiceSourceFormat));
  std::atomic<int> self_stops{0};
  for (auto& stream : streams_)
    stream->SetStopObserver([&self_stops](WaveStream::SelfStop) { ++self_stops; });

  const auto looped = WavBuilder().Format().Data(Pattern(8000)).Smpl(1, 100, 7000).Build();
  const auto short_file = PcmFile(Pattern(4000));
  ASSERT_TRUE(streams_[0]->Open(FileOf("L.WAV", looped)));
  ASSERT_TRUE(streams_[0]->Play());
  ASSERT_TRUE(
      voice->Open(FileOf("V.WAV", ReadBytes(std::string(TALVEX_SOUND_DATA) + "/ima_exact.wav"))));
  ASSERT_TRUE(voice->Play());
  // The program thread keeps changing things while the others run.
  for (int round = 0; round < 20; ++round) {
    ASSERT_TRUE(streams_[1]->Open(FileOf("S" + std::to_string(round) + ".WAV", short_file)));
    ASSERT_TRUE(streams_[1]->Play());
    streams_[0]->SetVolume(-100 * round);
    streams_[2]->FadeTo(0, -3000, 1, 500);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    if (round % 3 == 0) streams_[1]->Stop();
  }
  EXPECT_TRUE(StopsWithin10s(*streams_[1]));
  EXPECT_TRUE(StopsWithin10s(*voice));
  ASSERT_TRUE(streams_[0]->FadeTo(0, -5000, 1, 1000));
  EXPECT_TRUE(StopsWithin10s(*streams_[0]));
  EXPECT_GE(self_stops.load(), 2);
  voice.reset();
}

TEST_F(ThreadedStreams, EveryFeederSleepsWhileItsStreamIsSilent) {
  WaveStream pcm(module_);
  ASSERT_TRUE(pcm.Create(kPcmStreamFormat, 0x4000));
  AcmWaveStream voice(module_);
  ASSERT_TRUE(voice.CreateCompressed(kVoiceSourceFormat));
  // Within a few passes (50 ms apart) of being created, neither has anything to do.
  const auto asleep_within_1s = [](const WaveStream& stream) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!stream.FeederAsleep()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  };
  EXPECT_TRUE(asleep_within_1s(pcm));
  EXPECT_TRUE(asleep_within_1s(voice));
  // A voice line wakes the voice's feeder, which sleeps again once the line has ended.
  ASSERT_TRUE(
      voice.Open(FileOf("V.WAV", ReadBytes(std::string(TALVEX_SOUND_DATA) + "/ima_exact.wav"))));
  ASSERT_TRUE(voice.Play());
  EXPECT_FALSE(voice.FeederAsleep());
  EXPECT_TRUE(StopsWithin10s(voice));
  EXPECT_TRUE(asleep_within_1s(voice));
}

}  // namespace
}  // namespace tvx::testing
