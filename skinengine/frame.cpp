// Skinned top-level windows: the engine measures, draws and hit-tests the frame itself, with its own
// caption buttons (tracked with the mouse captured, as the system's own are).
#include <windowsx.h>

#include <string>

#include "skinengine/engine.h"
#include "skinengine/gdi.h"
#include "skinengine/window_skin.h"

using engine::SkinColour;
using engine::SkinMetric;
using skin::Colour;
using skin::FrameHit;
using skin::Metric;

namespace {

HICON WindowIcon(HWND hwnd) {
  if (auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0))) return icon;
  if (auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICONSM))) return icon;
  if (auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0))) return icon;
  return reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICON));
}

skin::FrameFlags FlagsOf(HWND hwnd) {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  skin::FrameFlags flags;
  flags.closeBox = style & WS_SYSMENU;
  flags.minimizeBox = style & WS_MINIMIZEBOX;
  flags.maximizeBox = style & WS_MAXIMIZEBOX;
  // Dialog frames show no icon, as the system draws them.
  flags.icon = flags.closeBox && !(exStyle & WS_EX_DLGMODALFRAME) && WindowIcon(hwnd);
  flags.resizable = style & WS_THICKFRAME;
  flags.iconic = IsIconic(hwnd);
  return flags;
}

struct Measured {
  int width, height;
  skin::FrameFlags flags;
  skin::FrameLayout layout;
};

Measured Measure(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  Measured m{rc.right - rc.left, rc.bottom - rc.top, FlagsOf(hwnd), {}};
  m.layout = skin::LayOutFrame(m.width, m.height, engine::Skin(), m.flags);
  return m;
}

FrameHit ButtonOfHitCode(WPARAM code) {
  switch (code) {
    case HTCLOSE:
      return FrameHit::Close;
    case HTMINBUTTON:
      return FrameHit::Minimize;
    case HTMAXBUTTON:
      return FrameHit::Maximize;
    default:
      return FrameHit::Nowhere;
  }
}

LRESULT HitCode(FrameHit hit) {
  switch (hit) {
    case FrameHit::Nowhere: return HTNOWHERE;
    case FrameHit::Client: return HTCLIENT;
    case FrameHit::Caption: return HTCAPTION;
    case FrameHit::SystemMenu: return HTSYSMENU;
    case FrameHit::Minimize: return HTMINBUTTON;
    case FrameHit::Maximize: return HTMAXBUTTON;
    case FrameHit::Close: return HTCLOSE;
    case FrameHit::Border: return HTBORDER;
    case FrameHit::Left: return HTLEFT;
    case FrameHit::Right: return HTRIGHT;
    case FrameHit::Top: return HTTOP;
    case FrameHit::Bottom: return HTBOTTOM;
    case FrameHit::TopLeft: return HTTOPLEFT;
    case FrameHit::TopRight: return HTTOPRIGHT;
    case FrameHit::BottomLeft: return HTBOTTOMLEFT;
    case FrameHit::BottomRight: return HTBOTTOMRIGHT;
  }
  return HTNOWHERE;
}

FrameHit HitAt(HWND hwnd, POINT screen) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  const Measured m = Measure(hwnd);
  return skin::HitFrame(m.layout, m.width, m.height, m.flags, screen.x - rc.left, screen.y - rc.top);
}

FrameHit HitAtCursor(HWND hwnd) {
  POINT pt;
  GetCursorPos(&pt);
  return HitAt(hwnd, pt);
}

std::wstring WindowTextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void DrawTitle(HDC dc, HWND hwnd, const skin::Box& box, COLORREF colour) {
  if (box.empty()) return;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  metrics.lfCaptionFont.lfWeight = SkinMetric(Metric::TitleBold) ? FW_BOLD : FW_NORMAL;
  ScopedGdiObject font(CreateFontIndirectW(&metrics.lfCaptionFont));
  ScopedSelectObject selectFont(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  RECT rc = ToRect(box);
  const std::wstring title = WindowTextOf(hwnd);
  const UINT align = SkinMetric(Metric::TitleCentred) ? DT_CENTER : DT_LEFT;
  DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &rc,
            align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void DrawCaptionButton(HDC dc, const skin::Box& box, FrameHit part, const FrameState& state, Glyph glyph,
                       COLORREF glyphColour) {
  if (box.empty()) return;
  const bool close = part == FrameHit::Close;
  const bool pressed = state.pressed == part && state.hot == part;
  const bool hot = state.pressed == FrameHit::Nowhere && state.hot == part;
  if (pressed || hot) {
    const COLORREF fill = close ? SkinColour(pressed ? Colour::CloseButtonPressed : Colour::CloseButtonHot)
                                : SkinColour(pressed ? Colour::CaptionButtonPressed : Colour::CaptionButtonHot);
    FillRounded(dc, ToRect(box), SkinMetric(Metric::CaptionButtonRadius), fill, fill, fill);
    if (close) glyphColour = SkinColour(Colour::CloseGlyphHot);
  }
  RECT glyphBox = ToRect(box);
  if (pressed) OffsetRect(&glyphBox, 0, 1);
  DrawGlyph(dc, glyphBox, glyph, glyphColour);
}

void PaintFrame(HWND hwnd, const FrameState& state) {
  const Measured m = Measure(hwnd);
  if (m.width <= 0 || m.height <= 0) return;
  ScopedWindowDC target = ScopedWindowDC::WholeWindow(hwnd);
  if (!target.get()) return;
  Canvas canvas(target.get(), m.width, m.height);
  if (!canvas.valid()) return;
  const HDC dc = canvas.dc();
  const skin::FrameLayout& l = m.layout;

  const COLORREF top = SkinColour(state.active ? Colour::CaptionActiveTop : Colour::CaptionInactiveTop);
  const COLORREF bottom = SkinColour(state.active ? Colour::CaptionActiveBottom : Colour::CaptionInactiveBottom);
  const COLORREF outline = SkinColour(state.active ? Colour::FrameActive : Colour::FrameInactive);
  const COLORREF text = SkinColour(state.active ? Colour::CaptionTextActive : Colour::CaptionTextInactive);

  FillSolid(dc, {0, 0, m.width, m.height}, bottom);
  // The caption band runs under the top border; its upper half carries the skin's gloss.
  const int captionBottom = l.caption.bottom;
  const int middle = l.caption.top + l.caption.height() / 2;
  const COLORREF shine = MixColours(top, RGB(255, 255, 255), SkinMetric(Metric::CaptionGloss) * 6 / 10);
  FillVertical(dc, {0, 0, m.width, middle}, shine, top);
  FillVertical(dc, {0, middle, m.width, captionBottom}, top, bottom);
  FrameSolid(dc, {0, 0, m.width, m.height}, 1, outline);
  if (!l.client.empty() && l.client.left > 2) {
    // A hairline between a wide frame and the client area.
    const RECT around = {l.client.left - 1, l.client.top - 1, l.client.right + 1, l.client.bottom + 1};
    FrameSolid(dc, around, 1, MixColours(bottom, outline, 50));
  }

  if (m.flags.icon && !l.icon.empty()) {
    DrawIconEx(dc, l.icon.left, l.icon.top, WindowIcon(hwnd), l.icon.width(), l.icon.height(), 0, nullptr, DI_NORMAL);
  }
  DrawTitle(dc, hwnd, l.title, text);
  DrawCaptionButton(dc, l.minimize, FrameHit::Minimize, state, m.flags.iconic ? Glyph::Restore : Glyph::Minimize,
                    text);
  DrawCaptionButton(dc, l.maximize, FrameHit::Maximize, state,
                    IsZoomed(hwnd) && !m.flags.iconic ? Glyph::Restore : Glyph::Maximize, text);
  DrawCaptionButton(dc, l.close, FrameHit::Close, state, Glyph::Close, text);

  // Only the frame: the client area is the window's own.
  if (!l.client.empty()) ExcludeClipRect(target.get(), l.client.left, l.client.top, l.client.right, l.client.bottom);
  canvas.CopyTo(target.get());
}

void SetHot(HWND hwnd, FrameState& state, FrameHit hot) {
  if (state.hot == hot) return;
  state.hot = hot;
  PaintFrame(hwnd, state);
}

void TrackLeave(HWND hwnd, FrameState& state) {
  if (state.trackingLeave) return;
  TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, hwnd, 0};
  state.trackingLeave = TrackMouseEvent(&track);
}

// What the system's own caption buttons do.
void RunButton(HWND hwnd, FrameHit part) {
  WPARAM command = 0;
  switch (part) {
    case FrameHit::Close:
      command = SC_CLOSE;
      break;
    case FrameHit::Minimize:
      command = IsIconic(hwnd) ? SC_RESTORE : SC_MINIMIZE;
      break;
    case FrameHit::Maximize:
      command = IsZoomed(hwnd) || IsIconic(hwnd) ? SC_RESTORE : SC_MAXIMIZE;
      break;
    default:
      return;
  }
  POINT pt;
  GetCursorPos(&pt);
  SendMessageW(hwnd, WM_SYSCOMMAND, command, MAKELPARAM(pt.x, pt.y));
}

bool IsEdit(HWND hwnd) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  return lstrcmpiW(name, L"Edit") == 0;
}

// The app's own colours win; only the system's defaults give way to the skin's background.
LRESULT ControlColour(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT given = DefSubclassProc(hwnd, message, wParam, lParam);
  const auto brush = reinterpret_cast<HBRUSH>(given);
  if (brush && brush != GetSysColorBrush(COLOR_BTNFACE)) return given;
  if (message == WM_CTLCOLORSTATIC && IsEdit(reinterpret_cast<HWND>(lParam))) return given;
  const HDC dc = reinterpret_cast<HDC>(wParam);
  SetBkColor(dc, SkinColour(Colour::WindowBackground));
  SetTextColor(dc, SkinColour(Colour::WindowText));
  return reinterpret_cast<LRESULT>(engine::BackgroundBrush());
}

}  // namespace

void StartFrame(HWND hwnd, FrameState& state) { state.active = GetActiveWindow() == hwnd; }

LRESULT FrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, FrameState& state) {
  switch (message) {
    case WM_NCCALCSIZE: {
      if (IsIconic(hwnd)) break;
      RECT* rc = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      const skin::FrameLayout l =
          skin::LayOutFrame(rc->right - rc->left, rc->bottom - rc->top, engine::Skin(), FlagsOf(hwnd));
      *rc = {rc->left + l.client.left, rc->top + l.client.top, rc->left + l.client.right, rc->top + l.client.bottom};
      return 0;
    }
    case WM_NCPAINT:
      PaintFrame(hwnd, state);
      return 0;
    case WM_NCACTIVATE: {
      state.active = wParam != 0;
      // -1 keeps the system from drawing its own caption; the activation itself still happens.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, -1);
      PaintFrame(hwnd, state);
      return result;
    }
    case WM_SETTEXT:
    case WM_SETICON: {
      // The system draws the new title or icon into its own caption: paint ours over it.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      PaintFrame(hwnd, state);
      return result;
    }
    case 0x00AE:  // WM_NCUAHDRAWCAPTION: themed caption drawing of some systems
    case 0x00AF:  // WM_NCUAHDRAWFRAME
      return 0;
    case WM_NCHITTEST:
      return HitCode(HitAt(hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    case WM_NCMOUSEMOVE: {
      const FrameHit hot = ButtonOfHitCode(wParam);
      if (state.pressed == FrameHit::Nowhere) SetHot(hwnd, state, hot);
      if (hot != FrameHit::Nowhere) TrackLeave(hwnd, state);
      break;
    }
    case WM_NCMOUSELEAVE:
      state.trackingLeave = false;
      if (state.pressed == FrameHit::Nowhere) SetHot(hwnd, state, FrameHit::Nowhere);
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const FrameHit part = ButtonOfHitCode(wParam);
      if (part == FrameHit::Nowhere) break;
      state.pressed = part;
      state.hot = part;
      SetCapture(hwnd);
      PaintFrame(hwnd, state);
      return 0;
    }
    case WM_NCLBUTTONUP:
      if (ButtonOfHitCode(wParam) != FrameHit::Nowhere) return 0;  // the capture delivers the release
      break;
    case WM_MOUSEMOVE:
      if (state.pressed != FrameHit::Nowhere) {
        SetHot(hwnd, state, HitAtCursor(hwnd) == state.pressed ? state.pressed : FrameHit::Nowhere);
        return 0;
      }
      SetHot(hwnd, state, FrameHit::Nowhere);
      break;
    case WM_LBUTTONUP:
      if (state.pressed != FrameHit::Nowhere) {
        const FrameHit part = state.pressed;
        const bool over = HitAtCursor(hwnd) == part;
        state.pressed = FrameHit::Nowhere;
        state.hot = over ? part : FrameHit::Nowhere;
        ReleaseCapture();
        PaintFrame(hwnd, state);
        // The command may destroy the window and with it `state`: nothing may follow it.
        if (over) RunButton(hwnd, part);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (state.pressed != FrameHit::Nowhere && reinterpret_cast<HWND>(lParam) != hwnd) {
        state.pressed = FrameHit::Nowhere;
        state.hot = FrameHit::Nowhere;
        PaintFrame(hwnd, state);
      }
      break;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, engine::BackgroundBrush());
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
      return ControlColour(hwnd, message, wParam, lParam);
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}
