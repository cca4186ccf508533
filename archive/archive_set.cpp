// Archives: opening, index loading, lookup, positioning, sound-channel handles, closing.
#include "archive/archive_set.h"

#include <algorithm>
#include <new>

#include "archive/archive_format.h"
#include "platform/error_box.h"
#include "resources/byte_order.h"
#include "resources/gbk.h"

namespace tvx {
namespace {

struct RoleKeys {
  std::string_view flag_key;
  std::string_view name_key;
  std::string_view default_name;
};
constexpr std::array<RoleKeys, 5> kRoleKeys = {{
    {"bARCMES", "ARCMESNAME", "CHS.ARC"},
    {"bARCBG", "ARCBGNAME", "BG.ARC"},
    {"bARCDATA", "ARCDATANAME", "HATA.ARC"},
    {"bARCBGM", "ARCBGMNAME", "BGM.ARC"},
    {"bARCVOICE", "ARCVOICENAME", "VOICE.ARC"},
}};

// Close-failure texts by slot.
constexpr std::array<std::string_view, ArchiveSet::kSlotCount> kCloseFailure = {
    "MESARC 文件的关闭失败了。", "BGARC 文件的关闭失败了。",    "DATAARC 文件的关闭失败了。",
    "BGMARC 文件的关闭失败了。", "VOICEARC 文件的关闭失败了。", "SE0 文件的关闭失败了。",
    "SE1 文件的关闭失败了。",    "SE2 文件的关闭失败了。",      "SE3 文件的关闭失败了。",
};

void Box(std::string_view caption_utf8, std::string_view text_gbk) {
  ErrorBox(gbk::FromUtf8(caption_utf8), text_gbk);
}

}  // namespace

ArchiveOptions::ArchiveOptions() {
  for (size_t i = 0; i < names.size(); ++i) names[i] = kRoleKeys[i].default_name;
}

ArchiveOptions ArchiveOptions::Read(const SettingsFile& settings) {
  ArchiveOptions options;
  for (size_t i = 0; i < kRoleKeys.size(); ++i) {
    options.packed[i] = settings.ReadInt("FILE", kRoleKeys[i].flag_key, 0);
    options.names[i] = settings.ReadString("FILE", kRoleKeys[i].name_key, kRoleKeys[i].default_name,
                                           ArchiveSet::kNameCapacity);
  }
  options.mesCompressed = settings.ReadInt("MES", "bMESTYPE", 0);
  options.dataCompressed = settings.ReadInt("DATA", "bDATATYPE", 0);
  return options;
}

ArchiveSet::ArchiveSet() {
  for (size_t i = 0; i < names_.size(); ++i) names_[i] = kRoleKeys[i].default_name;
}

ArchiveSet::~ArchiveSet() = default;

ArchiveRole ArchiveSet::SlotRole(int slot) {
  switch (slot) {
    case kMesSlot:
      return ArchiveRole::Mes;
    case kBgSlot:
      return ArchiveRole::Bg;
    case kDataSlot:
      return ArchiveRole::Data;
    case kVoiceSlot:
      return ArchiveRole::Voice;
    default:
      return ArchiveRole::Bgm;  // music and the four effect slots share the BGM archive
  }
}

int ArchiveSet::RoleSlot(ArchiveRole role) const {
  switch (role) {
    case ArchiveRole::Mes:
      return kMesSlot;
    case ArchiveRole::Bg:
      return kBgSlot;
    case ArchiveRole::Data:
      return kDataSlot;
    case ArchiveRole::Bgm:
      return kMusicSlot;
    case ArchiveRole::Voice:
      return kVoiceSlot;
  }
  return kMesSlot;
}

int ArchiveSet::OpenAll(const ArchiveOptions& options) {
  flags_ = options.packed;
  names_ = options.names;
  mes_compressed_ = options.mesCompressed;
  data_compressed_ = options.dataCompressed;
  if (!platform::CanOpenMoreFiles(kSlotCount)) return 0;
  // Stop at the first archive that does not open: the rest open on first use.
  const std::array<std::pair<ArchiveRole, int>, 5> order = {{{ArchiveRole::Mes, kMesSlot},
                                                             {ArchiveRole::Bg, kBgSlot},
                                                             {ArchiveRole::Data, kDataSlot},
                                                             {ArchiveRole::Bgm, kMusicSlot},
                                                             {ArchiveRole::Voice, kVoiceSlot}}};
  for (auto [role, slot] : order)
    if (RoleFlag(role) && !OpenArchive(slot)) return 1;
  if (RoleFlag(ArchiveRole::Bgm))
    for (int slot = kFirstEffectSlot; slot < kSlotCount; ++slot)
      if (!OpenArchive(slot)) return 1;
  return 1;
}

int ArchiveSet::OpenArchive(int slot) {
  if (slot < 0 || slot >= kSlotCount) return 0;
  const ArchiveRole role = SlotRole(slot);
  platform::File& file = slots_[slot];
  const std::string path = platform::ResolveLoosePath(names_[Index(role)]);
  if (!file.Open(path, platform::File::Mode::Read)) return 0;
  // An effect slot shares the index the music slot has loaded.
  if (slot >= kFirstEffectSlot && slots_[kMusicSlot].IsOpen()) return 1;

  RoleIndex& index = indexes_[Index(role)];
  std::array<uint8_t, arc::kHeaderSize> header{};
  const auto size = file.Size();
  const auto got = file.Read(header);
  bool ok = size && got && *got == header.size();
  uint32_t count = ok ? bytes::LoadLe32(header, 0) : 0;
  // A count whose index cannot lie in the file is damage, not an archive.
  ok = ok && uint64_t{count} * arc::kEntrySize + arc::kHeaderSize <= static_cast<uint64_t>(*size);
  std::vector<uint8_t> bytes;
  if (ok) {
    bytes.resize(size_t{count} * arc::kEntrySize);
    const auto read = file.Read(bytes);
    ok = read && *read == bytes.size();
  }
  if (!ok) {
    file.Close();
    return 0;
  }
  index.bytes = std::move(bytes);
  index.count = count;
  return 1;
}

int ArchiveSet::CloseArchive(int slot) {
  if (slot < 0 || slot >= kSlotCount) return 0;
  RoleIndex& index = indexes_[Index(SlotRole(slot))];
  index.bytes.clear();
  index.bytes.shrink_to_fit();
  index.count = 0;
  if (!slots_[slot].Close()) {
    Box("文件错误", gbk::FromUtf8(kCloseFailure[static_cast<size_t>(slot)]));
    return 0;
  }
  return 1;
}

void ArchiveSet::CloseAll() {
  if (RoleFlag(ArchiveRole::Mes)) CloseArchive(kMesSlot);
  if (RoleFlag(ArchiveRole::Bg)) CloseArchive(kBgSlot);
  if (RoleFlag(ArchiveRole::Bgm)) {
    CloseArchive(kMusicSlot);
    for (int slot = kFirstEffectSlot; slot < kSlotCount; ++slot) CloseArchive(slot);
  }
  if (RoleFlag(ArchiveRole::Voice)) CloseArchive(kVoiceSlot);
  if (RoleFlag(ArchiveRole::Data)) CloseArchive(kDataSlot);
  for (auto& slot : slots_) slot.Close();
}

int ArchiveSet::Find(std::string& name, ArchiveRole role) const {
  arc::UpperCaseInPlace(name);
  // A name is compared as a NUL-terminated string of at most 20 bytes.
  const std::string_view key(name.c_str());
  if (key.size() > arc::kNameSize) return -1;
  // The index stays scrambled: the key is scrambled instead, which compares the same.
  std::array<uint8_t, arc::kNameSize> scrambled{};
  for (size_t i = 0; i < arc::kNameSize; ++i)
    scrambled[i] =
        static_cast<uint8_t>((i < key.size() ? static_cast<uint8_t>(key[i]) : 0) ^ arc::kNameMask);
  const size_t compare = std::min(key.size() + 1, arc::kNameSize);
  const RoleIndex& index = indexes_[Index(role)];
  for (uint32_t i = 0; i < index.count; ++i) {
    const uint8_t* entry = index.bytes.data() + size_t{i} * arc::kEntrySize;
    if (std::equal(scrambled.begin(), scrambled.begin() + compare, entry))
      return static_cast<int>(i);
  }
  return -1;
}

std::optional<uint32_t> ArchiveSet::Position(std::string& name, ArchiveRole role, int slot,
                                             bool report_missing) {
  const int found = Find(name, role);
  if (found < 0) {
    if (report_missing) Box("文件检索错误", name.c_str());
    return std::nullopt;
  }
  const RoleIndex& index = indexes_[Index(role)];
  const auto raw = std::span<const uint8_t>(index.bytes)
                       .subspan(static_cast<size_t>(found) * arc::kEntrySize, arc::kEntrySize);
  const uint32_t size = bytes::LoadLe32(raw, 20) ^ arc::kSizeMask;
  const uint32_t offset = bytes::LoadLe32(raw, 24) ^ arc::kOffsetMask;
  if (!slots_[slot].Seek(offset)) return std::nullopt;
  return size;
}

platform::File* ArchiveSet::OpenSoundFile(std::string& name, int channel) {
  channel &= 0xFF;
  if (channel > 5) return nullptr;
  const int slot = channel == 0   ? kMusicSlot
                   : channel == 1 ? kVoiceSlot
                                  : kFirstEffectSlot + channel - 2;
  const ArchiveRole role = channel == 1 ? ArchiveRole::Voice : ArchiveRole::Bgm;
  const std::string& archive = names_[Index(role)];
  if (!RoleFlag(role)) {
    if (!slots_[slot].Open(platform::ResolveLoosePath(name), platform::File::Mode::Read)) {
      Box("文件打开错误", name);
      return nullptr;
    }
    return &slots_[slot];
  }
  if (!slots_[slot].IsOpen() && !OpenArchive(slot)) {
    Box("文件打开错误", archive);
    return nullptr;
  }
  if (Position(name, role, slot, /*report_missing=*/true)) return &slots_[slot];
  if (role == ArchiveRole::Voice) {
    // A voice that is not there closes the archive; the next request opens it again.
    CloseArchive(kVoiceSlot);
  } else {
    Box("文件打开错误", archive);
  }
  return nullptr;
}

int ArchiveSet::CloseSoundFile(int channel) {
  channel &= 0xFF;
  if (channel > 5) return 0;
  const ArchiveRole role = channel == 1 ? ArchiveRole::Voice : ArchiveRole::Bgm;
  if (RoleFlag(role)) return 1;
  const int slot = channel == 0   ? kMusicSlot
                   : channel == 1 ? kVoiceSlot
                                  : kFirstEffectSlot + channel - 2;
  return slots_[slot].Close() ? 1 : 0;
}

}  // namespace tvx
