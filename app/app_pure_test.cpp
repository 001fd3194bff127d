#include <gtest/gtest.h>

#include "app/exit_routines.h"
#include "app/fatal_message.h"
#include "app/program_path.h"
#include "app/window_geometry.h"

TEST(ProgramPathTest, CutsAtTheLastBackslash) {
  struct Case {
    const char* path;
    const char* directory;
    const char* file;
  } cases[] = {
      {"D:\\tools\\quorvane.exe", "D:\\tools", "quorvane.exe"},
      {"C:\\quorvane.exe", "C:", "quorvane.exe"},
      {"quorvane.exe", "", "quorvane.exe"},
      {"", "", ""},
      {"C:\\a\\b\\", "C:\\a\\b", ""},
      // 0x5C as the second byte of a two-byte character is not a separator.
      {"C:\\\xB1\x5C\\q.exe", "C:\\\xB1\x5C", "q.exe"},
  };
  for (const Case& c : cases) {
    const ProgramPath p = SplitProgramPath(c.path);
    EXPECT_EQ(p.directory.str(), c.directory) << c.path;
    EXPECT_EQ(p.fileName.str(), c.file) << c.path;
  }
}

TEST(FatalMessageTest, LaysOutHeadingNumberAndMessage) {
  EXPECT_EQ(FatalMessageText("载入启动窗口失败", 0).str(), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(FatalMessageText("调用DLL命令后发现堆栈错误", 6).str(),
            "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
  EXPECT_EQ(FatalMessageText("", -3).str(), "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n");
  EXPECT_EQ(FatalMessageText("", 0).str(), "运行时出错!\r\n\r\n");
  EXPECT_EQ(OutOfMemoryMessage(2147483632u).str(), "分配 2147483632 字节内存失败!");
}

namespace {
std::vector<int> calls;
void First() { calls.push_back(1); }
void Second() { calls.push_back(2); }
}  // namespace

TEST(ExitRoutineListTest, NoDuplicatesRunOnceInOrder) {
  ExitRoutineList<void (*)()> list;
  list.add(First);
  list.add(Second);
  list.add(First);
  EXPECT_EQ(list.size(), 2u);
  for (auto r : list.take()) r();
  for (auto r : list.take()) r();  // a second shutdown finds the list empty
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  list.add(First);
  list.drop();
  EXPECT_EQ(list.size(), 0u);
}

TEST(WindowGeometryTest, CentresOnTheFullScreenDroppingTheRemainder) {
  EXPECT_EQ(CentredOrigin(1920, 805), 557);
  EXPECT_EQ(CentredOrigin(1080, 430), 325);
  EXPECT_EQ(CentredOrigin(1024, 805), 109);
  EXPECT_EQ(CentredOrigin(768, 430), 169);
  EXPECT_EQ(CentredOrigin(640, 805), -82);
}
