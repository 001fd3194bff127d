#include "browser/web_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>

#include "browser/html_boxes.h"
#include "browser/html_chars.h"
#include "browser/html_layout.h"
#include "browser/html_paint.h"
#include "browser/web_view_document.h"
#include "browser/web_view_gdi.h"
#include "browser/web_view_loader.h"

const wchar_t kWebViewClassName[] = L"QuorvaneWebView";

namespace {

constexpr UINT kNavigateMessage = WM_APP + 0x51;
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr int kFontSize = 14;
enum MenuCommand : UINT { kCopyCommand = 1, kSelectAllCommand = 2 };

#if QUORVANE_TEST_HOOKS
WebViewLinkOpener g_linkOpener = nullptr;
#endif

std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

bool OpensOutside(std::u16string_view href) {
  return html::StartsWithNoCase(href, "http://") || html::StartsWithNoCase(href, "https://") ||
         html::StartsWithNoCase(href, "ftp://") || html::StartsWithNoCase(href, "mailto:");
}

class WebView final : public DocumentHost {
 public:
  explicit WebView(HWND hwnd) : hwnd_(hwnd), cache_(fonts_) {
    html::FontKey base;
    base.size = kFontSize;
    lineStep_ = cache_.Metrics(cache_.Index(base)).lineHeight;
  }

  ~WebView() {
    if (document_) document_->Detach();
  }

  void Create() {
    // The settings, in order. No border: the frame styles go.
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // Silent: the view has no dialog of its own. Offline: the loader reads only local pages.
    // Drop target: a dropped file is navigated to.
    DragAcceptFiles(hwnd_, TRUE);
    // Not registered as a browser: nothing outside the program can find it by a frame name.
    ShowScrollBar(hwnd_, SB_VERT, TRUE);
    // Then about:blank, at once, so that the view holds a document from its creation on.
    Show(HtmlDocument::Create(this, u""), {});
  }

  void Navigate(const wchar_t* address) {
    pendingAddress_ = address ? address : L"";
    ++navigation_;
    PostMessageW(hwnd_, kNavigateMessage, navigation_, 0);
  }

  void FinishNavigation(WPARAM sequence) {
    if (sequence != navigation_) return;  // a later navigation replaced this one
    LoadedPage page = LoadAddress(pendingAddress_);
    Show(HtmlDocument::Create(this, std::move(page.html)), page.fragment);
  }

  ComPtr<IDispatch> Document() const { return ComPtr<IDispatch>::Share(document_.get()); }

  void DocumentClosed(HtmlDocument* document) override {
    if (document == document_.get()) Render({});
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE:
        Create();
        return 0;
      case WM_DESTROY:
        if (document_) document_->Detach();
        document_.reset();
        return 0;
      case kNavigateMessage:
        FinishNavigation(wParam);
        return 0;
      case WM_SIZE:
        OnSize();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        Paint();
        return 0;
      case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        return 0;
      case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        return 0;
      case WM_MOUSEWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_KEYDOWN:
        OnKey(wParam);
        return 0;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      case WM_LBUTTONDOWN:
        OnButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
        return 0;
      case WM_LBUTTONDBLCLK:
        OnDoubleClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_MOUSEMOVE:
        if (selecting_) Extend(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_LBUTTONUP:
        OnButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_CAPTURECHANGED:
        selecting_ = false;
        KillTimer(hwnd_, kAutoScrollTimer);
        return 0;
      case WM_TIMER:
        if (wParam == kAutoScrollTimer) OnAutoScroll();
        return 0;
      case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
          OnSetCursor();
          return TRUE;
        }
        break;
      case WM_CONTEXTMENU:
        OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_DROPFILES:
        OnDrop(reinterpret_cast<HDROP>(wParam));
        return 0;
      case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(exported_.size());
      case WM_GETTEXT: {
        if (wParam == 0 || !lParam) return 0;
        size_t n = std::min<size_t>(exported_.size(), wParam - 1);
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        std::copy_n(exported_.data(), n, out);
        out[n] = L'\0';
        return static_cast<LRESULT>(n);
      }
      case WM_SETTEXT:
        return TRUE;  // the view's text is its page's
      default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  // ---- documents ----

  void Show(ComPtr<HtmlDocument> document, const std::u16string& fragment) {
    if (document_) document_->Detach();
    document_ = std::move(document);
    Render(fragment);
  }

  void Render(const std::u16string& fragment) {
    html::BuildOptions options;
    options.fontSize = kFontSize;
    options.textColor = FromColorRef(GetSysColor(COLOR_WINDOWTEXT));
    options.background = FromColorRef(GetSysColor(COLOR_WINDOW));
    page_ = html::BuildPage(document_ ? document_->source() : std::u16string(), options);
    exported_ = ToWide(html::ExportText(page_.text));
    anchor_ = caret_ = 0;
    scrollX_ = scrollY_ = 0;
    Relayout();
    if (!fragment.empty()) ScrollToAnchor(fragment);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void Relayout() {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    layoutWidth_ = rc.right;
    layout_ = html::LayOutPage(page_, cache_, layoutWidth_);
    UpdateScrollBars();
  }

  void ScrollToAnchor(std::u16string_view name) {
    for (const auto& [id, offset] : page_.anchors) {
      if (id == name) {
        int32_t top = html::OffsetTop(layout_, offset);
        if (top >= 0) ScrollTo(scrollX_, top);
        return;
      }
    }
  }

  // ---- scrolling ----

  SIZE ClientSize() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return {rc.right, rc.bottom};
  }

  void UpdateScrollBars() {
    if (updatingBars_) return;
    updatingBars_ = true;
    SIZE c = ClientSize();
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMax = std::max(layout_.height - 1, 0);
    si.nPage = static_cast<UINT>(std::max<LONG>(c.cy, 0));
    scrollY_ = std::clamp(scrollY_, 0, std::max(0, layout_.height - static_cast<int>(c.cy)));
    si.nPos = scrollY_;
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
    c = ClientSize();
    SCROLLINFO sh = {};
    sh.cbSize = sizeof(sh);
    sh.fMask = SIF_ALL;
    sh.nMax = std::max(layout_.width - 1, 0);
    sh.nPage = static_cast<UINT>(std::max<LONG>(c.cx, 0));
    scrollX_ = std::clamp(scrollX_, 0, std::max(0, layout_.width - static_cast<int>(c.cx)));
    sh.nPos = scrollX_;
    SetScrollInfo(hwnd_, SB_HORZ, &sh, TRUE);
    updatingBars_ = false;
  }

  void ScrollTo(int x, int y) {
    SIZE c = ClientSize();
    x = std::clamp(x, 0, std::max(0, layout_.width - static_cast<int>(c.cx)));
    y = std::clamp(y, 0, std::max(0, layout_.height - static_cast<int>(c.cy)));
    if (x == scrollX_ && y == scrollY_) return;
    scrollX_ = x;
    scrollY_ = y;
    SetScrollPos(hwnd_, SB_VERT, scrollY_, TRUE);
    SetScrollPos(hwnd_, SB_HORZ, scrollX_, TRUE);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void OnSize() {
    SIZE c = ClientSize();
    if (c.cx != layoutWidth_) Relayout(); else UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void OnScroll(int bar, WORD code) {
    SIZE c = ClientSize();
    int page = std::max<int>((bar == SB_VERT ? c.cy : c.cx) - lineStep_, lineStep_);
    int pos = bar == SB_VERT ? scrollY_ : scrollX_;
    switch (code) {
      case SB_LINEUP: pos -= lineStep_; break;
      case SB_LINEDOWN: pos += lineStep_; break;
      case SB_PAGEUP: pos -= page; break;
      case SB_PAGEDOWN: pos += page; break;
      case SB_TOP: pos = 0; break;
      case SB_BOTTOM: pos = INT_MAX / 2; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: {
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd_, bar, &si);
        pos = si.nTrackPos;
        break;
      }
      default: return;
    }
    if (bar == SB_VERT) ScrollTo(scrollX_, pos); else ScrollTo(pos, scrollY_);
  }

  void OnWheel(int delta) {
    wheelRest_ += delta;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    if (notches == 0) return;
    int step = lines == WHEEL_PAGESCROLL ? std::max<int>(ClientSize().cy - lineStep_, lineStep_)
                                         : static_cast<int>(lines) * lineStep_;
    ScrollTo(scrollX_, scrollY_ - notches * step);
  }

  void OnKey(WPARAM key) {
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
      case VK_UP: OnScroll(SB_VERT, SB_LINEUP); break;
      case VK_DOWN: OnScroll(SB_VERT, SB_LINEDOWN); break;
      case VK_PRIOR: OnScroll(SB_VERT, SB_PAGEUP); break;
      case VK_NEXT: case VK_SPACE: OnScroll(SB_VERT, SB_PAGEDOWN); break;
      case VK_HOME: OnScroll(SB_VERT, SB_TOP); break;
      case VK_END: OnScroll(SB_VERT, SB_BOTTOM); break;
      case VK_LEFT: OnScroll(SB_HORZ, SB_LINEUP); break;
      case VK_RIGHT: OnScroll(SB_HORZ, SB_LINEDOWN); break;
      case 'A': if (ctrl) SelectAll(); break;
      case 'C': case VK_INSERT: if (ctrl) Copy(); break;
      default: break;
    }
  }

  // ---- selection ----

  html::Hit HitAt(int x, int y) { return html::HitTest(layout_, page_, cache_, x + scrollX_, y + scrollY_); }

  void OnButtonDown(int x, int y, bool shift) {
    SetFocus(hwnd_);
    html::Hit hit = HitAt(x, y);
    caret_ = hit.offset;
    if (!shift) anchor_ = caret_;
    pressLink_ = hit.link;
    pressPoint_ = {x, y};
    dragged_ = false;
    selecting_ = true;
    SetCapture(hwnd_);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void OnDoubleClick(int x, int y) {
    html::Hit hit = HitAt(x, y);
    uint32_t start, end;
    html::WordAt(page_, hit.offset, start, end);
    anchor_ = start;
    caret_ = end;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void Extend(int x, int y) {
    if (std::abs(x - pressPoint_.x) > GetSystemMetrics(SM_CXDRAG) || std::abs(y - pressPoint_.y) > GetSystemMetrics(SM_CYDRAG)) {
      dragged_ = true;
    }
    lastMouse_ = {x, y};
    uint32_t before = caret_;
    caret_ = HitAt(x, y).offset;
    if (caret_ != before) InvalidateRect(hwnd_, nullptr, FALSE);
    SIZE c = ClientSize();
    bool outside = y < 0 || y >= c.cy;
    if (outside) SetTimer(hwnd_, kAutoScrollTimer, 50, nullptr); else KillTimer(hwnd_, kAutoScrollTimer);
  }

  void OnAutoScroll() {
    if (!selecting_) return;
    SIZE c = ClientSize();
    if (lastMouse_.y < 0) ScrollTo(scrollX_, scrollY_ - lineStep_);
    else if (lastMouse_.y >= c.cy) ScrollTo(scrollX_, scrollY_ + lineStep_);
    caret_ = HitAt(lastMouse_.x, lastMouse_.y).offset;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  void OnButtonUp(int x, int y) {
    if (!selecting_) return;
    bool click = !dragged_;
    int32_t link = pressLink_;
    ReleaseCapture();  // WM_CAPTURECHANGED ends the selecting
    if (click && link >= 0 && HitAt(x, y).link == link) OpenLink(page_.links[link]);
  }

  void SelectAll() {
    anchor_ = 0;
    caret_ = static_cast<uint32_t>(page_.text.size());
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  uint32_t SelectionStart() const { return std::min(anchor_, caret_); }
  uint32_t SelectionEnd() const { return std::max(anchor_, caret_); }

  void Copy() {
    if (SelectionEnd() <= SelectionStart()) return;
    std::u16string text = html::ExportText(std::u16string_view(page_.text).substr(SelectionStart(), SelectionEnd() - SelectionStart()));
    if (!OpenClipboard(hwnd_)) return;
    EmptyClipboard();
    ScopedGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    if (memory) {
      if (auto* p = static_cast<wchar_t*>(GlobalLock(memory.get()))) {
        std::copy(text.begin(), text.end(), p);
        p[text.size()] = L'\0';
        GlobalUnlock(memory.get());
        if (SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();  // the clipboard owns it now
      }
    }
    CloseClipboard();
  }

  void OnSetCursor() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    html::Hit hit = HitAt(p.x, p.y);
    LPCWSTR cursor = hit.link >= 0 ? IDC_HAND : (hit.onText ? IDC_IBEAM : IDC_ARROW);
    SetCursor(LoadCursorW(nullptr, cursor));
  }

  void OnContextMenu(int x, int y) {
    if (x == -1 && y == -1) {  // from the keyboard
      POINT p = {0, 0};
      ClientToScreen(hwnd_, &p);
      x = p.x;
      y = p.y;
    }
    ScopedMenu menu(CreatePopupMenu());
    if (!menu) return;
    bool any = SelectionEnd() > SelectionStart();
    AppendMenuW(menu.get(), MF_STRING | (any ? 0 : MF_GRAYED), kCopyCommand, L"复制(&C)");
    AppendMenuW(menu.get(), MF_STRING, kSelectAllCommand, L"全选(&A)");
    UINT command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, hwnd_, nullptr);
    if (command == kCopyCommand) Copy();
    if (command == kSelectAllCommand) SelectAll();
  }

  void OpenLink(const std::u16string& href) {
    std::u16string_view h = html::TrimSpaces(href);
    if (!h.empty() && h.front() == '#') {
      ScrollToAnchor(h.substr(1));
      return;
    }
    if (!OpensOutside(h)) return;  // relative and script addresses lead nowhere outside
    std::wstring address = ToWide(h);
#if QUORVANE_TEST_HOOKS
    if (g_linkOpener) {
      g_linkOpener(address.c_str());
      return;
    }
#endif
    ShellExecuteW(hwnd_, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  void OnDrop(HDROP drop) {
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length, L'\0');
    if (length > 0) DragQueryFileW(drop, 0, path.data(), length + 1);
    DragFinish(drop);
    if (length > 0) Navigate(path.c_str());
  }

  // ---- painting ----

  void Paint() {
    ScopedPaint paint(hwnd_);
    SIZE c = ClientSize();
    if (c.cx <= 0 || c.cy <= 0) return;
    if (!buffer_ || bufferSize_.cx < c.cx || bufferSize_.cy < c.cy) {
      buffer_.reset(CreateCompatibleBitmap(paint.get(), c.cx, c.cy));
      bufferSize_ = c;
    }
    ScopedMemoryDC dc(CreateCompatibleDC(paint.get()));
    if (!buffer_ || !dc) return;
    ScopedSelectObject bitmap(dc.get(), buffer_.get());
    GdiPainter painter(dc.get(), fonts_, cache_);
    painter.Fill({0, 0, c.cx, c.cy}, layout_.background);
    html::Selection sel;
    sel.start = SelectionStart();
    sel.end = SelectionEnd();
    bool focused = GetFocus() == hwnd_;
    sel.background = FromColorRef(GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    sel.color = FromColorRef(GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    html::PaintPage(layout_, page_, cache_, painter, {scrollX_, scrollY_, c.cx, c.cy}, -scrollX_, -scrollY_, sel);
    BitBlt(paint.get(), 0, 0, c.cx, c.cy, dc.get(), 0, 0, SRCCOPY);
  }

  HWND hwnd_;
  GdiFonts fonts_;
  html::FontCache cache_;
  ComPtr<HtmlDocument> document_;
  html::BoxTree page_;
  html::PageLayout layout_;
  std::wstring exported_;
  int layoutWidth_ = 0;
  int scrollX_ = 0, scrollY_ = 0;
  int lineStep_ = 16;
  int wheelRest_ = 0;
  bool updatingBars_ = false;
  uint32_t anchor_ = 0, caret_ = 0;
  bool selecting_ = false, dragged_ = false;
  int32_t pressLink_ = -1;
  POINT pressPoint_ = {}, lastMouse_ = {};
  std::wstring pendingAddress_;
  WPARAM navigation_ = 0;
  ScopedGdiObject buffer_;
  SIZE bufferSize_ = {};
};

WebView* ViewOf(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return nullptr;
  wchar_t name[64] = {};
  if (!GetClassNameW(hwnd, name, 64) || lstrcmpW(name, kWebViewClassName) != 0) return nullptr;
  return reinterpret_cast<WebView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK WebViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto view = std::make_unique<WebView>(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view.release()));
  }
  auto* view = reinterpret_cast<WebView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    std::unique_ptr<WebView> owned(view);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  if (!view) return DefWindowProcW(hwnd, message, wParam, lParam);
  return view->Handle(message, wParam, lParam);
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
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kWebViewClassName;
  return RegisterClassExW(&wc) != 0;
}

void WebViewNavigate(HWND view, const wchar_t* address) {
  if (WebView* v = ViewOf(view)) v->Navigate(address);
}

ComPtr<IDispatch> WebViewDocument(HWND view) {
  WebView* v = ViewOf(view);
  return v ? v->Document() : ComPtr<IDispatch>();
}

#if QUORVANE_TEST_HOOKS
void SetWebViewLinkOpenerForTests(WebViewLinkOpener opener) { g_linkOpener = opener; }
#endif
