// Save slots: the loose files FLAG00, FLAG01, … holding a copy of the 4096-byte variable
// area each, read and written whole through the file layer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tvx {

class ArchiveSet;

class SaveSlotFile {
 public:
  static constexpr size_t kSize = 4096;
  using Bytes = std::array<uint8_t, kSize>;

  explicit SaveSlotFile(ArchiveSet& archives) : archives_(archives) {}

  static std::string Name(uint32_t slot);
  bool Exists(uint32_t slot) const;
  // The whole file, or false (after the file layer's box) when it cannot be read whole:
  // a file of another size is damaged and leaves `out` as it was.
  bool Read(uint32_t slot, Bytes& out) const;
  bool Write(uint32_t slot, const Bytes& data) const;
  // The file to merge into: the slot as saved, or (when there is none yet) the `current`
  // variables, so that a first merge creates a whole save file.
  bool ReadForUpdate(uint32_t slot, std::span<const uint8_t, kSize> current, Bytes& file) const;

 private:
  ArchiveSet& archives_;
};

}  // namespace tvx
