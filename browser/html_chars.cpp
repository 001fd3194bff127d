#include "browser/html_chars.h"

namespace html {

bool EqualsNoCase(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool StartsWithNoCase(std::u16string_view a, std::string_view b) {
  return a.size() >= b.size() && EqualsNoCase(a.substr(0, b.size()), b);
}

std::u16string AsciiToUtf16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string_view TrimSpaces(std::u16string_view s) {
  while (!s.empty() && IsHtmlSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsHtmlSpace(s.back())) s.remove_suffix(1);
  return s;
}

char32_t CodePointAt(std::u16string_view s, size_t i, size_t* units) {
  char16_t c = s[i];
  if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
    *units = 2;
    return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
  }
  *units = 1;
  return c;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000 && cp <= 0x10FFFF) {
    cp -= 0x10000;
    out.push_back(char16_t(0xD800 + (cp >> 10)));
    out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(char16_t(cp));
  }
}

bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x2FFF) ||    // radicals, ideographic description
         (c >= 0x3000 && c <= 0x30FF) ||    // CJK punctuation, kana
         (c >= 0x3100 && c <= 0x31FF) ||    // bopomofo, kanbun, kana extensions
         (c >= 0x3200 && c <= 0x4DBF) ||    // enclosed, compatibility, extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||    // unified ideographs
         (c >= 0xA000 && c <= 0xA4CF) ||    // yi
         (c >= 0xAC00 && c <= 0xD7AF) ||    // hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||    // compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||    // compatibility forms
         (c >= 0xFF00 && c <= 0xFFEF) ||    // full-width forms
         (c >= 0x20000 && c <= 0x3FFFF);    // supplementary ideographs
}

bool NoBreakBefore(char32_t c) {
  switch (c) {
    case ',': case '.': case ';': case ':': case '!': case '?': case ')': case ']': case '}':
    case 0x2019: case 0x201D: case 0x2026: case 0x2030:
    case 0x3001: case 0x3002: case 0x3009: case 0x300B: case 0x300D: case 0x300F: case 0x3011:
    case 0x3015: case 0x3017: case 0x3019: case 0x301B: case 0x301E: case 0x30FC:
    case 0x3005: case 0x309D: case 0x309E: case 0x30FD: case 0x30FE:
    case 0xFF01: case 0xFF09: case 0xFF0C: case 0xFF0E: case 0xFF1A: case 0xFF1B: case 0xFF1F:
    case 0xFF3D: case 0xFF5D: case 0xFF60: case 0xFF61: case 0xFF63: case 0xFF64:
      return true;
    default:
      // Small kana are kept with the syllable before them.
      return c == 0x3041 || c == 0x3043 || c == 0x3045 || c == 0x3047 || c == 0x3049 || c == 0x3063 ||
             c == 0x3083 || c == 0x3085 || c == 0x3087 || c == 0x30A1 || c == 0x30A3 || c == 0x30A5 ||
             c == 0x30A7 || c == 0x30A9 || c == 0x30C3 || c == 0x30E3 || c == 0x30E5 || c == 0x30E7;
  }
}

bool NoBreakAfter(char32_t c) {
  switch (c) {
    case '(': case '[': case '{': case 0x2018: case 0x201C:
    case 0x3008: case 0x300A: case 0x300C: case 0x300E: case 0x3010: case 0x3014: case 0x3016:
    case 0x3018: case 0x301A: case 0x301D: case 0xFF08: case 0xFF3B: case 0xFF5B: case 0xFF5F:
    case 0xFF62:
      return true;
    default:
      return false;
  }
}

bool CanBreakBetween(char32_t before, char32_t after) {
  if (NoBreakBefore(after) || NoBreakAfter(before)) return false;
  if (before == 0x200B) return true;
  if (IsCjk(before) || IsCjk(after)) return true;
  // A hyphen inside a word: "keyword-research" may break after the hyphen.
  return before == '-' && IsAsciiAlnum(after);
}

}  // namespace html
