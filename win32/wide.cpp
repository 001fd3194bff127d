#include "win32/wide.h"

#include <windows.h>

namespace {
constexpr UINT kCodePage936 = 936;
}

std::wstring WideFromCp936(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(kCodePage936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(kCodePage936, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Cp936FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(kCodePage936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(kCodePage936, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}
