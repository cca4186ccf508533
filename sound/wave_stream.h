// One wave file streamed through one device buffer. The buffer holds four blocks of one
// second each and plays in a loop; a feeder (a periodic task every 50 ms) refills the block
// the play cursor has just left, detects the end of the data by the cursor passing the
// recorded stop position, and steps volume fades. The file is read through a staging buffer
// taken from the SoundPool, so refilling a block is normally a memory copy.
//
// A file plays once and the stream stops by itself once the data has been heard, unless its
// "smpl" chunk holds a usable loop: then the region from start × block align up to (not
// including) end × block align repeats for ever, joined seamlessly.
//
// Threads: the feeder calls Update with the stream's lock held; the operations that change
// the stream take the same lock. ReadData and StopPlayback run with the lock held.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string_view>

#include "platform/file.h"
#include "platform/periodic_task.h"
#include "platform/sound_device.h"
#include "sound/wave_format.h"

namespace tvx {

class SoundModule;

class WaveStream {
 public:
  static constexpr uint32_t kBlocks = 4;
  static constexpr uint32_t kPrefillBlocks = 3;
  static constexpr uint32_t kFeederPeriodMs = 50;
  static constexpr int32_t kMinVolume = -6000;
  static constexpr int32_t kMaxVolume = 6000;
  static constexpr uint32_t kNoLoop = 0xFFFFFFFF;

  // Why a stream stopped by itself.
  enum class SelfStop : uint8_t { End, FadeEnd };
  using StopObserver = std::function<void(SelfStop)>;

  explicit WaveStream(SoundModule& module);
  WaveStream(const WaveStream&) = delete;
  WaveStream& operator=(const WaveStream&) = delete;
  virtual ~WaveStream();

  // The device buffer in `format` (4 × its bytes per second) and its feeder; then the
  // staging buffer of `staging_size` bytes from the SoundPool.
  virtual bool Create(const WaveFormat& format, uint32_t staging_size);
  // Stops, ends the feeder, releases the buffer and gives the staging memory back.
  virtual bool Release();
  // Attaches a wave file positioned at its "RIFF" header and fills the first three blocks.
  // The file stays owned by the caller and must stay open while the stream plays.
  virtual bool Open(platform::File* file);
  // Starts looping playback of the buffer at the set volume; false without a file.
  virtual bool Play();
  virtual bool Stop();
  // A stepwise volume ramp: one step of `step` every (interval + 1) feeder passes towards
  // `target`; a falling ramp with stop_at_end 1 stops the stream when it arrives.
  virtual bool FadeTo(uint32_t interval, int32_t target, int32_t stop_at_end, int32_t step);
  virtual int32_t GetVolume() const;
  // Sets the volume now (clamped to ±6000) and cancels any fade.
  virtual bool SetVolume(int32_t volume);
  // The buffer's status bits (kPlaying while it plays); 0 without a buffer.
  virtual uint32_t GetStatus() const;
  // 0 none, 1 rising, 2 falling.
  virtual uint32_t GetFadeState() const;

  // Told (on the feeder, with the lock held) when the stream stops by itself.
  void SetStopObserver(StopObserver observer);
  // The volume the device buffer plays at now (the fade's, or the set volume).
  int32_t BufferVolume() const;
  bool Looping() const;
  uint32_t EndState() const;
  uint32_t BlockSize() const { return format_.avgBytesPerSec; }
  platform::SoundDevice::BufferId buffer() const { return buffer_; }
  // Whether the feeder sleeps until the next Play (it does while the buffer is not playing).
  bool FeederAsleep() const { return feeder_.parked(); }

 protected:
  // The feeder's step: end detection, one-block refill, then the fade step.
  virtual void Update();
  // Writes exactly destination.size() bytes of sound: data, then silence once the data is
  // exhausted. The offset within them at which the data ends, or -1.
  virtual int64_t ReadData(std::span<uint8_t> destination);
  // Stops the buffer and forgets the file, without taking the lock.
  virtual bool StopPlayback();
  // Whether files may loop (the compressed stream plays every file once).
  virtual bool LoopsAllowed() const { return true; }
  // Called by Open once the chunks are read, before the prefill.
  virtual void ResetReader() {}

  bool CreateBuffer(const WaveFormat& format);
  void ReleaseBuffer();
  // Ends the feeder; Update never runs after this returns.
  void StopFeeder() { feeder_.Stop(); }
  // Update's steps 1-4; false when the stream stopped or is not playing.
  bool UpdatePlayback();
  // Whether the buffer is playing; called with the lock held.
  bool Playing() const;
  // From Update: a stream whose buffer is not playing has nothing to refill or fade until
  // Play, so its feeder sleeps instead of waking 20 times a second.
  void SleepWhenSilent();
  // The end check after `amount` bytes were handed out, `handed` bytes into this ReadData.
  void EndCheck(uint32_t amount, uint32_t handed, int64_t& result);
  // Reads from the attached file; the count read (short on error or at its end).
  size_t ReadFile(std::span<uint8_t> out);
  uint8_t SilenceByte() const { return format_.bitsPerSample == 8 ? 0x80 : 0; }
  void NotifySelfStop(SelfStop why);

  SoundModule& module_;
  mutable std::mutex lock_;
  platform::SoundDevice::BufferId buffer_ = platform::SoundDevice::kNoBuffer;
  WaveFormat format_;
  LoopRecord loop_;
  int32_t volume_ = 0;
  uint32_t next_block_ = 0;
  uint32_t end_state_ = 0;  // 0 reading, 1 last byte staged, 2 end handed to the buffer
  bool stop_armed_ = false;
  uint32_t last_cursor_ = 0;
  uint32_t stop_position_ = 0;
  int64_t loop_start_bytes_ = -1;
  uint32_t play_end_bytes_ = 0;
  uint32_t pending_ = 0;
  platform::File* file_ = nullptr;
  uint64_t data_offset_ = 0;
  uint32_t data_size_ = 0;

 private:
  void FillBlocks(uint32_t first_block, uint32_t count);
  void FadeStep();
  // Fills the staging buffer again from the file (or with silence past the end).
  void Stage();
  // The data ends where the reading stopped: what is staged plays, then silence.
  void EndDataAt(uint32_t staged);

  platform::PeriodicTask feeder_;
  StopObserver observer_;
  uint32_t fade_state_ = 0;
  int32_t fade_stops_at_end_ = 1;
  uint32_t fade_interval_ = 0;
  uint32_t fade_ticks_ = 0;
  int32_t fade_target_ = 0;
  int32_t fade_current_ = 0;
  int32_t fade_step_ = 0;
  uint32_t read_position_ = 0;
  std::span<uint8_t> staging_;
  uint32_t staged_ = 0;
  uint32_t staged_offset_ = 0;
};

}  // namespace tvx
