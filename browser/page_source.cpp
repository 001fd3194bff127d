#include "browser/page_source.h"

#include <windows.h>

#include "win32/scoped.h"
#include "win32/wide.h"

namespace {

const wchar_t kOfflinePage[] =
    L"<html><body><h2>无法显示此页</h2><p>此窗口处于脱机状态，不访问网络。</p></body></html>";
const wchar_t kMissingPage[] = L"<html><body><h2>找不到页面</h2></body></html>";

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const size_t n = wcslen(prefix);
  return text.size() >= n && _wcsnicmp(text.c_str(), prefix, n) == 0;
}

std::string ReadWholeFile(const std::wstring& path, bool* ok) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  *ok = file.valid();
  std::string bytes;
  if (!file) return bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &n, nullptr) && n > 0) bytes.append(buffer, n);
  return bytes;
}

// res://<module>/<resource>: an HTML resource of a module (the running executable when the module
// is its own file name).
std::wstring LoadResourcePage(const std::wstring& rest) {
  const size_t slash = rest.rfind(L'/');
  if (slash == std::wstring::npos) return kMissingPage;
  const std::wstring moduleName = rest.substr(0, slash);
  const std::wstring resourceName = rest.substr(slash + 1);
  HMODULE module = GetModuleHandleW(moduleName.c_str());
  ScopedModule loaded;
  if (!module) {
    loaded.reset(LoadLibraryExW(moduleName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    module = loaded.get();
  }
  if (!module) return kMissingPage;
  HRSRC info = FindResourceW(module, resourceName.c_str(), RT_HTML);
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return kMissingPage;
  return DecodePageBytes(std::string(static_cast<const char*>(bytes), SizeofResource(module, info)));
}

std::wstring FilePathOf(const std::wstring& address) {
  std::wstring path = address;
  if (StartsWithNoCase(path, L"file:///")) path = path.substr(8);
  else if (StartsWithNoCase(path, L"file://")) path = path.substr(7);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

}  // namespace

std::wstring DecodePageBytes(const std::string& bytes) {
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), out.data(), n);
    return out;
  }
  return WideFromCp936(bytes);
}

std::wstring LoadPageSource(const std::wstring& address) {
  if (address.empty() || _wcsicmp(address.c_str(), L"about:blank") == 0) return L"";
  if (StartsWithNoCase(address, L"res://")) return LoadResourcePage(address.substr(6));
  if (StartsWithNoCase(address, L"http:") || StartsWithNoCase(address, L"https:") ||
      StartsWithNoCase(address, L"ftp:"))
    return kOfflinePage;
  bool ok = false;
  std::string bytes = ReadWholeFile(FilePathOf(address), &ok);
  return ok ? DecodePageBytes(bytes) : kMissingPage;
}
