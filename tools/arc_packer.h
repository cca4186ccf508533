// `arc pack`: builds an ARC archive from files.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tvx::tool {

struct PackRequest {
  std::string output;
  std::vector<std::string> files;  // packed in this order
  std::string from_directory;      // or every regular file directly in it, sorted by name
  bool lzss = false;               // store every entry LZSS-compressed
};

// Writes the archive (atomically) or nothing at all. An exit code.
int PackArchive(const PackRequest& request, std::ostream& out, std::ostream& err);

}  // namespace tvx::tool
