// Whole-file loading: the role loaders choose between archive and loose file and between
// stored and compressed data; loose reads and the save-file writer.
#include <algorithm>
#include <cstring>
#include <functional>

#include "archive/archive_set.h"
#include "platform/error_box.h"
#include "resources/byte_order.h"
#include "resources/gbk.h"

namespace tvx {
namespace {

void Box(std::string_view caption_utf8, std::string_view text_gbk) {
  ErrorBox(gbk::FromUtf8(caption_utf8), text_gbk);
}

bool Overlap(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const std::less<const uint8_t*> less;
  return less(a.data(), b.data() + b.size()) && less(b.data(), a.data() + a.size());
}

}  // namespace

bool ArchiveSet::Expand(std::span<uint8_t> packed, std::span<uint8_t> destination,
                        LoadSpace space) {
  // Expanding onto the input it is still reading would garble it: move the input to the end
  // of the image and let the output stop short of it.
  if (Overlap(packed, destination)) {
    const auto image = space.image;
    // Only input staged in the image can be moved within it; anything else fails the load.
    if (!Overlap(packed, image) || packed.size() > image.size()) return false;
    const auto moved = image.subspan(image.size() - packed.size());
    std::memmove(moved.data(), packed.data(), packed.size());
    packed = moved;
    const std::less<const uint8_t*> less;
    if (!less(destination.data(), packed.data())) return packed.empty();
    destination = destination.first(std::min<size_t>(
        destination.size(), static_cast<size_t>(packed.data() - destination.data())));
  }
  const size_t expanded = decoder_.Decode(packed, destination);
  if (!decoder_.LastDecodeComplete()) return false;
  last_expanded_ = static_cast<uint32_t>(expanded);
  return true;
}

std::optional<uint32_t> ArchiveSet::ReadWholeLooseFile(const std::string& name,
                                                       std::span<uint8_t> destination) {
  platform::File file;
  if (!file.Open(platform::ResolveLoosePath(name), platform::File::Mode::Read)) {
    Box("文件打开错误", name);
    return std::nullopt;
  }
  const auto size = file.Size();
  if (!size) {
    Box("文件大小的取得失败了。", name);
    return std::nullopt;
  }
  // A file larger than its destination, or one that yields fewer bytes than its size, is a
  // failed read: nothing past the destination is written and no stale bytes pass as data.
  if (static_cast<uint64_t>(*size) > destination.size()) {
    Box("文件的读取失败了。", name);
    return std::nullopt;
  }
  const auto got = file.Read(destination.first(static_cast<size_t>(*size)));
  if (!got || *got != static_cast<size_t>(*size)) {
    Box("文件的读取失败了。", name);
    return std::nullopt;
  }
  if (!file.Close()) {
    Box("文件的关闭失败了。", name);
    return std::nullopt;
  }
  lastReadSize = static_cast<uint32_t>(*size);
  return lastReadSize;
}

int ArchiveSet::PlainLooseRead(const std::string& name, std::span<uint8_t> destination) {
  return ReadWholeLooseFile(name, destination) ? 1 : 0;
}

int ArchiveSet::CompressedLooseRead(const std::string& name, std::span<uint8_t> destination,
                                    LoadSpace space) {
  const auto scratch = space.staging;
  const auto size = ReadWholeLooseFile(name, scratch);
  if (!size) return 0;
  if (!Expand(scratch.first(*size), destination, space)) {
    Box("文件的读取失败了。", name);
    return 0;
  }
  return 1;
}

int ArchiveSet::PlainArchiveRead(std::string& name, std::span<uint8_t> destination,
                                 ArchiveRole role) {
  const int slot = RoleSlot(role);
  const auto size = Position(name, role, slot, /*report_missing=*/true);
  if (!size) return 0;
  if (*size > destination.size()) {
    Box("文件的读取失败了。", name);
    return 0;
  }
  const auto got = slots_[slot].Read(destination.first(*size));
  if (!got || *got != *size) {
    Box("文件的读取失败了。", name);
    return 0;
  }
  lastReadSize = *size;
  return 1;
}

int ArchiveSet::CompressedArchiveRead(std::string& name, std::span<uint8_t> destination,
                                      ArchiveRole role, LoadSpace space) {
  const int slot = RoleSlot(role);
  // A name the archive lacks fails quietly: the caller falls back to a loose file.
  const auto size = Position(name, role, slot, /*report_missing=*/false);
  if (!size) return 0;
  const auto scratch = space.staging;
  if (*size > scratch.size()) {
    Box("文件的读取失败了。", name);
    return 0;
  }
  const auto packed = scratch.first(*size);
  const auto got = slots_[slot].Read(packed);
  if (!got || *got != packed.size()) {
    Box("文件的读取失败了。", name);
    return 0;
  }
  if (!Expand(packed, destination, space)) {
    Box("文件的读取失败了。", name);
    return 0;
  }
  return 1;
}

int ArchiveSet::LoadWhole(std::string& name, std::span<uint8_t> destination, ArchiveRole role,
                          bool compressed, LoadSpace space) {
  const int loaded = LoadWholeFrom(name, destination, role, compressed, space);
  if (loaded) lastLoadedSize = compressed && last_expanded_ ? *last_expanded_ : lastReadSize;
  return loaded;
}

int ArchiveSet::LoadWholeFrom(std::string& name, std::span<uint8_t> destination, ArchiveRole role,
                              bool compressed, LoadSpace space) {
  last_expanded_.reset();
  const bool packed = RoleFlag(role);
  if (packed && !slots_[RoleSlot(role)].IsOpen() && !OpenArchive(RoleSlot(role))) {
    Box("文件打开错误", names_[Index(role)]);
    return 0;
  }
  if (compressed) {
    if (!packed) return CompressedLooseRead(name, destination, space);
    if (CompressedArchiveRead(name, destination, role, space)) return 1;
    // A loose, stored file beside the program stands in for an entry the archive lacks.
    return PlainLooseRead(name, destination);
  }
  return packed ? PlainArchiveRead(name, destination, role) : PlainLooseRead(name, destination);
}

int ArchiveSet::LoadScript(std::string& name, std::span<uint8_t> destination, LoadSpace space) {
  return LoadWhole(name, destination, ArchiveRole::Mes, mes_compressed_ != 0, space);
}

int ArchiveSet::LoadData(std::string& name, std::span<uint8_t> destination, LoadSpace space) {
  return LoadWhole(name, destination, ArchiveRole::Data, data_compressed_ != 0, space);
}

int ArchiveSet::LoadPicture(std::string& name, std::span<uint8_t> destination) {
  if (!slots_[kBgSlot].IsOpen()) {
    if (!RoleFlag(ArchiveRole::Bg)) return PlainLooseRead(name, destination);
    if (!OpenArchive(kBgSlot)) {
      Box("文件打开错误", names_[Index(ArchiveRole::Bg)]);
      return 0;
    }
  }
  return PlainArchiveRead(name, destination, ArchiveRole::Bg);
}

int ArchiveSet::ReadLooseFile(const std::string& name, std::span<uint8_t> destination) {
  return PlainLooseRead(name, destination);
}

int ArchiveSet::WriteLooseFile(const std::string& name, std::span<const uint8_t> data) {
  platform::AtomicFileWriter writer;
  if (!writer.Begin(platform::ResolveLoosePath(name))) {
    Box("文件打开错误", name);
    return 0;
  }
  // A failed write is a failed save: the previous file stays as it was.
  if (data.size() < kSaveSize || !writer.Write(data.first(kSaveSize))) {
    Box("文件错误", gbk::FromUtf8("文件的读取失败了。"));
    return 0;
  }
  if (!writer.Commit()) {
    Box("文件错误", gbk::FromUtf8("文件的关闭失败了。"));
    return 0;
  }
  return 1;
}

}  // namespace tvx
