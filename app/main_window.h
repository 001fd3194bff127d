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

// Registers the classes of the main window and the label.
bool RegisterMainWindowClasses();

// Creates the window and its controls hidden, runs the created event, then shows the window.
// False when the window cannot be created.
bool LoadMainWindow();

// The window's own keys (Esc, Tab, Shift+Tab, Enter) for messages of the window or its controls;
// true when the message was handled and must not be dispatched.
bool PreTranslateMainWindowMessage(const MSG& msg);

// Null once the window has been destroyed.
HWND MainWindowHandle();
HWND WebViewHandle();

// 编辑框1's content as typed, in the system's ANSI code page.
Text ReadEditBoxContent();
// 按钮1's disabled state: 1 greys it and it ignores clicks and keys, 0 enables it.
void SetQueryButtonDisabled(int32_t disabled);
