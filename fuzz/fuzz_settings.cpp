// Any bytes as a settings file: reading never crashes, and a key written into it reads back
// as written while the rest of the file keeps its values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/profile_file.h"

namespace {

namespace profile = tvx::platform::profile;

const std::string& Path() {
  static const std::string path = "/tmp/fuzz_settings_" + std::to_string(getpid()) + ".ini";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = Path();
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  } else {
    return 0;
  }
  // The keys the engine reads, and what is there before the write.
  (void)profile::ReadString(path, "Config", "TITLE", "TALVEX", 128);
  (void)profile::ReadInt(path, "VOLUME", "Music", -500);
  const auto before = profile::ReadValue(path, "ITEMWIN", "Y");
  if (!profile::WriteString(path, "ITEMWIN", "X", "-20")) return 0;
  if (profile::ReadInt(path, "ITEMWIN", "X", 0) != -20) std::abort();
  // A value with surrounding blanks or quotes reads back trimmed; the neighbour is untouched
  // unless it was a second "X" line the write replaced.
  if (profile::ReadValue(path, "ITEMWIN", "Y") != before) std::abort();
  std::remove(path.c_str());
  return 0;
}
