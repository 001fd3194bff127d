#include "browser/web_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>

#include "browser/page_source.h"
#include "browser/plain_text.h"
#include "browser/web_document.h"

const wchar_t kWebViewClassName[] = L"QuorvaneWebView";

namespace {

constexpr UINT kNavigate = WM_APP + 0x50;
constexpr int kMargin = 8;
constexpr int kLineScroll = 20;
enum MenuCommand : UINT { kCopy = 1, kSelectAll = 2 };

struct ViewState {
  ComPtr<WebDocument> document;
  std::wstring pendingAddress;
  std::wstring text;  // what the document shows
  bool allSelected = false;
  int scrollY = 0;
  int contentHeight = 0;
  HFONT font = nullptr;
};

ViewState* StateOf(HWND hwnd) { return reinterpret_cast<ViewState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

HFONT FontOf(const ViewState& state) {
  return state.font ? state.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

void UpdateScrollBar(HWND hwnd, ViewState& state) {
  RECT client;
  GetClientRect(hwnd, &client);
  RECT measure = {kMargin, 0, client.right - kMargin - GetSystemMetrics(SM_CXVSCROLL), 0};
  {
    ScopedWindowDC dc(hwnd);
    ScopedSelectObject select(dc.get(), FontOf(state));
    DrawTextW(dc.get(), state.text.c_str(), static_cast<int>(state.text.size()), &measure, kTextFormat | DT_CALCRECT);
  }
  state.contentHeight = measure.bottom + 2 * kMargin;
  const int maxScroll = std::max(0, state.contentHeight - static_cast<int>(client.bottom));
  state.scrollY = std::min(std::max(state.scrollY, 0), maxScroll);
  SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, state.contentHeight,
                     static_cast<UINT>(client.bottom), state.scrollY, 0};
  SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

void ShowDocument(HWND hwnd, ViewState& state) {
  state.text = state.document ? HtmlToPlainText(state.document->html()) : std::wstring();
  state.allSelected = false;
  state.scrollY = 0;
  UpdateScrollBar(hwnd, state);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void ScrollTo(HWND hwnd, ViewState& state, int y) {
  state.scrollY = y;
  UpdateScrollBar(hwnd, state);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Paint(HWND hwnd, ViewState& state) {
  ScopedPaint paint(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(paint.get(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ScopedSelectObject select(paint.get(), FontOf(state));
  SetBkMode(paint.get(), OPAQUE);
  SetBkColor(paint.get(), state.allSelected ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
  SetTextColor(paint.get(), state.allSelected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
  RECT area = {kMargin, kMargin - state.scrollY, client.right - kMargin, client.bottom};
  DrawTextW(paint.get(), state.text.c_str(), static_cast<int>(state.text.size()), &area, kTextFormat);
}

void CopyToClipboard(HWND hwnd, const std::wstring& text) {
  if (!OpenClipboard(hwnd)) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* p = GlobalLock(memory)) {
      memcpy(p, text.c_str(), bytes);
      GlobalUnlock(memory);
      // The clipboard owns the memory once it is set.
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

void CopySelection(HWND hwnd, ViewState& state) {
  if (state.allSelected) CopyToClipboard(hwnd, state.text);
}

void SelectAll(HWND hwnd, ViewState& state) {
  state.allSelected = !state.text.empty();
  InvalidateRect(hwnd, nullptr, TRUE);
}

void ShowContextMenu(HWND hwnd, ViewState& state, int x, int y) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING | (state.allSelected ? 0 : MF_GRAYED), kCopy, L"复制(&C)\tCtrl+C");
  AppendMenuW(menu, MF_STRING, kSelectAll, L"全选(&A)\tCtrl+A");
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen == kCopy) CopySelection(hwnd, state);
  if (chosen == kSelectAll) SelectAll(hwnd, state);
}

bool HandleKey(HWND hwnd, ViewState& state, WPARAM key) {
  RECT client;
  GetClientRect(hwnd, &client);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case 'A':
      if (!ctrl) return false;
      SelectAll(hwnd, state);
      return true;
    case 'C':
      if (!ctrl) return false;
      CopySelection(hwnd, state);
      return true;
    case VK_UP: ScrollTo(hwnd, state, state.scrollY - kLineScroll); return true;
    case VK_DOWN: ScrollTo(hwnd, state, state.scrollY + kLineScroll); return true;
    case VK_PRIOR: ScrollTo(hwnd, state, state.scrollY - client.bottom); return true;
    case VK_NEXT: ScrollTo(hwnd, state, state.scrollY + client.bottom); return true;
    case VK_HOME: ScrollTo(hwnd, state, 0); return true;
    case VK_END: ScrollTo(hwnd, state, state.contentHeight); return true;
    default: return false;
  }
}

void HandleScrollBar(HWND hwnd, ViewState& state, WORD request) {
  SCROLLINFO info = {sizeof(info), SIF_ALL};
  GetScrollInfo(hwnd, SB_VERT, &info);
  switch (request) {
    case SB_LINEUP: ScrollTo(hwnd, state, state.scrollY - kLineScroll); break;
    case SB_LINEDOWN: ScrollTo(hwnd, state, state.scrollY + kLineScroll); break;
    case SB_PAGEUP: ScrollTo(hwnd, state, state.scrollY - static_cast<int>(info.nPage)); break;
    case SB_PAGEDOWN: ScrollTo(hwnd, state, state.scrollY + static_cast<int>(info.nPage)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(hwnd, state, info.nTrackPos); break;
    case SB_TOP: ScrollTo(hwnd, state, 0); break;
    case SB_BOTTOM: ScrollTo(hwnd, state, state.contentHeight); break;
    default: break;
  }
}

void NavigateToDroppedFile(HWND hwnd, HDROP drop) {
  wchar_t path[MAX_PATH] = {};
  if (DragQueryFileW(drop, 0, path, MAX_PATH)) WebViewNavigate(hwnd, path);
  DragFinish(drop);
}

LRESULT CALLBACK WebViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewState* state = StateOf(hwnd);
  switch (message) {
    case WM_CREATE:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ViewState));
      // No border, silent, offline (pages come only from page_source), a drop target, not
      // registered as a browser; then the empty document.
      DragAcceptFiles(hwnd, TRUE);
      WebViewNavigate(hwnd, L"about:blank");
      return 0;
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case kNavigate:
      state->document = WebDocument::Create(hwnd, LoadPageSource(state->pendingAddress));
      ShowDocument(hwnd, *state);
      return 0;
    case kDocumentClosed:
      if (reinterpret_cast<WebDocument*>(lParam) == state->document.get()) ShowDocument(hwnd, *state);
      return 0;
    case WM_PAINT:
      Paint(hwnd, *state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      UpdateScrollBar(hwnd, *state);
      return 0;
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wParam);
      UpdateScrollBar(hwnd, *state);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(state->text.size());
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      const size_t n = std::min<size_t>(state->text.size(), wParam - 1);
      wmemcpy(reinterpret_cast<wchar_t*>(lParam), state->text.c_str(), n);
      reinterpret_cast<wchar_t*>(lParam)[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_SETTEXT:
      return TRUE;  // the view's text is its document's
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      if (state->allSelected) {
        state->allSelected = false;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_CONTEXTMENU:
      ShowContextMenu(hwnd, *state, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEWHEEL:
      ScrollTo(hwnd, *state, state->scrollY - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kLineScroll / WHEEL_DELTA);
      return 0;
    case WM_VSCROLL:
      HandleScrollBar(hwnd, *state, LOWORD(wParam));
      return 0;
    case WM_KEYDOWN:
      if (HandleKey(hwnd, *state, wParam)) return 0;
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_DROPFILES:
      NavigateToDroppedFile(hwnd, reinterpret_cast<HDROP>(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool RegisterWebViewClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, kWebViewClassName, &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WebViewProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kWebViewClassName;
  return RegisterClassExW(&wc) != 0;
}

void WebViewNavigate(HWND view, const wchar_t* address) {
  ViewState* state = StateOf(view);
  if (!state) return;
  // A later navigation replaces one that has not loaded yet.
  state->pendingAddress = address ? address : L"";
  PostMessageW(view, kNavigate, 0, 0);
}

ComPtr<IDispatch> WebViewDocument(HWND view) {
  ViewState* state = StateOf(view);
  if (!state || !state->document) return {};
  return state->document->dispatch();
}
