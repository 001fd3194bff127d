// Times the web view on large result blocks: write + close (parse, build, layout) of a 1 MB and a
// 2 MB statistics table, whose ratio shows whether the work grows linearly, and the time from
// "close" to the first finished paint of a 100 KB block. Prints figures; asserts nothing.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "browser/web_view.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A statistics table of about `bytes` bytes in code page 936, as the keyword service sends it.
std::wstring Block(size_t bytes) {
  std::wstring html = L"<div id=\"main\"><table border=1 cellspacing=0 cellpadding=4>"
                      L"<tr><th>关键词</th><th>日均搜索量</th><th>竞争程度</th><th>推荐出价</th></tr>";
  size_t size = 0;
  for (int i = 0; size < bytes; ++i) {
    std::wstring row = L"<tr><td>减肥方法 第" + std::to_wstring(i) + L"条 keyword " + std::to_wstring(i * 7) +
                       L"</td><td align=right>" + std::to_wstring(i * 37 % 100000) +
                       L"</td><td><font color=red>高</font></td><td>¥" + std::to_wstring(i % 9) + L".20</td></tr>\n";
    size += static_cast<size_t>(WideCharToMultiByte(936, 0, row.data(), static_cast<int>(row.size()), nullptr, 0, nullptr, nullptr));
    html += row;
  }
  return html + L"</table></div>";
}

HRESULT Call(IDispatch* doc, const wchar_t* name, const std::wstring* text) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = doc->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT arg;
  VariantInit(&arg);
  DISPPARAMS params = {nullptr, nullptr, 0, 0};
  if (text) {
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    params.rgvarg = &arg;
    params.cArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  hr = doc->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  VariantClear(&result);
  VariantClear(&arg);
  return hr;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The best of three write + close rounds, in milliseconds.
double WriteClose(HWND view, const std::wstring& block) {
  double best = 1e18;
  for (int round = 0; round < 3; ++round) {
    ComPtr<IDispatch> doc = WebViewDocument(view);
    double t0 = Now();
    Call(doc.get(), L"write", &block);
    Call(doc.get(), L"close", nullptr);
    best = std::min(best, Now() - t0);
    Pump();
  }
  return best;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  RegisterWebViewClass(GetModuleHandleW(nullptr));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ViewBenchHost";
  RegisterClassW(&wc);
  HWND host = CreateWindowExW(0, wc.lpszClassName, L"view bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 460,
                              nullptr, nullptr, wc.hInstance, nullptr);
  HWND view = CreateWindowExW(0, kWebViewClassName, L"", WS_CHILD | WS_VISIBLE, 0, 40, 800, 360, host, nullptr,
                              wc.hInstance, nullptr);
  Pump();

  std::wstring one = Block(1 << 20), two = Block(2 << 20), small = Block(100 << 10);
  WriteClose(view, small);  // warms the font caches
  double t1 = WriteClose(view, one);
  double t2 = WriteClose(view, two);
  std::printf("write+close+layout 1 MB block: %8.1f ms\n", t1);
  std::printf("write+close+layout 2 MB block: %8.1f ms\n", t2);
  std::printf("2 MB / 1 MB: %.2f (linear when <= 2.2)\n", t2 / t1);

  double bestPaint = 1e18;
  for (int round = 0; round < 5; ++round) {
    ComPtr<IDispatch> doc = WebViewDocument(view);
    Call(doc.get(), L"write", &small);
    double t0 = Now();
    Call(doc.get(), L"close", nullptr);
    UpdateWindow(view);  // the first paint of the new page, at once
    bestPaint = std::min(bestPaint, Now() - t0);
    Pump();
  }
  std::printf("close to first paint, 100 KB block: %6.1f ms\n", bestPaint);
  DestroyWindow(host);
  OleUninitialize();
  return 0;
}
