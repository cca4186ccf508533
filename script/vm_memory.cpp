#include "script/vm_memory.h"

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

}  // namespace tvx
