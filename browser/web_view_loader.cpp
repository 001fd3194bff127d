#include "browser/web_view_loader.h"

#include <windows.h>

#include <cwctype>

#include "browser/html_source.h"
#include "win32/scoped.h"

namespace {

constexpr LONGLONG kLargestFile = 256LL << 20;

std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

std::u16string MessagePage(const wchar_t* title, const wchar_t* note, std::wstring_view address) {
  std::u16string page = u"<h3>" + ToU16(title) + u"</h3><p>" + ToU16(note) + u"</p><p>";
  page += html::EscapeHtml(ToU16(address));
  page += u"</p>";
  return page;
}

std::u16string OfflinePage(std::wstring_view address) {
  return MessagePage(L"脱机状态下无法显示此网页", L"本查看器只显示本机上的网页，不从网络读取。网页地址：", address);
}

std::u16string NotFoundPage(std::wstring_view address) {
  return MessagePage(L"无法显示此网页", L"找不到要显示的网页：", address);
}

bool SameFileName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

std::wstring_view BaseName(std::wstring_view path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// A resource name or type as FindResource takes it: "#23" and "23" are numbers.
struct ResourceId {
  std::wstring text;
  WORD number = 0;
  LPCWSTR get() const { return number ? MAKEINTRESOURCEW(number) : text.c_str(); }
};

ResourceId ReadResourceId(std::u16string_view s) {
  ResourceId id;
  std::u16string_view digits = !s.empty() && s[0] == '#' ? s.substr(1) : s;
  bool numeric = !digits.empty() && digits.size() <= 5;
  unsigned value = 0;
  for (char16_t c : digits) {
    numeric = numeric && c >= '0' && c <= '9';
    if (numeric) value = value * 10 + (c - '0');
  }
  if (numeric && value > 0 && value <= 0xFFFF) id.number = static_cast<WORD>(value);
  else id.text = ToWide(s);
  return id;
}

bool ReadResource(const html::Address& a, std::string& bytes) {
  std::wstring module = ToWide(a.module);
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  HMODULE handle = nullptr;
  ScopedModule loaded;
  if (SameFileName(module, self) || SameFileName(module, BaseName(self))) {
    handle = GetModuleHandleW(nullptr);
  } else if (HMODULE already = GetModuleHandleW(module.c_str())) {
    handle = already;
  } else {
    loaded.reset(LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    handle = loaded.get();
  }
  if (!handle) return false;
  ResourceId name = ReadResourceId(a.name);
  ResourceId type = a.type.empty() ? ResourceId{L"", 23} : ReadResourceId(a.type);  // RT_HTML
  HRSRC found = FindResourceW(handle, name.get(), type.get());
  if (!found) return false;
  HGLOBAL data = LoadResource(handle, found);  // resources are not freed by their users
  const void* p = data ? LockResource(data) : nullptr;
  if (!p) return false;
  bytes.assign(static_cast<const char*>(p), SizeofResource(handle, found));
  return true;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestFile) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr) || got == 0) {
      return false;
    }
    done += got;
  }
  return true;
}

}  // namespace

std::u16string DecodePageBytes(std::string_view bytes) {
  uint32_t cp = html::DetectCodePage(bytes);
  if (cp == 65001) return html::DecodeUtf8(bytes);
  if (cp == 1200 || cp == 1201) return html::DecodeUtf16(bytes, cp == 1201);
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0 && cp != 936) {
    cp = 936;
    n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  }
  std::u16string out(static_cast<size_t>(n > 0 ? n : 0), u'\0');
  if (n > 0) MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

LoadedPage LoadAddress(std::wstring_view address) {
  LoadedPage page;
  html::Address a = html::ParseAddress(ToU16(address));
  page.fragment = a.fragment;
  std::string bytes;
  switch (a.kind) {
    case html::AddressKind::kBlank:
      break;
    case html::AddressKind::kNetwork:
      page.html = OfflinePage(address);
      break;
    case html::AddressKind::kResource:
      page.html = ReadResource(a, bytes) ? DecodePageBytes(bytes) : NotFoundPage(address);
      break;
    case html::AddressKind::kFile:
      page.html = ReadFileBytes(ToWide(a.path), bytes) ? DecodePageBytes(bytes) : NotFoundPage(address);
      break;
    case html::AddressKind::kUnknown:
      page.html = NotFoundPage(address);
      break;
  }
  return page;
}
