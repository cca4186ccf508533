// Helpers for the talvex-tool tests: a scratch folder per test, files in and out, running a
// subcommand in-process, and sample data.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/command.h"

namespace tvx::tool::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("talvex-tools-") + info->test_suite_name() + "-" + info->name() +
                       "-" + std::to_string(std::random_device{}());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A 5-5-5 colour from its channels (0-31 each).
inline uint16_t Rgb(int r, int g, int b) {
  return static_cast<uint16_t>(r << 10 | g << 5 | b);
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  ASSERT_TRUE(file.good()) << path;
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

struct RunResult {
  int code = -1;
  std::string out;
  std::string err;
};

inline RunResult RunCommand(CommandFunction function, std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = function(args, out, err);
  return {code, out.str(), err.str()};
}

// Script-like text: lines of words from a small vocabulary in a skewed mix, as dialogue and
// commands repeat in real scripts.
inline std::vector<uint8_t> SampleText(size_t size, uint32_t seed = 1) {
  static const char* const kWords[] = {
      "the",   "a",      "she",     "said",    "and",  "to",    "of",    "door",
      "night", "quiet",  "window",  "morning", "look", "again", "never", "letter",
      "rain",  "school", "you",     "I",       "was",  "where", "what",  "why",
      "music", "train",  "station", "BG",      "SE",   "WAIT",  "TEXT",  "CHOICE"};
  std::mt19937 rng(seed);
  std::geometric_distribution<int> pick(0.12);
  std::vector<uint8_t> text;
  int words_in_line = 0;
  while (text.size() < size) {
    const char* word = kWords[static_cast<size_t>(pick(rng)) % std::size(kWords)];
    text.insert(text.end(), word, word + std::char_traits<char>::length(word));
    if (++words_in_line == 9 + static_cast<int>(rng() % 6)) {
      text.push_back('.');
      text.push_back('\n');
      words_in_line = 0;
    } else {
      text.push_back(' ');
    }
  }
  text.resize(size);
  return text;
}

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed = 2) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> data(size);
  for (uint8_t& byte : data) byte = static_cast<uint8_t>(rng());
  return data;
}

}  // namespace tvx::tool::test
