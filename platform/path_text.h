// Paths as the engine's strings and as the system's paths. On POSIX systems a path is the
// bytes as they are. On Windows, where paths are wide characters, the engine's strings are
// UTF-8, and a string that is not valid UTF-8 is read as GBK (the code page of the names in
// scripts), so that Chinese folder and file names work whatever the system's code page.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::platform {

std::filesystem::path PathFromText(std::string_view text);
std::string PathText(const std::filesystem::path& path);
// The program's arguments as the engine's strings (argv[0] left out).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace tvx::platform
