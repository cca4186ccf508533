// The stream for voices stored as IMA ADPCM: the streaming machinery of WaveStream, but the
// bytes come from decoding the file one compressed block at a time instead of through the
// staging buffer. Every file plays once (no loops) and the stream does not fade.
#pragma once

#include <cstdint>
#include <span>

#include "sound/wave_stream.h"

namespace tvx {

class AcmWaveStream : public WaveStream {
 public:
  using WaveStream::WaveStream;
  ~AcmWaveStream() override;

  // The device buffer in the PCM format that the source decodes to, the feeder, and one
  // compressed block and its decoded samples from the SoundPool. The source must be IMA
  // ADPCM with 1 or 2 channels and whole blocks of samplesPerBlock frames.
  bool CreateCompressed(const WaveFormat& source);
  bool Release() override;
  // Does nothing: voices keep their volume.
  bool FadeTo(uint32_t interval, int32_t target, int32_t stop_at_end, int32_t step) override;

  // The PCM format a source decodes to.
  static WaveFormat DecodedFormat(const WaveFormat& source);

 protected:
  void Update() override;
  int64_t ReadData(std::span<uint8_t> destination) override;
  bool LoopsAllowed() const override { return false; }
  void ResetReader() override;

 private:
  // Reads and decodes the next compressed block, or makes a block of silence past the end.
  void DecodeNext();

  WaveFormat source_;
  std::span<uint8_t> source_buffer_;
  std::span<uint8_t> pcm_buffer_;
  uint32_t decoded_ = 0;
  uint32_t decoded_offset_ = 0;
  uint32_t compressed_remaining_ = 0;
};

}  // namespace tvx
