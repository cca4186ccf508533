// The script's stack machine.
//
// Stand-in until the expression evaluator is built; start-up only creates it.
#pragma once

namespace tvx {

class ExpressionEvaluator {};

}  // namespace tvx
