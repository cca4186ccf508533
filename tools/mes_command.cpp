#include "tools/mes_command.h"

#include <string_view>
#include <vector>

#include "tools/mes/assembler.h"
#include "tools/mes/disassembler.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage = "usage: talvex-tool mes asm|disasm ... (see --help)\n";
constexpr std::string_view kAsmUsage = "usage: talvex-tool mes asm IN.tvs OUT.MES\n";
constexpr std::string_view kDisasmUsage = "usage: talvex-tool mes disasm IN.MES [-o OUT.tvs]\n";

constexpr std::string_view kHelp =
    "talvex-tool mes: write game scripts in MES assembly and read compiled ones.\n"
    "\n"
    "  talvex-tool mes asm IN.tvs OUT.MES         assemble a script\n"
    "  talvex-tool mes disasm IN.MES [-o OUT.tvs]  disassemble a script\n"
    "\n"
    "The language is described in docs/mes.md. Run 'talvex-tool mes COMMAND --help' for\n"
    "the details of one.\n";

constexpr std::string_view kAsmHelp =
    "Assembles IN.tvs (UTF-8; texts are stored in GBK) into OUT.MES. Every error is reported\n"
    "as FILE:LINE:COLUMN: message; OUT.MES is written only when there are none, and replaced\n"
    "only once it is complete. Files named by .include are read relative to the file that\n"
    "includes them.\n";

constexpr std::string_view kDisasmHelp =
    "Disassembles IN.MES into assembly source, on standard output or into OUT.tvs. Any file\n"
    "can be disassembled: bytes that are no instruction are written with DB, expressions the\n"
    "assembler would encode differently with RAW(...), so that 'mes asm' always gives back\n"
    "the same bytes.\n";

int RunAsm(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HasHelpFlag(args)) return Help(out, kAsmUsage, kAsmHelp);
  if (args.size() != 2 || IsOption(args[0]) || IsOption(args[1])) return Usage(err, kAsmUsage);
  const std::string& in_path = args[0];
  const std::string& out_path = args[1];
  const auto source = ReadSource("mes asm", in_path, err);
  if (!source) return kExitFailure;
  const mes::AssembleResult result =
      mes::Assemble(std::string_view(reinterpret_cast<const char*>(source->data()), source->size()),
                    in_path, mes::DiskIncludeReader());
  if (ReportErrors("mes asm", result.errors, out_path, err)) return kExitFailure;
  if (!WriteOutput("mes asm", out_path, result.code, err)) return kExitFailure;
  out << in_path << ": " << result.code.size() << " bytes -> " << out_path << "\n";
  return kExitOk;
}

int RunDisasm(CommandArgs args, std::ostream& out, std::ostream& err) {
  int exit_code = kExitOk;
  const auto paths = ParseShowArgs(args, out, err, kDisasmUsage, kDisasmHelp, exit_code);
  if (!paths) return exit_code;
  const auto code = ReadInput("mes disasm", paths->in, err);
  if (!code) return kExitFailure;
  return EmitText("mes disasm", mes::Disassemble(*code), paths->out, out, err);
}

}  // namespace

int RunMes(CommandArgs args, std::ostream& out, std::ostream& err) {
  static constexpr Action kActions[] = {{"asm", RunAsm}, {"disasm", RunDisasm}};
  return RunAction(args, out, err, "mes", kUsage, kHelp, kActions);
}

}  // namespace tvx::tool
