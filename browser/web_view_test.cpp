// The web view control in a window of the test's own: documents through automation, addresses,
// text for WM_GETTEXT, selection and the clipboard, scrolling, drops and links.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "browser/web_view.h"
#include "e2e/driver.h"

namespace {

HRESULT CallMember(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, WORD flags = DISPATCH_METHOD,
                   VARIANT* result = nullptr) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // automation passes arguments last first
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  VARIANT ignored;
  VariantInit(&ignored);
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result : &ignored, nullptr, nullptr);
  VariantClear(&ignored);
  return hr;
}

struct Bstr {
  explicit Bstr(const std::wstring& s) { v.vt = VT_BSTR; v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size())); }
  ~Bstr() { VariantClear(&v); }
  VARIANT v;
};

HRESULT Write(IDispatch* doc, const std::wstring& html) {
  Bstr text(html);
  return CallMember(doc, L"write", {text.v});
}
HRESULT Close(IDispatch* doc) { return CallMember(doc, L"close", {}); }

std::wstring Clipboard() {
  std::wstring out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      out = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return out;
}

void ClearClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

std::vector<std::wstring> g_opened;
void RecordLink(const wchar_t* address) { g_opened.push_back(address); }

class WebViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    ASSERT_TRUE(RegisterWebViewClass(GetModuleHandleW(nullptr)));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WebViewTestHost";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
  }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    host_.reset(CreateWindowExW(0, L"WebViewTestHost", L"web view test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                820, 460, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(host_);
    view_ = CreateWindowExW(0, kWebViewClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 40, 800,
                            360, host_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(view_, nullptr);
    Pump();
  }
  void TearDown() override { SetWebViewLinkOpenerForTests(nullptr); }

  static void Pump() { e2e::WaitUntil([] { return false; }, 60); }

  // Writes a page into the current document and closes it.
  void Show(const std::wstring& html) {
    ComPtr<IDispatch> doc = WebViewDocument(view_);
    ASSERT_TRUE(doc);
    ASSERT_EQ(Write(doc.get(), html), S_OK);
    ASSERT_EQ(Close(doc.get()), S_OK);
    Pump();
  }
  std::wstring Text() { return e2e::WindowText(view_); }
  bool NavigateAndWait(const std::wstring& address, const std::wstring& before) {
    WebViewNavigate(view_, address.c_str());
    return e2e::WaitUntil([&] { return Text() != before; }, 3000);
  }
  POINT ViewPoint(int x, int y) {
    POINT p = {x, y};
    ClientToScreen(view_, &p);
    return p;
  }
  SCROLLINFO VerticalBar() {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(view_, SB_VERT, &si);
    return si;
  }

  ScopedWindow host_;
  HWND view_ = nullptr;
};

TEST_F(WebViewTest, StartsWithAnEmptyDocumentAndNoBorder) {
  EXPECT_EQ(Text(), L"");
  EXPECT_TRUE(WebViewDocument(view_));
  EXPECT_EQ(GetWindowLongPtrW(view_, GWL_STYLE) & WS_BORDER, 0);
  EXPECT_FALSE(WebViewDocument(host_.get()));
}

TEST_F(WebViewTest, WrittenTableShowsAsLinesAndTabs) {
  Show(L"<table border=1><tr><th>关键词</th><th>搜索量</th></tr><tr><td>减肥</td><td>12,000</td></tr></table><p>完");
  EXPECT_EQ(Text(), L"关键词\t搜索量\r\n减肥\t12,000\r\n完");
  EXPECT_EQ(SendMessageW(view_, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(Text().size()));
  wchar_t small[4] = {};
  EXPECT_EQ(SendMessageW(view_, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
  EXPECT_STREQ(small, L"关键词");
}

TEST_F(WebViewTest, WritesCollectUntilCloseAndALoadedDocumentStartsAnew) {
  ComPtr<IDispatch> doc = WebViewDocument(view_);
  ASSERT_TRUE(doc);
  Write(doc.get(), L"<b>a");
  Write(doc.get(), L"b</b>");
  EXPECT_EQ(Text(), L"");  // shown once closed
  Close(doc.get());
  EXPECT_EQ(Text(), L"ab");
  Write(doc.get(), L"c");
  Close(doc.get());
  EXPECT_EQ(Text(), L"c");
  Write(doc.get(), L"");
  Close(doc.get());
  EXPECT_EQ(Text(), L"");
  VARIANT state;
  VariantInit(&state);
  ASSERT_EQ(CallMember(doc.get(), L"readyState", {}, DISPATCH_PROPERTYGET, &state), S_OK);
  ASSERT_EQ(state.vt, VT_BSTR);
  EXPECT_STREQ(state.bstrVal, L"complete");
  VariantClear(&state);
}

TEST_F(WebViewTest, MembersAreFoundByNameAsAutomationDoes) {
  ComPtr<IDispatch> doc = WebViewDocument(view_);
  ASSERT_TRUE(doc);
  EXPECT_EQ(CallMember(doc.get(), L"nonexistent", {}), DISP_E_UNKNOWNNAME);
  VARIANT none;
  VariantInit(&none);
  DISPPARAMS params = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(doc->Invoke(12345, IID_NULL, 0, DISPATCH_METHOD, &params, &none, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  Bstr a(L"a"), b(L"b");
  EXPECT_EQ(CallMember(doc.get(), L"write", {a.v, b.v}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(CallMember(doc.get(), L"WRITE", {a.v}), S_OK);  // names are not case sensitive
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 42;
  EXPECT_EQ(CallMember(doc.get(), L"write", {number}), S_OK);  // converted to text
  EXPECT_EQ(Close(doc.get()), S_OK);
  EXPECT_EQ(Text(), L"a42");

  ComPtr<ITypeInfo> info;
  ASSERT_EQ(doc->GetTypeInfo(0, 0, info.put()), S_OK);
  MEMBERID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"close")};
  EXPECT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK);
}

TEST_F(WebViewTest, DocumentOutlivesItsViewHarmlessly) {
  ComPtr<IDispatch> doc = WebViewDocument(view_);
  DestroyWindow(view_);
  EXPECT_EQ(Write(doc.get(), L"late"), S_OK);
  EXPECT_EQ(Close(doc.get()), S_OK);
}

TEST_F(WebViewTest, NavigationReturnsAtOnceAndReplacesTheDocument) {
  Show(L"old");
  ComPtr<IDispatch> before = WebViewDocument(view_);
  WebViewNavigate(view_, L"about:blank");
  EXPECT_EQ(Text(), L"old");  // loading goes on while messages are dispatched
  ASSERT_TRUE(e2e::WaitUntil([&] { return Text().empty(); }, 3000));
  ComPtr<IDispatch> after = WebViewDocument(view_);
  EXPECT_NE(before.get(), after.get());
  Write(before.get(), L"stale");
  Close(before.get());
  EXPECT_EQ(Text(), L"");  // the replaced document is no longer shown
}

TEST_F(WebViewTest, ShowsPagesEmbeddedInTheExecutable) {
  ASSERT_TRUE(NavigateAndWait(L"res://web_view_test.exe/test.html", L""));
  EXPECT_EQ(Text().substr(0, 23), L"嵌入的网页\r\n第一段 text\r\nfiller");
  EXPECT_EQ(VerticalBar().nPos, 0);
  WebViewNavigate(view_, L"about:blank");
  e2e::WaitUntil([&] { return Text().empty(); }, 3000);
  ASSERT_TRUE(NavigateAndWait(L"res://web_view_test.exe/23/TEST.HTML#end", L""));
  EXPECT_GT(VerticalBar().nPos, 1000);  // scrolled to the anchor
  ASSERT_TRUE(NavigateAndWait(L"res://web_view_test.exe/missing.html", Text()));
  EXPECT_NE(Text().find(L"无法显示此网页"), std::wstring::npos);
}

TEST_F(WebViewTest, ShowsLocalFilesInTheirCodePage) {
  e2e::TempFolder folder;
  std::wstring gbk = folder.file(L"gbk.html"), utf8 = folder.file(L"utf8.html");
  {
    ScopedFile f(CreateFileW(gbk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD n;
    WriteFile(f.get(), "<p>\xD6\xD0\xCE\xC4</p>", 12, &n, nullptr);
  }
  {
    ScopedFile f(CreateFileW(utf8.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD n;
    const char page[] = "<meta charset=utf-8><p>\xE4\xB8\xAD\xE6\x96\x87 utf</p>";
    WriteFile(f.get(), page, sizeof(page) - 1, &n, nullptr);
  }
  ASSERT_TRUE(NavigateAndWait(gbk, L""));
  EXPECT_EQ(Text(), L"中文");
  std::wstring url = L"file:///" + utf8;
  for (wchar_t& c : url) {
    if (c == L'\\') c = L'/';
  }
  ASSERT_TRUE(NavigateAndWait(url, Text()));
  EXPECT_EQ(Text(), L"中文 utf");
  ASSERT_TRUE(NavigateAndWait(folder.file(L"none.html"), Text()));
  EXPECT_NE(Text().find(L"无法显示此网页"), std::wstring::npos);
}

TEST_F(WebViewTest, NetworkAddressesShowTheOfflinePage) {
  ASSERT_TRUE(NavigateAndWait(L"http://127.0.0.1:9/word/<b>x</b>.html", L""));
  std::wstring text = Text();
  EXPECT_NE(text.find(L"脱机状态下无法显示此网页"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"http://127.0.0.1:9/word/<b>x</b>.html"), std::wstring::npos) << text;
}

TEST_F(WebViewTest, DroppedFilesAreNavigatedTo) {
  e2e::TempFolder folder;
  std::wstring path = folder.file(L"dropped.html");
  {
    ScopedFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD n;
    WriteFile(f.get(), "dropped", 7, &n, nullptr);
  }
  size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);  // the view frees it with DragFinish
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(drop + 1));
  GlobalUnlock(memory);
  PostMessageW(view_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return Text() == L"dropped"; }, 3000)) << Text();
}

TEST_F(WebViewTest, MouseSelectionAndCtrlCCopyToTheClipboard) {
  Show(L"<p>first line of text</p><p>第二行</p>");
  ClearClipboard();
  e2e::Bring(host_.get());
  POINT from = ViewPoint(2, 16), to = ViewPoint(700, 16);
  e2e::DragMouse(from.x, from.y, to.x, to.y);
  Pump();
  e2e::PressKey('C', false, false, true);
  ASSERT_TRUE(e2e::WaitUntil([] { return !Clipboard().empty(); }, 3000));
  EXPECT_EQ(Clipboard(), L"first line of text");
  e2e::PressKey('A', false, false, true);
  e2e::PressKey('C', false, false, true);
  EXPECT_TRUE(e2e::WaitUntil([] { return Clipboard() == L"first line of text\r\n第二行"; }, 3000)) << Clipboard();
}

TEST_F(WebViewTest, ContextMenuSelectsAll) {
  Show(L"menu text");
  ClearClipboard();
  e2e::Bring(host_.get());
  POINT p = ViewPoint(200, 200);
  e2e::ClickAt(p.x, p.y);
  Pump();
  // The context menu from the keyboard, then its 全选 by its access key: both are queued before the
  // menu's own message loop (on this thread) reads them.
  e2e::PressKey(VK_F10, true);
  e2e::PressKey('A');
  Pump();
  e2e::PressKey('C', false, false, true);
  EXPECT_TRUE(e2e::WaitUntil([] { return Clipboard() == L"menu text"; }, 3000)) << Clipboard();
}

TEST_F(WebViewTest, LongDocumentsScrollWithKeysAndWheel) {
  std::wstring html;
  for (int i = 0; i < 300; ++i) html += L"<p>第 " + std::to_wstring(i) + L" 行</p>";
  Show(html);
  SCROLLINFO si = VerticalBar();
  EXPECT_EQ(si.nPos, 0);
  EXPECT_GT(si.nMax, 300 * 20);
  e2e::Bring(host_.get());
  POINT p = ViewPoint(400, 100);
  e2e::ClickAt(p.x, p.y);
  e2e::PressKey(VK_NEXT);
  ASSERT_TRUE(e2e::WaitUntil([&] { return VerticalBar().nPos > 200; }, 3000));
  e2e::PressKey(VK_END);
  ASSERT_TRUE(e2e::WaitUntil([&] { return VerticalBar().nPos + static_cast<int>(VerticalBar().nPage) == VerticalBar().nMax + 1; }, 3000));
  e2e::PressKey(VK_HOME);
  ASSERT_TRUE(e2e::WaitUntil([&] { return VerticalBar().nPos == 0; }, 3000));
  SendMessageW(view_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(p.x, p.y));
  EXPECT_GT(VerticalBar().nPos, 0);
  SendMessageW(view_, WM_VSCROLL, SB_LINEDOWN, 0);
  int afterLine = VerticalBar().nPos;
  SendMessageW(view_, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_LT(VerticalBar().nPos, afterLine);
}

TEST_F(WebViewTest, WideContentScrollsSideways) {
  Show(L"<nobr>" + std::wstring(400, L'x') + L"</nobr>");
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(view_, SB_HORZ, &si);
  EXPECT_GT(si.nMax + 1, static_cast<int>(si.nPage));
  SendMessageW(view_, WM_HSCROLL, SB_PAGEDOWN, 0);
  GetScrollInfo(view_, SB_HORZ, &si);
  EXPECT_GT(si.nPos, 0);
  Show(L"narrow");
  GetScrollInfo(view_, SB_HORZ, &si);
  EXPECT_EQ(si.nPos, 0);
}

TEST_F(WebViewTest, ClickedLinksOpenOutsideOnlyForWebAddresses) {
  SetWebViewLinkOpenerForTests(RecordLink);
  g_opened.clear();
  Show(L"<a href='http://example.com/x'>web link</a><br><a href='javascript:alert(1)'>script link</a>");
  e2e::Bring(host_.get());
  POINT web = ViewPoint(20, 16), script = ViewPoint(20, 16 + 20);
  e2e::ClickAt(web.x, web.y);
  e2e::ClickAt(script.x, script.y);
  Pump();
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_EQ(g_opened[0], L"http://example.com/x");
}

TEST_F(WebViewTest, StatisticsTablePicture) {
  Show(L"<h3>“减肥”的关键词统计（示例数据）</h3>"
       L"<table border=1 cellspacing=0 cellpadding=4><tr><th>关键词</th><th>日均搜索量</th><th>竞争程度</th><th>推荐出价</th></tr>"
       L"<tr><td>减肥方法</td><td align=right>12,400</td><td><font color=red>高</font></td><td>¥3.20</td></tr>"
       L"<tr bgcolor=#f0f0f0><td>减肥食谱一周瘦十斤</td><td align=right>8,150</td><td>中</td><td>¥2.05</td></tr>"
       L"<tr><td>快速减肥 <b>exercise</b></td><td align=right>960</td><td style='color:green'>低</td><td>¥0.80</td></tr>"
       L"</table><p>数据来源：<a href='http://example.com/'>示例服务</a>，仅供演示。</p><hr><ul><li>第一条<li>第二条</ul>");
  EXPECT_NE(Text().find(L"关键词\t日均搜索量\t竞争程度\t推荐出价"), std::wstring::npos);
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"QV_VIEW_SHOT", path, MAX_PATH)) {
    RedrawWindow(host_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    EXPECT_TRUE(e2e::SaveWindowBitmap(view_, path));
  }
}

}  // namespace
