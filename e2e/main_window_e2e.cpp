// The real quorvane.exe on the virtual desktop: its window, controls, keys and ways of ending.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "e2e/driver.h"

using namespace e2e;

namespace {

constexpr int kEditBox1 = 1001, kQueryButton1 = 1002, kHelpButton2 = 1003, kLabel1 = 1004, kWebView1 = 1005;
constexpr ULONG_PTR kTestHookFatalStop = 0x51564653;
constexpr ULONG_PTR kTestHookAllocate = 0x5156414C;

void ExpectExitsWith(Program& program, DWORD code) {
  ASSERT_TRUE(program.waitForExit(10000)) << "the program did not end";
  EXPECT_EQ(program.exitCode(), code);
}

// Sends a test-hook request from another thread: the handler shows a modal box and never returns.
std::thread SendHook(HWND window, ULONG_PTR kind, std::string payload) {
  return std::thread([=] {
    COPYDATASTRUCT request = {kind, static_cast<DWORD>(payload.size()), const_cast<char*>(payload.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_NORMAL, 20000, &result);
  });
}

std::string FatalPayload(int32_t errorNumber, const std::string& message) {
  std::string payload(sizeof(errorNumber), '\0');
  std::memcpy(payload.data(), &errorNumber, sizeof(errorNumber));
  return payload + message;
}

// A point of the window's caption where the system reports the given hit-test code.
bool FindCaptionPoint(HWND window, LRESULT code, POINT* at) {
  const RECT rc = WindowRectOf(window);
  for (int y = rc.top; y < rc.top + 40; y += 2) {
    for (int x = rc.right - 1; x > rc.right - 120; x -= 2) {
      DWORD_PTR hit = 0;
      SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 2000, &hit);
      if (static_cast<LRESULT>(hit) == code) {
        *at = {x, y};
        return true;
      }
    }
  }
  return false;
}

}  // namespace

TEST(MainWindowTest, PlacementCentresOnTheFullScreen) {
  Program program;
  ASSERT_TRUE(program.mainWindow());
  const RECT rc = WindowRectOf(program.mainWindow());
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(rc.right - rc.left, 805);
  EXPECT_EQ(rc.bottom - rc.top, 430);
  EXPECT_EQ(rc.left, (screenW - 805) / 2);
  EXPECT_EQ(rc.top, (screenH - 430) / 2);
  if (screenW == 1920 && screenH == 1080) {
    EXPECT_EQ(rc.left, 557);
    EXPECT_EQ(rc.top, 325);
  } else if (screenW == 1024 && screenH == 768) {
    EXPECT_EQ(rc.left, 109);
    EXPECT_EQ(rc.top, 169);
  } else {
    ADD_FAILURE() << "unexpected screen " << screenW << "x" << screenH;
  }
}

TEST(MainWindowTest, WindowAndControlsAsDefined) {
  Program program;
  const HWND window = program.mainWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(WindowText(window), L"Quorvane By Tollik");
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  struct Expected {
    int id;
    RECT place;
    const wchar_t* text;
    const wchar_t* className;
  } controls[] = {
      {kEditBox1, {0, 4, 504, 36}, L"", L"Edit"},
      {kQueryButton1, {510, 2, 550, 38}, L"查询", L"Button"},
      {kHelpButton2, {554, 2, 594, 38}, L"帮助", L"Button"},
      {kLabel1, {599, 4, 953, 36}, L"注：挖掘百度关键词，营销推广必备！", L"QuorvaneLabel"},
      {kWebView1, {0, 40, 800, 400}, nullptr, L"QuorvaneWebView"},
  };
  for (const Expected& c : controls) {
    const HWND control = program.control(c.id);
    ASSERT_TRUE(control) << c.id;
    const RECT rc = ClientRectInParent(control);
    EXPECT_EQ(rc.left, c.place.left) << c.id;
    EXPECT_EQ(rc.top, c.place.top) << c.id;
    EXPECT_EQ(rc.right, c.place.right) << c.id;
    EXPECT_EQ(rc.bottom, c.place.bottom) << c.id;
    EXPECT_TRUE(IsWindowVisible(control)) << c.id;
    EXPECT_TRUE(IsWindowEnabled(control)) << c.id;
    if (c.text) {
      EXPECT_EQ(WindowText(control), c.text) << c.id;
    }
    EXPECT_EQ(_wcsicmp(ClassName(control).c_str(), c.className), 0) << c.id;
  }
  // Ordinary push buttons: neither is a default button.
  for (int id : {kQueryButton1, kHelpButton2}) {
    const LONG buttonStyle = GetWindowLongW(program.control(id), GWL_STYLE);
    EXPECT_EQ(buttonStyle & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_TRUE(buttonStyle & BS_MULTILINE);
  }
  EXPECT_TRUE(GetWindowLongW(program.control(kEditBox1), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // The stacking order follows the definition: 按钮2, 彗星网页框1, 标签1, 按钮1, 编辑框1.
  HWND child = GetWindow(window, GW_CHILD);
  for (int id : {kHelpButton2, kWebView1, kLabel1, kQueryButton1, kEditBox1}) {
    ASSERT_TRUE(child);
    EXPECT_EQ(GetDlgCtrlID(child), id);
    child = GetWindow(child, GW_HWNDNEXT);
  }
}

TEST(MainWindowTest, TabCyclesThroughTheFocusOrder) {
  Program program;
  const HWND window = program.mainWindow();
  Bring(window);
  EXPECT_EQ(FocusedWindow(window), program.control(kEditBox1));

  const int forward[] = {kQueryButton1, kWebView1, kHelpButton2, kEditBox1, kQueryButton1};
  for (int id : forward) {
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(window) == program.control(id); }, 2000)) << id;
  }
  const int backward[] = {kEditBox1, kHelpButton2, kWebView1, kQueryButton1};
  for (int id : backward) {
    PressKey(VK_TAB, /*shift=*/true);
    EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(window) == program.control(id); }, 2000)) << id;
  }

  // While the query button is disabled, Tab from the edit box goes straight to the web view.
  EnableWindow(program.control(kQueryButton1), FALSE);
  PressKey(VK_TAB, true);  // back to the edit box
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(window) == program.control(kEditBox1); }, 2000));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(window) == program.control(kWebView1); }, 2000));
  PressKey(VK_TAB, true);
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(window) == program.control(kEditBox1); }, 2000));
}

TEST(MainWindowTest, EnterInTheEditBoxDoesNothing) {
  Program program;
  const HWND window = program.mainWindow();
  Bring(window);
  TypeText(L"abc");
  PressKey(VK_RETURN);
  Sleep(300);
  EXPECT_TRUE(program.running());
  EXPECT_EQ(FocusedWindow(window), program.control(kEditBox1));
  EXPECT_EQ(WindowText(program.control(kEditBox1)), L"abc");
  EXPECT_EQ(program.waitForOtherWindow(300), nullptr);
}

TEST(MainWindowTest, EscInTheEditBoxEndsTheProgramWithZero) {
  TempFolder folder;
  const std::wstring trace = folder.file(L"trace.txt");
  Program program({folder.path(), {L"QUORVANE_TRACE=" + trace}});
  Bring(program.mainWindow());
  ASSERT_EQ(FocusedWindow(program.mainWindow()), program.control(kEditBox1));
  PressKey(VK_ESCAPE);
  ExpectExitsWith(program, 0);
  // The exit routine ran once, the matcher let COM go before the document holder, OLE went last.
  EXPECT_EQ(ReadFileBytes(trace),
            "ReleaseGlobals\r\nMatcher CoUninitialize\r\nResultDocument released\r\nOleUninitialize\r\n");
}

TEST(MainWindowTest, EscOnAButtonEndsTheProgram) {
  Program program;
  Bring(program.mainWindow());
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(program.mainWindow()) == program.control(kQueryButton1); }));
  PressKey(VK_ESCAPE);
  ExpectExitsWith(program, 0);
}

TEST(MainWindowTest, AltF4EndsTheProgramWithZero) {
  Program program;
  Bring(program.mainWindow());
  PressKey(VK_F4, false, /*alt=*/true);
  ExpectExitsWith(program, 0);
}

TEST(MainWindowTest, CloseMessageEndsTheProgramWithZero) {
  Program program;
  PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
  ExpectExitsWith(program, 0);
}

TEST(MainWindowTest, CloseBoxEndsTheProgramWithZero) {
  Program program;
  Bring(program.mainWindow());
  POINT close;
  ASSERT_TRUE(FindCaptionPoint(program.mainWindow(), HTCLOSE, &close));
  ClickAt(close.x, close.y);
  ExpectExitsWith(program, 0);
}

TEST(MainWindowTest, FatalStopShowsTheErrorBoxAndEndsWithMinusOne) {
  struct Case {
    int32_t errorNumber;
    std::string message;
    std::wstring text;
  } cases[] = {
      {6, "调用DLL命令后发现堆栈错误",
       L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n"},
      {0, "载入启动窗口失败", L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::wstring trace = folder.file(L"trace.txt");
    Program program({folder.path(), {L"QUORVANE_TRACE=" + trace}});
    std::thread sender = SendHook(program.mainWindow(), kTestHookFatalStop, FatalPayload(c.errorNumber, c.message));
    const HWND box = program.waitForOtherWindow();
    ASSERT_TRUE(box);
    EXPECT_EQ(WindowText(box), L"错误");
    EXPECT_EQ(MessageBoxText(box), c.text);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ExpectExitsWith(program, static_cast<DWORD>(-1));
    sender.join();
    // No exit routine after a fatal stop; OLE is still uninitialised.
    EXPECT_EQ(ReadFileBytes(trace), "FatalStop\r\nOleUninitialize\r\n");
  }
}

TEST(MainWindowTest, RunningOutOfMemoryEndsThroughTheErrorBox) {
  Program program;
  const uint32_t tooMuch = 0x7FFFFFF0u;
  std::thread sender = SendHook(program.mainWindow(), kTestHookAllocate,
                                std::string(reinterpret_cast<const char*>(&tooMuch), sizeof(tooMuch)));
  const HWND box = program.waitForOtherWindow();
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), L"运行时出错!\r\n\r\n错误信息：分配 2147483632 字节内存失败!\r\n");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ExpectExitsWith(program, static_cast<DWORD>(-1));
  sender.join();
}
