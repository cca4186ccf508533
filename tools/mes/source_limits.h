// How far the source may stretch the assembler: bad input ends in an error, never in a
// crash or in memory without bound.
#pragma once

#include <cstddef>

namespace tvx::mes {

inline constexpr size_t kMaxLineLength = 64 * 1024;
inline constexpr size_t kMaxLineTokens = 64 * 1024;    // after names and arguments are put in
inline constexpr size_t kMaxDefineTokens = 4096;       // in the value of one .define
inline constexpr size_t kMaxIncludeDepth = 32;         // files including each other
inline constexpr size_t kMaxMacroDepth = 64;           // macros used inside macros
inline constexpr size_t kMaxMacroLines = 100000;       // in the body of one macro
inline constexpr size_t kMaxExpandedLines = 200000;    // taken from macro bodies in all
inline constexpr size_t kMaxExpandedTokens = 2000000;  // in those lines
inline constexpr size_t kMaxBlockDepth = 256;          // IF and WHILE blocks inside each other
inline constexpr size_t kMaxCodeSize = 16 * 1024 * 1024;
inline constexpr size_t kMaxErrors = 1000;

}  // namespace tvx::mes
