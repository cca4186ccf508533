#include "tools/anim_command.h"

#include <string_view>
#include <vector>

#include "tools/anim_block.h"
#include "tools/anim_source.h"
#include "tools/anim_text.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage = "usage: talvex-tool anim build|show ... (see --help)\n";
constexpr std::string_view kBuildUsage = "usage: talvex-tool anim build IN.txt OUT.DAT\n";
constexpr std::string_view kShowUsage = "usage: talvex-tool anim show IN.DAT [-o OUT.txt]\n";

constexpr std::string_view kHelp =
    "talvex-tool anim: the animation data that system call 3 plays in its slots.\n"
    "\n"
    "  talvex-tool anim build IN.txt OUT.DAT        build a data block from text\n"
    "  talvex-tool anim show IN.DAT [-o OUT.txt]    show a data block as that text\n"
    "\n"
    "The text format is described in docs/tools.md. Run 'talvex-tool anim COMMAND --help'\n"
    "for the details of one.\n";

constexpr std::string_view kBuildHelp =
    "Builds the data block that a script loads with system call 7 and points system\n"
    "pointer 2 at, from frames and slot programs written as text:\n"
    "\n"
    "  frame 20 copy  0 0 64 48  288 200     # number, type, source x y w h, destination x y\n"
    "  frame 21 blink keyed 64 0 64 48 288 200\n"
    "  slot 0 0: 20 wait 10 blink wait 10 restart\n"
    "\n"
    "Every error is reported as FILE:LINE:COLUMN: message, and OUT.DAT is written only when\n"
    "there are none (and replaced only once it is complete). Warnings (a program without an\n"
    "end, a frame outside its plane, a frame without a record...) do not stop the build.\n";

constexpr std::string_view kShowHelp =
    "Shows a data block as the text 'anim build' reads, on standard output or into OUT.txt:\n"
    "the frames the programs use and the programs of the slots whose offsets are not 0.\n"
    "Building the text of a block that 'anim build' made gives the same bytes. Any data is\n"
    "read (files of known other kinds, such as wave sounds or PNG pictures, are refused);\n"
    "what cannot be written as frames and programs is told in '# note:' lines.\n";

int Build(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HasHelpFlag(args)) return Help(out, kBuildUsage, kBuildHelp);
  if (args.size() != 2 || IsOption(args[0]) || IsOption(args[1])) return Usage(err, kBuildUsage);
  const std::string& in_path = args[0];
  const std::string& out_path = args[1];
  const auto source = ReadSource("anim build", in_path, err);
  if (!source) return kExitFailure;
  const anim::SourceResult result = anim::ParseSource(
      std::string_view(reinterpret_cast<const char*>(source->data()), source->size()), in_path);
  if (ReportErrors("anim build", result.errors, out_path, err)) return kExitFailure;
  // Warnings once there are no errors, as the errors may well be their cause.
  for (const std::string& warning : result.warnings) err << warning << "\n";
  const std::vector<uint8_t> block = anim::WriteBlock(result.data);
  if (!WriteOutput("anim build", out_path, block, err)) return kExitFailure;
  out << in_path << ": " << result.data.frames.size()
      << (result.data.frames.size() == 1 ? " frame, " : " frames, ") << result.data.programs.size()
      << (result.data.programs.size() == 1 ? " slot" : " slots") << " -> " << out_path << " ("
      << block.size() << " bytes" << WarningCount(result.warnings.size()) << ")\n";
  return kExitOk;
}

int Show(CommandArgs args, std::ostream& out, std::ostream& err) {
  int exit_code = kExitOk;
  const auto paths = ParseShowArgs(args, out, err, kShowUsage, kShowHelp, exit_code);
  if (!paths) return exit_code;
  const auto block = ReadInput("anim show", paths->in, err);
  if (!block) return kExitFailure;
  if (const auto kind = KnownFormatOf(*block)) {
    err << "anim show: '" << paths->in << "' is not animation data: " << *kind << "\n";
    return kExitFailure;
  }
  const anim::BlockReading reading = anim::ReadBlock(*block);
  const std::string text = anim::FormatSource(
      reading.data, reading.notes, paths->in + " (" + std::to_string(block->size()) + " bytes)");
  return EmitText("anim show", text, paths->out, out, err);
}

}  // namespace

int RunAnim(CommandArgs args, std::ostream& out, std::ostream& err) {
  static constexpr Action kActions[] = {{"build", Build}, {"show", Show}};
  return RunAction(args, out, err, "anim", kUsage, kHelp, kActions);
}

}  // namespace tvx::tool
