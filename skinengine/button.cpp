// Skinned push buttons: the engine paints them in every state (normal, hot, pressed, disabled,
// focused, default). The system's button procedure still runs their behaviour; after anything that
// changes their state it may draw the old look directly, so the engine paints again at once.
#include <string>

#include "skinengine/engine.h"
#include "skinengine/gdi.h"
#include "skinengine/window_skin.h"

using engine::SkinColour;
using skin::Colour;

namespace {

struct Look {
  COLORREF top, bottom, border, text;
};

Look LookOf(bool disabled, bool pressed, bool hot) {
  if (disabled) {
    const COLORREF face = SkinColour(Colour::ButtonDisabledFace);
    return {face, face, SkinColour(Colour::ButtonDisabledBorder), SkinColour(Colour::ButtonDisabledText)};
  }
  if (pressed) {
    return {SkinColour(Colour::ButtonPressedTop), SkinColour(Colour::ButtonPressedBottom),
            SkinColour(Colour::ButtonPressedBorder), SkinColour(Colour::ButtonText)};
  }
  if (hot) {
    return {SkinColour(Colour::ButtonHotTop), SkinColour(Colour::ButtonHotBottom), SkinColour(Colour::ButtonHotBorder),
            SkinColour(Colour::ButtonText)};
  }
  return {SkinColour(Colour::ButtonFaceTop), SkinColour(Colour::ButtonFaceBottom), SkinColour(Colour::ButtonBorder),
          SkinColour(Colour::ButtonText)};
}

UINT TextFormat(DWORD style, LRESULT uiState) {
  UINT format = DT_NOCLIP;
  switch (style & BS_CENTER) {
    case BS_LEFT: format |= DT_LEFT; break;
    case BS_RIGHT: format |= DT_RIGHT; break;
    default: format |= DT_CENTER; break;
  }
  format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  if (uiState & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
  return format;
}

void DrawText(HWND hwnd, HDC dc, RECT box, DWORD style, COLORREF colour) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  if (text.empty()) return;
  auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  ScopedSelectObject selectFont(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  const UINT format = TextFormat(style, SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0));
  // Wrapped text is measured first so the block of lines can be placed vertically.
  RECT measured = box;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
  const int height = measured.bottom - measured.top;
  switch (style & BS_VCENTER) {
    case BS_TOP: break;
    case BS_BOTTOM: box.top = box.bottom - height; break;
    default: box.top += (box.bottom - box.top - height) / 2; break;
  }
  box.bottom = box.top + height;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

void DrawButton(HWND hwnd, HDC target, const ButtonState& state) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  Canvas canvas(target, rc.right, rc.bottom);
  if (!canvas.valid()) return;
  const HDC dc = canvas.dc();
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  const LRESULT buttonState = SendMessageW(hwnd, BM_GETSTATE, 0, 0);
  const bool disabled = !IsWindowEnabled(hwnd);
  const bool pressed = buttonState & BST_PUSHED;
  const bool focused = GetFocus() == hwnd;
  const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  const Look look = LookOf(disabled, pressed, state.hot);
  const int radius = engine::SkinMetric(skin::Metric::ButtonRadius);

  FillSolid(dc, rc, SkinColour(Colour::WindowBackground));
  const COLORREF ring = SkinColour(Colour::FocusRing);
  const bool ringed = !disabled && !pressed && (focused || isDefault);
  FillRounded(dc, rc, radius, look.top, look.bottom, ringed ? ring : look.border);
  if (focused && !disabled && !pressed) {
    const RECT inner = {rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
    ScopedGdiObject pen(CreatePen(PS_SOLID, 1, MixColours(ring, look.top, 45)));
    ScopedSelectObject selectPen(dc, pen.get());
    ScopedSelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
    const int d = radius > 1 ? (radius - 1) * 2 : 0;
    RoundRect(dc, inner.left, inner.top, inner.right, inner.bottom, d, d);
  }
  RECT textBox = {rc.left + 3, rc.top + 2, rc.right - 3, rc.bottom - 2};
  if (pressed) OffsetRect(&textBox, 1, 1);
  DrawText(hwnd, dc, textBox, style, look.text);
  canvas.CopyTo(target);
}

void Repaint(HWND hwnd) {
  if (IsWindow(hwnd)) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace

LRESULT ButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, ButtonState& state) {
  switch (message) {
    case WM_PAINT: {
      ScopedPaint paint(hwnd);
      DrawButton(hwnd, paint.get(), state);
      return 0;
    }
    case WM_PRINTCLIENT:
      DrawButton(hwnd, reinterpret_cast<HDC>(wParam), state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      const bool entered = !state.hot;
      if (entered) {
        state.hot = true;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
      }
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      if (entered) Repaint(hwnd);
      return result;
    }
    case WM_MOUSELEAVE: {
      state.hot = false;
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      Repaint(hwnd);
      return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case WM_CAPTURECHANGED:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETCHECK: {
      // A click can destroy the button (its command closes the window): `state` is not used after.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      Repaint(hwnd);
      return result;
    }
    default:
      return DefSubclassProc(hwnd, message, wParam, lParam);
  }
}
