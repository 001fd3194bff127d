// The main window and its five controls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "text/text.h"

// Control identifiers (GetDlgItem on the main window).
enum ControlId : int {
  kEditBox1 = 1001,      // 编辑框1
  kQueryButton1 = 1002,  // 按钮1 查询
  kHelpButton2 = 1003,   // 按钮2 帮助
  kLabel1 = 1004,        // 标签1
  kWebView1 = 1005,      // 彗星网页框1
};

extern const wchar_t kMainWindowClassName[];

// Creates the window and its controls hidden, runs the created event, then shows the window.
// False when the window cannot be created.
bool LoadMainWindow();

// Null once the window has been destroyed.
HWND MainWindowHandle();
HWND WebViewHandle();

// 编辑框1's content as typed, in the system's ANSI code page.
Text ReadEditBoxContent();
// 按钮1's disabled state: 1 greys it and it ignores clicks and keys, 0 enables it.
void SetQueryButtonDisabled(int32_t disabled);
