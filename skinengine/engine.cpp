#include "skinengine/engine.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "skinengine/gdi.h"
#include "skinengine/system_colours.h"
#include "skinengine/window_skin.h"
#include "win32/scoped.h"

namespace engine {

HINSTANCE Module = nullptr;

namespace {

constexpr UINT_PTR kSubclassId = 0x53484531;  // "SHE1"

struct Skinned {
  HWND hwnd;
  WindowKind kind;
};

struct EngineState {
  std::optional<skin::SkinStyle> style;
  ScopedGdiObject background;
  HHOOK hook = nullptr;
  std::vector<Skinned> windows;
};

EngineState& State() {
  static EngineState state;
  return state;
}

bool ClassIs(HWND hwnd, const wchar_t* name) {
  wchar_t buffer[32] = {};
  GetClassNameW(hwnd, buffer, 32);
  return lstrcmpiW(buffer, name) == 0;
}

// What the engine draws of a window with these styles, if anything. Windows with a menu bar or
// scroll bars in their frame keep the system's frame, which draws those.
std::optional<WindowKind> KindOf(HWND hwnd, DWORD style, DWORD exStyle, bool hasMenu) {
  if (!(style & WS_CHILD)) {
    const bool captioned = (style & WS_CAPTION) == WS_CAPTION;
    if (captioned && !hasMenu && !(style & (WS_VSCROLL | WS_HSCROLL)) && !(exStyle & WS_EX_TOOLWINDOW))
      return WindowKind::Frame;
    return std::nullopt;
  }
  if (ClassIs(hwnd, L"Button")) {
    const DWORD type = style & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return WindowKind::PushButton;
    return std::nullopt;
  }
  if (ClassIs(hwnd, L"Edit") && ((exStyle & WS_EX_CLIENTEDGE) || (style & WS_BORDER))) return WindowKind::Edit;
  return std::nullopt;
}

void Forget(HWND hwnd) {
  auto& windows = State().windows;
  for (auto it = windows.begin(); it != windows.end(); ++it) {
    if (it->hwnd == hwnd) {
      windows.erase(it);
      return;
    }
  }
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);

void Unsubclass(HWND hwnd, WindowSkin* skin) {
  RemoveWindowSubclass(hwnd, SkinProc, kSubclassId);
  delete skin;
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* skin = reinterpret_cast<WindowSkin*>(data);
  if (message == WM_NCDESTROY) {
    Forget(hwnd);
    Unsubclass(hwnd, skin);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  switch (skin->kind) {
    case WindowKind::Frame:
      return FrameMessage(hwnd, message, wParam, lParam, skin->frame);
    case WindowKind::PushButton:
      return ButtonMessage(hwnd, message, wParam, lParam, skin->button);
    case WindowKind::Edit:
      return EditMessage(hwnd, message, wParam, lParam);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

void SkinWindow(HWND hwnd, WindowKind kind) {
  DWORD_PTR existing = 0;
  if (GetWindowSubclass(hwnd, SkinProc, kSubclassId, &existing)) return;
  auto* skin = new WindowSkin{kind, {}, {}};
  if (!SetWindowSubclass(hwnd, SkinProc, kSubclassId, reinterpret_cast<DWORD_PTR>(skin))) {
    delete skin;
    return;
  }
  if (kind == WindowKind::Frame) StartFrame(hwnd, skin->frame);
  State().windows.push_back({hwnd, kind});
}

void SkinIfDrawn(HWND hwnd) {
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  const bool hasMenu = !(style & WS_CHILD) && GetMenu(hwnd);
  if (const auto kind = KindOf(hwnd, style, exStyle, hasMenu)) SkinWindow(hwnd, *kind);
}

BOOL CALLBACK SkinChild(HWND hwnd, LPARAM) {
  SkinIfDrawn(hwnd);
  return TRUE;
}

BOOL CALLBACK SkinTopLevel(HWND hwnd, LPARAM) {
  SkinIfDrawn(hwnd);
  EnumChildWindows(hwnd, SkinChild, 0);
  return TRUE;
}

// Windows created from now on are skinned before they receive their first message.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && State().style) {
    const HWND hwnd = reinterpret_cast<HWND>(wParam);
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    const bool hasMenu = !(create->style & WS_CHILD) && create->hMenu;
    if (const auto kind = KindOf(hwnd, create->style, create->dwExStyle, hasMenu)) SkinWindow(hwnd, *kind);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Frames are measured again (their size may change with the skin) and everything is drawn anew.
void Refresh(const Skinned& w) {
  if (!IsWindow(w.hwnd)) return;
  if (w.kind == WindowKind::Frame) {
    SetWindowPos(w.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  RedrawWindow(w.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Detach(bool repaint) {
  EngineState& state = State();
  UnhookSystemColours();
  if (state.hook) UnhookWindowsHookEx(std::exchange(state.hook, nullptr));
  const std::vector<Skinned> windows = std::exchange(state.windows, {});
  for (const Skinned& w : windows) {
    DWORD_PTR data = 0;
    if (GetWindowSubclass(w.hwnd, SkinProc, kSubclassId, &data)) Unsubclass(w.hwnd, reinterpret_cast<WindowSkin*>(data));
  }
  state.style.reset();
  state.background.reset();
  if (repaint) {
    for (const Skinned& w : windows) Refresh(w);
  }
}

}  // namespace

const skin::SkinStyle& Skin() { return *State().style; }
COLORREF SkinColour(skin::Colour c) { return ToColorRef(Skin().colour(c)); }
int SkinMetric(skin::Metric m) { return Skin().metric(m); }
HBRUSH BackgroundBrush() { return static_cast<HBRUSH>(State().background.get()); }

void Apply(std::optional<skin::SkinStyle> style) {
  if (!style) {
    Detach(true);
    return;
  }
  EngineState& state = State();
  state.style = std::move(style);
  state.background.reset(CreateSolidBrush(SkinColour(skin::Colour::WindowBackground)));
  const DWORD thread = GetCurrentThreadId();
  if (!state.hook) state.hook = SetWindowsHookExW(WH_CBT, CbtProc, Module, thread);
  HookSystemColours();
  EnumThreadWindows(thread, SkinTopLevel, 0);
  const std::vector<Skinned> windows = state.windows;
  for (const Skinned& w : windows) Refresh(w);
}

void Release() { Detach(false); }

}  // namespace engine
