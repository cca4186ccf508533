#include "tools/arc_command.h"

#include "tools/arc_inspect.h"
#include "tools/arc_packer.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kPackUsage =
    "usage: talvex-tool arc pack [--lzss] OUT.ARC (FILE... | --from DIR)\n";
constexpr std::string_view kListUsage = "usage: talvex-tool arc list ARC\n";
constexpr std::string_view kExtractUsage =
    "usage: talvex-tool arc extract [--lzss] [-o DIR] ARC [NAME...]\n";

constexpr std::string_view kArcHelp =
    "talvex-tool arc: pack, list and extract ARC archives.\n"
    "\n"
    "  talvex-tool arc pack [--lzss] OUT.ARC (FILE... | --from DIR)\n"
    "  talvex-tool arc list ARC\n"
    "  talvex-tool arc extract [--lzss] [-o DIR] ARC [NAME...]\n"
    "\n"
    "Run 'talvex-tool arc COMMAND --help' for the details of one.\n";

constexpr std::string_view kPackHelp =
    "Packs files into an ARC archive, in the order given (or, with --from, every regular\n"
    "file directly in DIR sorted by name). Each entry is named after the file's base name,\n"
    "upper-cased; UTF-8 names are stored in GBK. A stored name holds at most 20 bytes.\n"
    "The archive is replaced only once it is complete.\n"
    "\n"
    "  --lzss      store every entry LZSS-compressed (script and data archives)\n"
    "  --from DIR  pack the files in DIR\n";

constexpr std::string_view kListHelp =
    "Lists an archive's entries (name, size, offset) and checks them against the file.\n"
    "Exit code 1 when the archive or an entry is damaged.\n";

constexpr std::string_view kExtractHelp =
    "Extracts every entry, or the NAMEs given (matched regardless of case), into DIR\n"
    "(default: the current folder; created when missing). Entry names in GBK become UTF-8\n"
    "file names. Entries whose names would leave DIR are refused.\n"
    "\n"
    "  --lzss      expand LZSS-compressed entries\n"
    "  -o DIR      the folder to write to\n";

// Options may stand anywhere; "--" ends them.
int RunPack(CommandArgs args, std::ostream& out, std::ostream& err) {
  PackRequest request;
  std::vector<std::string> positional;
  bool options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
    } else if (IsHelpFlag(arg)) {
      return Help(out, kPackUsage, kPackHelp);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--lzss") {
      request.lzss = true;
    } else if (arg == "--from" && i + 1 < args.size() && request.from_directory.empty()) {
      request.from_directory = args[++i];
    } else {
      return Usage(err, kPackUsage);
    }
  }
  if (positional.empty()) return Usage(err, kPackUsage);
  request.output = positional.front();
  request.files.assign(positional.begin() + 1, positional.end());
  // Files or a folder, exactly one of the two.
  if (request.files.empty() == request.from_directory.empty()) return Usage(err, kPackUsage);
  return PackArchive(request, out, err);
}

int RunList(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HasHelpFlag(args)) return Help(out, kListUsage, kListHelp);
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return Usage(err, kListUsage);
  return ListArchive(args[0], out, err);
}

int RunExtract(CommandArgs args, std::ostream& out, std::ostream& err) {
  ExtractRequest request;
  std::vector<std::string> positional;
  bool options_done = false;
  bool directory_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
    } else if (IsHelpFlag(arg)) {
      return Help(out, kExtractUsage, kExtractHelp);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--lzss") {
      request.lzss = true;
    } else if (arg == "-o" && i + 1 < args.size() && !directory_given) {
      request.directory = args[++i];
      directory_given = true;
    } else {
      return Usage(err, kExtractUsage);
    }
  }
  if (positional.empty() || request.directory.empty()) return Usage(err, kExtractUsage);
  request.archive = positional.front();
  request.names.assign(positional.begin() + 1, positional.end());
  return ExtractArchive(request, out, err);
}

}  // namespace

int RunArc(CommandArgs args, std::ostream& out, std::ostream& err) {
  constexpr std::string_view kUsage = "usage: talvex-tool arc pack|list|extract ... (see --help)\n";
  static constexpr Action kActions[] = {
      {"pack", RunPack}, {"list", RunList}, {"extract", RunExtract}};
  return RunAction(args, out, err, "arc", kUsage, kArcHelp, kActions);
}

}  // namespace tvx::tool
