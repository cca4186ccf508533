#include "tools/lzss_command.h"

#include <iomanip>

#include "archive/lzss_encoder.h"
#include "platform/file.h"
#include "tools/lzss_expand.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage = "usage: talvex-tool lzss pack|unpack IN OUT\n";
constexpr std::string_view kPackUsage = "usage: talvex-tool lzss pack IN OUT\n";
constexpr std::string_view kUnpackUsage = "usage: talvex-tool lzss unpack IN OUT\n";

constexpr std::string_view kPackHelp =
    "Compresses IN into OUT. OUT is replaced only once it is complete.\n";
constexpr std::string_view kUnpackHelp =
    "Expands IN into OUT. A stream has no signature and does not record its expanded size,\n"
    "so most data expands to something: unpack stops at the end of IN and refuses results\n"
    "above 256 MiB. OUT is replaced only once it is complete.\n";

constexpr std::string_view kHelp =
    "talvex-tool lzss: the LZSS coding of compressed scripts and data files.\n"
    "\n"
    "  talvex-tool lzss pack IN OUT     compress IN into OUT\n"
    "  talvex-tool lzss unpack IN OUT   expand IN into OUT\n"
    "\n"
    "OUT is replaced only once it is complete. A stream does not record its expanded size;\n"
    "unpack stops at the end of IN and refuses results above 256 MiB.\n";

int Pack(const std::string& in_path, const std::string& out_path, std::ostream& out,
         std::ostream& err) {
  const auto input = ReadInput("lzss pack", in_path, err);
  if (!input) return kExitFailure;
  const std::vector<uint8_t> packed = LzssEncoder().Encode(*input);
  if (!WriteOutput("lzss pack", out_path, packed, err)) {
    return kExitFailure;
  }
  out << in_path << ": " << input->size() << " -> " << packed.size() << " bytes";
  if (!input->empty()) {
    out << " (" << std::fixed << std::setprecision(1)
        << 100.0 * static_cast<double>(packed.size()) / static_cast<double>(input->size()) << "%)";
  }
  out << "\n";
  return kExitOk;
}

int Unpack(const std::string& in_path, const std::string& out_path, std::ostream& out,
           std::ostream& err) {
  const auto packed = ReadInput("lzss unpack", in_path, err);
  if (!packed) return kExitFailure;
  const auto expanded = ExpandLzss(*packed);
  if (!expanded) {
    err << "lzss unpack: " << in_path << ": expands to more than " << (kMaxExpandedSize >> 20)
        << " MiB; is it an LZSS stream?\n";
    return kExitFailure;
  }
  if (!WriteOutput("lzss unpack", out_path, *expanded, err)) {
    return kExitFailure;
  }
  out << in_path << ": " << packed->size() << " -> " << expanded->size() << " bytes\n";
  return kExitOk;
}

// IN and OUT of an action; --help anywhere shows the action's help. Nothing when the action
// ends at once with `exit_code`.
bool TakePaths(CommandArgs args, std::ostream& out, std::ostream& err, std::string_view usage,
               std::string_view help, int& exit_code) {
  for (const std::string& arg : args) {
    if (IsHelpFlag(arg)) {
      exit_code = Help(out, usage, help);
      return false;
    }
  }
  for (const std::string& path : args) {
    if (path.empty() || path[0] == '-') {
      exit_code = Usage(err, usage);
      return false;
    }
  }
  if (args.size() != 2) {
    exit_code = Usage(err, usage);
    return false;
  }
  return true;
}

int RunPack(CommandArgs args, std::ostream& out, std::ostream& err) {
  int code = kExitOk;
  if (!TakePaths(args, out, err, kPackUsage, kPackHelp, code)) return code;
  return Pack(args[0], args[1], out, err);
}

int RunUnpack(CommandArgs args, std::ostream& out, std::ostream& err) {
  int code = kExitOk;
  if (!TakePaths(args, out, err, kUnpackUsage, kUnpackHelp, code)) return code;
  return Unpack(args[0], args[1], out, err);
}

}  // namespace

int RunLzss(CommandArgs args, std::ostream& out, std::ostream& err) {
  static constexpr Action kActions[] = {{"pack", RunPack}, {"unpack", RunUnpack}};
  return RunAction(args, out, err, "lzss", kUsage, kHelp, kActions);
}

}  // namespace tvx::tool
