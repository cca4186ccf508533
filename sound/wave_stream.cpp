#include "sound/wave_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sound/sound_module.h"
#include "sound/wave_chunks.h"

namespace tvx {

using platform::SoundDevice;

WaveStream::WaveStream(SoundModule& module) : module_(module) {}

WaveStream::~WaveStream() {
  // The feeder must not outlive the stream it feeds.
  StopFeeder();
}

void WaveStream::SetStopObserver(StopObserver observer) {
  std::lock_guard guard(lock_);
  observer_ = std::move(observer);
}

void WaveStream::NotifySelfStop(SelfStop why) {
  if (observer_) observer_(why);
}

// ---- Creation and release ----

bool WaveStream::CreateBuffer(const WaveFormat& format) {
  SoundDevice* device = module_.device();
  if (!device || buffer_ != SoundDevice::kNoBuffer) return false;
  // A block is one second and must be whole frames, so the cursor arithmetic stays exact.
  if (format.tag != kWaveFormatPcm || format.blockAlign == 0 || format.avgBytesPerSec == 0 ||
      format.avgBytesPerSec % format.blockAlign != 0)
    return false;
  format_ = format;
  const platform::PcmFormat pcm{format.channels, format.samplesPerSec, format.bitsPerSample};
  if (pcm.BlockAlign() != format.blockAlign) return false;
  buffer_ = device->CreateBuffer(pcm, kBlocks * format.avgBytesPerSec);
  if (buffer_ == SoundDevice::kNoBuffer) return false;
  const bool started = feeder_.Start(kFeederPeriodMs, [this] {
    std::lock_guard guard(lock_);
    Update();
  });
  if (!started) {
    device->ReleaseBuffer(buffer_);
    buffer_ = SoundDevice::kNoBuffer;
    return false;
  }
  return true;
}

void WaveStream::ReleaseBuffer() {
  // The feeder ends first, whether or not the device is still there.
  StopFeeder();
  if (buffer_ == SoundDevice::kNoBuffer) return;
  if (SoundDevice* device = module_.device()) device->ReleaseBuffer(buffer_);
  buffer_ = SoundDevice::kNoBuffer;
}

bool WaveStream::Create(const WaveFormat& format, uint32_t staging_size) {
  if (!CreateBuffer(format)) return false;
  staging_ = module_.pool().Take(staging_size);
  if (staging_.empty()) {
    // Nothing is left half made: the buffer and its feeder go again.
    ReleaseBuffer();
    return false;
  }
  return true;
}

bool WaveStream::Release() {
  if (staging_.empty()) return false;
  Stop();
  ReleaseBuffer();
  module_.pool().GiveBack(staging_);
  staging_ = {};
  return true;
}

// ---- Operations of the program thread ----

bool WaveStream::Open(platform::File* file) {
  SoundDevice* device = module_.device();
  if (!file || !device || buffer_ == SoundDevice::kNoBuffer) return false;
  // The whole of Open runs under the lock: the feeder waits at most for one file read.
  std::lock_guard guard(lock_);
  StopPlayback();
  loop_ = LoopRecord{};
  loop_.start = kNoLoop;
  const auto chunks = ReadWaveChunks(*file, /*want_format=*/false);
  if (!chunks) return false;
  data_offset_ = chunks->dataOffset;
  data_size_ = chunks->dataSize;
  loop_start_bytes_ = -1;
  play_end_bytes_ = data_size_;
  if (chunks->loop && LoopsAllowed()) {
    loop_ = *chunks->loop;
    // A loop must end after its start and within the data; any other plays the file once
    // (an empty loop would never fill the staging buffer).
    const uint64_t start = uint64_t{loop_.start} * format_.blockAlign;
    const uint64_t end = uint64_t{loop_.end} * format_.blockAlign;
    if (loop_.end > loop_.start && end <= data_size_) {
      loop_start_bytes_ = static_cast<int64_t>(start);
      play_end_bytes_ = static_cast<uint32_t>(end);
    } else {
      loop_.start = kNoLoop;
    }
  }
  staged_ = staged_offset_ = read_position_ = pending_ = 0;
  if (!file->Seek(static_cast<int64_t>(data_offset_))) return false;
  file_ = file;
  end_state_ = 0;
  stop_armed_ = false;
  last_cursor_ = stop_position_ = 0;
  ResetReader();
  FillBlocks(0, kPrefillBlocks);
  next_block_ = kPrefillBlocks;
  device->SetPlayCursor(buffer_, 0);
  device->SetPan(buffer_, 0);
  return true;
}

bool WaveStream::Play() {
  std::lock_guard guard(lock_);
  SoundDevice* device = module_.device();
  if (!file_ || !device || buffer_ == SoundDevice::kNoBuffer) return false;
  device->SetVolume(buffer_, volume_);
  if (!device->Play(buffer_, /*looping=*/true)) return false;
  feeder_.Wake();
  return true;
}

bool WaveStream::Stop() {
  std::lock_guard guard(lock_);
  return StopPlayback();
}

bool WaveStream::StopPlayback() {
  SoundDevice* device = module_.device();
  if (!device || buffer_ == SoundDevice::kNoBuffer) return false;
  device->Stop(buffer_);
  fade_state_ = 0;
  fade_ticks_ = 0;
  file_ = nullptr;
  return true;
}

bool WaveStream::FadeTo(uint32_t interval, int32_t target, int32_t stop_at_end, int32_t step) {
  target = std::clamp(target, kMinVolume, kMaxVolume);
  std::lock_guard guard(lock_);
  fade_step_ = step;
  SoundDevice* device = module_.device();
  if (!device || buffer_ == SoundDevice::kNoBuffer) return false;
  fade_target_ = target;
  fade_interval_ = interval;
  fade_stops_at_end_ = stop_at_end;
  fade_state_ = 0;
  fade_ticks_ = 0;
  fade_current_ = device->Volume(buffer_).value_or(volume_);
  if (target > fade_current_) {
    fade_state_ = 1;
  } else if (target < fade_current_) {
    fade_state_ = 2;
  } else if (stop_at_end == 1) {
    StopPlayback();
  }
  return true;
}

int32_t WaveStream::GetVolume() const {
  std::lock_guard guard(lock_);
  return volume_;
}

bool WaveStream::SetVolume(int32_t volume) {
  volume = std::clamp(volume, kMinVolume, kMaxVolume);
  std::lock_guard guard(lock_);
  SoundDevice* device = module_.device();
  if (!device || buffer_ == SoundDevice::kNoBuffer) return false;
  volume_ = volume;
  device->SetVolume(buffer_, volume);
  fade_state_ = 0;
  return true;
}

uint32_t WaveStream::GetStatus() const {
  const SoundDevice* device = module_.device();
  return device ? device->Status(buffer_) : 0;
}

uint32_t WaveStream::GetFadeState() const {
  std::lock_guard guard(lock_);
  return fade_state_;
}

int32_t WaveStream::BufferVolume() const {
  const SoundDevice* device = module_.device();
  return device ? device->Volume(buffer_).value_or(0) : 0;
}

bool WaveStream::Looping() const {
  std::lock_guard guard(lock_);
  return loop_start_bytes_ >= 0;
}

uint32_t WaveStream::EndState() const {
  std::lock_guard guard(lock_);
  return end_state_;
}

// ---- The feeder ----

void WaveStream::Update() {
  if (UpdatePlayback())
    FadeStep();
  else
    SleepWhenSilent();
}

void WaveStream::SleepWhenSilent() {
  if (!Playing()) feeder_.Park();
}

bool WaveStream::Playing() const {
  SoundDevice* device = module_.device();
  return device && buffer_ != SoundDevice::kNoBuffer &&
         (device->Status(buffer_) & SoundDevice::kPlaying) != 0;
}

bool WaveStream::UpdatePlayback() {
  SoundDevice* device = module_.device();
  if (!device || buffer_ == SoundDevice::kNoBuffer) return false;
  if (!(device->Status(buffer_) & SoundDevice::kPlaying)) return false;
  const auto cursor = device->PlayCursor(buffer_);
  if (!cursor) return false;
  const uint32_t now = *cursor;
  if (stop_armed_) {
    // Has the cursor passed the stop position since the last look (perhaps wrapping)?
    const uint32_t last = last_cursor_, stop = stop_position_;
    const bool passed = now < last ? (stop >= last || stop <= now) : (last <= stop && stop <= now);
    if (passed) {
      StopPlayback();
      NotifySelfStop(SelfStop::End);
      return false;
    }
  }
  last_cursor_ = now;
  // The block the cursor has just left is refilled, at most one per pass.
  const uint32_t left = (now / BlockSize() + kBlocks - 1) % kBlocks;
  if (left != next_block_) {
    FillBlocks(next_block_, 1);
    next_block_ = (next_block_ + 1) % kBlocks;
  }
  return true;
}

void WaveStream::FillBlocks(uint32_t first_block, uint32_t count) {
  SoundDevice* device = module_.device();
  const uint32_t offset = first_block * BlockSize();
  const uint32_t ring = kBlocks * BlockSize();
  const auto region = device->Lock(buffer_, offset, count * BlockSize());
  if (!region) return;  // nothing may be written then
  const int64_t first_end = ReadData(region->first);
  if (first_end >= 0 && !stop_armed_) {
    stop_armed_ = true;
    stop_position_ = static_cast<uint32_t>((offset + static_cast<uint64_t>(first_end)) % ring);
  }
  if (!region->second.empty()) {
    const int64_t second_end = ReadData(region->second);
    if (second_end >= 0 && !stop_armed_) {
      stop_armed_ = true;
      stop_position_ = static_cast<uint32_t>(
          (offset + region->first.size() + static_cast<uint64_t>(second_end)) % ring);
    }
  }
  device->Unlock(buffer_);
}

void WaveStream::FadeStep() {
  if (fade_state_ == 0) return;
  if (fade_ticks_ < fade_interval_) {
    ++fade_ticks_;
    return;
  }
  // A step that is not positive would never arrive: the ramp then ends at once.
  const int32_t step = fade_step_ > 0 ? fade_step_ : std::abs(fade_target_ - fade_current_);
  bool stopped = false;
  if (fade_state_ == 1) {
    if (fade_target_ > fade_current_) {
      fade_current_ += step;
    } else {
      fade_current_ = fade_target_;
      fade_state_ = 0;
    }
  } else if (fade_target_ < fade_current_) {
    fade_current_ -= step;
  } else {
    fade_current_ = fade_target_;
    fade_state_ = 0;
    if (fade_stops_at_end_ == 1) {
      StopPlayback();
      stopped = true;
    }
  }
  module_.device()->SetVolume(buffer_, fade_current_);
  fade_ticks_ = 0;
  if (stopped) NotifySelfStop(SelfStop::FadeEnd);
}

// ---- Reading ----

size_t WaveStream::ReadFile(std::span<uint8_t> out) {
  if (out.empty() || !file_) return 0;
  return file_->Read(out).value_or(0);
}

void WaveStream::EndCheck(uint32_t amount, uint32_t handed, int64_t& result) {
  if (end_state_ == 1 && pending_ <= amount) {
    result = int64_t{pending_} + handed;
    pending_ = 0;
    end_state_ = 2;
  } else if (pending_ != 0) {
    pending_ -= std::min(pending_, amount);
  }
}

int64_t WaveStream::ReadData(std::span<uint8_t> destination) {
  int64_t result = -1;
  uint32_t handed = 0;
  while (!destination.empty()) {
    if (staged_ == 0) Stage();
    const auto take = static_cast<uint32_t>(std::min<size_t>(destination.size(), staged_));
    std::memcpy(destination.data(), staging_.data() + staged_offset_, take);
    staged_offset_ += take;
    staged_ -= take;
    destination = destination.subspan(take);
    EndCheck(take, handed, result);
    handed += take;
  }
  return result;
}

void WaveStream::EndDataAt(uint32_t staged) {
  // What was staged is the last of the data; a loop, if any, ends with it.
  loop_start_bytes_ = -1;
  play_end_bytes_ = read_position_;
  end_state_ = 1;
  std::fill(staging_.begin() + staged, staging_.end(), SilenceByte());
  staged_ = static_cast<uint32_t>(staging_.size());
}

void WaveStream::Stage() {
  staged_offset_ = 0;
  staged_ = 0;
  const auto size = static_cast<uint32_t>(staging_.size());
  const uint32_t remaining =
      play_end_bytes_ > read_position_ ? play_end_bytes_ - read_position_ : 0;
  if (end_state_ == 0 && remaining > size) {
    // The common case: a whole staging buffer of data.
    const auto got = static_cast<uint32_t>(ReadFile(staging_));
    read_position_ += got;
    pending_ += got;
    if (got < size) return EndDataAt(got);  // a read failure ends the sound here
    staged_ = size;
    return;
  }
  if (end_state_ == 0 && loop_start_bytes_ >= 0) {
    // Up to the loop end, then on from the loop start, until the staging buffer is full:
    // the loop joins seamlessly inside it.
    while (staged_ < size) {
      const uint32_t take = std::min(play_end_bytes_ - read_position_, size - staged_);
      const auto got = static_cast<uint32_t>(ReadFile(staging_.subspan(staged_, take)));
      read_position_ += got;
      staged_ += got;
      pending_ += got;
      if (got < take) return EndDataAt(staged_);
      if (read_position_ >= play_end_bytes_) {
        read_position_ = static_cast<uint32_t>(loop_start_bytes_);
        if (!file_ || !file_->Seek(static_cast<int64_t>(data_offset_) + loop_start_bytes_))
          return EndDataAt(staged_);
      }
    }
    return;
  }
  // The last of the data, then silence.
  uint32_t got = 0;
  if (end_state_ == 0) {
    got = static_cast<uint32_t>(ReadFile(staging_.first(remaining)));
    pending_ += got;
    end_state_ = 1;
  }
  std::fill(staging_.begin() + got, staging_.end(), SilenceByte());
  read_position_ = play_end_bytes_;
  staged_ = size;
}

}  // namespace tvx
