// talvex-tool: the toolkit for people who make, translate or inspect games.
#include <iostream>
#include <string>
#include <vector>

#include "tools/tool_main.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tvx::tool::RunTool(args, std::cout, std::cerr);
}
