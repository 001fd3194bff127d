#include "lookup/result_view.h"

#include <string>

#include "browser/web_view.h"

namespace {

// Text handed to the browser control goes through the system's ANSI code page.
std::wstring WideFromAnsi(const Text& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), text.length(), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), text.length(), wide.data(), n);
  return wide;
}

}  // namespace

void NavigateView(HWND view, const Text& address) {
  if (!view) return;
  WebViewNavigate(view, WideFromAnsi(address).c_str());
}

void GetViewDocument(HWND view, ComObject& holder) {
  holder.Clear();
  if (view) holder = ComObject(WebViewDocument(view));
}

void WriteDocument(const ComObject& document, const Text& html) {
  // The results are objects the program does not look at; they are released at once.
  document.CallObject(L"write", {html});
  document.CallObject(L"close");
}
