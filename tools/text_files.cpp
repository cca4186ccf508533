#include "tools/text_files.h"

#include <algorithm>
#include <string_view>

#include "platform/file.h"

namespace tvx::tool {

std::optional<ShowArgs> ParseShowArgs(CommandArgs args, std::ostream& out, std::ostream& err,
                                      std::string_view usage, std::string_view help,
                                      int& exit_code) {
  ShowArgs parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (IsHelpFlag(arg)) {
      exit_code = Help(out, usage, help);
      return std::nullopt;
    }
    if (arg == "-o" && i + 1 < args.size() && parsed.out.empty() && !args[i + 1].empty()) {
      parsed.out = args[++i];
    } else if (!IsOption(arg) && parsed.in.empty() && !arg.empty()) {
      parsed.in = arg;
    } else {
      exit_code = Usage(err, usage);
      return std::nullopt;
    }
  }
  if (parsed.in.empty()) {
    exit_code = Usage(err, usage);
    return std::nullopt;
  }
  return parsed;
}

std::string CannotRead(std::string_view path, const std::error_code& reason) {
  return "cannot read '" + std::string(path) + "': " + reason.message();
}

std::string CannotWrite(std::string_view path, const std::error_code& reason) {
  return "cannot write '" + std::string(path) + "': " + reason.message();
}

std::optional<std::string> KnownFormatOf(std::span<const uint8_t> file) {
  struct Signature {
    std::string_view bytes;
    std::string_view name;
  };
  static constexpr Signature kSignatures[] = {
      {"RIFF", "a RIFF file (wave sound)"}, {"\x89PNG", "a PNG picture"}, {"GIF8", "a GIF picture"},
      {"\xFF\xD8\xFF", "a JPEG picture"},   {"BM", "a BMP picture"},      {"OggS", "an Ogg file"},
      {"PK\x03\x04", "a ZIP file"},
  };
  for (const Signature& signature : kSignatures) {
    if (file.size() >= signature.bytes.size() &&
        std::equal(signature.bytes.begin(), signature.bytes.end(), file.begin(),
                   [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
      return "it is " + std::string(signature.name);
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadInput(std::string_view who, const std::string& path,
                                              std::ostream& err) {
  std::error_code reason;
  auto bytes = platform::ReadWholeFile(path, reason);
  if (!bytes) err << who << ": " << CannotRead(path, reason) << "\n";
  return bytes;
}

std::optional<std::vector<uint8_t>> ReadSource(std::string_view who, const std::string& path,
                                               std::ostream& err) {
  auto bytes = ReadInput(who, path, err);
  if (!bytes) return bytes;
  std::optional<std::string> kind = KnownFormatOf(*bytes);
  if (!kind && std::find(bytes->begin(), bytes->end(), uint8_t{0}) != bytes->end())
    kind = "it has NUL bytes";
  if (!kind) return bytes;
  err << who << ": '" << path << "' is not a text file: " << *kind << "\n";
  return std::nullopt;
}

bool ReportErrors(std::string_view who, std::span<const std::string> errors,
                  const std::string& out_path, std::ostream& err) {
  if (errors.empty()) return false;
  for (const std::string& error : errors) err << error << "\n";
  err << who << ": " << errors.size() << (errors.size() == 1 ? " error" : " errors") << "; "
      << out_path << " not written\n";
  return true;
}

bool WriteOutput(std::string_view who, const std::string& path, std::span<const uint8_t> bytes,
                 std::ostream& err) {
  std::error_code reason;
  if (platform::WriteFileAtomically(path, bytes, reason)) return true;
  err << who << ": " << CannotWrite(path, reason) << "\n";
  return false;
}

int EmitText(std::string_view who, const std::string& text, const std::string& out_path,
             std::ostream& out, std::ostream& err) {
  if (out_path.empty()) {
    out << text;
    return kExitOk;
  }
  const std::vector<uint8_t> bytes(text.begin(), text.end());
  return WriteOutput(who, out_path, bytes, err) ? kExitOk : kExitFailure;
}

std::optional<uint64_t> ParseNumber(std::string_view text) {
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    uint64_t digit = 99;
    if (c >= '0' && c <= '9') digit = static_cast<uint64_t>(c - '0');
    if (c >= 'a' && c <= 'f') digit = static_cast<uint64_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') digit = static_cast<uint64_t>(c - 'A' + 10);
    if (digit >= base) return std::nullopt;
    value = std::min<uint64_t>(value * base + digit, uint64_t{1} << 33);
  }
  return value;
}

std::string WarningCount(size_t count) {
  if (count == 0) return {};
  return ", " + std::to_string(count) + (count == 1 ? " warning" : " warnings");
}

}  // namespace tvx::tool
