#include "browser/html_source.h"

#include <algorithm>

#include "browser/html_chars.h"

namespace html {
namespace {

uint32_t CodePageForLabel(std::string_view label) {
  std::string l;
  for (char c : label) l.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
  if (l == "utf-8" || l == "utf8" || l == "unicode-1-1-utf-8") return 65001;
  if (l == "gb2312" || l == "gbk" || l == "x-gbk" || l == "cp936" || l == "windows-936" || l == "chinese" ||
      l == "csgb2312" || l == "iso-ir-58")
    return 936;
  if (l == "gb18030") return 54936;
  if (l == "big5" || l == "big5-hkscs" || l == "cn-big5" || l == "x-x-big5") return 950;
  if (l == "shift_jis" || l == "shift-jis" || l == "sjis" || l == "windows-31j" || l == "x-sjis") return 932;
  if (l == "euc-kr" || l == "ks_c_5601-1987" || l == "windows-949") return 949;
  if (l == "iso-8859-1" || l == "latin1" || l == "windows-1252" || l == "us-ascii" || l == "ascii") return 1252;
  if (l == "utf-16" || l == "utf-16le") return 1200;
  if (l == "utf-16be") return 1201;
  return 0;
}

bool IsLabelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == ':' || c == '.';
}

// The charset named after "charset" somewhere in the head of the page.
uint32_t MetaCharset(std::string_view head) {
  std::string lower;
  for (char c : head) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
  size_t pos = 0;
  while ((pos = lower.find("<meta", pos)) != std::string::npos) {
    size_t end = lower.find('>', pos);
    if (end == std::string::npos) end = lower.size();
    std::string_view tag = std::string_view(lower).substr(pos, end - pos);
    size_t cs = tag.find("charset");
    if (cs != std::string_view::npos) {
      size_t i = cs + 7;
      while (i < tag.size() && (tag[i] == ' ' || tag[i] == '=' || tag[i] == '"' || tag[i] == '\'')) ++i;
      size_t start = i;
      while (i < tag.size() && IsLabelChar(tag[i])) ++i;
      if (uint32_t cp = CodePageForLabel(tag.substr(start, i - start))) {
        // A page that names UTF-16 in a meta is already read as bytes: it cannot be.
        return cp == 1200 || cp == 1201 ? 65001 : cp;
      }
    }
    pos = end;
  }
  return 0;
}

}  // namespace

uint32_t DetectCodePage(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return 65001;
  if (bytes.substr(0, 2) == "\xFF\xFE") return 1200;
  if (bytes.substr(0, 2) == "\xFE\xFF") return 1201;
  if (uint32_t cp = MetaCharset(bytes.substr(0, 1024))) return cp;
  return 936;
}

std::u16string DecodeUtf8(std::string_view b) {
  if (b.substr(0, 3) == "\xEF\xBB\xBF") b.remove_prefix(3);
  std::u16string out;
  out.reserve(b.size());
  size_t i = 0;
  while (i < b.size()) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int need = c >= 0xF0 && c <= 0xF4 ? 3 : (c >= 0xE0 ? 2 : (c >= 0xC2 && c < 0xE0 ? 1 : -1));
    if (c > 0xF4) need = -1;
    if (need < 0) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = need == 3 ? c & 0x07 : (need == 2 ? c & 0x0F : c & 0x1F);
    int k = 1;
    for (; k <= need && i + k < b.size(); ++k) {
      unsigned char cc = static_cast<unsigned char>(b[i + k]);
      if ((cc & 0xC0) != 0x80) break;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (k <= need || (need == 2 && cp < 0x800) || (need == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);  // one replacement for the bytes of one broken sequence
      i += k;
      continue;
    }
    AppendCodePoint(out, cp);
    i += need + 1;
  }
  return out;
}

std::u16string DecodeUtf16(std::string_view b, bool bigEndian) {
  std::u16string out;
  out.reserve(b.size() / 2);
  for (size_t i = 0; i + 1 < b.size(); i += 2) {
    unsigned char lo = static_cast<unsigned char>(b[i + (bigEndian ? 1 : 0)]);
    unsigned char hi = static_cast<unsigned char>(b[i + (bigEndian ? 0 : 1)]);
    out.push_back(char16_t(lo | (hi << 8)));
  }
  if (!out.empty() && out.front() == 0xFEFF) out.erase(out.begin());
  return out;
}

std::u16string PercentDecode(std::u16string_view s) {
  std::u16string out;
  std::string bytes;  // a run of escapes, read as UTF-8
  auto flush = [&] {
    if (!bytes.empty()) out += DecodeUtf8(bytes);
    bytes.clear();
  };
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && IsHexDigit(s[i + 1]) && IsHexDigit(s[i + 2])) {
      auto hex = [](char16_t c) { return IsAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; };
      bytes.push_back(static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
      i += 2;
      continue;
    }
    flush();
    out.push_back(s[i]);
  }
  flush();
  return out;
}

Address ParseAddress(std::u16string_view address) {
  Address a;
  std::u16string_view s = TrimSpaces(address);
  size_t hash = s.find('#');
  std::u16string_view withoutFragment = s;
  if (hash != std::u16string_view::npos && !StartsWithNoCase(s, "about:")) {
    a.fragment.assign(s.substr(hash + 1));
    withoutFragment = s.substr(0, hash);
  }
  if (EqualsNoCase(s, "about:blank") || s.empty()) {
    a.kind = AddressKind::kBlank;
    return a;
  }
  if (StartsWithNoCase(s, "http://") || StartsWithNoCase(s, "https://") || StartsWithNoCase(s, "ftp://")) {
    a.kind = AddressKind::kNetwork;
    return a;
  }
  if (StartsWithNoCase(s, "res://")) {
    std::u16string rest = PercentDecode(withoutFragment.substr(6));
    size_t slash = rest.rfind('/');
    if (slash == std::u16string::npos || slash == 0 || slash + 1 == rest.size()) return a;
    a.name = rest.substr(slash + 1);
    std::u16string before = rest.substr(0, slash);
    // "module/type/name" when the part before the name ends in a type that is no file name.
    size_t typeSlash = before.rfind('/');
    if (typeSlash != std::u16string::npos && before.substr(typeSlash + 1).find('.') == std::u16string::npos) {
      a.type = before.substr(typeSlash + 1);
      before = before.substr(0, typeSlash);
    }
    a.module = before;
    a.kind = AddressKind::kResource;
    return a;
  }
  if (StartsWithNoCase(s, "file:")) {
    std::u16string_view p = withoutFragment.substr(5);
    size_t slashes = 0;
    while (slashes < p.size() && p[slashes] == '/') ++slashes;
    std::u16string path;
    if (slashes == 2) {
      // file://server/share/x or file://C:/x
      std::u16string_view rest = p.substr(2);
      bool drive = rest.size() >= 2 && IsAsciiAlpha(rest[0]) && (rest[1] == ':' || rest[1] == '|');
      path = drive ? std::u16string(rest) : u"\\\\" + std::u16string(rest);
    } else {
      path = std::u16string(p.substr(slashes));
    }
    path = PercentDecode(path);
    for (char16_t& c : path) {
      if (c == '/') c = '\\';
    }
    if (path.size() >= 2 && path[1] == '|') path[1] = ':';
    a.path = path;
    a.kind = AddressKind::kFile;
    return a;
  }
  size_t colon = s.find(':');
  bool drive = s.size() >= 2 && IsAsciiAlpha(s[0]) && s[1] == ':';
  bool scheme = colon != std::u16string_view::npos && colon > 1 &&
                std::all_of(s.begin(), s.begin() + colon, [](char16_t c) { return IsAsciiAlnum(c) || c == '+' || c == '-' || c == '.'; });
  if (scheme && !drive) return a;  // mailto:, javascript: and the like: nothing to show
  a.kind = AddressKind::kFile;
  a.path.assign(withoutFragment);
  a.fragment.clear();
  if (hash != std::u16string_view::npos) a.path.assign(s);  // '#' is a valid file name character
  return a;
}

std::u16string EscapeHtml(std::u16string_view s) {
  std::u16string out;
  for (char16_t c : s) {
    switch (c) {
      case '&': out += u"&amp;"; break;
      case '<': out += u"&lt;"; break;
      case '>': out += u"&gt;"; break;
      case '"': out += u"&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

}  // namespace html
