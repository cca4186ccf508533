#include "tools/mes/assembler.h"

#include <algorithm>
#include <map>

#include "resources/byte_order.h"
#include "tools/mes/instruction_parser.h"
#include "tools/mes/lexer.h"
#include "tools/mes/names.h"
#include "tools/mes/utf8.h"

namespace tvx::mes {
namespace {

struct Error {
  size_t line = 0;
  size_t column = 0;
  std::string message;
};

struct Label {
  size_t offset = 0;
  size_t line = 0;
};

struct Fixup {
  size_t position = 0;  // of the four target bytes in the code
  std::string name;
  size_t line = 0;
  size_t column = 0;
};

class Assembler {
 public:
  void Line(size_t number, std::string_view text) {
    line_number_ = number;
    line_ = text;
    const LineTokens lexed = Tokenize(text);
    TokenCursor cursor(lexed.tokens);
    // Labels first, so that a bad instruction after one does not make its uses undefined.
    while (cursor.Peek().kind == TokenKind::Identifier && cursor.IsSymbol(":", 1)) {
      DefineLabel(cursor.Next());
      cursor.Next();
    }
    if (!lexed.problems.empty()) {
      for (const LineProblem& problem : lexed.problems) Report(problem.offset, problem.message);
      return;
    }
    if (cursor.AtEnd()) return;
    LineProblem problem;
    const auto statement = ParseStatement(cursor, problem);
    if (!statement) {
      Report(problem.offset, problem.message);
      return;
    }
    for (const LabelUse& use : statement->label_uses) {
      fixups_.push_back(
          {code_.size() + use.position, use.name, number, ColumnOf(text, use.offset)});
    }
    code_.insert(code_.end(), statement->bytes.begin(), statement->bytes.end());
  }

  AssembleResult Finish(std::string_view file_name) {
    for (const Fixup& fixup : fixups_) {
      const auto label = labels_.find(fixup.name);
      if (label == labels_.end()) {
        errors_.push_back({fixup.line, fixup.column, "undefined label '" + fixup.name + "'"});
        continue;
      }
      bytes::StoreLe32(code_, fixup.position, static_cast<uint32_t>(label->second.offset));
    }
    std::stable_sort(errors_.begin(), errors_.end(), [](const Error& a, const Error& b) {
      return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    AssembleResult result;
    for (const Error& error : errors_) {
      result.errors.push_back(std::string(file_name) + ":" + std::to_string(error.line) + ":" +
                              std::to_string(error.column) + ": " + error.message);
    }
    if (result.errors.empty()) result.code = std::move(code_);
    return result;
  }

 private:
  void Report(size_t offset, std::string message) {
    errors_.push_back({line_number_, ColumnOf(line_, offset), std::move(message)});
  }

  void DefineLabel(const Token& name) {
    const std::string text(name.text);
    if (const auto reserved = ReservedNameKind(text)) {
      Report(name.offset, "label '" + text + "' clashes with " + *reserved);
      return;
    }
    const auto [found, added] = labels_.try_emplace(text, Label{code_.size(), line_number_});
    if (!added) {
      Report(name.offset, "duplicate label '" + text + "' (first defined on line " +
                              std::to_string(found->second.line) + ")");
    }
  }

  std::vector<uint8_t> code_;
  std::map<std::string, Label, std::less<>> labels_;
  std::vector<Fixup> fixups_;
  std::vector<Error> errors_;
  size_t line_number_ = 0;
  std::string_view line_;
};

}  // namespace

AssembleResult Assemble(std::string_view source, std::string_view file_name) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (source.starts_with(kByteOrderMark)) source.remove_prefix(kByteOrderMark.size());
  Assembler assembler;
  size_t number = 1;
  while (true) {
    const size_t newline = source.find('\n');
    std::string_view line = source.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    assembler.Line(number++, line);
    if (newline == std::string_view::npos) break;
    source.remove_prefix(newline + 1);
  }
  return assembler.Finish(file_name);
}

}  // namespace tvx::mes
