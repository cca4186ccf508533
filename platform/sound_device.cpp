#include "platform/sound_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/platform_state.h"

namespace tvx::platform {

int32_t SoundDevice::GainQ16(int32_t hundredths) {
  if (hundredths >= 0) return kUnityGain;
  if (hundredths <= kSilentVolume) return 0;
  return static_cast<int32_t>(std::lround(kUnityGain * std::pow(10.0, hundredths / 2000.0)));
}

SoundDevice::Buffer* SoundDevice::Find(BufferId id) {
  return id >= 0 && id < kMaxBuffers ? buffers_[static_cast<size_t>(id)].get() : nullptr;
}

const SoundDevice::Buffer* SoundDevice::Find(BufferId id) const {
  return id >= 0 && id < kMaxBuffers ? buffers_[static_cast<size_t>(id)].get() : nullptr;
}

void SoundDevice::UpdateGains(Buffer& buffer) {
  const int32_t gain = GainQ16(buffer.volume);
  const int64_t left = buffer.pan > 0 ? GainQ16(-buffer.pan) : kUnityGain;
  const int64_t right = buffer.pan < 0 ? GainQ16(buffer.pan) : kUnityGain;
  buffer.gain_left = static_cast<int32_t>((gain * left) >> 16);
  buffer.gain_right = static_cast<int32_t>((gain * right) >> 16);
}

SoundDevice::BufferId SoundDevice::CreateBuffer(const PcmFormat& format, uint32_t bytes) {
  const bool playable = (format.channels == 1 || format.channels == 2) &&
                        (format.bits == 8 || format.bits == 16) && format.rate == kRate;
  if (!playable || bytes == 0 || bytes % format.BlockAlign() != 0) return kNoBuffer;
  auto buffer = std::make_unique<Buffer>();
  buffer->format = format;
  // Silence of the format: 8-bit samples are unsigned.
  buffer->data.assign(bytes, format.bits == 8 ? 0x80 : 0);
  buffer->scratch.resize(bytes);
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < buffers_.size(); ++i) {
    if (!buffers_[i]) {
      buffers_[i] = std::move(buffer);
      return static_cast<BufferId>(i);
    }
  }
  return kNoBuffer;
}

void SoundDevice::ReleaseBuffer(BufferId id) {
  std::unique_ptr<Buffer> gone;
  std::lock_guard lock(mutex_);
  if (id >= 0 && id < kMaxBuffers) gone = std::move(buffers_[static_cast<size_t>(id)]);
}

bool SoundDevice::Play(BufferId id, bool looping) {
  std::lock_guard lock(mutex_);
  Buffer* buffer = Find(id);
  if (!buffer) return false;
  buffer->playing = true;
  buffer->looping = looping;
  may_play_.store(true, std::memory_order_relaxed);
  return true;
}

bool SoundDevice::Stop(BufferId id) {
  bool was_playing = false;
  {
    std::lock_guard lock(mutex_);
    Buffer* buffer = Find(id);
    if (!buffer) return false;
    was_playing = buffer->playing;
    buffer->playing = false;
  }
  // A stream's feeder stops its buffer at the end: the program may be waiting for that.
  if (was_playing) WakeIdleWait();
  return true;
}

uint32_t SoundDevice::Status(BufferId id) const {
  std::lock_guard lock(mutex_);
  const Buffer* buffer = Find(id);
  if (!buffer || !buffer->playing) return 0;
  return kPlaying | (buffer->looping ? kLooping : 0);
}

std::optional<uint32_t> SoundDevice::PlayCursor(BufferId id) const {
  std::lock_guard lock(mutex_);
  const Buffer* buffer = Find(id);
  if (!buffer) return std::nullopt;
  return buffer->cursor;
}

bool SoundDevice::SetPlayCursor(BufferId id, uint32_t position) {
  std::lock_guard lock(mutex_);
  Buffer* buffer = Find(id);
  if (!buffer || position >= buffer->data.size()) return false;
  // The cursor always stands on a frame.
  buffer->cursor = position - position % buffer->format.BlockAlign();
  return true;
}

bool SoundDevice::SetVolume(BufferId id, int32_t hundredths) {
  std::lock_guard lock(mutex_);
  Buffer* buffer = Find(id);
  if (!buffer) return false;
  buffer->volume = hundredths;
  UpdateGains(*buffer);
  return true;
}

std::optional<int32_t> SoundDevice::Volume(BufferId id) const {
  std::lock_guard lock(mutex_);
  const Buffer* buffer = Find(id);
  if (!buffer) return std::nullopt;
  return buffer->volume;
}

bool SoundDevice::SetPan(BufferId id, int32_t hundredths) {
  std::lock_guard lock(mutex_);
  Buffer* buffer = Find(id);
  if (!buffer) return false;
  buffer->pan = std::clamp(hundredths, kSilentVolume, -kSilentVolume);
  UpdateGains(*buffer);
  return true;
}

std::optional<SoundDevice::Region> SoundDevice::Lock(BufferId id, uint32_t offset, uint32_t bytes) {
  std::lock_guard lock(mutex_);
  Buffer* buffer = Find(id);
  if (!buffer || buffer->locked) return std::nullopt;
  const auto size = static_cast<uint32_t>(buffer->data.size());
  if (offset >= size || bytes == 0 || bytes > size) return std::nullopt;
  buffer->locked = true;
  buffer->lock_offset = offset;
  buffer->lock_bytes = bytes;
  // The writer sees what the region holds now, as in the buffer itself.
  const uint32_t first = std::min(bytes, size - offset);
  std::memcpy(buffer->scratch.data(), buffer->data.data() + offset, first);
  std::memcpy(buffer->scratch.data() + first, buffer->data.data(), bytes - first);
  std::span<uint8_t> scratch(buffer->scratch);
  return Region{scratch.first(first), scratch.subspan(first, bytes - first)};
}

bool SoundDevice::Unlock(BufferId id) {
  std::lock_guard lock(mutex_);
  Buffer* buffer = Find(id);
  if (!buffer || !buffer->locked) return false;
  const auto size = static_cast<uint32_t>(buffer->data.size());
  const uint32_t offset = buffer->lock_offset;
  const uint32_t bytes = buffer->lock_bytes;
  const uint32_t first = std::min(bytes, size - offset);
  std::memcpy(buffer->data.data() + offset, buffer->scratch.data(), first);
  std::memcpy(buffer->data.data(), buffer->scratch.data() + first, bytes - first);
  buffer->locked = false;
  return true;
}

void SoundDevice::MixBuffer(Buffer& buffer, std::span<int32_t> accumulator) {
  const uint32_t align = buffer.format.BlockAlign();
  const size_t frames_in_buffer = buffer.data.size() / align;
  size_t frame = buffer.cursor / align;
  const bool stereo = buffer.format.channels == 2;
  const bool wide = buffer.format.bits == 16;
  const int64_t gain_left = buffer.gain_left, gain_right = buffer.gain_right;
  const uint8_t* data = buffer.data.data();
  auto sample = [&](size_t index) -> int32_t {
    if (wide) return static_cast<int16_t>(data[2 * index] | data[2 * index + 1] << 8);
    return (static_cast<int32_t>(data[index]) - 0x80) * 256;
  };
  const size_t frames = accumulator.size() / kOutputChannels;
  for (size_t i = 0; i < frames; ++i) {
    const int32_t left = sample(stereo ? 2 * frame : frame);
    const int32_t right = stereo ? sample(2 * frame + 1) : left;
    accumulator[2 * i] += static_cast<int32_t>((left * gain_left) >> 16);
    accumulator[2 * i + 1] += static_cast<int32_t>((right * gain_right) >> 16);
    if (++frame == frames_in_buffer) {
      frame = 0;
      if (!buffer.looping) {
        // A buffer played once stops at its end.
        buffer.playing = false;
        break;
      }
    }
  }
  buffer.cursor = static_cast<uint32_t>(frame * align);
}

void SoundDevice::Render(std::span<int16_t> out) {
  if (!may_play_.load(std::memory_order_relaxed)) {
    std::fill(out.begin(), out.end(), int16_t{0});
    return;
  }
  bool ended = false;
  {
    std::lock_guard lock(mutex_);
    while (out.size() >= kOutputChannels) {
      const size_t frames = std::min(out.size() / kOutputChannels, kChunkFrames);
      const auto accumulator = std::span(accumulator_).first(frames * kOutputChannels);
      std::fill(accumulator.begin(), accumulator.end(), 0);
      for (auto& buffer : buffers_) {
        if (!buffer || !buffer->playing) continue;
        MixBuffer(*buffer, accumulator);
        ended = ended || !buffer->playing;
      }
      for (size_t i = 0; i < accumulator.size(); ++i)
        out[i] = static_cast<int16_t>(std::clamp(accumulator[i], -32768, 32767));
      out = out.subspan(accumulator.size());
    }
    if (std::none_of(buffers_.begin(), buffers_.end(),
                     [](const auto& buffer) { return buffer && buffer->playing; }))
      may_play_.store(false, std::memory_order_relaxed);
  }
  // The program may be waiting for this sound to end.
  if (ended) WakeIdleWait();
}

}  // namespace tvx::platform
