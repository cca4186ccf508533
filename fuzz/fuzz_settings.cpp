// Any bytes as a settings file: reading never crashes, and a key written into it reads back
// as written while the rest of the file keeps its values. The file lives in memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace profile = tvx::platform::profile;
  const std::string path(tvx::fuzz::kSettingsPath);
  tvx::fuzz::PutFile(path, std::span(data, size));
  // The keys the engine reads, and what is there before the write.
  (void)profile::ReadString(path, "Config", "TITLE", "TALVEX", 128);
  (void)profile::ReadInt(path, "VOLUME", "Music", -500);
  const auto before = profile::ReadValue(path, "ITEMWIN", "Y");
  if (!profile::WriteString(path, "ITEMWIN", "X", "-20")) std::abort();
  if (profile::ReadInt(path, "ITEMWIN", "X", 0) != -20) std::abort();
  // A value with surrounding blanks or quotes reads back trimmed; the neighbour is untouched
  // unless it was a second "X" line the write replaced.
  if (profile::ReadValue(path, "ITEMWIN", "Y") != before) std::abort();
  return 0;
}
