// A long, busy game on real threads: a script drawn from a fixed seed plays the four sound
// channels at once, runs animation slots on the 15 ms clock, fades and dissolves between
// pictures, changes the cursor, saves and works on registers, for a minute of virtual time.
// The clock's passes and the sound feeders run on threads of their own and an audio thread
// pulls the mix, each paced by the virtual clock, while the program thread runs the
// interpreter: the run must end on its own, show no box, have every channel heard and its
// registers right. Meant for the thread sanitizer as much as for the default build.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "app/game_system.h"
#include "platform/platform.h"
#include "platform/sound_device.h"
#include "resources/byte_order.h"
#include "resources/gbk.h"
#include "sound/sound_manager.h"
#include "sound/wave_format.h"
#include "tests/sound/sound_test_support.h"
#include "tests/support/headless_fixture.h"
#include "tests/support/solid_g16.h"
#include "tools/mes/assembler.h"
#include "tools/wav/ima_encoder.h"
#include "tools/wav/wav_data.h"

namespace tvx::testing {
namespace {

using platform::SoundDevice;

// Runs the passes of one periodic task on a thread of its own, one at a time.
class PassThread {
 public:
  explicit PassThread(std::function<void()> body)
      : body_(std::move(body)), thread_([this] { Loop(); }) {}
  PassThread(const PassThread&) = delete;
  PassThread& operator=(const PassThread&) = delete;
  ~PassThread() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  // Hands the next pass to the thread and returns without waiting for it. A pass still
  // under way is waited for a little, as a clock keeps its period; after that the new pass
  // is lost, as a late clock loses time (the program thread may hold what the pass needs).
  void Post() {
    std::unique_lock lock(mutex_);
    if (!done_.wait_for(lock, std::chrono::milliseconds(200), [this] { return !due_; })) return;
    due_ = true;
    wake_.notify_one();
  }
  uint64_t passes() const {
    std::lock_guard lock(mutex_);
    return passes_;
  }

 private:
  void Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return due_ || stop_; });
      if (stop_) return;
      lock.unlock();
      body_();
      lock.lock();
      due_ = false;
      ++passes_;
      done_.notify_all();
    }
  }

  std::function<void()> body_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  bool due_ = false;
  bool stop_ = false;
  uint64_t passes_ = 0;
  std::thread thread_;  // last: it starts once the rest is ready
};

// The headless backend's virtual clock and input, with the threads of the windowed program:
// each periodic task (the 15 ms clock, the sound feeders) runs its passes on a thread of its
// own when the virtual clock reaches them, and an audio thread mixes the output up to the
// present virtual time. The tick count is the one thing those threads read of the clock.
class ThreadedClockBackend : public platform::HeadlessBackend {
 public:
  ~ThreadedClockBackend() override {
    CloseSoundOutput();
    std::lock_guard lock(tasks_mutex_);
    tasks_.clear();
  }

  uint32_t TickCount() override {
    return static_cast<uint32_t>(now_us_.load(std::memory_order_acquire) / 1000);
  }
  void Sleep(uint32_t milliseconds) override {
    HeadlessBackend::Sleep(milliseconds);
    Publish();
  }
  void IdleWait() override {
    HeadlessBackend::IdleWait();
    Publish();
  }

  int AddPeriodic(uint32_t period_ms, std::function<void()> body) override {
    auto thread = std::make_shared<PassThread>(std::move(body));
    const int id = HeadlessBackend::AddPeriodic(period_ms, [this, thread] {
      // The pump has moved the clock to this pass's time.
      Publish();
      thread->Post();
    });
    std::lock_guard lock(tasks_mutex_);
    tasks_[id] = std::move(thread);
    return id;
  }
  void RemovePeriodic(int id) override {
    HeadlessBackend::RemovePeriodic(id);
    std::shared_ptr<PassThread> thread;
    {
      std::lock_guard lock(tasks_mutex_);
      const auto it = tasks_.find(id);
      if (it == tasks_.end()) return;
      thread = std::move(it->second);
      tasks_.erase(it);
      finished_passes_ += thread->passes();
    }
    thread.reset();  // joins: no pass runs after this returns
  }

  bool OpenSoundOutput(SoundDevice& device) override {
    if (audio_.joinable()) return false;
    audio_running_ = true;
    audio_ = std::thread([this, &device] { AudioLoop(device); });
    return true;
  }
  void CloseSoundOutput() override {
    audio_running_ = false;
    if (audio_.joinable()) audio_.join();
  }

  // Passes run by every task so far, ended or not.
  uint64_t passes() const {
    std::lock_guard lock(tasks_mutex_);
    uint64_t total = finished_passes_;
    for (const auto& [id, thread] : tasks_) total += thread->passes();
    return total;
  }
  uint64_t mixed_frames() const { return mixed_frames_.load(); }
  uint64_t loud_frames() const { return loud_frames_.load(); }

 private:
  void Publish() { now_us_.store(NowMicros(), std::memory_order_release); }

  void AudioLoop(SoundDevice& device) {
    std::array<int16_t, 512 * SoundDevice::kOutputChannels> chunk;
    uint64_t frames = now_us_.load() * SoundDevice::kRate / 1000000;
    while (audio_running_) {
      const uint64_t due = now_us_.load(std::memory_order_acquire) * SoundDevice::kRate / 1000000;
      if (frames >= due) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        continue;
      }
      const size_t n = static_cast<size_t>(std::min<uint64_t>(due - frames, 512));
      const auto out = std::span(chunk).first(n * SoundDevice::kOutputChannels);
      device.Render(out);
      frames += n;
      mixed_frames_ = frames;
      for (size_t i = 0; i < n; ++i)
        if (out[2 * i] != 0 || out[2 * i + 1] != 0) ++loud_frames_;
    }
  }

  std::atomic<uint64_t> now_us_{0};
  mutable std::mutex tasks_mutex_;
  std::map<int, std::shared_ptr<PassThread>> tasks_;
  uint64_t finished_passes_ = 0;
  std::atomic<bool> audio_running_{false};
  std::thread audio_;
  std::atomic<uint64_t> mixed_frames_{0};
  std::atomic<uint64_t> loud_frames_{0};
};

// Every slot of row 0 plays frames 20 and 21 (32 × 32 blocks of the sheet on plane 1) side
// by side across the screen, three ticks each, for ever; as the game's data file holds them.
std::vector<uint8_t> SlotPrograms() {
  std::vector<uint8_t> data(62 + 17 * 22, 0);
  for (uint16_t f = 20; f <= 21; ++f) {
    const size_t at = 62 + 17 * size_t{f};
    data[at] = 0x10;  // a copy
    const uint16_t fields[] = {static_cast<uint16_t>((f - 20) * 32), 0, 32, 32, 0, 0};
    for (size_t i = 0; i < 6; ++i) bytes::StoreLe16(data, at + 1 + 2 * i, fields[i]);
  }
  const auto program_at = static_cast<uint32_t>(data.size());
  for (const uint16_t c : {20, 2, 3, 21, 2, 3, 1, 3}) {
    data.push_back(static_cast<uint8_t>(c));
    data.push_back(static_cast<uint8_t>(c >> 8));
  }
  for (size_t slot = 0; slot < 10; ++slot) bytes::StoreLe32(data, 2 + 4 * slot, program_at);
  return data;
}

std::vector<int16_t> Tone(uint32_t period, size_t frames, int16_t amplitude) {
  std::vector<int16_t> out(frames);
  for (size_t i = 0; i < frames; ++i)
    out[i] = static_cast<int16_t>((i % period) < period / 2 ? amplitude : -amplitude);
  return out;
}

// A generated script, and what its register work must leave in C and D.
struct SoakScript {
  std::string source;
  uint16_t c = 0;
  uint16_t d = 0;
  uint32_t wait_ms = 0;  // the virtual time its timed waits take
};

// How long the opening calls let the four channels play together (a wait of ten ticks, which
// may end up to one tick early: its count starts within a period).
constexpr uint32_t kAllFourMs = 10 * 15;

// A script whose timed waits add up to `wait_ms`, everything else drawn from `seed`.
SoakScript MakeSoakScript(uint32_t seed, uint32_t wait_ms) {
  std::mt19937 random(seed);
  const auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
  SoakScript script;
  std::string& s = script.source;
  // Bit 0x0200: music and effects, 0x0100: voice (system word 2); EFFECT 11: the interface
  // sounds of channel 3. The frame sheet goes onto plane 1, then the first room is shown, and
  // the four channels start together (the refused save request sounds on channel 3).
  s += R"(
    SET_DIM16 2, 0, DIM16[0][2] | 0x300
    EFFECT 11
    SYSCALL 7, "ANIM.DAT", 0x30000
    SET_DIM32 2, 0, 0x30000
    SET_DIM16 1, 0, 1
    SYSCALL 8, "SHEET.G16"
    SET_DIM16 1, 0, 0
    SYSCALL 8, "ROOM1.G16"
    SET_REG16 C, 1
    SET_REG16 D, 0
    SYSCALL 5, 0, "BGM.WAV"
    SYSCALL 5, 3, "SE1.WAV"
    SYSCALL 6, 0, "VOICE.WAV"
    SYSCALL 25, 0
    SYSCALL 3, 0, 0, 0
    SYSCALL 3, 1, 0, 0
    SYSCALL 11, 40
)";
  script.wait_ms += kAllFourMs;
  uint32_t c = 1, d = 0;
  int label = 0;
  while (script.wait_ms < wait_ms) {
    const std::string n = std::to_string(label++);
    switch (below(14)) {
      case 0:
      case 1: {
        const uint32_t ticks = 4 + below(100);
        s += "    SYSCALL 11, " + std::to_string(ticks * 4) + "\n";
        script.wait_ms += ticks * 15;
        break;
      }
      case 2:
        s += below(2) ? "    SYSCALL 5, 3, \"SE1.WAV\"\n" : "    SYSCALL 5, 3, \"SE2.WAV\"\n";
        if (below(3) == 0) s += "    SYSCALL 5, 9\n";  // and wait for its end
        break;
      case 3:
        s += below(4) ? "    SYSCALL 6, 0, \"VOICE.WAV\"\n" : "    SYSCALL 6, 1\n";
        break;
      case 4:  // the save request: refused (ERROR.WAV) or allowed, marked and acknowledged
        if (below(2)) {
          s += "    SYSCALL 25, 0\n";
        } else {
          s += "    SYSCALL 25, 1, 1\n    SYSCALL 25, 0\n    SYSCALL 25, 3\n"
               "    SYSCALL 25, 2\n    SYSCALL 25, 1, 0\n";
        }
        break;
      case 5: {
        const std::string column = std::to_string(below(10));
        switch (below(5)) {
          case 0:
            s += "    SYSCALL 3, 0, 0, " + column + "\n    SYSCALL 3, 1, 0, " + column + "\n";
            break;
          case 1:
            s += "    SYSCALL 3, 0, 0, " + column + "\n    SYSCALL 3, 2, 0, " + column + "\n";
            break;
          case 2:
            s += "    SYSCALL 3, 3, 0, " + column + "\n";
            break;
          case 3:
            s += "    SYSCALL 3, 7, 0, 0\n    SYSCALL 3, 5, 0, 0\n";
            break;
          default:
            s += "    SYSCALL 3, 8, 0, " + column + "\n";
            break;
        }
        break;
      }
      case 6:
        // Now and then a fade through black or a dissolve through white to the other room:
        // a whole-screen step at every tick is the slowest thing here under a sanitizer.
        if (below(3) != 0) break;
        s += below(2) ? "    SYSCALL 9, 1, 0\n" : "    SYSCALL 9, 2, 0x7FFF\n";
        s += below(2) ? "    SYSCALL 8, \"ROOM1.G16\"\n" : "    SYSCALL 8, \"ROOM2.G16\"\n";
        s += below(2) ? "    SYSCALL 9, 1\n" : "    SYSCALL 9, 2\n";
        s += "    SYSCALL 3, 0, 0, 0\n    SYSCALL 3, 1, 0, 0\n";  // the slots were stopped
        break;
      case 7:
      case 8: {
        const uint32_t rounds = 1 + below(200);
        s += "    SET_REG16 E, 0\n  work" + n + ":\n" +
             "    SET_REG16 C, (C * 75 + 74) % 65521\n"
             "    SET_REG16 D, (D + C) % 65521\n"
             "    SET_REG16 E, E + 1\n"
             "    IF E >= " +
             std::to_string(rounds) + ", work" + n + "\n";
        for (uint32_t i = 0; i < rounds; ++i) {
          c = (c * 75 + 74) % 65521;
          d = (d + c) % 65521;
        }
        break;
      }
      case 9:
        switch (below(3)) {
          case 0:
            s += "    SYSCALL 5, 1\n";  // the music fades out
            break;
          case 1:
            s += "    SYSCALL 5, 2\n";
            break;
          default:
            break;
        }
        s += "    SYSCALL 5, 0, \"BGM.WAV\"\n";
        break;
      case 10:
        s += below(2) ? "    SYSCALL 5, 5\n" : "    SYSCALL 5, 4\n";
        break;
      case 11:  // the cursor: an image of the script's, or an animated pair the clock turns
        s += below(2) ? "    EFFECT 2, " + std::to_string(below(12)) + "\n"
                      : "    SYSCALL 2, 4, " + std::to_string(below(5)) + "\n";
        break;
      case 12:  // a save, and its variables read back at once: the same values, while slots run
        s += "    SYSCALL 4, 1, 1\n    SYSCALL 4, 2, 1\n";
        break;
      default:
        s += "    SET_DIM16 2, 0, DIM16[0][2] ^ 0x0004\n";  // freezes or frees the slots
        break;
    }
  }
  // The slots may run again; the last wait lets every channel be heard once more.
  s += "    SET_DIM16 2, 0, DIM16[0][2] | 0x0004\n    SYSCALL 11, 400\n    END\n";
  script.wait_ms += 100 * 15;
  script.c = static_cast<uint16_t>(c);
  script.d = static_cast<uint16_t>(d);
  return script;
}

class ThreadSoak : public HeadlessTest {
 protected:
  void TearDown() override {
    system_.reset();
    HeadlessTest::TearDown();
  }
  void Write(const std::string& name, std::span<const uint8_t> bytes) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  void WriteGameFiles() {
    WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
    Write("ANIM.DAT", SlotPrograms());
    Write("SHEET.G16", SolidG16(0x7C00, 64, 32));
    Write("ROOM1.G16", SolidG16(0x0010));
    Write("ROOM2.G16", SolidG16(0x03E0));
    // Two seconds of music looped whole; effects of 0.7 and 2.5 s; a 3 s voice line.
    Write("BGM.WAV", WavBuilder().Format().Data(Tone(100, 44100, 3000)).Smpl(1, 0, 44100).Build());
    Write("SE1.WAV", PcmFile(Tone(40, 15435, 4000)));
    Write("SE2.WAV", PcmFile(Tone(60, 55125, 4000)));
    Write("ERROR.WAV", PcmFile(Tone(30, 22050, 2000)));
    Write("WINOPN.WAV", PcmFile(Tone(20, 11025, 2000)));
    const auto voice = Tone(70, 66150, 5000);
    Write("VOICE.WAV",
          tool::WriteImaAdpcm(tool::EncodeImaAdpcm(voice, 512), static_cast<uint32_t>(voice.size()),
                              kVoiceSourceFormat));
  }

  // The deadline: the game is made to quit.
  static void Expire(void* context) {
    auto* self = static_cast<ThreadSoak*>(context);
    self->timed_out_ = true;
    self->system_->mainWindow().SetRunState(MainWindow::kQuit);
  }

  std::unique_ptr<GameSystem> system_;
  bool timed_out_ = false;
};

TEST_F(ThreadSoak, AMinuteOfSoundAnimationAndFadesOnRealThreadsEndsCleanly) {
  WriteGameFiles();
  const SoakScript script = MakeSoakScript(20261208, 60000);
  const auto assembled = mes::Assemble(script.source, "MAIN.MES");
  ASSERT_TRUE(assembled.ok()) << (assembled.errors.empty() ? "" : assembled.errors.front());
  Write("MAIN.MES", assembled.code);

  auto owned = std::make_unique<ThreadedClockBackend>();
  ThreadedClockBackend& backend = *owned;
  platform::Install(std::move(owned));
  system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
  // Far more than the script needs: a run that hangs ends here and fails.
  platform::SetDeadline(3 * script.wait_ms, &ThreadSoak::Expire, this);
  EXPECT_EQ(system_->RunSystem(), 0);

  // The run: ended by its END, by its deadline, with no box and the registers right.
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(system_->ending(), GameSystem::Ending::kGameEnded);
  EXPECT_FALSE(system_->Halted());
  const uint32_t ended_at = platform::TickCount();
  EXPECT_GE(ended_at, script.wait_ms);
  EXPECT_LT(ended_at, 3 * script.wait_ms);
  std::vector<std::string> boxes;
  for (const auto& box : platform::ShownBoxes())
    boxes.push_back(gbk::ToUtf8(box.caption) + " / " + gbk::ToUtf8(box.text));
  EXPECT_TRUE(boxes.empty()) << boxes.front();
  EXPECT_EQ(system_->variables().Register16(2), script.c);
  EXPECT_EQ(system_->variables().Register16(3), script.d);

  // Every channel played, all four at once after the opening calls, and nothing was missing.
  std::array<int, SoundManager::kChannels> plays{};
  std::array<int64_t, SoundManager::kChannels> first_play{-1, -1, -1, -1};
  std::array<int64_t, SoundManager::kChannels> first_end{-1, -1, -1, -1};
  for (const auto& e : system_->sound()->log().Events()) {
    ASSERT_GE(e.channel, 0);
    ASSERT_LT(e.channel, SoundManager::kChannels);
    const auto ch = static_cast<size_t>(e.channel);
    EXPECT_NE(e.what, "missing") << e.name;
    if (e.what == "play") {
      ++plays[ch];
      if (first_play[ch] < 0) first_play[ch] = e.time;
    } else if (first_end[ch] < 0) {
      first_end[ch] = e.time;
    }
  }
  const int64_t all_playing = *std::max_element(first_play.begin(), first_play.end());
  for (size_t ch = 0; ch < plays.size(); ++ch) {
    EXPECT_GT(plays[ch], 1) << "channel " << ch;
    EXPECT_GE(first_play[ch], 0) << "channel " << ch;
    EXPECT_TRUE(first_end[ch] < 0 || first_end[ch] > all_playing + kAllFourMs / 2)
        << "channel " << ch;
  }
  // The threads did the work: the clock and the feeders passed thousands of times, and the
  // audio thread mixed up to the end, much of it sound.
  EXPECT_GT(backend.passes(), script.wait_ms / 15);
  system_.reset();
  EXPECT_GE(backend.mixed_frames(), uint64_t{script.wait_ms} * SoundDevice::kRate / 1000);
  EXPECT_GT(backend.loud_frames(), backend.mixed_frames() / 2);
}

}  // namespace
}  // namespace tvx::testing
