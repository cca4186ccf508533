#include "tools/wav/engine_sound.h"

#include <algorithm>
#include <cmath>

#include "sound/wave_format.h"
#include "tools/wav/ima_encoder.h"
#include "tools/wav/resampler.h"

namespace tvx::tool {

std::optional<std::string> WhyNotConvertible(const WavData& wav, bool keeps_loop) {
  const uint32_t rate = wav.format.samplesPerSec;
  if (rate < kMinSourceRate || rate > kMaxSourceRate)
    return "a sample rate of " + std::to_string(rate) + " Hz is not supported (" +
           std::to_string(kMinSourceRate) + "-" + std::to_string(kMaxSourceRate) + " Hz)";
  if (keeps_loop && wav.loop && (wav.loop->end <= wav.loop->start || wav.loop->end > wav.Frames()))
    return "the loop (frames " + std::to_string(wav.loop->start) + " to " +
           std::to_string(wav.loop->end) + ") must end after it starts and within the " +
           std::to_string(wav.Frames()) + " frames of the data";
  return std::nullopt;
}

std::vector<int16_t> EngineSamples(const WavData& wav) {
  std::vector<float> mono(wav.Frames());
  for (const auto& channel : wav.channels)
    for (size_t i = 0; i < mono.size(); ++i) mono[i] += channel[i] / wav.channels.size();
  const std::vector<float> resampled = Resample(mono, wav.format.samplesPerSec, kEngineRate);
  std::vector<int16_t> out(resampled.size());
  for (size_t i = 0; i < out.size(); ++i)
    out[i] =
        static_cast<int16_t>(std::clamp(std::lround(resampled[i] * 32768.0f), -32768L, 32767L));
  return out;
}

EngineSound MusicFile(const WavData& wav) {
  const std::vector<int16_t> samples = EngineSamples(wav);
  std::optional<LoopRecord> loop = wav.loop;
  if (loop && wav.format.samplesPerSec) {
    // The loop keeps its place in time.
    const auto move = [&](uint32_t frame) {
      return static_cast<uint32_t>(std::min<uint64_t>(
          samples.size(), (uint64_t{frame} * kEngineRate + wav.format.samplesPerSec / 2) /
                              wav.format.samplesPerSec));
    };
    loop->start = move(loop->start);
    loop->end = move(loop->end);
  }
  return {WritePcm16(samples, kEngineRate, loop), samples.size(), 0};
}

EngineSound VoiceFile(const WavData& wav) {
  const std::vector<int16_t> samples = EngineSamples(wav);
  const uint16_t block_align = kVoiceSourceFormat.blockAlign;
  const std::vector<uint8_t> blocks = EncodeImaAdpcm(samples, block_align);
  return {WriteImaAdpcm(blocks, static_cast<uint32_t>(samples.size()), kVoiceSourceFormat),
          samples.size(), (blocks.size() + block_align - 1) / block_align};
}

}  // namespace tvx::tool
