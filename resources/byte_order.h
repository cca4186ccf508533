// Little- and big-endian loads and stores on byte spans: every file format of the engine and
// its tools (archives, scripts, pictures, sounds, saves, the font blobs) is read and written
// byte by byte through these helpers, so the result never depends on the host's byte order or
// on the alignment of the data. Callers check offsets against the span's size first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tvx::bytes {

constexpr uint8_t Load8(std::span<const std::byte> data, size_t offset) {
  return static_cast<uint8_t>(data[offset]);
}

constexpr uint16_t LoadLe16(std::span<const std::byte> data, size_t offset) {
  return static_cast<uint16_t>(Load8(data, offset) | Load8(data, offset + 1) << 8);
}

constexpr uint16_t LoadBe16(std::span<const std::byte> data, size_t offset) {
  return static_cast<uint16_t>(Load8(data, offset) << 8 | Load8(data, offset + 1));
}

constexpr uint32_t LoadLe32(std::span<const std::byte> data, size_t offset) {
  return static_cast<uint32_t>(LoadLe16(data, offset)) |
         static_cast<uint32_t>(LoadLe16(data, offset + 2)) << 16;
}

constexpr uint32_t LoadBe32(std::span<const std::byte> data, size_t offset) {
  return static_cast<uint32_t>(LoadBe16(data, offset)) << 16 | LoadBe16(data, offset + 2);
}

inline void AppendLe16(std::vector<std::byte>& out, uint16_t value) {
  out.push_back(static_cast<std::byte>(value & 0xFF));
  out.push_back(static_cast<std::byte>(value >> 8));
}

inline void AppendLe32(std::vector<std::byte>& out, uint32_t value) {
  AppendLe16(out, static_cast<uint16_t>(value & 0xFFFF));
  AppendLe16(out, static_cast<uint16_t>(value >> 16));
}

// The same on the engine's plain byte buffers.
constexpr uint16_t LoadLe16(std::span<const uint8_t> data, size_t offset) {
  return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

constexpr uint32_t LoadLe32(std::span<const uint8_t> data, size_t offset) {
  return static_cast<uint32_t>(LoadLe16(data, offset)) |
         static_cast<uint32_t>(LoadLe16(data, offset + 2)) << 16;
}

constexpr void StoreLe16(std::span<uint8_t> data, size_t offset, uint16_t value) {
  data[offset] = static_cast<uint8_t>(value & 0xFF);
  data[offset + 1] = static_cast<uint8_t>(value >> 8);
}

constexpr void StoreLe32(std::span<uint8_t> data, size_t offset, uint32_t value) {
  StoreLe16(data, offset, static_cast<uint16_t>(value & 0xFFFF));
  StoreLe16(data, offset + 2, static_cast<uint16_t>(value >> 16));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace tvx::bytes
