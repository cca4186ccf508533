#include "script/save_slot_file.h"

#include <algorithm>
#include <cstdio>

#include "archive/archive_set.h"
#include "platform/error_box.h"
#include "platform/file.h"
#include "resources/gbk.h"

namespace tvx {

std::string SaveSlotFile::Name(uint32_t slot) {
  char name[16];
  std::snprintf(name, sizeof name, "FLAG%02u", slot);
  return name;
}

bool SaveSlotFile::Exists(uint32_t slot) const {
  return platform::FileExists(platform::ResolveLoosePath(Name(slot)));
}

bool SaveSlotFile::Read(uint32_t slot, Bytes& out) const {
  // One byte more than a save holds, so that a longer file shows as damaged too.
  std::array<uint8_t, kSize + 1> buffer{};
  const std::string name = Name(slot);
  if (!archives_.ReadLooseFile(name, buffer)) return false;
  if (archives_.lastReadSize != kSize) {
    ErrorBox(gbk::FromUtf8("文件的读取失败了。"), name);
    return false;
  }
  std::copy_n(buffer.begin(), kSize, out.begin());
  return true;
}

bool SaveSlotFile::Write(uint32_t slot, const Bytes& data) const {
  return archives_.WriteLooseFile(Name(slot), data) != 0;
}

bool SaveSlotFile::ReadForUpdate(uint32_t slot, std::span<const uint8_t, kSize> current,
                                 Bytes& file) const {
  if (!Exists(slot)) {
    std::copy(current.begin(), current.end(), file.begin());
    return true;
  }
  return Read(slot, file);
}

}  // namespace tvx
