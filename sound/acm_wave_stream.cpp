#include "sound/acm_wave_stream.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "resources/byte_order.h"
#include "sound/ima_adpcm.h"
#include "sound/sound_module.h"

namespace tvx {

namespace {
// The most samples one compressed block may decode to.
constexpr size_t kMaxSamples = 8192;
}  // namespace

AcmWaveStream::~AcmWaveStream() {
  // The feeder calls this class's Update: it ends before this class's parts go.
  Release();
  StopFeeder();
}

WaveFormat AcmWaveStream::DecodedFormat(const WaveFormat& source) {
  WaveFormat pcm;
  pcm.tag = kWaveFormatPcm;
  pcm.channels = source.channels;
  pcm.samplesPerSec = source.samplesPerSec;
  pcm.bitsPerSample = 16;
  pcm.blockAlign = static_cast<uint16_t>(2 * source.channels);
  pcm.avgBytesPerSec = source.samplesPerSec * pcm.blockAlign;
  return pcm;
}

bool AcmWaveStream::CreateCompressed(const WaveFormat& source) {
  if (source.tag != kWaveFormatImaAdpcm || (source.channels != 1 && source.channels != 2))
    return false;
  // The blocks must hold exactly the samples the format claims.
  if (source.samplesPerBlock == 0 ||
      ima::FramesInBlock(source.blockAlign, source.channels) != source.samplesPerBlock)
    return false;
  if (!source_buffer_.empty() || size_t{source.samplesPerBlock} * source.channels > kMaxSamples)
    return false;
  source_ = source;
  const WaveFormat pcm = DecodedFormat(source);
  source_buffer_ = module_.pool().Take(source.blockAlign);
  pcm_buffer_ = module_.pool().Take(uint32_t{source.samplesPerBlock} * pcm.blockAlign);
  if (source_buffer_.empty() || pcm_buffer_.empty() || !CreateBuffer(pcm)) {
    Release();
    return false;
  }
  return true;
}

bool AcmWaveStream::Release() {
  if (source_buffer_.empty() && pcm_buffer_.empty()) return false;
  Stop();
  ReleaseBuffer();
  // The decoding buffers go back to the pool as well.
  module_.pool().GiveBack(source_buffer_);
  module_.pool().GiveBack(pcm_buffer_);
  source_buffer_ = pcm_buffer_ = {};
  return true;
}

bool AcmWaveStream::FadeTo(uint32_t, int32_t, int32_t, int32_t) {
  return false;
}

void AcmWaveStream::Update() {
  if (!UpdatePlayback()) SleepWhenSilent();
}

void AcmWaveStream::ResetReader() {
  decoded_ = 0;
  decoded_offset_ = 0;
  compressed_remaining_ = data_size_;
}

void AcmWaveStream::DecodeNext() {
  decoded_offset_ = 0;
  decoded_ = 0;
  if (compressed_remaining_ == 0) {
    // Past the end: silence, a decoded block's worth at a time.
    std::fill(pcm_buffer_.begin(), pcm_buffer_.end(), uint8_t{0});
    decoded_ = static_cast<uint32_t>(pcm_buffer_.size());
    return;
  }
  const uint32_t wanted = std::min<uint32_t>(compressed_remaining_, source_.blockAlign);
  const auto piece = source_buffer_.first(wanted);
  const size_t got = ReadFile(piece);
  compressed_remaining_ -= wanted;
  // A read failure or a damaged block ends the voice cleanly where it is.
  if (got < wanted) compressed_remaining_ = 0;
  std::array<int16_t, kMaxSamples> samples;
  const size_t capacity = std::min(samples.size(), pcm_buffer_.size() / 2);
  const auto frames =
      ima::DecodeBlock(piece.first(got), source_.channels, std::span(samples).first(capacity));
  if (!frames) {
    compressed_remaining_ = 0;
  } else {
    const size_t count = *frames * source_.channels;
    for (size_t i = 0; i < count; ++i)
      bytes::StoreLe16(pcm_buffer_, 2 * i, static_cast<uint16_t>(samples[i]));
    decoded_ = static_cast<uint32_t>(2 * count);
  }
  if (compressed_remaining_ == 0 && end_state_ == 0) {
    pending_ = decoded_;
    end_state_ = 1;
  }
}

int64_t AcmWaveStream::ReadData(std::span<uint8_t> destination) {
  int64_t result = -1;
  uint32_t handed = 0;
  while (!destination.empty()) {
    if (decoded_ == 0) DecodeNext();
    const auto take = static_cast<uint32_t>(std::min<size_t>(destination.size(), decoded_));
    std::memcpy(destination.data(), pcm_buffer_.data() + decoded_offset_, take);
    decoded_offset_ += take;
    decoded_ -= take;
    destination = destination.subspan(take);
    EndCheck(take, handed, result);
    handed += take;
  }
  return result;
}

}  // namespace tvx
