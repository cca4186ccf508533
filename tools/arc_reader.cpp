#include "tools/arc_reader.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/path_text.h"
#include "resources/byte_order.h"
#include "tools/text_files.h"

namespace tvx::tool {

bool ArcReader::Open(const std::string& path, std::string& error) {
  items_.clear();
  errno = 0;
  if (!file_.Open(path, platform::File::Mode::Read)) {
    std::error_code ignored;
    const std::error_code reason =
        std::filesystem::is_directory(platform::PathFromText(path), ignored)
            ? std::make_error_code(std::errc::is_a_directory)
            : std::error_code(errno ? errno : EIO, std::generic_category());
    error = CannotRead(path, reason);
    return false;
  }
  const auto size = file_.Size();
  if (!size) {
    error = CannotRead(path, std::error_code(errno ? errno : EIO, std::generic_category()));
    return false;
  }
  file_size_ = static_cast<uint64_t>(*size);
  if (file_size_ < arc::kHeaderSize) {
    error =
        "'" + path + "' is not an archive: too short (" + std::to_string(file_size_) + " bytes)";
    return false;
  }
  std::vector<uint8_t> header(arc::kHeaderSize);
  if (file_.Read(header) != header.size()) {
    error = path + ": cannot read the archive header";
    return false;
  }
  const uint64_t count = bytes::LoadLe32(header, 0);
  const uint64_t index_size = count * arc::kEntrySize;
  if (index_size + arc::kHeaderSize > file_size_) {
    error = "'" + path + "' is not an archive (or a damaged one): its index claims " +
            std::to_string(count) + " entries, more than a file of " + std::to_string(file_size_) +
            " bytes can hold";
    return false;
  }
  std::vector<uint8_t> index(static_cast<size_t>(index_size));
  if (file_.Read(index) != index.size()) {
    error = path + ": cannot read the archive index";
    return false;
  }
  arc::ScrambleIndex(index);
  items_.reserve(static_cast<size_t>(count));
  for (size_t i = 0; i < count; ++i) {
    Item item{arc::ReadEntry(index, i)};
    item.inside_file = uint64_t{item.entry.offset} + item.entry.size <= file_size_;
    items_.push_back(item);
  }
  return true;
}

std::optional<std::vector<uint8_t>> ArcReader::ReadData(const Item& item) {
  if (!item.inside_file || !file_.Seek(item.entry.offset)) return std::nullopt;
  std::vector<uint8_t> data(item.entry.size);
  if (file_.Read(data) != data.size()) return std::nullopt;
  return data;
}

}  // namespace tvx::tool
