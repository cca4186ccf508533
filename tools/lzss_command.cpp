#include "tools/lzss_command.h"

#include <iomanip>

#include "archive/lzss_encoder.h"
#include "platform/file.h"
#include "tools/lzss_expand.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage = "usage: talvex-tool lzss pack|unpack IN OUT\n";

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
  const auto input = platform::ReadWholeFile(in_path);
  if (!input) {
    err << "lzss pack: " << in_path << ": cannot read the file\n";
    return kExitFailure;
  }
  const std::vector<uint8_t> packed = LzssEncoder().Encode(*input);
  if (!platform::WriteFileAtomically(out_path, packed)) {
    err << "lzss pack: " << out_path << ": cannot write the file\n";
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
  const auto packed = platform::ReadWholeFile(in_path);
  if (!packed) {
    err << "lzss unpack: " << in_path << ": cannot read the file\n";
    return kExitFailure;
  }
  const auto expanded = ExpandLzss(*packed);
  if (!expanded) {
    err << "lzss unpack: " << in_path << ": expands to more than " << (kMaxExpandedSize >> 20)
        << " MiB; is it an LZSS stream?\n";
    return kExitFailure;
  }
  if (!platform::WriteFileAtomically(out_path, *expanded)) {
    err << "lzss unpack: " << out_path << ": cannot write the file\n";
    return kExitFailure;
  }
  out << in_path << ": " << packed->size() << " -> " << expanded->size() << " bytes\n";
  return kExitOk;
}

}  // namespace

int RunLzss(CommandArgs args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (IsHelpFlag(arg)) {
      out << kHelp;
      return kExitOk;
    }
  }
  if (args.size() != 3 || (args[0] != "pack" && args[0] != "unpack")) return Usage(err, kUsage);
  for (const std::string& path : args.subspan(1))
    if (path.empty() || path[0] == '-') return Usage(err, kUsage);
  return args[0] == "pack" ? Pack(args[1], args[2], out, err) : Unpack(args[1], args[2], out, err);
}

}  // namespace tvx::tool
