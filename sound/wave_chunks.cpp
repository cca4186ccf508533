#include "sound/wave_chunks.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "resources/byte_order.h"

namespace tvx {

namespace {

constexpr size_t kSmplHeaderSize = 36;
constexpr size_t kLoopSize = 24;
constexpr size_t kMinFormatSize = 14;
constexpr size_t kFormatSize = 20;      // WAVEFORMATEX and the samples per block behind it
constexpr size_t kExtensibleSize = 26;  // ... and the first two bytes of the sub-format

bool IdIs(std::span<const uint8_t> bytes, size_t at, std::string_view id) {
  return std::equal(id.begin(), id.end(), bytes.begin() + static_cast<ptrdiff_t>(at),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

WaveFormat ParseFormat(std::span<const uint8_t> raw, uint32_t size) {
  // Fields the chunk is too short to hold read as 0.
  std::array<uint8_t, kFormatSize> bytes{};
  std::copy_n(raw.begin(), std::min<size_t>(size, kFormatSize), bytes.begin());
  const std::span<const uint8_t> b(bytes);
  WaveFormat f;
  f.tag = bytes::LoadLe16(b, 0);
  f.channels = bytes::LoadLe16(b, 2);
  f.samplesPerSec = bytes::LoadLe32(b, 4);
  f.avgBytesPerSec = bytes::LoadLe32(b, 8);
  f.blockAlign = bytes::LoadLe16(b, 12);
  f.bitsPerSample = bytes::LoadLe16(b, 14);
  f.extraSize = bytes::LoadLe16(b, 16);
  f.samplesPerBlock = f.extraSize >= 2 ? bytes::LoadLe16(b, 18) : 0;
  return f;
}

}  // namespace

std::optional<WaveChunks> ReadWaveChunks(const ReadAt& read, uint64_t start, uint64_t file_end,
                                         bool want_format) {
  std::array<uint8_t, 12> header{};
  if (read(start, header) != header.size() || !IdIs(header, 0, "RIFF") || !IdIs(header, 8, "WAVE"))
    return std::nullopt;
  const uint64_t riff_size = bytes::LoadLe32(std::span<const uint8_t>(header), 4);
  // Where the payloads may reach: the RIFF size, unless the file is shorter.
  const uint64_t riff_end = std::min(start + 8 + riff_size, file_end);
  // Chunks that start within the last 12 bytes of the RIFF size are not visited.
  const uint64_t bound = start + riff_size >= 4 ? start + riff_size - 4 : 0;

  WaveChunks found;
  uint64_t position = start + header.size();
  while (position < bound) {
    std::array<uint8_t, 8> chunk{};
    if (read(position, chunk) != chunk.size()) break;  // the file ends here
    const uint32_t size = bytes::LoadLe32(std::span<const uint8_t>(chunk), 4);
    const uint64_t body = position + chunk.size();
    if (IdIs(chunk, 0, "fmt ")) {
      if (want_format) {
        if (size < kMinFormatSize) return std::nullopt;
        std::array<uint8_t, kExtensibleSize> raw{};
        const size_t wanted = std::min<size_t>(size, kExtensibleSize);
        if (read(body, std::span(raw).first(wanted)) < kMinFormatSize) return std::nullopt;
        found.format = ParseFormat(raw, size);
        if (found.format->tag == 0xFFFE && size >= kExtensibleSize)
          found.extensibleTag = bytes::LoadLe16(std::span<const uint8_t>(raw), 24);
      }
    } else if (IdIs(chunk, 0, "data")) {
      found.dataOffset = body;
      found.dataSize =
          static_cast<uint32_t>(body < riff_end ? std::min<uint64_t>(size, riff_end - body) : 0);
    } else if (IdIs(chunk, 0, "smpl") && size >= kSmplHeaderSize) {
      std::array<uint8_t, kSmplHeaderSize + kLoopSize> raw{};
      const size_t wanted = std::min<size_t>(size, raw.size());
      const size_t got = read(body, std::span(raw).first(wanted));
      const std::span<const uint8_t> b(raw);
      // A loop record must lie wholly inside the chunk.
      if (got == raw.size() && bytes::LoadLe32(b, 28) != 0) {
        found.loop =
            LoopRecord{bytes::LoadLe32(b, 36), bytes::LoadLe32(b, 40), bytes::LoadLe32(b, 44),
                       bytes::LoadLe32(b, 48), bytes::LoadLe32(b, 52), bytes::LoadLe32(b, 56)};
      }
    }
    // The next chunk: always forward, past the pad byte of an odd size.
    position = body + size + (size & 1u);
  }
  if (found.dataOffset == 0 || found.dataSize == 0) return std::nullopt;
  return found;
}

std::optional<WaveChunks> ReadWaveChunks(platform::File& file, bool want_format) {
  const auto start = file.Tell();
  const auto size = file.Size();
  if (!start || !size) return std::nullopt;
  const ReadAt read = [&file](uint64_t position, std::span<uint8_t> out) -> size_t {
    if (!file.Seek(static_cast<int64_t>(position))) return 0;
    return file.Read(out).value_or(0);
  };
  return ReadWaveChunks(read, static_cast<uint64_t>(*start), static_cast<uint64_t>(*size),
                        want_format);
}

std::optional<WaveChunks> ReadWaveChunks(std::span<const uint8_t> bytes, bool want_format) {
  const ReadAt read = [bytes](uint64_t position, std::span<uint8_t> out) -> size_t {
    if (position >= bytes.size()) return 0;
    const size_t n = std::min<size_t>(out.size(), bytes.size() - static_cast<size_t>(position));
    std::memcpy(out.data(), bytes.data() + position, n);
    return n;
  };
  return ReadWaveChunks(read, 0, bytes.size(), want_format);
}

}  // namespace tvx
