// What every talvex-tool subcommand shares: its signature and its exit codes.
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

}  // namespace tvx::tool
