// What the commands share about files: the "IN [-o OUT]" command line of the show commands,
// and reading and writing whole files with messages that name the command, the file and the
// system's reason ("anim show: cannot read 'X': No such file or directory").
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
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

// "cannot read 'PATH': REASON" and "cannot write 'PATH': REASON".
std::string CannotRead(std::string_view path, const std::error_code& reason);
std::string CannotWrite(std::string_view path, const std::error_code& reason);

// The file's bytes, or nothing after "WHO: cannot read 'PATH': REASON".
std::optional<std::vector<uint8_t>> ReadInput(std::string_view who, const std::string& path,
                                              std::ostream& err);

// The bytes of a text source, or nothing after the reading error or "WHO: 'PATH' is not a
// text file: REASON" for data (a known binary format, or NUL bytes).
std::optional<std::vector<uint8_t>> ReadSource(std::string_view who, const std::string& path,
                                               std::ostream& err);

// Files of the kinds found beside game data have signatures, which tell them from the
// engine's formats that have none: what the file is ("it is a RIFF file (wave sound)", "it
// is a PNG picture"), or nothing.
std::optional<std::string> KnownFormatOf(std::span<const uint8_t> file);

// Reports the errors of a source, then "WHO: N errors; OUT not written". False when there
// were none (the build goes on).
bool ReportErrors(std::string_view who, std::span<const std::string> errors,
                  const std::string& out_path, std::ostream& err);

// Writes the file whole (or not at all); false after "WHO: cannot write 'PATH': REASON".
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
