#include "app/main_window.h"

#include <windows.h>

#include <string>

#include "app/shell.h"
#include "app/test_hooks.h"
#include "app/window_geometry.h"
#include "browser/web_view.h"
#include "lookup/help.h"
#include "lookup/query.h"
#include "skin/skin.h"
#include "win32/scoped.h"

const wchar_t kMainWindowClassName[] = L"QuorvaneMainWindow";

namespace {

const wchar_t kLabelClassName[] = L"QuorvaneLabel";
constexpr int kWindowWidth = 805;
constexpr int kWindowHeight = 430;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct ControlDefinition {
  int id;
  const wchar_t* className;
  int left, top, width, height;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
};

constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

// In the order of the definition, which is also the stacking order (first on top).
const ControlDefinition kControls[] = {
    {kHelpButton2, L"BUTTON", 554, 2, 40, 36, L"帮助", kButtonStyle, 0},
    {kWebView1, kWebViewClassName, 0, 40, 800, 360, L"", WS_TABSTOP, 0},
    {kLabel1, kLabelClassName, 599, 4, 354, 32, L"注：挖掘百度关键词，营销推广必备！", 0, 0},
    {kQueryButton1, L"BUTTON", 510, 2, 40, 36, L"查询", kButtonStyle, 0},
    {kEditBox1, L"EDIT", 0, 4, 504, 32, L"", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
};

// Equal focus-order values are taken from the last control of the definition to the first.
const int kFocusOrder[] = {kEditBox1, kQueryButton1, kWebView1, kHelpButton2};

struct MainWindowState {
  HWND window = nullptr;
  HWND lastFocus = nullptr;
  int32_t queryButtonDisabled = 0;
};

MainWindowState& State() {
  static MainWindowState state;
  return state;
}

HWND Control(int id) { return State().window ? GetDlgItem(State().window, id) : nullptr; }

// The control of the focus order that holds `hwnd` (the control itself or a window inside it).
int FocusIndexOf(HWND hwnd) {
  for (int i = 0; i < static_cast<int>(std::size(kFocusOrder)); ++i) {
    const HWND control = Control(kFocusOrder[i]);
    if (control && (hwnd == control || IsChild(control, hwnd))) return i;
  }
  return -1;
}

bool CanTakeFocus(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

// Moves the focus forward or backward through the focus order, wrapping, skipping hidden or
// disabled controls.
void MoveFocus(int step) {
  const int count = static_cast<int>(std::size(kFocusOrder));
  int index = FocusIndexOf(GetFocus());
  if (index < 0) index = step > 0 ? -1 : 0;
  for (int tries = 0; tries < count; ++tries) {
    index = (index + step + count) % count;
    const HWND control = Control(kFocusOrder[index]);
    if (CanTakeFocus(control)) {
      SetFocus(control);
      return;
    }
  }
}

void FocusFirstControl() {
  MainWindowState& state = State();
  if (CanTakeFocus(state.lastFocus) && IsChild(state.window, state.lastFocus)) {
    SetFocus(state.lastFocus);
    return;
  }
  for (int id : kFocusOrder) {
    if (CanTakeFocus(Control(id))) {
      SetFocus(Control(id));
      return;
    }
  }
}

void PaintLabel(HWND hwnd) {
  ScopedPaint paint(hwnd);
  HDC dc = paint.get();
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(GetWindowLongPtrW(hwnd, 0));
  ScopedSelectObject selectFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), length, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

// 标签1 is drawn by the program: button-face background, red text, transparent text background.
LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintLabel(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      SetWindowLongPtrW(hwnd, 0, static_cast<LONG_PTR>(wParam));
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrW(hwnd, 0);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

bool CreateControls(HWND window) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND previous = HWND_TOP;
  for (const ControlDefinition& c : kControls) {
    HWND control = CreateWindowExW(c.exStyle, c.className, c.text, WS_CHILD | c.style, c.left, c.top, c.width,
                                   c.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                   instance, nullptr);
    if (!control) return false;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
  for (const ControlDefinition& c : kControls) ShowWindow(GetDlgItem(window, c.id), SW_SHOWNA);
  return true;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowState& state = State();
  switch (message) {
    case WM_CREATE:
      state.window = hwnd;
      NoteWindowCreated();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == kQueryButton1) OnQueryClicked();
        if (LOWORD(wParam) == kHelpButton2) OnHelpClicked();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) state.lastFocus = focus;
      } else if (!HIWORD(wParam)) {
        FocusFirstControl();
      }
      return 0;
    case WM_SETFOCUS:
      FocusFirstControl();
      return 0;
    case WM_COPYDATA:
      return HandleTestHook(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_DESTROY:
      state.window = nullptr;
      state.lastFocus = nullptr;
      return 0;
    case WM_NCDESTROY:
      NoteWindowDestroyed();
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HICON LoadProgramIcon(int size) {
  // Shared resource icons belong to the system: they are not destroyed by the program.
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), L"DEFAULT_ICON", IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

bool RegisterMainWindowClasses() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window = {};
  window.cbSize = sizeof(window);
  window.lpfnWndProc = MainWindowProc;
  window.hInstance = instance;
  window.hIcon = LoadProgramIcon(32);
  window.hIconSm = LoadProgramIcon(16);
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.lpszClassName = kMainWindowClassName;

  WNDCLASSEXW label = {};
  label.cbSize = sizeof(label);
  label.lpfnWndProc = LabelProc;
  label.cbWndExtra = sizeof(LONG_PTR);
  label.hInstance = instance;
  label.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  label.lpszClassName = kLabelClassName;
  return RegisterClassExW(&window) && RegisterClassExW(&label);
}

bool LoadMainWindow() {
  const int left = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), kWindowWidth);
  const int top = CentredOrigin(GetSystemMetrics(SM_CYSCREEN), kWindowHeight);
  HWND window = CreateWindowExW(WS_EX_APPWINDOW, kMainWindowClassName, L"Quorvane By Tollik", kWindowStyle, left,
                                top, kWindowWidth, kWindowHeight, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
  if (!window) return false;
  if (!CreateControls(window)) {
    DestroyWindow(window);
    return false;
  }
  OnMainWindowCreated();
  if (IsWindow(window)) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  return true;
}

bool PreTranslateMainWindowMessage(const MSG& msg) {
  const HWND window = State().window;
  if (!window || msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
  const bool inWebView = FocusIndexOf(msg.hwnd) == 2;
  switch (msg.wParam) {
    case VK_ESCAPE:
      // Exactly what the close button does.
      PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case VK_TAB:
      MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
      return true;
    case VK_RETURN:
      // No default button: Enter starts nothing and does not move the focus. The web view keeps it.
      return !inWebView;
    default:
      return false;
  }
}

HWND MainWindowHandle() { return State().window; }
HWND WebViewHandle() { return Control(kWebView1); }

Text ReadEditBoxContent() {
  const HWND edit = Control(kEditBox1);
  if (!edit) FatalStop("指定窗口尚未载入");
  const int length = GetWindowTextLengthA(edit);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return Text(text);
}

void SetQueryButtonDisabled(int32_t disabled) {
  State().queryButtonDisabled = disabled;
  if (const HWND button = Control(kQueryButton1)) EnableWindow(button, disabled == 0);
}
