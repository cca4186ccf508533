// The chunk walk of RIFF/WAVE files: where the "data" payload lies, the "fmt " chunk when
// asked for, and the first "smpl" loop.
//
//   +0  "RIFF"  u32 size S (bytes after this field)  "WAVE"
//   +12 chunks: 4-byte id, u32 payload size P, payload, one pad byte when P is odd
//       "fmt "  u16 tag, u16 channels, u32 rate, u32 bytes/s, u16 block align,
//               u16 bits, [u16 extra size, u16 samples per block]
//       "data"  the samples
//       "smpl"  36-byte header (u32 loop count at +28), then 24-byte loops:
//               u32 id, type, start, end, fraction, play count
//
// A chunk that starts within the last 12 bytes of the RIFF size is not visited. Damaged
// sizes are survived: the walk always moves forward, stops at the end of the file, and a
// "data" size is cut to what the RIFF size and the file hold.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "platform/file.h"
#include "sound/wave_format.h"

namespace tvx {

struct WaveChunks {
  std::optional<WaveFormat> format;  // only when asked for
  uint64_t dataOffset = 0;           // absolute position of the first data byte
  uint32_t dataSize = 0;
  std::optional<LoopRecord> loop;  // a "smpl" chunk with a loop count other than 0
  // WAVE_FORMAT_EXTENSIBLE (tag 0xFFFE): the tag its sub-format stands for, when present.
  uint16_t extensibleTag = 0;
};

// Reads bytes at an absolute position into `out`; the count read.
using ReadAt = std::function<size_t(uint64_t position, std::span<uint8_t> out)>;

// Walks the file whose "RIFF" header is at `start`; `file_end` is where the file ends.
// nullopt when it is not RIFF/WAVE, has no non-empty "data" chunk, or (when the format is
// wanted) its "fmt " chunk is shorter than 14 bytes.
std::optional<WaveChunks> ReadWaveChunks(const ReadAt& read, uint64_t start, uint64_t file_end,
                                         bool want_format);
// From the file's present position.
std::optional<WaveChunks> ReadWaveChunks(platform::File& file, bool want_format);
// A whole file in memory.
std::optional<WaveChunks> ReadWaveChunks(std::span<const uint8_t> bytes, bool want_format);

}  // namespace tvx
