// What every talvex-tool subcommand shares: its signature, its exit codes and the small
// helpers of its command line.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tvx::tool {

// Exit codes: success, a failure (a file that cannot be read, a damaged archive...), and
// bad usage (unknown option, missing argument).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A subcommand's entry point: its arguments (after its own name), normal output, messages.
using CommandArgs = std::span<const std::string>;
using CommandFunction = int (*)(CommandArgs args, std::ostream& out, std::ostream& err);

struct Command {
  std::string_view name;
  std::string_view summary;
  CommandFunction run;
};

inline bool IsHelpFlag(std::string_view arg) {
  return arg == "--help" || arg == "-h";
}

// Whether --help or -h is among the arguments.
inline bool HasHelpFlag(std::span<const std::string> args) {
  for (const std::string& arg : args)
    if (IsHelpFlag(arg)) return true;
  return false;
}

// An argument that looks like an option; a lone "-" does not.
inline bool IsOption(std::string_view arg) {
  return arg.size() > 1 && arg[0] == '-';
}

// Bad usage: the usage line on the message stream, exit code 2.
inline int Usage(std::ostream& err, std::string_view usage) {
  err << usage;
  return kExitUsage;
}

// --help: the usage line and the help text on normal output, exit code 0.
inline int Help(std::ostream& out, std::string_view usage, std::string_view help) {
  out << usage << "\n" << help;
  return kExitOk;
}

// A command with actions of its own ("arc pack", "g16 info"): the first argument picks one
// and the action gets the rest; --help there shows the usage and `help`, an unknown action
// "unknown command" and the usage (exit code 2).
struct Action {
  std::string_view name;
  CommandFunction run;
};
inline int RunAction(CommandArgs args, std::ostream& out, std::ostream& err,
                     std::string_view command, std::string_view usage, std::string_view help,
                     std::span<const Action> actions) {
  if (args.empty()) return Usage(err, usage);
  const std::string& name = args[0];
  if (IsHelpFlag(name)) return Help(out, usage, help);
  for (const Action& action : actions)
    if (name == action.name) return action.run(args.subspan(1), out, err);
  err << "talvex-tool " << command << ": unknown command '" << name << "'\n";
  return Usage(err, usage);
}

}  // namespace tvx::tool
