// What the commands that turn text into data and data into text share: the "IN [-o OUT]"
// command line of the show commands, and reading and writing their files with messages that
// name the command ("anim show: X: cannot read the file").
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/command.h"

namespace tvx::tool {

struct ShowArgs {
  std::string in;
  std::string out;  // empty: standard output
};

// Parses "IN [-o OUT]" (--help shows `help`). Nothing when the command should end at once
// with the exit code in `exit_code` (help shown, or bad usage).
std::optional<ShowArgs> ParseShowArgs(CommandArgs args, std::ostream& out, std::ostream& err,
                                      std::string_view usage, std::string_view help,
                                      int& exit_code);

// The file's bytes, or nothing after "WHO: PATH: cannot read the file".
std::optional<std::vector<uint8_t>> ReadInput(std::string_view who, const std::string& path,
                                              std::ostream& err);

// Reports the errors of a source, then "WHO: N errors; OUT not written". False when there
// were none (the build goes on).
bool ReportErrors(std::string_view who, std::span<const std::string> errors,
                  const std::string& out_path, std::ostream& err);

// Writes the file whole (or not at all); false after "WHO: PATH: cannot write the file".
bool WriteOutput(std::string_view who, const std::string& path, std::span<const uint8_t> bytes,
                 std::ostream& err);

// The text on standard output, or into `out_path`; the exit code.
int EmitText(std::string_view who, const std::string& text, const std::string& out_path,
             std::ostream& out, std::ostream& err);

// A decimal or 0x number of a text format, capped just above 32 bits so that callers can
// tell a too-large value; nothing when the text is no number.
std::optional<uint64_t> ParseNumber(std::string_view text);

// ", N warning(s)" for a summary line, or nothing.
std::string WarningCount(size_t count);

}  // namespace tvx::tool
