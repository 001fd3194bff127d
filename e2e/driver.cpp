#include "e2e/driver.h"

#include <shellapi.h>

#include <stdexcept>
#include <vector>

#include "win32/scoped.h"
#include "win32/wide.h"

namespace e2e {

namespace {

std::wstring ModuleDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path.substr(0, path.find_last_of(L'\\'));
}

void RemoveTree(const std::wstring& path) {
  // SHFileOperation wants a double-terminated list.
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

struct WindowSearch {
  DWORD processId;
  const std::function<bool(HWND)>* accept;
  HWND found;
};

BOOL CALLBACK SearchWindowsProc(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->processId && (*search->accept)(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The first top-level window of the process that `accept` takes, or null.
HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& accept) {
  WindowSearch search = {processId, &accept, nullptr};
  EnumWindows(SearchWindowsProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The environment block of this process with `extra` entries added (later entries win).
std::wstring EnvironmentBlock(const std::vector<std::wstring>& extra) {
  std::vector<std::wstring> entries;
  std::unique_ptr<wchar_t, decltype(&FreeEnvironmentStringsW)> block(GetEnvironmentStringsW(),
                                                                      FreeEnvironmentStringsW);
  if (block) {
    for (const wchar_t* p = block.get(); *p; p += wcslen(p) + 1) entries.emplace_back(p);
  }
  for (const std::wstring& e : extra) {
    const std::wstring name = e.substr(0, e.find(L'=') + 1);
    for (auto it = entries.begin(); it != entries.end();) {
      it = _wcsnicmp(it->c_str(), name.c_str(), name.size()) == 0 ? entries.erase(it) : it + 1;
    }
    entries.push_back(e);
  }
  std::wstring out;
  for (const std::wstring& e : entries) {
    out += e;
    out.push_back(L'\0');
  }
  out.push_back(L'\0');
  return out;
}

void SendInputs(std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(30);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT MouseInput(int x, int y, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((x * 65536LL + w / 2) / w);
  in.mi.dy = static_cast<LONG>((y * 65536LL + h / 2) / h);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return in;
}

}  // namespace

std::wstring BinDirectory() { return ModuleDirectory(); }

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(base) + L"qv-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() {
  // Hidden or read-only files are removed too.
  RemoveTree(path_);
}

Program::Program(const LaunchOptions& options) {
  folder_ = options.folder;
  if (folder_.empty()) {
    ownFolder_ = std::make_unique<TempFolder>();
    folder_ = ownFolder_->path();
  }
  const std::wstring exe = folder_ + L"\\quorvane.exe";
  if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES &&
      !CopyFileW((BinDirectory() + L"\\quorvane.exe").c_str(), exe.c_str(), TRUE)) {
    throw std::runtime_error("cannot copy quorvane.exe");
  }
  std::wstring environment = EnvironmentBlock(options.environment);
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), folder_.c_str(), &si, &pi)) {
    throw std::runtime_error("cannot start quorvane.exe");
  }
  ScopedKernelHandle thread(pi.hThread);
  process_.reset(pi.hProcess);
  processId_ = pi.dwProcessId;
  if (options.waitForMainWindow) {
    WaitUntil(
        [&] {
          mainWindow_ =
              FindProcessWindow(processId_, [](HWND hwnd) { return ClassName(hwnd) == L"QuorvaneMainWindow"; });
          return mainWindow_ && IsWindowVisible(mainWindow_);
        },
        15000);
    // Let the first paint and the focus settle.
    WaitForInputIdle(process_.get(), 5000);
    Sleep(100);
  }
}

Program::~Program() {
  if (running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
}

bool Program::waitForExit(DWORD timeoutMs) {
  // Pump this thread's messages while waiting, so nothing the program sends us blocks it.
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
    HANDLE process = process_.get();
    const DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return true;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

DWORD Program::exitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool Program::running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

HWND Program::waitForOtherWindow(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = FindProcessWindow(processId_,
                                  [&](HWND hwnd) { return hwnd != mainWindow_ && IsWindowVisible(hwnd); });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
}

std::wstring WindowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      5000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

RECT WindowRectOf(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}

RECT ClientRectInParent(HWND child) {
  RECT rc = WindowRectOf(child);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

HWND FocusedWindow(HWND anyWindowOfThread) {
  GUITHREADINFO info = {sizeof(info)};
  const DWORD thread = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void Bring(HWND topLevel) {
  SetForegroundWindow(topLevel);
  WaitUntil([&] { return GetForegroundWindow() == topLevel; }, 2000);
  Sleep(50);
}

void PressKey(WORD vk, bool shift, bool alt, bool ctrl) {
  std::vector<INPUT> inputs;
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
  if (alt) inputs.push_back(KeyInput(VK_MENU, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  if (alt) inputs.push_back(KeyInput(VK_MENU, true));
  if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  SendInputs(inputs);
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    std::vector<INPUT> inputs(2);
    for (int i = 0; i < 2; ++i) {
      inputs[i].type = INPUT_KEYBOARD;
      inputs[i].ki.wScan = c;
      inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInputs(inputs);
  }
}

void MoveMouse(int x, int y) {
  std::vector<INPUT> inputs = {MouseInput(x, y, 0)};
  SendInputs(inputs);
}

void ClickAt(int x, int y, bool right) {
  const DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  const DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  std::vector<INPUT> inputs = {MouseInput(x, y, 0)};
  SendInputs(inputs);
  inputs = {MouseInput(x, y, down)};
  SendInputs(inputs);
  inputs = {MouseInput(x, y, up)};
  SendInputs(inputs);
}

void ClickWindow(HWND hwnd) {
  const RECT rc = WindowRectOf(hwnd);
  ClickAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

void DragMouse(int fromX, int fromY, int toX, int toY) {
  std::vector<INPUT> inputs = {MouseInput(fromX, fromY, 0)};
  SendInputs(inputs);
  inputs = {MouseInput(fromX, fromY, MOUSEEVENTF_LEFTDOWN)};
  SendInputs(inputs);
  for (int step = 1; step <= 8; ++step) {
    inputs = {MouseInput(fromX + (toX - fromX) * step / 8, fromY + (toY - fromY) * step / 8, 0)};
    SendInputs(inputs);
  }
  inputs = {MouseInput(toX, toY, MOUSEEVENTF_LEFTUP)};
  SendInputs(inputs);
}

COLORREF ScreenPixel(int x, int y) {
  ScopedWindowDC screen(nullptr);
  return GetPixel(screen.get(), x, y);
}

bool SaveWindowBitmap(HWND hwnd, const std::wstring& path) {
  const RECT rc = WindowRectOf(hwnd);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return false;
  ScopedWindowDC screen(nullptr);
  ScopedMemoryDC memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  ScopedGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return false;
  {
    ScopedSelectObject select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, w, h, screen.get(), rc.left, rc.top, SRCCOPY);
  }
  const DWORD stride = ((w * 3 + 3) / 4) * 4;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + stride * h;
  ScopedFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!out) return false;
  DWORD written = 0;
  WriteFile(out.get(), &file, sizeof(file), &written, nullptr);
  WriteFile(out.get(), &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
  WriteFile(out.get(), bits, stride * h, &written, nullptr);
  return true;
}

std::string ReadFileBytes(const std::wstring& path) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &n, nullptr) && n > 0) bytes.append(buffer, n);
  return bytes;
}

std::wstring Utf16FromCp936(const std::string& bytes) { return WideFromCp936(bytes); }
std::string Cp936FromUtf16(const std::wstring& text) { return Cp936FromWide(text); }

}  // namespace e2e
