// talvex-tool: the toolkit for people who make, translate or inspect games.
#include <iostream>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "tools/tool_main.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = tvx::platform::ProgramArguments(argc, argv);
  return tvx::tool::RunTool(args, std::cout, std::cerr);
}
