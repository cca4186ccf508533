#include "tools/arc_inspect.h"

#include <filesystem>
#include <iomanip>
#include <set>
#include <system_error>

#include "archive/archive_format.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "tools/arc_reader.h"
#include "tools/command.h"
#include "tools/entry_names.h"
#include "tools/lzss_expand.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

namespace fs = std::filesystem;

std::string DamageOf(const ArcReader::Item& item, uint64_t file_size) {
  return "damaged: ends at " + std::to_string(uint64_t{item.entry.offset} + item.entry.size) +
         ", beyond the end of the file (" + std::to_string(file_size) + " bytes)";
}

// Columns a name takes in a terminal: GBK names hold ASCII and wide characters only, so every
// non-ASCII character counts two.
size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x80) {
      ++width;
    } else if (byte >= 0xC0) {
      width += 2;
    }
  }
  return width;
}

void PrintRow(std::ostream& out, std::string_view name, std::string_view size,
              std::string_view offset) {
  constexpr size_t kNameColumns = arc::kNameSize + 2;
  const size_t width = DisplayWidth(name);
  out << name << std::string(width < kNameColumns ? kNameColumns - width : 1, ' ') << std::setw(10)
      << size << std::setw(12) << offset;
}

// The entries chosen by name (as the engine looks names up: upper-cased) or all of them.
// Nullopt after a message when a name is not there.
std::optional<std::vector<size_t>> ChooseEntries(const ArcReader& reader,
                                                 const ExtractRequest& request, std::ostream& err) {
  const auto& items = reader.Items();
  std::vector<size_t> chosen;
  if (request.names.empty()) {
    // Only the first entry of a name: it is the one the engine finds.
    std::set<std::string> seen;
    for (size_t i = 0; i < items.size(); ++i) {
      const std::string name = arc::UpperCased(items[i].entry.Name());
      if (seen.insert(name).second) {
        chosen.push_back(i);
      } else {
        err << "arc extract: " << request.archive << ": skipping a second entry named \""
            << DisplayName(items[i].entry.Name()) << "\"\n";
      }
    }
    return chosen;
  }
  bool all_found = true;
  for (const std::string& wanted : request.names) {
    const auto stored = StoredEntryName(wanted);
    size_t i = 0;
    while (stored && i < items.size() && arc::UpperCased(items[i].entry.Name()) != *stored) ++i;
    if (!stored || i == items.size()) {
      err << "arc extract: " << request.archive << ": no entry named \"" << wanted << "\"\n";
      all_found = false;
    } else {
      chosen.push_back(i);
    }
  }
  if (!all_found) return std::nullopt;
  return chosen;
}

}  // namespace

int ListArchive(const std::string& path, std::ostream& out, std::ostream& err) {
  ArcReader reader;
  std::string error;
  if (!reader.Open(path, error)) {
    err << "arc list: " << error << "\n";
    return kExitFailure;
  }
  PrintRow(out, "NAME", "SIZE", "OFFSET");
  out << "\n";
  uint64_t total = 0;
  size_t damaged = 0;
  for (const auto& item : reader.Items()) {
    PrintRow(out, DisplayName(item.entry.Name()), std::to_string(item.entry.size),
             std::to_string(item.entry.offset));
    if (!item.inside_file) {
      out << "  " << DamageOf(item, reader.FileSize());
      ++damaged;
    } else {
      total += item.entry.size;
    }
    out << "\n";
  }
  const size_t count = reader.Items().size();
  out << count << (count == 1 ? " entry, " : " entries, ") << total << " bytes\n";
  if (damaged > 0) {
    err << "arc list: " << path << ": " << damaged
        << (damaged == 1 ? " damaged entry\n" : " damaged entries\n");
    return kExitFailure;
  }
  return kExitOk;
}

int ExtractArchive(const ExtractRequest& request, std::ostream& out, std::ostream& err) {
  constexpr std::string_view kPrefix = "arc extract: ";
  ArcReader reader;
  std::string error;
  if (!reader.Open(request.archive, error)) {
    err << kPrefix << error << "\n";
    return kExitFailure;
  }
  const auto chosen = ChooseEntries(reader, request, err);
  if (!chosen) return kExitFailure;
  std::error_code ec;
  const fs::path directory = platform::PathFromText(request.directory);
  fs::create_directories(directory, ec);
  if (ec || !fs::is_directory(directory, ec)) {
    err << kPrefix << request.directory << ": cannot create the folder\n";
    return kExitFailure;
  }

  bool all_written = true;
  for (const size_t i : *chosen) {
    const ArcReader::Item& item = reader.Items()[i];
    const std::string shown = DisplayName(item.entry.Name());
    const auto disk_name = SafeDiskName(item.entry.Name());
    if (!disk_name) {
      err << kPrefix << request.archive << ": refusing entry \"" << shown << "\": "
          << (HasControlBytes(item.entry.Name()) ? "its name holds control characters"
                                                 : "its name would leave the folder")
          << "\n";
      all_written = false;
      continue;
    }
    if (!item.inside_file) {
      err << kPrefix << request.archive << ": entry \"" << shown << "\" is "
          << DamageOf(item, reader.FileSize()) << "\n";
      all_written = false;
      continue;
    }
    auto data = reader.ReadData(item);
    if (!data) {
      err << kPrefix << request.archive << ": cannot read entry \"" << shown << "\"\n";
      all_written = false;
      continue;
    }
    if (request.lzss) {
      auto expanded = ExpandLzss(*data);
      if (!expanded) {
        err << kPrefix << request.archive << ": entry \"" << shown << "\" expands to more than "
            << (kMaxExpandedSize >> 20) << " MiB; is it compressed?\n";
        all_written = false;
        continue;
      }
      data = std::move(expanded);
    }
    const std::string target =
        platform::PathText(platform::PathFromText(request.directory) / *disk_name);
    if (!WriteOutput("arc extract", target, *data, err)) {
      all_written = false;
      continue;
    }
    out << target << " (" << data->size() << " bytes)\n";
  }
  return all_written ? kExitOk : kExitFailure;
}

}  // namespace tvx::tool
