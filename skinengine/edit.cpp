// Skinned edit boxes: the system draws the edit and its scroll bars; the engine draws the border
// over the sunken edge, in the accent colour while the edit has the focus.
#include "skinengine/engine.h"
#include "skinengine/gdi.h"
#include "skinengine/window_skin.h"

namespace {

void PaintBorder(HWND hwnd) {
  RECT window, client;
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  // The border is as thick as the frame to the client's left (the sunken edge is 2 px).
  const int thickness = client.left - window.left;
  if (thickness <= 0) return;
  ScopedWindowDC dc = ScopedWindowDC::WholeWindow(hwnd);
  if (!dc.get()) return;
  const RECT box = {0, 0, window.right - window.left, window.bottom - window.top};
  const bool focused = GetFocus() == hwnd;
  const COLORREF edge = engine::SkinColour(focused ? skin::Colour::EditBorderFocused : skin::Colour::EditBorder);
  FrameSolid(dc.get(), box, 1, edge);
  if (thickness > 1) {
    const RECT inner = {1, 1, box.right - 1, box.bottom - 1};
    const COLORREF fill = GetSysColor(IsWindowEnabled(hwnd) ? COLOR_WINDOW : COLOR_BTNFACE);
    FrameSolid(dc.get(), inner, thickness - 1, focused ? MixColours(fill, edge, 25) : fill);
  }
}

}  // namespace

LRESULT EditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCPAINT: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      PaintBorder(hwnd);
      return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      if (IsWindow(hwnd)) PaintBorder(hwnd);
      return result;
    }
    default:
      return DefSubclassProc(hwnd, message, wParam, lParam);
  }
}
