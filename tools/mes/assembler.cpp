#include "tools/mes/assembler.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/file.h"
#include "platform/path_text.h"
#include "resources/byte_order.h"
#include "script/opcodes.h"
#include "tools/mes/instruction_parser.h"
#include "tools/mes/lexer.h"
#include "tools/mes/names.h"
#include "tools/mes/source_limits.h"
#include "tools/mes/utf8.h"

namespace tvx::mes {
namespace {

// Where a line comes from: "FILE:LINE", and for a line of a macro, which use expanded it.
struct Site {
  std::string file;
  size_t line = 0;
  std::string note;  // " (in macro 'M' used at FILE:LINE)" or empty
  std::string Where() const { return file + ":" + std::to_string(line); }
};

struct Error {
  size_t sequence = 0;  // of the line, in the order lines were read
  size_t column = 0;
  std::string text;
};

struct Label {
  size_t offset = 0;
  std::string where;
};

struct Fixup {
  size_t position = 0;  // of the four target bytes in the code
  std::string name;
  size_t sequence = 0;
  size_t column = 0;
  std::string prefix;  // "FILE:LINE:COLUMN: "
  std::string note;
};

struct Define {
  std::vector<Token> value;
  std::string where;
};

struct MacroLine {
  std::string text;
  size_t line = 0;
};

struct Macro {
  std::string name;
  std::string file;
  size_t line = 0;
  std::vector<std::string> params;
  std::vector<MacroLine> body;
  std::set<std::string, std::less<>> locals;  // labels defined in the body
  bool valid = true;
};

// A source being read: a file, or the body of a macro being expanded.
struct Frame {
  const Macro* macro = nullptr;  // null for a file
  // A file: its name and text, and how far it has been read.
  std::string file;
  std::string text;
  size_t position = 0;
  size_t line = 0;
  bool done = false;
  // An expansion: the next line of the body, the arguments, the suffix of its labels.
  size_t next = 0;
  std::vector<std::vector<Token>> args;
  std::string suffix;
  std::map<std::string_view, std::string_view, std::less<>> local_names;  // name -> name@N
  std::string note;
};

struct OpenBlock {
  bool is_while = false;
  bool has_else = false;
  bool broken = false;  // its own line was bad: that error is enough
  std::string top;      // WHILE: where the condition is tested
  std::string skip;     // where a false condition jumps to
  std::string end;      // IF with ELSE: after the ELSE part
  size_t sequence = 0;
  size_t column = 0;
  std::string prefix;
};

std::string_view StripUtf8Mark(std::string_view source) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (source.starts_with(kByteOrderMark)) source.remove_prefix(kByteOrderMark.size());
  return source;
}

bool IsBlockKeyword(std::string_view name) {
  for (std::string_view keyword : {"ELSE", "ENDIF", "WHILE", "ENDWHILE"}) {
    if (IsKeyword(name, keyword)) return true;
  }
  return false;
}

// The tokens of a comma-separated list, split at the commas outside brackets.
std::vector<std::vector<Token>> SplitArguments(std::span<const Token> tokens) {
  std::vector<std::vector<Token>> parts(1);
  int depth = 0;
  for (const Token& token : tokens) {
    if (token.kind == TokenKind::End) break;
    if (token.kind == TokenKind::Symbol) {
      if (token.text == "(" || token.text == "[") ++depth;
      if (token.text == ")" || token.text == "]") --depth;
      if (token.text == "," && depth == 0) {
        parts.emplace_back();
        continue;
      }
    }
    parts.back().push_back(token);
  }
  return parts;
}

bool HasListComma(std::span<const Token> tokens) {
  return SplitArguments(tokens).size() > 1;
}

Token MakeToken(TokenKind kind, std::string_view text, size_t offset) {
  Token token;
  token.kind = kind;
  token.text = text;
  token.offset = offset;
  return token;
}

class Assembler {
 public:
  explicit Assembler(const IncludeReader& reader) : reader_(reader) {}

  void Run(std::string_view source, std::string_view file_name) {
    Frame& top = frames_.emplace_back();
    top.file = std::string(file_name);
    top.text = std::string(StripUtf8Mark(source));
    while (!frames_.empty() && !stopped_) {
      Frame& frame = frames_.back();
      std::string_view text;
      Site site;
      if (frame.macro == nullptr) {
        if (frame.done) {
          frames_.pop_back();
          continue;
        }
        std::string_view rest = std::string_view(frame.text).substr(frame.position);
        const size_t newline = rest.find('\n');
        text = rest.substr(0, newline);
        if (newline == std::string_view::npos) {
          frame.done = true;
        } else {
          frame.position += newline + 1;
        }
        if (text.ends_with('\r')) text.remove_suffix(1);
        site = {frame.file, ++frame.line, {}};
      } else {
        if (frame.next >= frame.macro->body.size()) {
          frames_.pop_back();
          continue;
        }
        const MacroLine& line = frame.macro->body[frame.next++];
        text = line.text;
        site = {frame.macro->file, line.line, frame.note};
      }
      Line(text, std::move(site), frame.macro != nullptr ? &frame : nullptr);
    }
  }

  AssembleResult Finish() {
    if (defining_) {
      At(defining_->line, ".macro " + defining_->name + " is never closed (.endmacro missing)");
    }
    for (const OpenBlock& block : blocks_) {
      if (block.broken) continue;
      errors_.push_back({block.sequence, block.column,
                         block.prefix + (block.is_while ? "WHILE" : "IF") +
                             " block is never closed (" + (block.is_while ? "ENDWHILE" : "ENDIF") +
                             " missing)"});
    }
    for (const Fixup& fixup : fixups_) {
      const auto label = labels_.find(fixup.name);
      if (label == labels_.end()) {
        if (fixup.name.starts_with('@')) continue;  // a block never closed, reported above
        errors_.push_back({fixup.sequence, fixup.column,
                           fixup.prefix + "undefined label '" + fixup.name + "'" + fixup.note});
        continue;
      }
      bytes::StoreLe32(code_, fixup.position, static_cast<uint32_t>(label->second.offset));
    }
    std::stable_sort(errors_.begin(), errors_.end(), [](const Error& a, const Error& b) {
      return a.sequence != b.sequence ? a.sequence < b.sequence : a.column < b.column;
    });
    AssembleResult result;
    for (const Error& error : errors_) result.errors.push_back(error.text);
    if (result.errors.size() > kMaxErrors) {
      result.errors.resize(kMaxErrors);
      result.errors.push_back("too many errors; the rest are not shown");
    }
    if (result.errors.empty()) result.code = std::move(code_);
    return result;
  }

 private:
  void Line(std::string_view text, Site site, Frame* expansion) {
    ++sequence_;
    site_ = std::move(site);
    line_ = text;
    if (text.size() > kMaxLineLength) {
      Report(0, "the line is too long (more than " + std::to_string(kMaxLineLength) + " bytes)");
      return;
    }
    const LineTokens lexed = Tokenize(text);
    if (defining_) {
      Record(text, lexed.tokens);
      return;
    }
    std::vector<Token> tokens;
    if (!Substitute(lexed.tokens, expansion, tokens)) return;
    if (expansion != nullptr) {
      expanded_tokens_ += tokens.size();
      if (expanded_tokens_ > kMaxExpandedTokens) {
        Report(0, "macros expand to more than " + std::to_string(kMaxExpandedTokens) +
                      " tokens in all");
        stopped_ = true;
        return;
      }
    }
    if (tokens.front().kind == TokenKind::Directive) {
      if (!lexed.problems.empty()) {
        ReportProblems(lexed.problems);
        return;
      }
      Directive(tokens, expansion);
      return;
    }
    TokenCursor cursor(tokens);
    // Labels first, so that a bad instruction after one does not make its uses undefined.
    while (cursor.Peek().kind == TokenKind::Identifier && cursor.IsSymbol(":", 1)) {
      DefineLabel(cursor.Next());
      cursor.Next();
    }
    if (!lexed.problems.empty()) {
      ReportProblems(lexed.problems);
      return;
    }
    if (cursor.AtEnd()) return;
    const size_t start = static_cast<size_t>(&cursor.Peek() - tokens.data());
    const std::span<const Token> statement = std::span<const Token>(tokens).subspan(start);
    if (BlockStatement(statement)) return;
    const Token& first = statement.front();
    if (first.kind == TokenKind::Identifier) {
      if (const auto macro = macros_.find(first.text); macro != macros_.end()) {
        Expand(macro->second, statement);
        return;
      }
    }
    Emit(statement);
  }

  void ReportProblems(const std::vector<LineProblem>& problems) {
    for (const LineProblem& problem : problems) Report(problem.offset, problem.message);
  }

  // Parameters and local labels of a macro body, then the names given by .define. Names
  // that a label definition or a directive's own operands use stay as written.
  bool Substitute(std::span<const Token> in, Frame* expansion, std::vector<Token>& out) {
    const bool defines = in.front().kind != TokenKind::Directive ||
                         (in.front().text != ".define" && in.front().text != ".macro");
    for (size_t i = 0; i < in.size(); ++i) {
      const Token& token = in[i];
      if (token.kind != TokenKind::Identifier) {
        out.push_back(token);
        continue;
      }
      if (expansion != nullptr) {
        const auto& params = expansion->macro->params;
        const auto param = std::find(params.begin(), params.end(), token.text);
        if (param != params.end()) {
          Insert(expansion->args[static_cast<size_t>(param - params.begin())], token.offset, out);
          continue;
        }
        if (expansion->macro->locals.contains(token.text)) {
          auto [own, added] = expansion->local_names.try_emplace(token.text);
          if (added) own->second = Keep(std::string(token.text) + expansion->suffix);
          out.push_back(MakeToken(TokenKind::Identifier, own->second, token.offset));
          continue;
        }
      }
      const bool label_definition =
          i + 1 < in.size() && in[i + 1].kind == TokenKind::Symbol && in[i + 1].text == ":";
      if (defines && !label_definition) {
        if (const auto define = defines_.find(token.text); define != defines_.end()) {
          Insert(define->second.value, token.offset, out);
          continue;
        }
      }
      out.push_back(token);
    }
    if (out.size() > kMaxLineTokens) {
      Report(0, "the line grows too long through its names and macro arguments (more than " +
                    std::to_string(kMaxLineTokens) + " tokens)");
      return false;
    }
    return true;
  }

  // A replacement of several tokens stands in parentheses, so that "2 * N" with N defined as
  // "1 + 1" is 4; a single token (a number, a register, a string) stands as it is.
  static void Insert(std::span<const Token> value, size_t offset, std::vector<Token>& out) {
    const bool wrap = value.size() > 1;
    if (wrap) out.push_back(MakeToken(TokenKind::Symbol, "(", offset));
    for (Token token : value) {
      token.offset = offset;
      out.push_back(std::move(token));
    }
    if (wrap) out.push_back(MakeToken(TokenKind::Symbol, ")", offset));
  }

  std::string_view Keep(std::string text) { return kept_.emplace_back(std::move(text)); }

  void Directive(std::span<const Token> tokens, const Frame* expansion) {
    const Token& directive = tokens.front();
    if (directive.text == ".define") {
      DefineName(tokens);
    } else if (directive.text == ".include") {
      Include(tokens);
    } else if (directive.text == ".macro") {
      if (expansion != nullptr) {
        Report(directive.offset, "a macro cannot define another macro");
        return;
      }
      BeginMacro(tokens);
    } else if (directive.text == ".endmacro") {
      Report(directive.offset, ".endmacro without .macro");
    } else {
      Report(directive.offset, "unknown directive '" + std::string(directive.text) +
                                   "' (there are .define, .include, .macro and .endmacro)");
    }
  }

  // Why `name` cannot be given to a constant, a macro or a macro parameter.
  std::optional<std::string> NameTaken(std::string_view name) const {
    if (const auto reserved = ReservedNameKind(name)) return "clashes with " + *reserved;
    if (IsBlockKeyword(name)) return "clashes with the block keyword " + std::string(name);
    if (const auto define = defines_.find(name); define != defines_.end()) {
      return "is already defined (at " + define->second.where + ")";
    }
    if (const auto macro = macros_.find(name); macro != macros_.end()) {
      return "is already a macro (defined at " + macro->second.file + ":" +
             std::to_string(macro->second.line) + ")";
    }
    return std::nullopt;
  }

  void DefineName(std::span<const Token> tokens) {
    const Token& name = tokens[1];
    if (name.kind != TokenKind::Identifier) {
      Report(name.offset, "expected a name after .define, found " + Describe(name));
      return;
    }
    if (const auto taken = NameTaken(name.text)) {
      Report(name.offset, "'" + std::string(name.text) + "' " + *taken);
      return;
    }
    if (tokens[2].kind == TokenKind::End) {
      Report(tokens[2].offset, "expected a value after the name in .define");
      return;
    }
    // The names the value uses are replaced now, so that a later .define of them changes
    // nothing; the value keeps its own copy of the text, which outlives the line.
    std::vector<Token> value;
    for (const Token& token : tokens.subspan(2, tokens.size() - 3)) {
      const auto inner =
          token.kind == TokenKind::Identifier ? defines_.find(token.text) : defines_.end();
      if (inner != defines_.end()) {
        Insert(inner->second.value, token.offset, value);
      } else {
        value.push_back(token);
      }
      if (value.size() > kMaxDefineTokens) break;
    }
    if (value.size() > kMaxDefineTokens) {
      Report(tokens[2].offset, "the value of '" + std::string(name.text) +
                                   "' grows too long through the names it uses");
      return;
    }
    for (Token& token : value) token.text = Keep(std::string(token.text));
    defines_.emplace(std::string(name.text), Define{std::move(value), site_.Where()});
  }

  void Include(std::span<const Token> tokens) {
    const Token& path_token = tokens[1];
    if (path_token.kind != TokenKind::String || tokens[2].kind != TokenKind::End) {
      Report(path_token.offset, "expected a file name in double quotes after .include");
      return;
    }
    const std::string written(path_token.text.substr(1, path_token.text.size() - 2));
    std::filesystem::path path = platform::PathFromText(written);
    if (path.is_relative()) path = platform::PathFromText(site_.file).parent_path() / path;
    const std::string resolved = platform::PathText(path.lexically_normal());
    std::string chain;
    size_t depth = 0;
    bool cycle = false;
    for (const Frame& frame : frames_) {
      if (frame.macro != nullptr) continue;
      chain += frame.file + " -> ";
      ++depth;
      cycle = cycle || frame.file == resolved;
    }
    chain += resolved;
    if (cycle) {
      Report(path_token.offset, "include cycle: " + chain);
      return;
    }
    if (depth >= kMaxIncludeDepth) {
      Report(path_token.offset,
             "includes nest more than " + std::to_string(kMaxIncludeDepth) + " deep: " + chain);
      return;
    }
    std::optional<std::string> text;
    if (reader_) text = reader_(resolved);
    if (!text) {
      Report(path_token.offset, "cannot read the included file '" + resolved + "' (" + chain + ")");
      return;
    }
    Frame& frame = frames_.emplace_back();
    frame.file = resolved;
    frame.text = std::string(StripUtf8Mark(*text));
  }

  // A bad .macro line still opens the macro, so that its body and .endmacro are not read as
  // lines of their own; the macro is then dropped at .endmacro.
  void BeginMacro(std::span<const Token> tokens) {
    Macro macro;
    macro.file = site_.file;
    macro.line = site_.line;
    macro.valid = ReadMacroHead(tokens, macro);
    defining_ = std::move(macro);
    defining_sequence_ = sequence_;
  }

  bool ReadMacroHead(std::span<const Token> tokens, Macro& macro) {
    const Token& name = tokens[1];
    if (name.kind != TokenKind::Identifier) {
      Report(name.offset, "expected a macro name after .macro, found " + Describe(name));
      return false;
    }
    macro.name = std::string(name.text);
    if (const auto taken = NameTaken(name.text)) {
      Report(name.offset, "macro name '" + macro.name + "' " + *taken);
      return false;
    }
    if (tokens[2].kind == TokenKind::End) return true;
    for (const auto& part : SplitArguments(tokens.subspan(2))) {
      const size_t offset = part.empty() ? tokens[2].offset : part.front().offset;
      if (part.size() != 1 || part.front().kind != TokenKind::Identifier) {
        Report(offset, "a macro parameter is a single name");
        return false;
      }
      const std::string param(part.front().text);
      if (const auto reserved = ReservedNameKind(param)) {
        Report(offset, "parameter '" + param + "' clashes with " + *reserved);
        return false;
      }
      if (std::find(macro.params.begin(), macro.params.end(), param) != macro.params.end()) {
        Report(offset, "parameter '" + param + "' is named twice");
        return false;
      }
      macro.params.push_back(param);
    }
    return true;
  }

  // A line inside .macro ... .endmacro: kept as written, read when the macro is used.
  void Record(std::string_view text, std::span<const Token> tokens) {
    const Token& first = tokens.front();
    if (first.kind == TokenKind::Directive && first.text == ".endmacro") {
      for (const MacroLine& line : defining_->body) {
        const LineTokens body = Tokenize(line.text);
        TokenCursor cursor(body.tokens);
        while (cursor.Peek().kind == TokenKind::Identifier && cursor.IsSymbol(":", 1)) {
          defining_->locals.emplace(cursor.Next().text);
          cursor.Next();
        }
      }
      if (defining_->valid) {
        std::string name = defining_->name;
        macros_.emplace(std::move(name), std::move(*defining_));
      }
      defining_.reset();
      return;
    }
    if (first.kind == TokenKind::Directive && first.text == ".macro") {
      Report(first.offset, "a macro cannot be defined inside another ('" + defining_->name +
                               "' is still open; .endmacro missing?)");
      return;
    }
    if (defining_->body.size() >= kMaxMacroLines) {
      Report(0, "macro '" + defining_->name + "' is too long");
      return;
    }
    defining_->body.push_back({std::string(text), site_.line});
  }

  void Expand(const Macro& macro, std::span<const Token> statement) {
    std::vector<std::vector<Token>> args;
    if (statement[1].kind != TokenKind::End) args = SplitArguments(statement.subspan(1));
    if (args.size() != macro.params.size()) {
      Report(statement.front().offset, "macro '" + macro.name + "' takes " +
                                           std::to_string(macro.params.size()) +
                                           " argument(s), given " + std::to_string(args.size()));
      return;
    }
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i].empty()) {
        Report(statement.front().offset,
               "argument " + std::to_string(i + 1) + " of macro '" + macro.name + "' is empty");
        return;
      }
    }
    const size_t depth = static_cast<size_t>(
        std::count_if(frames_.begin(), frames_.end(), [](const Frame& f) { return f.macro; }));
    if (depth >= kMaxMacroDepth) {
      Report(statement.front().offset, "macros expand inside each other more than " +
                                           std::to_string(kMaxMacroDepth) + " deep (does '" +
                                           macro.name + "' use itself?)");
      return;
    }
    expanded_lines_ += macro.body.size();
    if (expanded_lines_ > kMaxExpandedLines) {
      Report(statement.front().offset,
             "macros expand to more than " + std::to_string(kMaxExpandedLines) + " lines in all");
      stopped_ = true;
      return;
    }
    Frame& frame = frames_.emplace_back();
    frame.macro = &macro;
    frame.args = std::move(args);
    frame.suffix = "@" + std::to_string(++expansions_);
    // Uses inside uses read outwards: " (in macro 'B' used at f:3, in macro 'A' used at f:9)".
    frame.note = " (in macro '" + macro.name + "' used at " + site_.Where() +
                 (site_.note.empty() ? ")" : ", " + site_.note.substr(2));
  }

  // The structured blocks, compiled to the raw IF and JUMP with labels of their own.
  bool BlockStatement(std::span<const Token> statement) {
    const Token& first = statement.front();
    if (first.kind != TokenKind::Identifier) return false;
    const bool is_if = IsKeyword(first.text, "IF") && !HasListComma(statement.subspan(1));
    const bool is_while = IsKeyword(first.text, "WHILE");
    if (is_if || is_while) {
      if (statement[1].kind == TokenKind::End) {
        Report(statement[1].offset, "expected a condition after " + std::string(first.text));
        return true;
      }
      if (blocks_.size() >= kMaxBlockDepth) {
        Report(first.offset, "blocks nest more than " + std::to_string(kMaxBlockDepth) + " deep");
        return true;
      }
      OpenBlock block;
      block.is_while = is_while;
      block.skip = NewLabel();
      block.sequence = sequence_;
      block.column = ColumnOf(line_, first.offset);
      block.prefix = Prefix(first.offset);
      if (is_while) {
        block.top = NewLabel();
        DefineLabelAt(block.top);
      }
      std::vector<Token> condition(statement.begin(), statement.end() - 1);
      condition.front().text = "IF";
      const size_t end = statement.back().offset;
      condition.push_back(MakeToken(TokenKind::Symbol, ",", end));
      condition.push_back(MakeToken(TokenKind::Identifier, Keep(block.skip), end));
      condition.push_back(statement.back());
      blocks_.push_back(std::move(block));
      blocks_.back().broken = !Emit(condition);
      return true;
    }
    const bool is_else = IsKeyword(first.text, "ELSE");
    const bool is_endif = IsKeyword(first.text, "ENDIF");
    const bool is_endwhile = IsKeyword(first.text, "ENDWHILE");
    if (!is_else && !is_endif && !is_endwhile) return false;
    if (statement[1].kind != TokenKind::End) {
      Report(statement[1].offset,
             "unexpected " + Describe(statement[1]) + " after " + std::string(first.text));
      return true;
    }
    const std::string keyword = is_else ? "ELSE" : is_endif ? "ENDIF" : "ENDWHILE";
    if (blocks_.empty()) {
      Report(first.offset, keyword + " without " + (is_endwhile ? "WHILE" : "IF"));
      return true;
    }
    OpenBlock& block = blocks_.back();
    if (is_else && block.has_else) {
      Report(first.offset, "a second ELSE in the IF block opened at " +
                               block.prefix.substr(0, block.prefix.size() - 2));
      return true;
    }
    if (block.is_while != is_endwhile) {
      const std::string open = block.is_while ? "WHILE" : "IF";
      Report(first.offset, keyword + " does not match the " + open + " block opened at " +
                               block.prefix.substr(0, block.prefix.size() - 2) +
                               " (close it with " + (block.is_while ? "ENDWHILE" : "ENDIF") +
                               " first)");
      return true;
    }
    const size_t offset = first.offset;
    if (is_else) {
      block.has_else = true;
      block.end = NewLabel();
      Jump(block.end, offset);
      DefineLabelAt(block.skip);
      return true;
    }
    if (is_endwhile) Jump(block.top, offset);
    DefineLabelAt(block.has_else ? block.end : block.skip);
    blocks_.pop_back();
    return true;
  }

  std::string NewLabel() { return "@" + std::to_string(++generated_labels_); }

  void Jump(const std::string& label, size_t offset) {
    const std::vector<Token> jump = {MakeToken(TokenKind::Identifier, "JUMP", offset),
                                     MakeToken(TokenKind::Identifier, Keep(label), offset),
                                     MakeToken(TokenKind::End, "", offset)};
    Emit(jump);
  }

  void DefineLabelAt(const std::string& label) {
    labels_.emplace(label, Label{code_.size(), site_.Where()});
  }

  bool Emit(std::span<const Token> statement) {
    TokenCursor cursor(statement);
    LineProblem problem;
    const auto parsed = ParseStatement(cursor, problem);
    if (!parsed) {
      Report(problem.offset, problem.message);
      return false;
    }
    for (const LabelUse& use : parsed->label_uses) {
      fixups_.push_back({code_.size() + use.position, use.name, sequence_,
                         ColumnOf(line_, use.offset), Prefix(use.offset), site_.note});
    }
    if (code_.size() + parsed->bytes.size() > kMaxCodeSize) {
      Report(0, "the code grows past " + std::to_string(kMaxCodeSize) + " bytes");
      stopped_ = true;
      return false;
    }
    code_.insert(code_.end(), parsed->bytes.begin(), parsed->bytes.end());
    return true;
  }

  std::string Prefix(size_t offset) const {
    return site_.Where() + ":" + std::to_string(ColumnOf(line_, offset)) + ": ";
  }

  void Report(size_t offset, std::string message) {
    errors_.push_back({sequence_, ColumnOf(line_, offset), Prefix(offset) + message + site_.note});
    if (errors_.size() > kMaxErrors * 2) stopped_ = true;
  }

  // An error on a line read earlier, known only at the end.
  void At(size_t line, std::string message) {
    errors_.push_back(
        {defining_sequence_, 1, defining_->file + ":" + std::to_string(line) + ":1: " + message});
  }

  static std::string Describe(const Token& token) {
    if (token.kind == TokenKind::End) return "the end of the line";
    return "'" + std::string(token.text) + "'";
  }

  void DefineLabel(const Token& name) {
    const std::string text(name.text);
    if (const auto reserved = ReservedNameKind(text)) {
      Report(name.offset, "label '" + text + "' clashes with " + *reserved);
      return;
    }
    if (const auto define = defines_.find(text); define != defines_.end()) {
      Report(name.offset,
             "label '" + text + "' clashes with the name defined at " + define->second.where);
      return;
    }
    const auto [found, added] = labels_.try_emplace(text, Label{code_.size(), site_.Where()});
    if (!added) {
      // Within one file the line alone says where.
      const std::string& first = found->second.where;
      const std::string own = site_.file + ":";
      const std::string where =
          first.starts_with(own) && site_.note.empty() ? "line " + first.substr(own.size()) : first;
      Report(name.offset, "duplicate label '" + text + "' (first defined on " + where + ")");
    }
  }

  const IncludeReader& reader_;
  std::deque<Frame> frames_;
  std::deque<std::string> kept_;  // names made here, which tokens point into
  std::map<std::string, Define, std::less<>> defines_;
  std::map<std::string, Macro, std::less<>> macros_;
  std::optional<Macro> defining_;
  size_t defining_sequence_ = 0;
  std::vector<OpenBlock> blocks_;
  std::vector<uint8_t> code_;
  std::map<std::string, Label, std::less<>> labels_;
  std::vector<Fixup> fixups_;
  std::vector<Error> errors_;
  size_t sequence_ = 0;
  size_t expansions_ = 0;
  size_t expanded_lines_ = 0;
  size_t expanded_tokens_ = 0;
  size_t generated_labels_ = 0;
  bool stopped_ = false;
  Site site_;
  std::string_view line_;
};

}  // namespace

AssembleResult Assemble(std::string_view source, std::string_view file_name,
                        const IncludeReader& reader) {
  Assembler assembler(reader);
  assembler.Run(source, file_name);
  return assembler.Finish();
}

IncludeReader DiskIncludeReader() {
  return [](const std::string& path) -> std::optional<std::string> {
    if (!platform::FileExists(path)) return std::nullopt;
    const auto bytes = platform::ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
  };
}

}  // namespace tvx::mes
