// Property tests: source -> bytes -> source -> bytes, and any bytes -> source -> bytes.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::Hex;
using test::JoinLines;

// Random programs in the source language, written the way people write them: any case,
// spacing, redundant parentheses, comments, labels before and after their uses. They use
// neither DB nor RAW, so the code they give is exactly what the disassembler writes back as
// instructions.
class ProgramGenerator {
 public:
  explicit ProgramGenerator(uint32_t seed) : rng_(seed) {}

  std::string Program() {
    const int labels = Below(6);
    std::vector<std::string> pending;
    for (int i = 0; i < labels; ++i) pending.push_back("label_" + std::to_string(i));
    label_count_ = labels;
    std::string source;
    const int lines = 1 + Below(25);
    for (int i = 0; i < lines; ++i) {
      if (!pending.empty() && Chance(3)) {
        source += pending.back() + ":" + (Chance(2) ? "\n" : Space());
        pending.pop_back();
      }
      source += Space() + (structured_ && Chance(3) ? StructuredLine() : Instruction());
      if (Chance(5)) source += Space() + "; note \"with\" ; semicolons";
      source += Chance(8) ? "\r\n" : "\n";
      if (Chance(10)) source += "\n";
    }
    for (const std::string& label : pending) source += label + ":\n";
    return source;
  }

  // The same with what the assembler compiles away: named constants, a macro with a label
  // of its own, and blocks, closed at the end.
  std::string StructuredProgram() {
    structured_ = true;
    open_.clear();
    std::string source = ".define limit " + Expression() + "\n.define hero " + Register16Letter() +
                         "\n.macro STEP reg, by\n  SET_REG16 reg, reg + by\n"
                         "again: IF reg < limit, again\n.endmacro\n";
    source += Program();
    for (; !open_.empty(); open_.pop_back())
      source += open_.back() == 'W' ? "ENDWHILE\n" : "ENDIF\n";
    return source;
  }

 private:
  int Below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
  bool Chance(int one_in) { return Below(one_in) == 0; }
  std::string Space() { return Chance(4) ? "\t" : std::string(1 + Below(2), ' '); }
  std::string Sep() { return Chance(2) ? "" : " "; }

  std::string Cased(std::string_view name) {
    std::string out(name);
    if (Chance(3)) {
      for (char& c : out) {
        if (c >= 'A' && c <= 'Z' && Chance(2)) c = static_cast<char>(c - 'A' + 'a');
      }
    }
    return out;
  }

  std::string Number(uint32_t value) {
    if (Chance(3)) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, Chance(2) ? "0x%X" : "0x%x", value);
      return buffer;
    }
    return std::to_string(value);
  }

  uint32_t Value() {
    static constexpr std::array<uint32_t, 14> kEdges = {
        0, 1, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xC0, 0xDF, 0xE0, 0xFF, 0xFFFF, 0x10000, 0xFFFFFFFF};
    switch (Below(4)) {
      case 0:
        return kEdges[static_cast<size_t>(Below(kEdges.size()))];
      case 1:
        return static_cast<uint32_t>(Below(256));
      case 2:
        return static_cast<uint32_t>(Below(70000));
      default:
        return static_cast<uint32_t>(rng_());
    }
  }

  std::string Register16() {
    if (Chance(6)) return Cased("R16(") + Number(static_cast<uint32_t>(Below(256))) + ")";
    return std::string(1, static_cast<char>((Chance(4) ? 'a' : 'A') + Below(26)));
  }

  std::string Register32() {
    if (Chance(6)) return Cased("R32(") + Number(static_cast<uint32_t>(Below(256))) + ")";
    return std::string(1, static_cast<char>((Chance(4) ? 'a' : 'A') + Below(26))) + "32";
  }

  std::string Expression(int depth = 0) {
    const int choice = depth > 4 ? Below(3) : Below(14);
    switch (choice) {
      case 0:
        return Number(Value());
      case 1:
        return Register16();
      case 2:
        return Register32();
      case 3:
        return Cased("FLAG") + "[" + Sep() + Expression(depth + 1) + Sep() + "]";
      case 4:
        return Cased("FLAG") + "[" + Number(static_cast<uint32_t>(Below(3000))) + "]";
      case 5:
        return Cased(Chance(2) ? "DIM16" : "DIM32") + "[" +
               Number(static_cast<uint32_t>(Below(256))) + "][" + Expression(depth + 1) + "]";
      case 6:
        return Cased("BYTE") + "[" + Register16Or255() + "][" + Expression(depth + 1) + "]";
      case 7:
        return Cased("RANDOM") + "(" + Expression(depth + 1) + ")";
      case 8:
        return "-" + Sep() + Operand(depth);
      case 9:
        return "!" + Sep() + Operand(depth);
      case 10:
        return "(" + Sep() + Expression(depth + 1) + Sep() + ")";
      default: {
        static constexpr std::array<std::string_view, 16> kOperators = {
            "+", "-", "*", "/", "%", "&&", "||", "&", "|", "^", "<", ">", "<=", ">=", "==", "!="};
        const std::string_view op = kOperators[static_cast<size_t>(Below(kOperators.size()))];
        return Expression(depth + 1) + Sep() + std::string(op) + Sep() + Operand(depth);
      }
    }
  }

  // The operand of a unary operator or the right side of a binary one: parenthesized unless
  // it is a primary, so the generated text means what the generator meant.
  std::string Operand(int depth) {
    if (Chance(2)) return Number(Value());
    return "(" + Expression(depth + 1) + ")";
  }

  std::string Register16Or255() {
    return Chance(2) ? Register16Letter() : Number(static_cast<uint32_t>(Below(256)));
  }
  std::string Register16Letter() { return std::string(1, static_cast<char>('A' + Below(26))); }

  std::string ExpressionList() {
    std::string out = Expression();
    const int more = Below(4);
    for (int i = 0; i < more; ++i) out += "," + Sep() + Expression();
    return out;
  }

  std::string String(bool double_byte_first) {
    static constexpr std::array<std::string_view, 12> kPieces = {
        "你", "好", "世界", "游戏", "A", "z", " ", "\\\"", "\\\\", "\\n", "\\x7F", "\\xA1\\xA1"};
    std::string out = "\"";
    if (double_byte_first) out += Chance(2) ? "开" : "\\x81\\x30";
    const int length = Below(8);
    for (int i = 0; i < length; ++i) out += kPieces[static_cast<size_t>(Below(kPieces.size()))];
    return out + "\"";
  }

  std::string Target() {
    if (label_count_ > 0 && !Chance(4)) return "label_" + std::to_string(Below(label_count_));
    return Number(static_cast<uint32_t>(Below(200)));
  }

  std::string Params(bool leading_comma) {
    const int count = Below(4);
    std::string out;
    for (int i = 0; i < count; ++i) {
      if (i > 0 || leading_comma) out += "," + Sep();
      switch (Below(4)) {
        case 0:
          out += String(false);
          break;
        case 1:
          out += Cased("KIND") + "(" + Number(static_cast<uint32_t>(3 + Below(253))) + ")";
          break;
        default:
          out += Expression();
          break;
      }
    }
    return out;
  }

  std::string Instruction() {
    const auto op = [&](std::string_view name) { return Cased(name) + " "; };
    switch (Below(22)) {
      case 0:
        return Cased("END");
      case 1:
        return op("TEXT") + String(false);
      case 2:
        return op("TEXT_HALF") + String(false);
      case 3:
        return op("SET_FLAGS") + Number(static_cast<uint32_t>(Below(65536))) + ", " +
               ExpressionList();
      case 4:
        return op("SET_REG16") + Register16Or255() + ", " + ExpressionList();
      case 5:
        return op("SET_FLAGS_AT") + Expression() + ", " + ExpressionList();
      case 6:
        return op("SET_BYTES") + Expression() + ", " + Register16Or255() + ", " + ExpressionList();
      case 7:
        return op("SET_DIM16") + Expression() + ", " + Number(static_cast<uint32_t>(Below(256))) +
               ", " + ExpressionList();
      case 8:
        return op("SET_DIM32") + Expression() + ", " + Number(static_cast<uint32_t>(Below(256))) +
               ", " + ExpressionList();
      case 9:
        return op("IF") + Expression() + ", " + Target();
      case 10:
        return op("JUMP") + Target();
      case 11:
        return op("SYSCALL") + Expression() + Params(true);
      case 12:
        return op("LOAD_SCRIPT") + Params(false);
      case 13:
        return op("CALL_SCRIPT") + Params(false);
      case 14:
        return op("MENU_ITEM") + Target() + Params(true);
      case 15:
        return op("CALL_PROC") + Params(false);
      case 16:
        return op("EFFECT") + Params(false);
      case 17:
        return Chance(2) ? Cased("NEWLINE")
                         : op("NEWLINE") + Number(static_cast<uint32_t>(Below(256)));
      case 18:
        return op("DEFINE_PROC") + Expression() + ", " + Target();
      case 19:
        return Cased("MENU_RUN");
      case 20:
        return op("SET_REG32") + (Chance(2) ? Register16Letter() + "32" : Register16Or255()) +
               ", " + ExpressionList();
      default:
        return String(true);
    }
  }

  std::string StructuredLine() {
    switch (Below(5)) {
      case 0:
        if (open_.size() < 6) {
          open_.push_back(Chance(2) ? 'W' : 'I');
          return Cased(open_.back() == 'W' ? "WHILE" : "IF") + " " + Expression();
        }
        break;
      case 1:
        if (!open_.empty() && open_.back() == 'I') {
          open_.back() = 'E';
          return Cased("ELSE");
        }
        break;
      case 2:
        if (!open_.empty()) {
          const char kind = open_.back();
          open_.pop_back();
          return Cased(kind == 'W' ? "ENDWHILE" : "ENDIF");
        }
        break;
      case 3:
        return "STEP " + std::string(Chance(2) ? "hero" : Register16Letter()) + ", " + Expression();
      default:
        return Cased("SET_REG16") + " hero, limit + " + Expression();
    }
    return Instruction();
  }

  std::mt19937 rng_;
  int label_count_ = 0;
  bool structured_ = false;
  std::string open_;  // the blocks open: 'I' IF, 'E' IF after its ELSE, 'W' WHILE
};

bool HasEscapes(const std::string& text) {
  for (const std::string& line : test::BodyLines(text)) {
    if (line.rfind("DB ", 0) == 0 || line.find("RAW(") != std::string::npos) return true;
  }
  return false;
}

TEST(RoundTrip, RandomProgramsComeBackAsTheSameInstructions) {
  for (uint32_t seed = 1; seed <= 3000; ++seed) {
    // The second half uses blocks, constants and a macro: their code comes back as plain
    // IF and JUMP instructions that give the same bytes.
    ProgramGenerator generator(seed);
    const std::string source = seed <= 1500 ? generator.Program() : generator.StructuredProgram();
    const AssembleResult first = Assemble(source, "random.tvs");
    ASSERT_TRUE(first.ok()) << JoinLines(first.errors) << source;
    const std::string text = Disassemble(first.code);
    EXPECT_FALSE(HasEscapes(text)) << "seed " << seed << "\n" << source << "\n" << text;
    const AssembleResult second = Assemble(text, "again.tvs");
    ASSERT_TRUE(second.ok()) << JoinLines(second.errors) << text;
    ASSERT_EQ(Hex(second.code), Hex(first.code)) << "seed " << seed << "\n"
                                                 << source << "\n"
                                                 << text;
    // The disassembly is a fixed point.
    ASSERT_EQ(Disassemble(second.code), text) << "seed " << seed;
  }
}

// Random bytes shaped like code, so that they reach deep into the decoder: opcodes,
// expression code (well-formed or not) with its end byte, the small values that are list
// separators and parameter kinds, double-byte text, and plain noise.
uint8_t ExpressionByte(std::mt19937& rng) {
  static constexpr std::array<uint8_t, 14> kOperators = {0x80, 0xA0, 0xC0, 0xE0, 0xE1, 0xE5, 0xE6,
                                                         0xEF, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6};
  return rng() % 3 == 0 ? kOperators[rng() % kOperators.size()] : static_cast<uint8_t>(rng() % 8);
}

void AppendPiece(std::mt19937& rng, std::vector<uint8_t>& bytes) {
  switch (rng() % 10) {
    case 0:
    case 1:
    case 2:
      bytes.push_back(static_cast<uint8_t>(rng() % 21));  // an opcode
      break;
    case 3:
    case 4:
    case 5: {  // an expression
      const uint32_t length = rng() % 6;
      for (uint32_t i = 0; i < length; ++i) bytes.push_back(ExpressionByte(rng));
      bytes.push_back(0xFF);
      break;
    }
    case 6:
    case 7:
      bytes.push_back(static_cast<uint8_t>(rng() % 4));  // end, separator, kinds
      break;
    case 8:
      bytes.push_back(rng() % 4 == 0 ? static_cast<uint8_t>(0x81 + rng() % 0x7E)
                                     : static_cast<uint8_t>(0x20 + rng() % 0x60));
      break;
    default:
      bytes.push_back(static_cast<uint8_t>(rng()));
      break;
  }
}

std::vector<uint8_t> CodeLikeBytes(std::mt19937& rng, size_t pieces) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < pieces; ++i) AppendPiece(rng, bytes);
  return bytes;
}

void ExpectBytesRoundTrip(const std::vector<uint8_t>& bytes, const std::string& what) {
  const std::string text = Disassemble(bytes);
  const AssembleResult again = Assemble(text, "bytes.tvs");
  ASSERT_TRUE(again.ok()) << what << "\n" << JoinLines(again.errors) << Hex(bytes) << "\n" << text;
  ASSERT_EQ(Hex(again.code), Hex(bytes)) << what << "\n" << text;
}

TEST(RoundTrip, RandomBytesAssembleBackExactly) {
  std::mt19937 rng(20240601);
  for (int i = 0; i < 4000; ++i) {
    const size_t pieces = i % 10 == 0 ? rng() % 300 : rng() % 24;
    ExpectBytesRoundTrip(CodeLikeBytes(rng, pieces), "code-like #" + std::to_string(i));
  }
  for (int i = 0; i < 500; ++i) {
    std::vector<uint8_t> bytes(rng() % 64);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(rng());
    ExpectBytesRoundTrip(bytes, "uniform #" + std::to_string(i));
  }
}

TEST(RoundTrip, DamagedProgramsAssembleBackExactly) {
  // Valid code with a few bytes changed, inserted or removed: mostly instructions, with
  // the odd broken list, expression or target in between.
  std::mt19937 rng(77);
  for (uint32_t seed = 1; seed <= 1500; ++seed) {
    std::vector<uint8_t> bytes = AssembleOk(ProgramGenerator(seed).Program());
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = rng() % bytes.size();
      switch (rng() % 3) {
        case 0:
          bytes[at] = ExpressionByte(rng);
          break;
        case 1:
          bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), ExpressionByte(rng));
          break;
        default:
          bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
          break;
      }
    }
    ExpectBytesRoundTrip(bytes, "damaged seed " + std::to_string(seed));
  }
}

TEST(RoundTrip, EveryByteAloneAndBeforeAnEnd) {
  for (int byte = 0; byte < 256; ++byte) {
    ExpectBytesRoundTrip({static_cast<uint8_t>(byte)}, "byte " + std::to_string(byte));
    ExpectBytesRoundTrip({static_cast<uint8_t>(byte), 0x00}, "byte+00 " + std::to_string(byte));
    // As the whole expression of a SYSCALL, and as its first parameter's.
    ExpectBytesRoundTrip({0x0B, static_cast<uint8_t>(byte), 0xFF, 0x00},
                         "expr " + std::to_string(byte));
    ExpectBytesRoundTrip({0x0B, 0x00, 0xFF, static_cast<uint8_t>(byte), 0x00, 0x00},
                         "kind " + std::to_string(byte));
  }
}

}  // namespace
}  // namespace tvx::mes
