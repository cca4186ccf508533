// `arc list` and `arc extract`: reading archives that may be damaged or hostile.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tvx::tool {

// Lists the entries with their sizes and offsets. Exit code 1 when the archive or any entry
// is damaged.
int ListArchive(const std::string& path, std::ostream& out, std::ostream& err);

struct ExtractRequest {
  std::string archive;
  std::vector<std::string> names;  // empty: every entry
  std::string directory = ".";
  bool lzss = false;  // expand every entry
};

// Writes the chosen entries into the directory (created when missing). Entries that are
// damaged or whose names would leave the directory are reported and skipped (exit code 1).
int ExtractArchive(const ExtractRequest& request, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
