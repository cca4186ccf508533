// The lexer: one source line to tokens (names, numbers, strings already in GBK, symbols),
// and a cursor to walk them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "tools/mes/diagnostic.h"

namespace tvx::mes {

// A Directive is a name after a dot (".define"), written at the start of a line.
enum class TokenKind : uint8_t { Identifier, Directive, Number, String, Symbol, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;       // as written (a string literal with its quotes)
  size_t offset = 0;           // byte offset in the line
  uint64_t number = 0;         // Number: its value (at most 0xFFFFFFFF)
  std::vector<uint8_t> bytes;  // String: its GBK bytes
};

struct LineTokens {
  std::vector<Token> tokens;  // always ends with an End token
  std::vector<LineProblem> problems;
};

// Splits a line (without its line break) into tokens; a ';' outside strings starts a comment.
LineTokens Tokenize(std::string_view line);

// Walks the tokens of a line; reading past the end keeps returning the End token.
class TokenCursor {
 public:
  explicit TokenCursor(std::span<const Token> tokens) : tokens_(tokens) {}

  const Token& Peek(size_t ahead = 0) const {
    return tokens_[std::min(index_ + ahead, tokens_.size() - 1)];
  }
  const Token& Next() {
    const Token& token = Peek();
    if (index_ + 1 < tokens_.size()) ++index_;
    return token;
  }
  bool AtEnd() const { return Peek().kind == TokenKind::End; }
  bool IsSymbol(std::string_view symbol, size_t ahead = 0) const {
    const Token& token = Peek(ahead);
    return token.kind == TokenKind::Symbol && token.text == symbol;
  }
  bool Accept(std::string_view symbol) {
    if (!IsSymbol(symbol)) return false;
    Next();
    return true;
  }

 private:
  std::span<const Token> tokens_;
  size_t index_ = 0;
};

}  // namespace tvx::mes
