// The game's archives and the file layer: five archive roles, each read from its archive or
// from loose files as the settings say; whole files loaded into memory (scripts, data,
// pictures, saves) and positioned handles for the sound channels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/load_space.h"
#include "archive/lzss_decoder.h"
#include "platform/file.h"
#include "platform/settings_file.h"

namespace tvx {

enum class ArchiveRole : uint8_t { Mes, Bg, Data, Bgm, Voice };
inline constexpr size_t kArchiveRoles = 5;

// What the settings say about the game's files, read once at start-up: for each role whether
// it comes from an archive (section "FILE", keys "bARC…") and the archive's name ("ARC…NAME"),
// and whether scripts ("MES"/"bMESTYPE") and data ("DATA"/"bDATATYPE") are compressed.
struct ArchiveOptions {
  ArchiveOptions();  // loose files, the default archive names, nothing compressed
  static ArchiveOptions Read(const SettingsFile& settings);

  std::array<int32_t, kArchiveRoles> packed{};
  std::array<std::string, kArchiveRoles> names;
  int32_t mesCompressed = 0;
  int32_t dataCompressed = 0;
};

class ArchiveSet {
 public:
  static constexpr int kSlotCount = 9;
  // Handle slots: the three archives read whole, then the sound channels.
  static constexpr int kMesSlot = 0;
  static constexpr int kBgSlot = 1;
  static constexpr int kDataSlot = 2;
  static constexpr int kMusicSlot = 3;
  static constexpr int kVoiceSlot = 4;
  static constexpr int kFirstEffectSlot = 5;  // 5-8: effect channels SE0-SE3
  static constexpr size_t kNameCapacity = 256;
  static constexpr size_t kSaveSize = 4096;

  ArchiveSet();
  ArchiveSet(const ArchiveSet&) = delete;
  ArchiveSet& operator=(const ArchiveSet&) = delete;
  ~ArchiveSet();

  // Takes the options and opens every archive they select; an archive that cannot be opened
  // now stays closed and is opened on first use. Fails only when file handles are short.
  int OpenAll(const ArchiveOptions& options);
  // Opens the slot's archive file and loads its index. No message.
  int OpenArchive(int slot);
  // Releases the slot's index and closes its handle; a close failure shows its box.
  int CloseArchive(int slot);
  // Closes the archives the settings selected, then every handle still open.
  void CloseAll();

  // Looks a name up in a role's index. The name is upper-cased in place first.
  // The entry number, or -1 when absent (or the role's index is not loaded).
  int Find(std::string& name, ArchiveRole role) const;

  // A handle positioned at the first byte of the named sound: channel 0 music, 1 voice,
  // 2-5 effects (taken modulo 256). Null on failure, after its box.
  platform::File* OpenSoundFile(std::string& name, int channel);
  // Releases a channel's loose sound file (archive handles stay open).
  int CloseSoundFile(int channel);

  // Whole-file loaders: 1 on success, 0 after the failure's box. The destination bounds
  // what may be written; a file that does not fit fails like a read error.
  int LoadScript(std::string& name, std::span<uint8_t> destination, LoadSpace space);
  int LoadData(std::string& name, std::span<uint8_t> destination, LoadSpace space);
  int LoadPicture(std::string& name, std::span<uint8_t> destination);
  int ReadLooseFile(const std::string& name, std::span<uint8_t> destination);
  // Writes a save file: exactly 4096 bytes. The old file stays until the new one is complete.
  int WriteLooseFile(const std::string& name, std::span<const uint8_t> data);

  uint32_t lastReadSize = 0;
  // The bytes the last successful LoadScript or LoadData put into its destination (after
  // expansion, for a compressed file): where a script's own bytes end.
  uint32_t lastLoadedSize = 0;

  bool IsSlotOpen(int slot) const {
    return slot >= 0 && slot < kSlotCount && slots_[slot].IsOpen();
  }
  uint32_t EntryCount(ArchiveRole role) const { return indexes_[Index(role)].count; }
  // The in-memory index as kept between lookups (scrambled).
  std::span<const uint8_t> RawIndex(ArchiveRole role) const { return indexes_[Index(role)].bytes; }
  const std::string& ArchiveName(ArchiveRole role) const { return names_[Index(role)]; }

 private:
  struct RoleIndex {
    std::vector<uint8_t> bytes;  // scrambled, 28 bytes an entry
    uint32_t count = 0;
  };
  static size_t Index(ArchiveRole role) { return static_cast<size_t>(role); }
  static ArchiveRole SlotRole(int slot);
  bool RoleFlag(ArchiveRole role) const { return flags_[Index(role)] != 0; }
  int RoleSlot(ArchiveRole role) const;

  // Positions the slot's handle at the named entry of the role's index (with the box for a
  // name that is not there when `report_missing`). The entry's size, or nullopt.
  std::optional<uint32_t> Position(std::string& name, ArchiveRole role, int slot,
                                   bool report_missing);
  int LoadWhole(std::string& name, std::span<uint8_t> destination, ArchiveRole role,
                bool compressed, LoadSpace space);
  // Opens, sizes, reads whole and closes a loose file, with the box of the step that fails.
  std::optional<uint32_t> ReadWholeLooseFile(const std::string& name,
                                             std::span<uint8_t> destination);
  int PlainLooseRead(const std::string& name, std::span<uint8_t> destination);
  int CompressedLooseRead(const std::string& name, std::span<uint8_t> destination, LoadSpace space);
  int PlainArchiveRead(std::string& name, std::span<uint8_t> destination, ArchiveRole role);
  int CompressedArchiveRead(std::string& name, std::span<uint8_t> destination, ArchiveRole role,
                            LoadSpace space);
  // Expands staged input into the destination, keeping the two apart; false when the
  // destination cannot hold the whole expansion.
  bool Expand(std::span<uint8_t> packed, std::span<uint8_t> destination, LoadSpace space);
  int LoadWholeFrom(std::string& name, std::span<uint8_t> destination, ArchiveRole role,
                    bool compressed, LoadSpace space);
  std::optional<uint32_t> last_expanded_;  // the output of the last expansion of a load

  LzssDecoder decoder_;
  std::array<int32_t, kArchiveRoles> flags_{};
  int32_t mes_compressed_ = 0;
  int32_t data_compressed_ = 0;
  std::array<std::string, kArchiveRoles> names_;
  std::array<platform::File, kSlotCount> slots_;
  std::array<RoleIndex, kArchiveRoles> indexes_;
};

}  // namespace tvx
