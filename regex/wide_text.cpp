#include "regex/wide_text.h"

#include <algorithm>
#include <string>

Text WideToText(UINT codePage, DWORD flags, const wchar_t* units, int count) {
  if (!units || count <= 0) return Text();
  const int size = WideCharToMultiByte(codePage, flags, units, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return Text();
  std::string out(static_cast<size_t>(size), '\0');
  const int written = WideCharToMultiByte(codePage, flags, units, count, out.data(), size, nullptr, nullptr);
  if (written <= 0) return Text();
  out.resize(std::min(out.find('\0'), static_cast<size_t>(written)));
  return TextFromTrustedBytes(std::move(out));
}
