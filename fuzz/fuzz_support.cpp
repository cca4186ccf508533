#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/file.h"
#include "platform/headless/headless_backend.h"
#include "platform/platform.h"

namespace tvx::fuzz {

void EnterScratchFolder() {
  static bool done = false;
  if (done) return;
  done = true;
  const auto dir = std::filesystem::temp_directory_path() /
                   ("talvex-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  platform::SetProgramPathOverride((dir / "talvex").string());
  platform::Install(std::make_unique<platform::HeadlessBackend>());
}

void RecycleBackend() {
  static int runs = 0;
  if (++runs % 256 == 0) platform::Install(std::make_unique<platform::HeadlessBackend>());
}

void WriteFile(const std::string& name, std::span<const uint8_t> data) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

void WriteSettings(std::string_view text) {
  std::ofstream out("TVXCHS.INI", std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace tvx::fuzz
