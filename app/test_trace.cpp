#include "app/test_trace.h"

#ifdef QUORVANE_TEST_HOOKS
#include <windows.h>

#include <string>

#include "win32/scoped.h"

void TestTrace(std::string_view event) { TestTraceTo("QUORVANE_TRACE", event); }

void TestTraceTo(const char* variable, std::string_view event) {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA(variable, path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return;
  ScopedFile file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  std::string line(event);
  line += "\r\n";
  DWORD written = 0;
  WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
#else
void TestTrace(std::string_view) {}
void TestTraceTo(const char*, std::string_view) {}
#endif
