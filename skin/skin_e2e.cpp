// The real quorvane.exe with its carried engine: the file it writes, what the engine receives, the
// ways the engine can be unusable, and the skinned window on screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/driver.h"
#include "skin/skin_table.h"
#include "skinengine/attach_report.h"
#include "skinengine/frame_layout.h"
#include "skinengine/skin_format.h"
#include "text/byte_set.h"

using namespace e2e;

namespace {

constexpr int kEditBox1 = 1001, kQueryButton1 = 1002, kHelpButton2 = 1003, kLabel1 = 1004;
constexpr ULONG_PTR kTestHookApplySkin = 0x5156534B;

const std::wstring kEngine = L"SkinH_EL.dll";

std::string CarriedSkin(int32_t number) {
  const uint8_t* block = kSkinBlocks[number - 1];
  return std::string(reinterpret_cast<const char*>(block) + ByteSet::kHeaderSize,
                     static_cast<size_t>(BlockByteCount(block)));
}

skin::SkinStyle SkinOne() {
  const std::string bytes = CarriedSkin(1);
  return *skin::ParseSkin(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

COLORREF SkinColour(skin::Colour c) {
  const skin::Rgb rgb = SkinOne().colour(c);
  return RGB(rgb.red, rgb.green, rgb.blue);
}

// The trace line of an attach of `number` that the engine read as it was handed over.
std::string AttachLine(uint32_t calls, int32_t number) {
  const bool skin = number >= 1 && number <= kSkinCount;
  const std::string bytes = skin ? CarriedSkin(number) : std::string();
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  char first[17] = "";
  for (size_t i = 0; i < 8 && i < bytes.size(); ++i) std::snprintf(first + 2 * i, 3, "%02X", data[i]);
  std::string name;
  if (skin) name = skin::ParseSkin(data, bytes.size())->name;
  char line[512];
  std::snprintf(line, sizeof line,
                "skin attach calls=%u null=%d same_address=1 count=%d hash=%08X first=%s text_null=0 "
                "text_length=0 numbers=0,0,0 applied=%d name=%s released=1",
                calls, skin ? 0 : 1, static_cast<int>(bytes.size()), skin ? ReportHash(data, bytes.size()) : 0u,
                first, skin ? 1 : 0, name.c_str());
  return line;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

// Wine reports the archive attribute on every file it holds, whatever was set; the others it keeps.
bool OnlyHidden(const std::wstring& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & ~FILE_ATTRIBUTE_ARCHIVE) == FILE_ATTRIBUTE_HIDDEN;
}

FILETIME LastWrite(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

// A program run in a folder of its own with the skin trace on.
struct SkinRun {
  explicit SkinRun(const TempFolder& folder, bool waitForMainWindow = true, std::vector<std::wstring> environment = {})
      : trace(folder.file(L"skin-trace.txt")) {
    environment.push_back(L"QUORVANE_SKIN_TRACE=" + trace);
    program = std::make_unique<Program>(LaunchOptions{folder.path(), environment, waitForMainWindow});
  }
  std::vector<std::string> traced() const { return Lines(ReadFileBytes(trace)); }
  void close() {
    PostMessageW(program->mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->waitForExit());
    EXPECT_EQ(program->exitCode(), 0u);
  }
  std::wstring trace;
  std::unique_ptr<Program> program;
};

void ApplySkinInProgram(HWND window, int32_t number) {
  COPYDATASTRUCT request = {kTestHookApplySkin, sizeof number, &number};
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_NORMAL, 10000,
                                  &result));
  ASSERT_EQ(result, TRUE);
}

TEST(SkinEngineFile, FirstRunWritesTheCarriedEngineHiddenAndAttachesSkinOne) {
  TempFolder folder;
  SkinRun run(folder);
  ASSERT_TRUE(run.program->mainWindow());
  const std::string written = ReadFileBytes(folder.file(kEngine));
  const std::string built = ReadFileBytes(BinDirectory() + L"\\" + kEngine);
  ASSERT_FALSE(built.empty());
  EXPECT_TRUE(written == built) << written.size() << " bytes written, " << built.size() << " built";
  EXPECT_TRUE(OnlyHidden(folder.file(kEngine))) << Attributes(folder.file(kEngine));
  EXPECT_EQ(Attributes(folder.file(kEngine + L".part")), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(CarriedSkin(1).substr(0, 4), ".SHE");
  EXPECT_EQ(run.traced(), std::vector<std::string>{AttachLine(1, 1)});
  run.close();
}

TEST(SkinEngineFile, AtTheRootOfADriveTheEngineGoesIntoTheRoot) {
  // The prefix's own drive C: is the one root that is ours to write to; nothing is left there.
  const std::wstring engine = L"C:\\" + kEngine;
  const auto cleanUp = [&] {
    SetFileAttributesW(engine.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(engine.c_str());
    DeleteFileW(L"C:\\quorvane.exe");
  };
  cleanUp();
  {
    const std::wstring trace = BinDirectory() + L"\\..\\skin-root-trace.txt";
    DeleteFileW(trace.c_str());
    Program program({L"C:", {L"QUORVANE_SKIN_TRACE=" + trace}});
    ASSERT_TRUE(program.mainWindow());
    EXPECT_TRUE(OnlyHidden(engine)) << Attributes(engine);
    EXPECT_TRUE(ReadFileBytes(engine) == ReadFileBytes(BinDirectory() + L"\\" + kEngine));
    EXPECT_EQ(Lines(ReadFileBytes(trace)), std::vector<std::string>{AttachLine(1, 1)});
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.waitForExit());
    EXPECT_EQ(program.exitCode(), 0u);
    DeleteFileW(trace.c_str());
  }
  cleanUp();
}

TEST(SkinEngineFile, LaterRunsNeitherRewriteNorMarkTheFile) {
  TempFolder folder;
  const std::wstring engine = folder.file(kEngine);
  {
    SkinRun first(folder);
    first.close();
    DeleteFileW(first.trace.c_str());
  }
  struct Case {
    const char* what;
    DWORD attributes;
  };
  const Case cases[] = {
      {"made visible again", FILE_ATTRIBUTE_NORMAL},
      {"archive and read-only", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"left hidden", FILE_ATTRIBUTE_HIDDEN},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SetFileAttributesW(engine.c_str(), c.attributes));
    const DWORD attributes = Attributes(engine);
    const FILETIME before = LastWrite(engine);
    SkinRun run(folder);
    EXPECT_EQ(Attributes(engine), attributes) << c.what;
    const FILETIME after = LastWrite(engine);
    EXPECT_EQ(CompareFileTime(&before, &after), 0) << c.what;
    EXPECT_EQ(run.traced(), std::vector<std::string>{AttachLine(1, 1)}) << c.what;
    run.close();
    DeleteFileW(run.trace.c_str());
  }
}

TEST(SkinEngineFile, ACutOffWriteDoesNotStopTheNextRun) {
  TempFolder folder;
  {
    SkinRun cut(folder, /*waitForMainWindow=*/false, {L"QUORVANE_TEST_ENGINE_WRITE_LIMIT=30000"});
    ASSERT_TRUE(cut.program->waitForExit());
    EXPECT_EQ(cut.program->exitCode(), 3u);
  }
  // Nothing under the engine's name: the next run writes it whole and starts as usual.
  EXPECT_EQ(Attributes(folder.file(kEngine)), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileBytes(folder.file(kEngine + L".part")).size(), 30000u);
  SkinRun next(folder);
  ASSERT_TRUE(next.program->mainWindow());
  EXPECT_TRUE(ReadFileBytes(folder.file(kEngine)) == ReadFileBytes(BinDirectory() + L"\\" + kEngine));
  EXPECT_TRUE(OnlyHidden(folder.file(kEngine))) << Attributes(folder.file(kEngine));
  EXPECT_EQ(Attributes(folder.file(kEngine + L".part")), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(next.traced(), std::vector<std::string>{AttachLine(1, 1)});
  next.close();
}

TEST(ApplySkin, HandsOverTheChosenSkinOrNothing) {
  TempFolder folder;
  SkinRun run(folder);
  const int32_t numbers[] = {0, 88, -1, 64, 79, 87, 1};
  uint32_t calls = 1;
  for (int32_t n : numbers) {
    ApplySkinInProgram(run.program->mainWindow(), n);
    const auto lines = run.traced();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), AttachLine(++calls, n)) << n;
  }
  run.close();
}

BOOL CALLBACK FindShownMainWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->first && ClassName(hwnd) == L"QuorvaneMainWindow" && IsWindowVisible(hwnd))
    search->second = true;
  return TRUE;
}

bool MainWindowShown(DWORD processId) {
  std::pair<DWORD, bool> search = {processId, false};
  EnumWindows(FindShownMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// The fatal box of an engine that cannot be used; the main window is never shown.
void ExpectFatalBox(SkinRun& run, const std::wstring& text) {
  const HWND box = run.program->waitForOtherWindow(15000);
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"错误");
  EXPECT_EQ(MessageBoxText(box), text);
  EXPECT_FALSE(MainWindowShown(run.program->processId()));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(run.program->waitForExit());
  EXPECT_EQ(run.program->exitCode(), static_cast<DWORD>(-1));
}

TEST(SkinEngineFile, NoUsableEngineEndsThroughTheFatalBox) {
  const std::wstring message =
      L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”\r\n";
  struct Case {
    const char* what;
    void (*prepare)(const TempFolder&);
  };
  const Case cases[] = {
      {"a file that is not a library",
       [](const TempFolder& f) {
         FILE* out = _wfopen(f.file(kEngine).c_str(), L"wb");
         std::fputs("not a library", out);
         std::fclose(out);
       }},
      {"a directory of that name in a read-only folder",
       [](const TempFolder& f) {
         CreateDirectoryW(f.file(kEngine).c_str(), nullptr);
         SetFileAttributesW(f.path().c_str(), FILE_ATTRIBUTE_READONLY);
       }},
      {"a library without the function",
       [](const TempFolder& f) {
         CopyFileW((BinDirectory() + L"\\test_engines\\no_export_engine\\" + kEngine).c_str(),
                   f.file(kEngine).c_str(), TRUE);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    // The program is copied in first: the folder may be made read-only.
    CopyFileW((BinDirectory() + L"\\quorvane.exe").c_str(), folder.file(L"quorvane.exe").c_str(), TRUE);
    c.prepare(folder);
    const std::string before = ReadFileBytes(folder.file(kEngine));
    SkinRun run(folder, /*waitForMainWindow=*/false);
    ExpectFatalBox(run, message);
    EXPECT_EQ(ReadFileBytes(folder.file(kEngine)), before) << "the entry is never replaced";
    SetFileAttributesW(folder.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(SkinEngineFile, AnEngineInTheWrongCallingConventionIsAStackError) {
  TempFolder folder;
  CopyFileW((BinDirectory() + L"\\test_engines\\cdecl_engine\\" + kEngine).c_str(), folder.file(kEngine).c_str(),
            TRUE);
  SkinRun run(folder, /*waitForMainWindow=*/false);
  ExpectFatalBox(run, L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
}

}  // namespace

namespace {

// Holds or lets go of the left mouse button at a screen point (the driver's clicks do both at once).
void MouseButton(int x, int y, bool down) {
  MoveMouse(x, y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  Sleep(150);
}

constexpr skin::FrameFlags kMainWindowFrame = {.minimizeBox = true, .closeBox = true, .icon = true};

// The frame parts of a skinned window in screen coordinates.
skin::FrameLayout ScreenLayout(HWND window, bool iconic = false) {
  const RECT rc = WindowRectOf(window);
  skin::FrameFlags flags = kMainWindowFrame;
  flags.iconic = iconic;
  skin::FrameLayout l = skin::LayOutFrame(rc.right - rc.left, rc.bottom - rc.top, SkinOne(), flags);
  for (skin::Box* b : {&l.client, &l.caption, &l.icon, &l.title, &l.minimize, &l.maximize, &l.close}) {
    *b = {b->left + rc.left, b->top + rc.top, b->right + rc.left, b->bottom + rc.top};
  }
  return l;
}

POINT Centre(const skin::Box& b) { return {(b.left + b.right) / 2, (b.top + b.bottom) / 2}; }

// A screen pixel once it has settled to the expected colour (painting follows input by a moment).
COLORREF PixelBecomes(int x, int y, COLORREF expected) {
  COLORREF seen = CLR_INVALID;
  WaitUntil([&] { return (seen = ScreenPixel(x, y)) == expected; }, 2000);
  return seen;
}

#define EXPECT_PIXEL(x, y, colour) EXPECT_EQ(PixelBecomes((x), (y), (colour)), (colour)) << "at " << (x) << "," << (y)

TEST(SkinnedWindow, CaptionFrameAndControlsAreDrawnInSkinOne) {
  using skin::Colour;
  TempFolder folder;
  SkinRun run(folder);
  const HWND window = run.program->mainWindow();
  Bring(window);
  const RECT rc = WindowRectOf(window);
  MoveMouse(rc.left - 20, rc.bottom + 20);  // off the window: nothing hot
  const skin::FrameLayout l = ScreenLayout(window);

  // The client area keeps the 800 x 400 the controls are laid out in.
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, l.client.width());
  EXPECT_EQ(client.bottom, l.client.height());
  EXPECT_GE(client.right, 800);
  EXPECT_GE(client.bottom, 400);

  // Frame and caption.
  EXPECT_PIXEL(rc.left, rc.top + 200, SkinColour(Colour::FrameActive));
  EXPECT_PIXEL(rc.right - 1, rc.top + 200, SkinColour(Colour::FrameActive));
  EXPECT_PIXEL(rc.left + 1, rc.top + 200, SkinColour(Colour::CaptionActiveBottom));
  EXPECT_PIXEL(rc.left + 400, rc.bottom - 2, SkinColour(Colour::CaptionActiveBottom));
  EXPECT_PIXEL(rc.left + 400, l.caption.bottom - 1, SkinColour(Colour::CaptionActiveBottom));
  EXPECT_PIXEL(rc.left + 400, l.caption.top + l.caption.height() / 2, SkinColour(Colour::CaptionActiveTop));
  // Window background between the two buttons; button and edit borders.
  const RECT query = WindowRectOf(run.program->control(kQueryButton1));
  const RECT help = WindowRectOf(run.program->control(kHelpButton2));
  const RECT edit = WindowRectOf(run.program->control(kEditBox1));
  EXPECT_PIXEL(query.right + 1, query.top + 10, SkinColour(Colour::WindowBackground));
  // The label fills itself with the button-face colour, which the skin gives its own background.
  const RECT label = WindowRectOf(run.program->control(kLabel1));
  EXPECT_PIXEL(label.left + 1, label.top + 1, SkinColour(Colour::WindowBackground));
  EXPECT_PIXEL((query.left + query.right) / 2, query.top, SkinColour(Colour::ButtonBorder));
  EXPECT_PIXEL((help.left + help.right) / 2, help.bottom - 1, SkinColour(Colour::ButtonBorder));
  EXPECT_PIXEL(edit.left, (edit.top + edit.bottom) / 2, SkinColour(Colour::EditBorderFocused));

  const std::wstring shot = BinDirectory() + L"\\..\\skin-window.bmp";
  EXPECT_TRUE(SaveWindowBitmap(window, shot));

  // Caption buttons: hot, pressed, and a press dragged off that does nothing.
  const POINT close = Centre(l.close), minimize = Centre(l.minimize);
  MoveMouse(close.x, close.y);
  EXPECT_PIXEL(l.close.left + 3, close.y, SkinColour(Colour::CloseButtonHot));
  MoveMouse(minimize.x, minimize.y);
  EXPECT_PIXEL(l.minimize.left + 3, minimize.y, SkinColour(Colour::CaptionButtonHot));
  EXPECT_PIXEL(l.close.left + 3, close.y, SkinColour(Colour::CaptionActiveTop));
  MouseButton(minimize.x, minimize.y, true);
  EXPECT_PIXEL(l.minimize.left + 3, minimize.y, SkinColour(Colour::CaptionButtonPressed));
  MoveMouse(rc.left + 400, rc.top + 200);
  EXPECT_PIXEL(l.minimize.left + 3, minimize.y, SkinColour(Colour::CaptionActiveTop));
  MouseButton(rc.left + 400, rc.top + 200, false);
  Sleep(200);
  EXPECT_FALSE(IsIconic(window));

  // Push buttons: hot, pressed (let go elsewhere: no click), focused, disabled.
  const int queryX = (query.left + query.right) / 2;
  MoveMouse(queryX, query.top + 10);
  EXPECT_PIXEL(queryX, query.top, SkinColour(Colour::ButtonHotBorder));
  MouseButton(queryX, query.top + 10, true);
  EXPECT_PIXEL(queryX, query.top, SkinColour(Colour::ButtonPressedBorder));
  MouseButton(rc.left + 400, rc.top + 200, false);
  EXPECT_EQ(run.program->waitForOtherWindow(300), nullptr) << "the dragged-off press clicked";
  // The press gave the button the focus, which the edit box's border shows it lost.
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(window) == run.program->control(kQueryButton1); }));
  EXPECT_PIXEL(queryX, query.top, SkinColour(Colour::FocusRing));
  EXPECT_PIXEL(edit.left, (edit.top + edit.bottom) / 2, SkinColour(Colour::EditBorder));
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(window) != run.program->control(kQueryButton1); }));
  EXPECT_PIXEL(queryX, query.top, SkinColour(Colour::ButtonBorder));
  EnableWindow(run.program->control(kHelpButton2), FALSE);
  EXPECT_PIXEL((help.left + help.right) / 2, help.top, SkinColour(Colour::ButtonDisabledBorder));
  EXPECT_PIXEL(help.left + 3, (help.top + help.bottom) / 2, SkinColour(Colour::ButtonDisabledFace));
  EnableWindow(run.program->control(kHelpButton2), TRUE);
  EXPECT_PIXEL((help.left + help.right) / 2, help.top, SkinColour(Colour::ButtonBorder));
  run.close();
}

TEST(SkinnedWindow, MinimizeRestoreAndCloseThroughTheCaptionButtons) {
  TempFolder folder;
  SkinRun run(folder);
  const HWND window = run.program->mainWindow();
  Bring(window);
  const RECT normal = WindowRectOf(window);

  const POINT minimize = Centre(ScreenLayout(window).minimize);
  ClickAt(minimize.x, minimize.y);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; })) << "minimize did not minimize";
  // Minimized, the window is a small skinned caption whose first button restores it.
  const skin::FrameLayout iconic = ScreenLayout(window, /*iconic=*/true);
  EXPECT_PIXEL(iconic.caption.left + 40, iconic.caption.bottom - 1,
               SkinColour(GetForegroundWindow() == window ? skin::Colour::CaptionActiveBottom
                                                          : skin::Colour::CaptionInactiveBottom));
  const POINT restore = Centre(iconic.minimize);
  ClickAt(restore.x, restore.y);
  ASSERT_TRUE(WaitUntil([&] { return !IsIconic(window); })) << "restore did not restore";
  const RECT restored = WindowRectOf(window);
  EXPECT_EQ(restored.left, normal.left);
  EXPECT_EQ(restored.top, normal.top);
  EXPECT_EQ(restored.right - restored.left, 805);
  EXPECT_EQ(restored.bottom - restored.top, 430);

  Bring(window);
  const POINT close = Centre(ScreenLayout(window).close);
  ClickAt(close.x, close.y);
  ASSERT_TRUE(run.program->waitForExit());
  EXPECT_EQ(run.program->exitCode(), 0u);
}

}  // namespace
