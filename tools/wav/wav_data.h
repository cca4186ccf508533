// Wave files as the wav tool sees them: any PCM (8/16/24/32-bit), 32-bit float or IMA ADPCM
// file read into floating-point samples per channel; 16-bit mono PCM and IMA ADPCM written
// back, with an optional "smpl" loop.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/wave_chunks.h"
#include "sound/wave_format.h"

namespace tvx::tool {

struct WavData {
  WaveFormat format;                         // as the file states it
  std::vector<std::vector<float>> channels;  // samples in [-1, 1]
  std::optional<LoopRecord> loop;
  uint32_t dataSize = 0;
  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// nullopt with `error` set when the file is not a wave file the tool reads.
std::optional<WavData> ReadWav(std::span<const uint8_t> bytes, std::string& error);
// A human name of a format tag.
std::string FormatName(const WaveFormat& format);

// A 16-bit mono PCM file at `rate`.
std::vector<uint8_t> WritePcm16(std::span<const int16_t> samples, uint32_t rate,
                                const std::optional<LoopRecord>& loop);
// An IMA ADPCM mono file in the engine's voice format from already encoded blocks.
std::vector<uint8_t> WriteImaAdpcm(std::span<const uint8_t> blocks, uint32_t frames,
                                   const WaveFormat& format);
// The same file with its "smpl" chunk replaced by one holding this loop (appended when it
// had none). nullopt when the file is not RIFF/WAVE.
std::optional<std::vector<uint8_t>> ReplaceLoop(std::span<const uint8_t> bytes,
                                                const LoopRecord& loop);

}  // namespace tvx::tool
