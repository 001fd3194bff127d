#include "browser/web_view.h"

const wchar_t kWebViewClassName[] = L"QuorvaneWebView";

namespace {

LRESULT CALLBACK WebViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterWebViewClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {sizeof(wc)};
  if (GetClassInfoExW(instance, kWebViewClassName, &wc)) return true;
  wc.lpfnWndProc = WebViewProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kWebViewClassName;
  return RegisterClassExW(&wc) != 0;
}
