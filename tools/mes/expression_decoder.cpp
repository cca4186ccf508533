#include "tools/mes/expression_decoder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "resources/byte_order.h"
#include "tools/mes/expression_format.h"

namespace tvx::mes {
namespace {

// Bytes that follow an operation byte in the code.
size_t OperandSize(uint8_t op) {
  switch (op) {
    case kExprRegister16:
    case kExprDim16:
    case kExprByteArray:
    case kExprDim32:
    case kExprRegister32:
      return 1;
    case kExprConst16:
    case kExprFlagConst:
      return 2;
    case kExprConst32:
      return 4;
    default:
      return 0;
  }
}

struct StackEntry {
  ExprPtr node;
  int depth = 1;
};

}  // namespace

ExprPtr BuildExpressionTree(std::span<const uint8_t> body) {
  std::vector<StackEntry> stack;
  const auto pop = [&](StackEntry& entry) {
    if (stack.empty()) return false;
    entry = std::move(stack.back());
    stack.pop_back();
    return true;
  };
  const auto push = [&](ExprPtr node, int depth) {
    if (depth > kMaxDecodedDepth) return false;
    stack.push_back({std::move(node), depth});
    return true;
  };
  for (size_t pos = 0; pos < body.size();) {
    const uint8_t op = body[pos];
    const std::span<const uint8_t> operand = body.subspan(pos + 1, OperandSize(op));
    pos += 1 + operand.size();
    bool ok = true;
    StackEntry a;
    StackEntry b;
    if (PushesItself(op)) {
      ok = push(MakeConstant(op), 1);
    } else if (op == kExprRegister16 || op == kExprRegister32) {
      ok = push(
          MakeLeaf(op == kExprRegister16 ? NodeKind::Register16 : NodeKind::Register32, operand[0]),
          1);
    } else if (op == kExprConst16) {
      ok = push(MakeConstant(bytes::LoadLe16(operand, 0)), 1);
    } else if (op == kExprConst32) {
      ok = push(MakeConstant(bytes::LoadLe32(operand, 0)), 1);
    } else if (op == kExprFlagConst) {
      ok = push(MakeUnary(NodeKind::Flag, 0, MakeConstant(bytes::LoadLe16(operand, 0))), 2);
    } else if (op == kExprFlag || op == kExprRandom) {
      ok = pop(a) && push(MakeUnary(op == kExprFlag ? NodeKind::Flag : NodeKind::Random, 0,
                                    std::move(a.node)),
                          a.depth + 1);
    } else if (op == kExprDim16 || op == kExprDim32 || op == kExprByteArray) {
      const NodeKind kind = op == kExprDim16   ? NodeKind::Dim16
                            : op == kExprDim32 ? NodeKind::Dim32
                                               : NodeKind::ByteAt;
      ok = pop(a) && push(MakeUnary(kind, operand[0], std::move(a.node)), a.depth + 1);
    } else if (FindBinaryOperator(op) != nullptr) {
      // The right operand is on top.
      ok = pop(b) && pop(a) &&
           push(MakeBinary(op, std::move(a.node), std::move(b.node)),
                std::max(a.depth, b.depth) + 1);
    } else {
      ok = false;  // the end byte cannot stand inside a body
    }
    if (!ok) return nullptr;
  }
  if (stack.size() != 1) return nullptr;
  return std::move(stack.back().node);
}

std::optional<DecodedExpression> DecodeExpression(std::span<const uint8_t> code, size_t pos) {
  size_t end = pos;
  while (true) {
    if (end >= code.size()) return std::nullopt;
    const uint8_t op = code[end];
    if (op == kExprEnd) break;
    end += 1 + OperandSize(op);
  }
  const std::span<const uint8_t> body = code.subspan(pos, end - pos);
  DecodedExpression result;
  result.end = end + 1;
  if (const ExprPtr tree = BuildExpressionTree(body)) {
    std::vector<uint8_t> canonical;
    AppendExpressionCode(*tree, canonical);
    if (std::equal(canonical.begin(), canonical.end(), body.begin(), body.end())) {
      result.text = FormatExpression(*tree);
      return result;
    }
  }
  result.text = FormatRaw(body);
  result.raw = true;
  return result;
}

}  // namespace tvx::mes
