#include "tools/arc_packer.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "archive/archive_format.h"
#include "archive/lzss_encoder.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "resources/byte_order.h"
#include "tools/command.h"
#include "tools/entry_names.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "arc pack: ";

struct Source {
  std::string path;
  std::string stored_name;
};

// Every regular file directly in `directory`, sorted by name; the archive being written is
// left out so that packing into the same folder twice does not swallow the old archive.
bool ListDirectory(const std::string& directory, const std::string& output,
                   std::vector<std::string>& paths, std::ostream& err) {
  std::error_code ec;
  if (!fs::is_directory(platform::PathFromText(directory), ec)) {
    err << kPrefix << directory << ": not a folder\n";
    return false;
  }
  std::vector<fs::path> found;
  fs::directory_iterator it(platform::PathFromText(directory), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    if (fs::equivalent(it->path(), platform::PathFromText(output), type_ec)) continue;
    found.push_back(it->path());
  }
  if (ec) {
    err << kPrefix << directory << ": cannot list the folder (" << ec.message() << ")\n";
    return false;
  }
  std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().native() < b.filename().native();
  });
  for (const fs::path& path : found) paths.push_back(platform::PathText(path));
  return true;
}

// Names every file's entry; refuses names that do not fit and names taken twice.
bool NameSources(const std::vector<std::string>& paths, std::vector<Source>& sources,
                 std::ostream& err) {
  std::map<std::string, std::string> taken;  // stored name -> path
  for (const std::string& path : paths) {
    const std::string base = platform::PathText(platform::PathFromText(path).filename());
    if (base.empty() || base == "." || base == "..") {
      err << kPrefix << path << ": not a file name\n";
      return false;
    }
    const auto encoded = ToArchiveEncoding(base);
    if (!encoded) {
      err << kPrefix << path << ": the name has characters GBK cannot hold\n";
      return false;
    }
    std::string stored = arc::UpperCased(*encoded);
    if (stored.size() > arc::kNameSize) {
      err << kPrefix << path << ": the name \"" << DisplayName(stored) << "\" is " << stored.size()
          << " bytes stored; entry names hold at most " << arc::kNameSize << " bytes\n";
      return false;
    }
    if (UpperCasingAltersCharacters(*encoded)) {
      err << kPrefix << "note: " << path << " is stored as \"" << DisplayName(stored)
          << "\": upper-casing changes a character, as the engine does when it looks names up\n";
    }
    const auto [at, inserted] = taken.emplace(stored, path);
    if (!inserted) {
      err << kPrefix << at->second << " and " << path << " would both be stored as \""
          << DisplayName(stored) << "\"\n";
      return false;
    }
    sources.push_back({path, std::move(stored)});
  }
  return true;
}

}  // namespace

int PackArchive(const PackRequest& request, std::ostream& out, std::ostream& err) {
  std::vector<std::string> paths = request.files;
  if (!request.from_directory.empty() &&
      !ListDirectory(request.from_directory, request.output, paths, err)) {
    return kExitFailure;
  }
  if (paths.empty()) {
    err << kPrefix << request.from_directory << ": no files to pack\n";
    return kExitFailure;
  }
  std::vector<Source> sources;
  if (!NameSources(paths, sources, err)) return kExitFailure;

  const size_t index_end = arc::kHeaderSize + sources.size() * arc::kEntrySize;
  std::vector<uint8_t> archive(index_end, 0);
  bytes::StoreLe32(archive, 0, static_cast<uint32_t>(sources.size()));
  std::vector<arc::Entry> entries(sources.size());
  LzssEncoder encoder;
  uint64_t plain_total = 0;
  for (size_t i = 0; i < sources.size(); ++i) {
    std::error_code ec;
    const fs::path source = platform::PathFromText(sources[i].path);
    if (fs::exists(source, ec) && !fs::is_directory(source, ec) &&
        !fs::is_regular_file(source, ec)) {
      err << kPrefix << sources[i].path << ": not a regular file\n";
      return kExitFailure;
    }
    auto data = ReadInput("arc pack", sources[i].path, err);
    if (!data) return kExitFailure;
    plain_total += data->size();
    if (request.lzss) *data = encoder.Encode(*data);
    // Offsets and sizes are 32-bit: the whole archive must stay below 4 GiB.
    if (archive.size() + data->size() > UINT32_MAX) {
      err << kPrefix << request.output << ": the archive would exceed 4 GiB\n";
      return kExitFailure;
    }
    arc::Entry& entry = entries[i];
    std::copy(sources[i].stored_name.begin(), sources[i].stored_name.end(), entry.name.begin());
    entry.size = static_cast<uint32_t>(data->size());
    entry.offset = static_cast<uint32_t>(archive.size());
    archive.insert(archive.end(), data->begin(), data->end());
  }
  const std::span<uint8_t> index = std::span(archive).subspan(arc::kHeaderSize);
  for (size_t i = 0; i < entries.size(); ++i) arc::WriteEntry(index, i, entries[i]);
  arc::ScrambleIndex(index.first(index_end - arc::kHeaderSize));

  if (!WriteOutput("arc pack", request.output, archive, err)) {
    return kExitFailure;
  }
  out << request.output << ": " << entries.size() << (entries.size() == 1 ? " entry" : " entries")
      << ", " << archive.size() << " bytes";
  if (request.lzss) {
    out << " (" << plain_total << " bytes of files, LZSS-compressed to "
        << archive.size() - index_end << ")";
  }
  out << "\n";
  return kExitOk;
}

}  // namespace tvx::tool
