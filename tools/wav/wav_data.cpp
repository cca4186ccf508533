#include "tools/wav/wav_data.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "resources/byte_order.h"
#include "sound/ima_adpcm.h"

namespace tvx::tool {

namespace {

constexpr uint16_t kFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;

void AppendId(std::vector<uint8_t>& out, std::string_view id) {
  out.insert(out.end(), id.begin(), id.end());
}

void AppendLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendFormat(std::vector<uint8_t>& out, const WaveFormat& f, bool with_extra) {
  AppendId(out, "fmt ");
  bytes::AppendLe32(out, with_extra ? 20 : 16);
  AppendLe16(out, f.tag);
  AppendLe16(out, f.channels);
  bytes::AppendLe32(out, f.samplesPerSec);
  bytes::AppendLe32(out, f.avgBytesPerSec);
  AppendLe16(out, f.blockAlign);
  AppendLe16(out, f.bitsPerSample);
  if (with_extra) {
    AppendLe16(out, 2);
    AppendLe16(out, f.samplesPerBlock);
  }
}

void AppendSmpl(std::vector<uint8_t>& out, const LoopRecord& loop, uint32_t rate) {
  AppendId(out, "smpl");
  bytes::AppendLe32(out, 36 + 24);
  const uint32_t header[9] = {0, 0, rate ? 1000000000u / rate : 0, 60, 0, 0, 0, 1, 0};
  for (const uint32_t v : header) bytes::AppendLe32(out, v);
  for (const uint32_t v :
       {loop.identifier, loop.type, loop.start, loop.end, loop.fraction, loop.playCount})
    bytes::AppendLe32(out, v);
}

std::vector<uint8_t> Riff(std::vector<uint8_t> body) {
  std::vector<uint8_t> out;
  out.reserve(body.size() + 12);
  AppendId(out, "RIFF");
  bytes::AppendLe32(out, static_cast<uint32_t>(body.size() + 4));
  AppendId(out, "WAVE");
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

float PcmSample(std::span<const uint8_t> data, size_t at, uint16_t bits, bool is_float) {
  if (is_float) {
    const uint32_t raw = bytes::LoadLe32(data, at);
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
  }
  switch (bits) {
    case 8:
      return (static_cast<float>(data[at]) - 128.0f) / 128.0f;
    case 16:
      return static_cast<float>(static_cast<int16_t>(bytes::LoadLe16(data, at))) / 32768.0f;
    case 24: {
      const int32_t v =
          static_cast<int32_t>((data[at] | data[at + 1] << 8 | data[at + 2] << 16) << 8) >> 8;
      return static_cast<float>(v) / 8388608.0f;
    }
    default:
      return static_cast<float>(static_cast<int32_t>(bytes::LoadLe32(data, at))) / 2147483648.0f;
  }
}

bool ReadPcm(WavData& wav, std::span<const uint8_t> data, bool is_float, std::string& error) {
  const WaveFormat& f = wav.format;
  const uint16_t bits = f.bitsPerSample;
  if (is_float ? bits != 32 : (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
    error = "samples of " + std::to_string(bits) + " bits are not supported";
    return false;
  }
  const size_t width = bits / 8;
  const size_t frame = width * f.channels;
  const size_t frames = data.size() / frame;
  for (auto& channel : wav.channels) channel.resize(frames);
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < f.channels; ++c)
      wav.channels[c][i] = PcmSample(data, i * frame + c * width, bits, is_float);
  return true;
}

bool ReadIma(WavData& wav, std::span<const uint8_t> data, std::string& error) {
  const WaveFormat& f = wav.format;
  if (f.blockAlign < 4u * f.channels || (f.channels != 1 && f.channels != 2)) {
    error = "IMA ADPCM with this block size or channel count is not supported";
    return false;
  }
  std::vector<int16_t> samples(ima::FramesInBlock(f.blockAlign, f.channels) * f.channels);
  for (size_t at = 0; at < data.size(); at += f.blockAlign) {
    const auto block = data.subspan(at, std::min<size_t>(f.blockAlign, data.size() - at));
    const auto frames = ima::DecodeBlock(block, f.channels, samples);
    if (!frames) {
      error = "damaged IMA ADPCM block at data offset " + std::to_string(at);
      return false;
    }
    for (size_t i = 0; i < *frames; ++i)
      for (size_t c = 0; c < f.channels; ++c)
        wav.channels[c].push_back(static_cast<float>(samples[i * f.channels + c]) / 32768.0f);
  }
  return true;
}

}  // namespace

std::string FormatName(const WaveFormat& format) {
  switch (format.tag) {
    case kWaveFormatPcm:
      return "PCM";
    case kFloat:
      return "IEEE float";
    case kWaveFormatImaAdpcm:
      return "IMA ADPCM";
    case kExtensible:
      return "extensible";
    default:
      return "format tag " + std::to_string(format.tag);
  }
}

std::optional<WavData> ReadWav(std::span<const uint8_t> bytes, std::string& error) {
  const auto chunks = ReadWaveChunks(bytes, /*want_format=*/true);
  if (!chunks || !chunks->format) {
    error = "not a RIFF/WAVE file with a format and non-empty data";
    return std::nullopt;
  }
  WavData wav;
  wav.format = *chunks->format;
  wav.loop = chunks->loop;
  wav.dataSize = chunks->dataSize;
  if (wav.format.channels == 0 || wav.format.channels > 8) {
    error = "a channel count of " + std::to_string(wav.format.channels) + " is not supported";
    return std::nullopt;
  }
  wav.channels.resize(wav.format.channels);
  const auto data = bytes.subspan(static_cast<size_t>(chunks->dataOffset), chunks->dataSize);
  uint16_t tag = wav.format.tag;
  if (tag == kExtensible) tag = chunks->extensibleTag;
  bool ok = false;
  if (tag == kWaveFormatPcm || tag == kFloat) {
    ok = ReadPcm(wav, data, tag == kFloat, error);
  } else if (tag == kWaveFormatImaAdpcm) {
    ok = ReadIma(wav, data, error);
  } else {
    error = "the " + FormatName(wav.format) + " format is not supported";
  }
  if (!ok) return std::nullopt;
  return wav;
}

std::vector<uint8_t> WritePcm16(std::span<const int16_t> samples, uint32_t rate,
                                const std::optional<LoopRecord>& loop) {
  const WaveFormat format{kWaveFormatPcm, 1, rate, rate * 2, 2, 16, 0, 0};
  std::vector<uint8_t> body;
  body.reserve(samples.size() * 2 + 128);
  AppendFormat(body, format, false);
  AppendId(body, "data");
  bytes::AppendLe32(body, static_cast<uint32_t>(samples.size() * 2));
  for (const int16_t s : samples) AppendLe16(body, static_cast<uint16_t>(s));
  if (loop) AppendSmpl(body, *loop, rate);
  return Riff(std::move(body));
}

std::vector<uint8_t> WriteImaAdpcm(std::span<const uint8_t> blocks, uint32_t frames,
                                   const WaveFormat& format) {
  std::vector<uint8_t> body;
  body.reserve(blocks.size() + 128);
  AppendFormat(body, format, true);
  // The number of samples the blocks stand for (a padded last block decodes to more).
  AppendId(body, "fact");
  bytes::AppendLe32(body, 4);
  bytes::AppendLe32(body, frames);
  AppendId(body, "data");
  bytes::AppendLe32(body, static_cast<uint32_t>(blocks.size()));
  body.insert(body.end(), blocks.begin(), blocks.end());
  if (blocks.size() % 2) body.push_back(0);
  return Riff(std::move(body));
}

std::optional<std::vector<uint8_t>> ReplaceLoop(std::span<const uint8_t> bytes,
                                                const LoopRecord& loop) {
  auto id_is = [&](size_t at, std::string_view id) {
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, id.data(), 4) == 0;
  };
  if (bytes.size() < 12 || !id_is(0, "RIFF") || !id_is(8, "WAVE")) return std::nullopt;
  const size_t end = std::min<size_t>(bytes.size(), size_t{bytes::LoadLe32(bytes, 4)} + 8);
  std::vector<uint8_t> body;
  uint32_t rate = 0;
  // Every chunk but "smpl" is kept as it is.
  size_t at = 12;
  while (at + 8 <= end) {
    const uint32_t size = bytes::LoadLe32(bytes, at + 4);
    const size_t next = std::min<size_t>(end, at + 8 + size + (size & 1u));
    if (id_is(at, "fmt ") && size >= 8) rate = bytes::LoadLe32(bytes, at + 12);
    if (!id_is(at, "smpl")) {
      body.insert(body.end(), bytes.begin() + static_cast<ptrdiff_t>(at),
                  bytes.begin() + static_cast<ptrdiff_t>(next));
      if ((next - at) % 2) body.push_back(0);
    }
    at = next;
  }
  AppendSmpl(body, loop, rate);
  return Riff(std::move(body));
}

}  // namespace tvx::tool
