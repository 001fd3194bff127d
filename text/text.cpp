#include "text/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x80; }

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

bool BytesEqual(const char* a, const char* b, size_t n, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(a, b, n) == 0;
  for (size_t i = 0; i < n; ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

template <typename MapAscii>
Text MapCase(const Text& t, MapAscii map) {
  std::string out(t.view());
  for (size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      ++i;  // the trail byte is copied unchanged, even an ASCII letter
      continue;
    }
    out[i] = static_cast<char>(map(c));
  }
  return TextFromTrustedBytes(std::move(out));
}

// Full-width ASCII forms (A3 A1..A3 FE) and a few punctuation marks become single bytes.
std::string NarrowFullWidth(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    auto c = static_cast<unsigned char>(in[i]);
    if (!IsLeadByte(c)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    if (i + 1 >= in.size()) {
      out.push_back(static_cast<char>(c));
      break;
    }
    auto d = static_cast<unsigned char>(in[i + 1]);
    ++i;
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      out.push_back(static_cast<char>(d - 0x80));
    } else if (c == 0xA1 && d == 0xA1) {
      out.push_back(' ');
    } else if (c == 0xA1 && d == 0xAB) {
      out.push_back('~');
    } else if (c == 0xA1 && (d == 0xEE || d == 0xEF)) {
      out.push_back('*');
    } else {
      out.push_back(static_cast<char>(c));
      out.push_back(static_cast<char>(d));
    }
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads [sign] digits [. digits] [(e|E) [sign] digits] from the start of s; 0 when no number.
double ReadDecimal(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const size_t start = i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      end = j;
    }
  }
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(s.data() + start, s.data() + end, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small gives zero, as strtod does.
    const auto e = s.find_first_of("eE", start);
    const bool tiny = e != std::string_view::npos && e < end && s.substr(e + 1, 1) == "-";
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

Text::Text(const char* zeroTerminated) {
  if (zeroTerminated) bytes_.assign(zeroTerminated);
}

Text::Text(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\0'))) {}

Text TextFromTrustedBytes(std::string&& bytes) {
  Text t;
  t.bytes_ = std::move(bytes);
  return t;
}

int32_t TextLength(const Text& t) { return t.length(); }

Text JoinTexts(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (auto p : parts) total += p.substr(0, p.find('\0')).size();
  std::string out;
  out.reserve(total);
  for (auto p : parts) out.append(p.substr(0, p.find('\0')));
  return TextFromTrustedBytes(std::move(out));
}

int CompareTexts(const Text& a, const Text& b) {
  const int c = a.view().compare(b.view());  // char_traits<char> compares as unsigned char
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareTextsNoCase(const Text& a, const Text& b) {
  const size_t n = std::min(a.view().size(), b.view().size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = FoldAscii(a.at(i));
    const unsigned char y = FoldAscii(b.at(i));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.view().size() == b.view().size()) return 0;
  return a.view().size() < b.view().size() ? -1 : 1;
}

Text TextLeft(const Text& t, int32_t count) {
  if (count <= 0) return Text();
  return Text(t.view().substr(0, static_cast<size_t>(count)));
}

Text TextRight(const Text& t, int32_t count) {
  if (count <= 0) return Text();
  const size_t n = std::min(static_cast<size_t>(count), t.view().size());
  return Text(t.view().substr(t.view().size() - n));
}

Text TextMid(const Text& t, int32_t start, int32_t count) {
  const int64_t p = static_cast<int64_t>(start) - 1;
  if (p < 0 || p >= t.length() || count <= 0) return Text();
  return Text(t.view().substr(static_cast<size_t>(p), static_cast<size_t>(count)));
}

int32_t FindText(const Text& t, const Text& sub, std::optional<int32_t> start, bool ignoreCase) {
  const std::string_view hay = t.view();
  const std::string_view needle = sub.view();
  size_t offset = (start && *start >= 1) ? static_cast<size_t>(*start - 1) : 0;
  if (offset >= hay.size()) return -1;
  if (needle.empty()) return 1;
  while (offset + needle.size() <= hay.size()) {
    if (BytesEqual(hay.data() + offset, needle.data(), needle.size(), ignoreCase))
      return static_cast<int32_t>(offset + 1);
    const auto c = static_cast<unsigned char>(hay[offset]);
    if (IsLeadByte(c) && offset + 1 == hay.size()) break;
    offset += IsLeadByte(c) ? 2 : 1;
  }
  return -1;
}

Text ToUpperCase(const Text& t) {
  return MapCase(t, [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; });
}

Text ToLowerCase(const Text& t) {
  return MapCase(t, [](unsigned char c) { return FoldAscii(c); });
}

double TextToNumber(const Text& t) { return ReadDecimal(NarrowFullWidth(t.view())); }

int32_t TruncateToInteger(double value) {
  // Values outside the 32-bit range are clamped; NaN gives 0.
  if (std::isnan(value)) return 0;
  const double truncated = std::trunc(value);
  if (truncated >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (truncated <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(truncated);
}

Text IntegerToText(int32_t value) { return TextFromTrustedBytes(std::to_string(value)); }

Text ReplaceTextRange(const Text& t, int32_t start, int32_t count, const std::optional<Text>& insert) {
  const int64_t length = t.length();
  const auto p = static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(int64_t{start} - 1, 0), length));
  std::string out(t.view());
  if (count > 0) out.erase(p, std::min<size_t>(static_cast<size_t>(count), out.size() - p));
  if (insert) out.insert(p, insert->view());
  return TextFromTrustedBytes(std::move(out));
}

Text ReplaceSubText(const Text& t, const Text& sub, const Text& replacement, bool caseSensitive) {
  const std::string_view hay = t.view();
  const std::string_view needle = sub.view();
  if (hay.empty() || needle.empty()) return t;
  std::string out;
  out.reserve(hay.size());
  size_t i = 0;
  while (i < hay.size()) {
    if (i + needle.size() <= hay.size() &&
        BytesEqual(hay.data() + i, needle.data(), needle.size(), !caseSensitive)) {
      out.append(replacement.view());
      i += needle.size();
      continue;
    }
    const size_t step = (IsLeadByte(static_cast<unsigned char>(hay[i])) && i + 1 < hay.size()) ? 2 : 1;
    out.append(hay.substr(i, step));
    i += step;
  }
  return TextFromTrustedBytes(std::move(out));
}

Text BlankText(int32_t count) {
  if (count < 1) return Text();
  return TextFromTrustedBytes(std::string(static_cast<size_t>(count), ' '));
}
