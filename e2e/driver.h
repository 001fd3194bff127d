// Drives the real quorvane.exe from a test process on the same Wine virtual desktop: starts it in a
// folder of its own, finds its windows, types, clicks, presses keys, reads texts and its exit code.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win32/scoped.h"

namespace e2e {

// The folder holding the running test executable (build/bin), where quorvane.exe is built.
std::wstring BinDirectory();
// A fresh empty folder under the system temp folder, removed with its content at destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

struct LaunchOptions {
  std::wstring folder;                // where quorvane.exe is copied to and run; empty: a fresh TempFolder
  std::vector<std::wstring> environment;  // extra NAME=value entries
  bool waitForMainWindow = true;      // wait until the main window is visible
};

class Program {
 public:
  // Copies build/bin/quorvane.exe into the folder and starts it there.
  explicit Program(const LaunchOptions& options = {});
  ~Program();  // kills the process when it still runs
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD processId() const { return processId_; }
  HANDLE process() const { return process_.get(); }
  const std::wstring& folder() const { return folder_; }
  HWND mainWindow() const { return mainWindow_; }
  HWND control(int id) const { return GetDlgItem(mainWindow_, id); }

  // Waits for the process to end; false on time-out. Then exitCode() is valid.
  bool waitForExit(DWORD timeoutMs = 10000);
  DWORD exitCode() const;
  bool running() const;

  // A visible top-level window of the process other than the main window (a message box), or null.
  HWND waitForOtherWindow(DWORD timeoutMs = 5000) const;

 private:
  std::unique_ptr<TempFolder> ownFolder_;
  std::wstring folder_;
  ScopedKernelHandle process_;
  DWORD processId_ = 0;
  HWND mainWindow_ = nullptr;
};

// Polls `condition` every 20 ms until it holds or `timeoutMs` passes, pumping this thread's messages.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Window texts and state.
std::wstring WindowText(HWND hwnd);        // WM_GETTEXT, sent with a time-out
std::wstring ClassName(HWND hwnd);
RECT WindowRectOf(HWND hwnd);              // screen coordinates
RECT ClientRectInParent(HWND child);       // a control's place in its parent's client area
HWND FocusedWindow(HWND anyWindowOfThread);  // GetGUIThreadInfo of the window's thread
// The message box's text: its static control 0xFFFF.
std::wstring MessageBoxText(HWND box);

// Input, delivered with SendInput to the foreground window (Bring() makes a window foreground).
void Bring(HWND topLevel);
void PressKey(WORD vk, bool shift = false, bool alt = false, bool ctrl = false);
void TypeText(const std::wstring& text);   // Unicode input, one character at a time
void ClickAt(int screenX, int screenY, bool right = false);
void ClickWindow(HWND hwnd);               // a click at the centre of the window
void DragMouse(int fromX, int fromY, int toX, int toY);
void MoveMouse(int screenX, int screenY);

// Reads a pixel of the screen (GetPixel on the desktop DC) as 0x00BBGGRR.
COLORREF ScreenPixel(int x, int y);
// Saves the screen area of a window as a 24-bit BMP (tests keep screenshots as artefacts).
bool SaveWindowBitmap(HWND hwnd, const std::wstring& path);

// Reads the file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
std::wstring Utf16FromCp936(const std::string& bytes);
std::string Cp936FromUtf16(const std::wstring& text);

}  // namespace e2e
