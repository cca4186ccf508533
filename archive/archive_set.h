// The game's archives and the loose-file reader.
//
// Stand-in: opening succeeds with no archive open and loading leaves the image unchanged;
// the archive format, lookup and the file layer replace it.
#pragma once

#include <string_view>

namespace tvx {

class VariableArea;

class ArchiveSet {
 public:
  explicit ArchiveSet(VariableArea& variables) : variables_(variables) {}
  int OpenAll() { return 1; }
  int LoadScript(std::string_view name) {
    (void)name;
    return 1;
  }
  void CloseAll() {}

 private:
  [[maybe_unused]] VariableArea& variables_;
};

}  // namespace tvx
