#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file.h"

#ifndef TALVEX_PROBE_PATH
#error "TALVEX_PROBE_PATH names the probe program"
#endif

namespace tvx::platform {
namespace {

namespace fs = std::filesystem;

struct Copy {
  pid_t pid = -1;
  int to_child = -1;    // closing it lets the probe end
  int from_child = -1;  // its first line
  std::string first_line;
};

// Starts the program at `path` and reads the first line it prints.
Copy Start(const fs::path& path) {
  int in[2], out[2];
  EXPECT_EQ(pipe(in), 0);
  EXPECT_EQ(pipe(out), 0);
  Copy copy;
  copy.pid = fork();
  if (copy.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  copy.to_child = in[1];
  copy.from_child = out[0];
  char c;
  while (read(copy.from_child, &c, 1) == 1 && c != '\n') copy.first_line += c;
  return copy;
}

int Finish(Copy& copy, bool crash = false) {
  if (crash) kill(copy.pid, SIGKILL);
  close(copy.to_child);
  close(copy.from_child);
  int status = 0;
  waitpid(copy.pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, OneCopyPerProgramFileAcrossProcesses) {
  const fs::path base = fs::temp_directory_path() / ("talvex-instance-" + std::to_string(getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "one");
  fs::create_directories(base / "two");
  const fs::path first = base / "one" / "talvex";
  const fs::path other = base / "two" / "talvex";
  fs::copy_file(TALVEX_PROBE_PATH, first);
  fs::copy_file(TALVEX_PROBE_PATH, other);

  Copy a = Start(first);
  EXPECT_EQ(a.first_line, "running");
  // A second copy of the same program file ends at once with 0.
  Copy b = Start(first);
  EXPECT_EQ(b.first_line, "busy");
  EXPECT_EQ(Finish(b), 0);
  // Another installation is not blocked.
  Copy c = Start(other);
  EXPECT_EQ(c.first_line, "running");
  EXPECT_EQ(Finish(c), 0);
  // A crashed copy does not block the next start.
  Finish(a, /*crash=*/true);
  Copy d = Start(first);
  EXPECT_EQ(d.first_line, "running");
  EXPECT_EQ(Finish(d), 0);
  fs::remove_all(base);
}

TEST(SingleInstance, TheLockIsHeldWithinTheProcessToo) {
  const std::string path = "/nonexistent/talvex-in-process-" + std::to_string(getpid());
  ASSERT_TRUE(AcquireSingleInstance(path));
  EXPECT_FALSE(AcquireSingleInstance(path));
  ReleaseSingleInstanceForTesting();
  EXPECT_TRUE(AcquireSingleInstance(path));
  ReleaseSingleInstanceForTesting();
}

TEST(ProgramPathTest, LongPathsKeepTheirDirectory) {
  std::string deep = "/";
  while (deep.size() < 600) deep += "a-rather-long-folder-name/";
  SetProgramPathOverride(deep + "talvex");
  EXPECT_EQ(DirectoryOf(ProgramPath()), deep);
  SetProgramPathOverride({});
  EXPECT_FALSE(ProgramPath().empty());
  EXPECT_EQ(DirectoryOf("talvex"), "");
}

}  // namespace
}  // namespace tvx::platform
