// The software sound device: secondary buffers that play once or in a loop, are written
// through lock/unlock and report a play cursor, all mixed into one 22050 Hz 16-bit stereo
// stream. The backend only supplies the output: it asks for mixed frames (Render), from its
// audio thread (SDL) or at the times of the virtual clock (headless).
//
// Volumes and pans are in hundredths of a decibel. A volume v plays at gain 10^(v/2000),
// never above unity; a pan p attenuates the right side by p when negative and the left side
// by p when positive.
//
// Thread-safety: every operation takes the device's mutex for a short while; Render may run
// on another thread than the buffers' writers. The memory handed out by Lock is the writer's
// own copy until Unlock, so the mixer never reads a half-written region.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace tvx::platform {

struct PcmFormat {
  uint16_t channels = 1;  // 1 or 2
  uint32_t rate = 22050;  // frames per second: only the device's own rate is accepted
  uint16_t bits = 16;     // 8 (unsigned) or 16 (signed)
  uint32_t BlockAlign() const { return uint32_t{channels} * bits / 8; }
};

class SoundDevice {
 public:
  static constexpr uint32_t kRate = 22050;
  static constexpr size_t kOutputChannels = 2;
  static constexpr int kMaxBuffers = 16;
  static constexpr int32_t kSilentVolume = -10000;
  static constexpr int32_t kUnityGain = 1 << 16;
  // Status bits.
  static constexpr uint32_t kPlaying = 1;
  static constexpr uint32_t kLooping = 4;

  using BufferId = int;
  static constexpr BufferId kNoBuffer = -1;

  // The writable parts of a locked region: the second is non-empty when the region wraps
  // past the end of the buffer.
  struct Region {
    std::span<uint8_t> first;
    std::span<uint8_t> second;
  };

  SoundDevice() = default;
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // A silent, stopped buffer of `bytes` bytes (a whole number of frames); kNoBuffer when the
  // format is not one the device plays or no buffer is free.
  BufferId CreateBuffer(const PcmFormat& format, uint32_t bytes);
  void ReleaseBuffer(BufferId id);

  bool Play(BufferId id, bool looping);
  bool Stop(BufferId id);
  // kPlaying / kLooping bits; 0 for no such buffer.
  uint32_t Status(BufferId id) const;
  // Byte offset of the next frame to be mixed.
  std::optional<uint32_t> PlayCursor(BufferId id) const;
  bool SetPlayCursor(BufferId id, uint32_t position);
  bool SetVolume(BufferId id, int32_t hundredths);
  std::optional<int32_t> Volume(BufferId id) const;
  bool SetPan(BufferId id, int32_t hundredths);

  // Hands out `bytes` bytes from `offset` on (wrapping at the end) for writing; one region
  // per buffer at a time. Nothing reaches the buffer before Unlock.
  std::optional<Region> Lock(BufferId id, uint32_t offset, uint32_t bytes);
  bool Unlock(BufferId id);

  // Mixes the next out.size() / 2 frames (left, right interleaved) and moves the cursors of
  // the playing buffers on by as many frames.
  void Render(std::span<int16_t> out);

  // 10^(v/2000) in 16.16 fixed point, at most unity.
  static int32_t GainQ16(int32_t hundredths);

 private:
  struct Buffer {
    PcmFormat format;
    std::vector<uint8_t> data;
    std::vector<uint8_t> scratch;  // the locked region while it is being written
    uint32_t cursor = 0;           // bytes
    bool playing = false;
    bool looping = false;
    bool locked = false;
    uint32_t lock_offset = 0;
    uint32_t lock_bytes = 0;
    int32_t volume = 0;
    int32_t pan = 0;
    int32_t gain_left = kUnityGain;
    int32_t gain_right = kUnityGain;
  };
  Buffer* Find(BufferId id);
  const Buffer* Find(BufferId id) const;
  static void UpdateGains(Buffer& buffer);
  static void MixBuffer(Buffer& buffer, std::span<int32_t> accumulator);

  mutable std::mutex mutex_;
  std::array<std::unique_ptr<Buffer>, kMaxBuffers> buffers_;
  // False only when no buffer plays: Render then writes silence without taking the lock
  // (the headless platform mixes a frame or two after nearly every script command). Set by
  // Play, cleared by Render once it finds nothing playing, both with the lock held.
  std::atomic<bool> may_play_{false};
  static constexpr size_t kChunkFrames = 512;
  std::array<int32_t, kChunkFrames * kOutputChannels> accumulator_{};
};

}  // namespace tvx::platform
