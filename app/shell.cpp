#include "app/shell.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <vector>

#include "app/exit_routines.h"
#include "app/fatal_message.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/program_path.h"
#include "app/test_trace.h"
#include "browser/web_view.h"
#include "win32/wide.h"

namespace {

struct ShellState {
  ExitRoutineList<ExitRoutine> exitRoutines;
  std::vector<LibraryUnloader> libraryUnloaders;
  ProgramPath programPath;
  DWORD guiThread = 0;
  bool loopEntered = false;
  bool oleInitialized = false;
  bool fatalStopping = false;
  int liveWindows = 0;
};

ShellState& Shell() {
  static ShellState state;
  return state;
}

Text ExecutablePath() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return Text(std::string_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

// The window definitions are compiled in; loading them registers the window classes.
bool LoadWindowDefinitions() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return RegisterMainWindowClasses() && RegisterWebViewClass(GetModuleHandleW(nullptr));
}

void UnloadBoundLibraries() {
  for (LibraryUnloader unload : std::exchange(Shell().libraryUnloaders, {})) unload();
}

void UninitializeOle() {
  if (!Shell().oleInitialized) return;
  Shell().oleInitialized = false;
  OleUninitialize();
  TestTrace("OleUninitialize");
}

void Dispatch(MSG& msg) {
  if (PreTranslateMainWindowMessage(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

int StartProgram() {
  ShellState& shell = Shell();
  if (!shell.oleInitialized) {
    // Remembered only when it took effect, so the uninitialisation stays paired with it.
    shell.oleInitialized = SUCCEEDED(OleInitialize(nullptr));
  }
  shell.programPath = SplitProgramPath(ExecutablePath());
  SetCurrentDirectoryA(shell.programPath.directory.c_str());
  shell.guiThread = GetCurrentThreadId();
  if (!LoadWindowDefinitions()) FatalStop("载入窗口模板数据段出错!");

  InitGlobals();
  RegisterExitRoutine(ReleaseGlobals);
  if (!LoadMainWindow()) FatalStop("载入启动窗口失败");
  RunEventLoop();
  return 0;
}

void ShutDownProgram() {
  for (ExitRoutine routine : Shell().exitRoutines.take()) routine();
  UnloadBoundLibraries();
  UninitializeOle();
}

void RunEventLoop() {
  Shell().loopEntered = true;
  if (Shell().liveWindows == 0) return;
  MSG msg;
  // The idle work is waiting: GetMessage sleeps until a message arrives.
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
}

void ProcessPendingEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;  // left queued for the event loop
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

void RegisterExitRoutine(ExitRoutine routine) { Shell().exitRoutines.add(routine); }

void RegisterLibraryUnloader(LibraryUnloader unloader) {
  auto& list = Shell().libraryUnloaders;
  for (LibraryUnloader existing : list)
    if (existing == unloader) return;
  list.push_back(unloader);
}

void FatalStop(const Text& message, int32_t errorNumber) {
  ShellState& shell = Shell();
  // A failure while stopping (memory running out for the box itself) ends the process at once.
  if (!shell.fatalStopping) {
    shell.fatalStopping = true;
    TestTrace("FatalStop");
    const std::wstring text = WideFromCp936(FatalMessageText(message, errorNumber).view());
    MessageBoxW(nullptr, text.c_str(), L"错误", MB_OK | MB_ICONERROR);
    shell.exitRoutines.drop();
    UnloadBoundLibraries();
    UninitializeOle();
  }
  ExitProcess(static_cast<UINT>(-1));
}

const Text& ProgramDirectory() { return Shell().programPath.directory; }
const Text& ProgramFileName() { return Shell().programPath.fileName; }

void NoteWindowCreated() { ++Shell().liveWindows; }

void NoteWindowDestroyed() {
  ShellState& shell = Shell();
  if (shell.liveWindows > 0) --shell.liveWindows;
  if (shell.liveWindows == 0 && shell.loopEntered) PostQuitMessage(0);
}
