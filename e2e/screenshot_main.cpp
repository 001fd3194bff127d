// Starts quorvane.exe, optionally does what a user would (a query, the help page), and saves the
// window as a BMP: screenshot.exe OUT.bmp [--type TEXT] [--query] [--help] [--wait MS]
#include <string>

#include "e2e/driver.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring out = argv[1];
  e2e::Program program;
  if (!program.mainWindow()) return 3;
  e2e::Bring(program.mainWindow());
  DWORD settle = 800;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--type" && i + 1 < argc) {
      e2e::ClickWindow(program.control(1001));
      e2e::TypeText(argv[++i]);
    } else if (arg == L"--query") {
      e2e::ClickWindow(program.control(1002));
    } else if (arg == L"--help") {
      e2e::ClickWindow(program.control(1003));
    } else if (arg == L"--wait" && i + 1 < argc) {
      settle = static_cast<DWORD>(_wtoi(argv[++i]));
    }
  }
  e2e::WaitUntil([] { return false; }, settle);
  const bool saved = e2e::SaveWindowBitmap(program.mainWindow(), out);
  PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
  program.waitForExit(5000);
  return saved ? 0 : 1;
}
