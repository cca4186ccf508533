// Any text as MES source, split at 0x00 bytes into a main file and three files it may
// include (read from memory only): it assembles, or every error names one of those files with
// LINE:COLUMN; what assembles disassembles to source that gives the same bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tools/mes/assembler.h"
#include "tools/mes/disassembler.h"

namespace {

constexpr std::array<std::string_view, 4> kNames = {"main.tvs", "a.tvs", "b.tvs", "lib/c.tvs"};

bool IsNumber(std::string_view text) {
  if (text.empty() || text.front() == '0') return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "FILE:LINE:COLUMN: message" with FILE one of the files given.
bool Located(const std::string& error) {
  for (std::string_view name : kNames) {
    std::string_view rest(error);
    if (!rest.starts_with(name) || rest.substr(name.size(), 1) != ":") continue;
    rest.remove_prefix(name.size() + 1);
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos || !IsNumber(rest.substr(0, colon))) continue;
    rest.remove_prefix(colon + 1);
    const size_t end = rest.find(": ");
    if (end != std::string_view::npos && IsNumber(rest.substr(0, end))) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::map<std::string, std::string, std::less<>> files;
  for (size_t i = 0; i < kNames.size(); ++i) {
    const size_t cut = i + 1 < kNames.size() ? text.find('\0') : std::string_view::npos;
    files[std::string(kNames[i])] = std::string(text.substr(0, cut));
    text = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
  }
  const tvx::mes::IncludeReader reader =
      [&files](const std::string& path) -> std::optional<std::string> {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  };
  const auto result = tvx::mes::Assemble(files["main.tvs"], "main.tvs", reader);
  if (!result.ok()) {
    if (!result.code.empty()) std::abort();
    for (const std::string& error : result.errors) {
      if (!Located(error) && error != "too many errors; the rest are not shown") std::abort();
    }
    return 0;
  }
  const auto again = tvx::mes::Assemble(tvx::mes::Disassemble(result.code), "again.tvs");
  if (!again.ok() || again.code != result.code) std::abort();
  return 0;
}
