// The names scripts and settings give to files: inside the game folder only, and found under
// their UTF-8 form too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

namespace fs = std::filesystem;
using FileNames = ScriptTest;

TEST_F(FileNames, NamesThatLeaveTheGameFolderAreNotOpened) {
  // A script beside the game folder, and one in it.
  const fs::path game = dir() / "game";
  fs::create_directories(game / "sub");
  Script("OUTSIDE.MES", "SET_REG16 A, 1\nEND\n");
  Script("game/INSIDE.MES", "SET_REG16 A, 2\nEND\n");
  fs::current_path(game);
  const std::string outside = (dir() / "OUTSIDE.MES").string();
  // A drive ("C:\\…", "C:name") is a place of its own on Windows.
  for (const std::string& name :
       std::vector<std::string>{"../OUTSIDE.MES", "..\\OUTSIDE.MES", "sub/../../OUTSIDE.MES",
                                outside, "C:\\OUTSIDE.MES", "C:OUTSIDE.MES"}) {
    SCOPED_TRACE(name);
    WriteSettings("[Config]\nStartMES=" + name + "\n");
    Run();
    EXPECT_EQ(R16('A'), 0) << "the script outside never ran";
    EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / " + name});
    system_.reset();
  }
  // A way through a sub-folder that stays inside is a name like any other; so is a script's
  // own name of a file outside.
  WriteSettings("[Config]\nStartMES=sub/../INSIDE.MES\n");
  Run();
  EXPECT_EQ(R16('A'), 2);
  EXPECT_TRUE(Boxes().empty());
  system_.reset();
  Script("MAIN.MES", "SYSCALL 7, \"../OUTSIDE.MES\", 0x30000\nSET_REG16 B, 3\nEND\n");
  WriteSettings("");
  Run();
  EXPECT_EQ(R16('B'), 3);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / ../OUTSIDE.MES"});
}

TEST_F(FileNames, AChineseNameIsFoundUnderItsUtf8FormToo) {
  // As `arc extract` writes it: the name in UTF-8. The script names it in GBK.
  Script("MAIN.MES", "CALL_SCRIPT \"第二章.MES\"\nSYSCALL 7, \"第三章.DAT\", 0x30000\nEND\n");
  Script("第二章.MES", "SET_REG16 A, 2\nEND\n");
  Run();
  EXPECT_EQ(R16('A'), 2);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / 第三章.DAT"});
  system_.reset();
  // A file of the GBK name comes first.
  Script(Gbk("第二章.MES"), "SET_REG16 A, 22\nEND\n");
  Run();
  EXPECT_EQ(R16('A'), 22);
}

}  // namespace
}  // namespace tvx::testing
