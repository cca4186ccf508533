#include "script/vm_memory.h"

#include "resources/byte_order.h"

namespace tvx {

void VmMemory::Map(VmAddress base, std::span<uint8_t> area) {
  for (size_t i = 0; i < count_; ++i) {
    if (areas_[i].base == base) {
      areas_[i].bytes = area;
      return;
    }
  }
  if (count_ < areas_.size()) areas_[count_++] = {base, area};
}

std::span<uint8_t> VmMemory::Rest(VmAddress address) const {
  for (size_t i = 0; i < count_; ++i) {
    const Area& area = areas_[i];
    // Unsigned difference: addresses below the base wrap to large offsets and fail.
    const uint32_t offset = address - area.base;
    if (offset < area.bytes.size()) return area.bytes.subspan(offset);
  }
  return {};
}

std::span<uint8_t> VmMemory::Resolve(VmAddress address, uint32_t size) const {
  const auto rest = Rest(address);
  if (rest.size() < size) return {};
  return rest.first(size);
}

uint8_t VmMemory::Read8(VmAddress address) const {
  const auto at = Resolve(address, 1);
  return at.empty() ? 0 : at[0];
}

uint16_t VmMemory::Read16(VmAddress address) const {
  const auto at = Resolve(address, 2);
  return at.empty() ? 0 : bytes::LoadLe16(at, 0);
}

uint32_t VmMemory::Read32(VmAddress address) const {
  const auto at = Resolve(address, 4);
  return at.empty() ? 0 : bytes::LoadLe32(at, 0);
}

void VmMemory::Write8(VmAddress address, uint8_t value) const {
  if (const auto at = Resolve(address, 1); !at.empty()) at[0] = value;
}

void VmMemory::Write16(VmAddress address, uint16_t value) const {
  if (const auto at = Resolve(address, 2); !at.empty()) bytes::StoreLe16(at, 0, value);
}

void VmMemory::Write32(VmAddress address, uint32_t value) const {
  if (const auto at = Resolve(address, 4); !at.empty()) bytes::StoreLe32(at, 0, value);
}

}  // namespace tvx
