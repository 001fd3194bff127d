#include "browser/html_entities.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "browser/html_chars.h"

namespace html {
namespace {

struct Entity {
  const char* name;
  char32_t value;
  bool legacy;  // also recognised without the ';'
};

// Sorted by name (byte order) for binary search.
constexpr Entity kEntities[] = {
    {"AElig", 0x00C6, true},
    {"AMP", 0x0026, true},
    {"Aacute", 0x00C1, true},
    {"Acirc", 0x00C2, true},
    {"Agrave", 0x00C0, true},
    {"Alpha", 0x0391, false},
    {"Aring", 0x00C5, true},
    {"Atilde", 0x00C3, true},
    {"Auml", 0x00C4, true},
    {"Beta", 0x0392, false},
    {"COPY", 0x00A9, true},
    {"Ccedil", 0x00C7, true},
    {"Chi", 0x03A7, false},
    {"Dagger", 0x2021, false},
    {"Delta", 0x0394, false},
    {"ETH", 0x00D0, true},
    {"Eacute", 0x00C9, true},
    {"Ecirc", 0x00CA, true},
    {"Egrave", 0x00C8, true},
    {"Epsilon", 0x0395, false},
    {"Eta", 0x0397, false},
    {"Euml", 0x00CB, true},
    {"GT", 0x003E, true},
    {"Gamma", 0x0393, false},
    {"Iacute", 0x00CD, true},
    {"Icirc", 0x00CE, true},
    {"Igrave", 0x00CC, true},
    {"Iota", 0x0399, false},
    {"Iuml", 0x00CF, true},
    {"Kappa", 0x039A, false},
    {"LT", 0x003C, true},
    {"Lambda", 0x039B, false},
    {"Mu", 0x039C, false},
    {"Ntilde", 0x00D1, true},
    {"Nu", 0x039D, false},
    {"OElig", 0x0152, false},
    {"Oacute", 0x00D3, true},
    {"Ocirc", 0x00D4, true},
    {"Ograve", 0x00D2, true},
    {"Omega", 0x03A9, false},
    {"Omicron", 0x039F, false},
    {"Oslash", 0x00D8, true},
    {"Otilde", 0x00D5, true},
    {"Ouml", 0x00D6, true},
    {"Phi", 0x03A6, false},
    {"Pi", 0x03A0, false},
    {"Prime", 0x2033, false},
    {"Psi", 0x03A8, false},
    {"QUOT", 0x0022, true},
    {"REG", 0x00AE, true},
    {"Rho", 0x03A1, false},
    {"Scaron", 0x0160, false},
    {"Sigma", 0x03A3, false},
    {"THORN", 0x00DE, true},
    {"Tau", 0x03A4, false},
    {"Theta", 0x0398, false},
    {"Uacute", 0x00DA, true},
    {"Ucirc", 0x00DB, true},
    {"Ugrave", 0x00D9, true},
    {"Upsilon", 0x03A5, false},
    {"Uuml", 0x00DC, true},
    {"Xi", 0x039E, false},
    {"Yacute", 0x00DD, true},
    {"Yuml", 0x0178, false},
    {"Zeta", 0x0396, false},
    {"aacute", 0x00E1, true},
    {"acirc", 0x00E2, true},
    {"acute", 0x00B4, true},
    {"aelig", 0x00E6, true},
    {"agrave", 0x00E0, true},
    {"alefsym", 0x2135, false},
    {"alpha", 0x03B1, false},
    {"amp", 0x0026, true},
    {"and", 0x2227, false},
    {"ang", 0x2220, false},
    {"apos", 0x0027, false},
    {"aring", 0x00E5, true},
    {"asymp", 0x2248, false},
    {"atilde", 0x00E3, true},
    {"auml", 0x00E4, true},
    {"bdquo", 0x201E, false},
    {"beta", 0x03B2, false},
    {"brvbar", 0x00A6, true},
    {"bull", 0x2022, false},
    {"cap", 0x2229, false},
    {"ccedil", 0x00E7, true},
    {"cedil", 0x00B8, true},
    {"cent", 0x00A2, true},
    {"chi", 0x03C7, false},
    {"circ", 0x02C6, false},
    {"clubs", 0x2663, false},
    {"cong", 0x2245, false},
    {"copy", 0x00A9, true},
    {"crarr", 0x21B5, false},
    {"cup", 0x222A, false},
    {"curren", 0x00A4, true},
    {"dArr", 0x21D3, false},
    {"dagger", 0x2020, false},
    {"darr", 0x2193, false},
    {"deg", 0x00B0, true},
    {"delta", 0x03B4, false},
    {"diams", 0x2666, false},
    {"divide", 0x00F7, true},
    {"eacute", 0x00E9, true},
    {"ecirc", 0x00EA, true},
    {"egrave", 0x00E8, true},
    {"empty", 0x2205, false},
    {"emsp", 0x2003, false},
    {"ensp", 0x2002, false},
    {"epsilon", 0x03B5, false},
    {"equiv", 0x2261, false},
    {"eta", 0x03B7, false},
    {"eth", 0x00F0, true},
    {"euml", 0x00EB, true},
    {"euro", 0x20AC, false},
    {"exist", 0x2203, false},
    {"fnof", 0x0192, false},
    {"forall", 0x2200, false},
    {"frac12", 0x00BD, true},
    {"frac14", 0x00BC, true},
    {"frac34", 0x00BE, true},
    {"frasl", 0x2044, false},
    {"gamma", 0x03B3, false},
    {"ge", 0x2265, false},
    {"gt", 0x003E, true},
    {"hArr", 0x21D4, false},
    {"harr", 0x2194, false},
    {"hearts", 0x2665, false},
    {"hellip", 0x2026, false},
    {"iacute", 0x00ED, true},
    {"icirc", 0x00EE, true},
    {"iexcl", 0x00A1, true},
    {"igrave", 0x00EC, true},
    {"image", 0x2111, false},
    {"infin", 0x221E, false},
    {"int", 0x222B, false},
    {"iota", 0x03B9, false},
    {"iquest", 0x00BF, true},
    {"isin", 0x2208, false},
    {"iuml", 0x00EF, true},
    {"kappa", 0x03BA, false},
    {"lArr", 0x21D0, false},
    {"lambda", 0x03BB, false},
    {"lang", 0x27E8, false},
    {"laquo", 0x00AB, true},
    {"larr", 0x2190, false},
    {"lceil", 0x2308, false},
    {"ldquo", 0x201C, false},
    {"le", 0x2264, false},
    {"lfloor", 0x230A, false},
    {"lowast", 0x2217, false},
    {"loz", 0x25CA, false},
    {"lrm", 0x200E, false},
    {"lsaquo", 0x2039, false},
    {"lsquo", 0x2018, false},
    {"lt", 0x003C, true},
    {"macr", 0x00AF, true},
    {"mdash", 0x2014, false},
    {"micro", 0x00B5, true},
    {"middot", 0x00B7, true},
    {"minus", 0x2212, false},
    {"mu", 0x03BC, false},
    {"nabla", 0x2207, false},
    {"nbsp", 0x00A0, true},
    {"ndash", 0x2013, false},
    {"ne", 0x2260, false},
    {"ni", 0x220B, false},
    {"not", 0x00AC, true},
    {"notin", 0x2209, false},
    {"nsub", 0x2284, false},
    {"ntilde", 0x00F1, true},
    {"nu", 0x03BD, false},
    {"oacute", 0x00F3, true},
    {"ocirc", 0x00F4, true},
    {"oelig", 0x0153, false},
    {"ograve", 0x00F2, true},
    {"oline", 0x203E, false},
    {"omega", 0x03C9, false},
    {"omicron", 0x03BF, false},
    {"oplus", 0x2295, false},
    {"or", 0x2228, false},
    {"ordf", 0x00AA, true},
    {"ordm", 0x00BA, true},
    {"oslash", 0x00F8, true},
    {"otilde", 0x00F5, true},
    {"otimes", 0x2297, false},
    {"ouml", 0x00F6, true},
    {"para", 0x00B6, true},
    {"part", 0x2202, false},
    {"permil", 0x2030, false},
    {"perp", 0x22A5, false},
    {"phi", 0x03C6, false},
    {"pi", 0x03C0, false},
    {"piv", 0x03D6, false},
    {"plusmn", 0x00B1, true},
    {"pound", 0x00A3, true},
    {"prime", 0x2032, false},
    {"prod", 0x220F, false},
    {"prop", 0x221D, false},
    {"psi", 0x03C8, false},
    {"quot", 0x0022, true},
    {"rArr", 0x21D2, false},
    {"radic", 0x221A, false},
    {"rang", 0x27E9, false},
    {"raquo", 0x00BB, true},
    {"rarr", 0x2192, false},
    {"rceil", 0x2309, false},
    {"rdquo", 0x201D, false},
    {"real", 0x211C, false},
    {"reg", 0x00AE, true},
    {"rfloor", 0x230B, false},
    {"rho", 0x03C1, false},
    {"rlm", 0x200F, false},
    {"rsaquo", 0x203A, false},
    {"rsquo", 0x2019, false},
    {"sbquo", 0x201A, false},
    {"scaron", 0x0161, false},
    {"sdot", 0x22C5, false},
    {"sect", 0x00A7, true},
    {"shy", 0x00AD, true},
    {"sigma", 0x03C3, false},
    {"sigmaf", 0x03C2, false},
    {"sim", 0x223C, false},
    {"spades", 0x2660, false},
    {"sub", 0x2282, false},
    {"sube", 0x2286, false},
    {"sum", 0x2211, false},
    {"sup", 0x2283, false},
    {"sup1", 0x00B9, true},
    {"sup2", 0x00B2, true},
    {"sup3", 0x00B3, true},
    {"supe", 0x2287, false},
    {"szlig", 0x00DF, true},
    {"tau", 0x03C4, false},
    {"there4", 0x2234, false},
    {"theta", 0x03B8, false},
    {"thetasym", 0x03D1, false},
    {"thinsp", 0x2009, false},
    {"thorn", 0x00FE, true},
    {"tilde", 0x02DC, false},
    {"times", 0x00D7, true},
    {"trade", 0x2122, false},
    {"uArr", 0x21D1, false},
    {"uacute", 0x00FA, true},
    {"uarr", 0x2191, false},
    {"ucirc", 0x00FB, true},
    {"ugrave", 0x00F9, true},
    {"uml", 0x00A8, true},
    {"upsih", 0x03D2, false},
    {"upsilon", 0x03C5, false},
    {"uuml", 0x00FC, true},
    {"weierp", 0x2118, false},
    {"xi", 0x03BE, false},
    {"yacute", 0x00FD, true},
    {"yen", 0x00A5, true},
    {"yuml", 0x00FF, true},
    {"zeta", 0x03B6, false},
    {"zwj", 0x200D, false},
    {"zwnj", 0x200C, false},
};

const Entity* FindEntity(std::u16string_view name) {
  auto less = [](const Entity& e, std::u16string_view n) {
    std::string_view en = e.name;
    return std::lexicographical_compare(en.begin(), en.end(), n.begin(), n.end(),
                                        [](char a, char16_t b) { return char16_t(static_cast<unsigned char>(a)) < b; });
  };
  auto it = std::lower_bound(std::begin(kEntities), std::end(kEntities), name, less);
  if (it == std::end(kEntities)) return nullptr;
  std::string_view en = it->name;
  if (en.size() != name.size() || !std::equal(en.begin(), en.end(), name.begin())) return nullptr;
  return it;
}

// Windows-1252 meanings that documents give to references in 0x80..0x9F.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
    0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};

size_t DecodeNumeric(std::u16string_view in, std::u16string& out) {
  size_t i = 2;  // after "&#"
  bool hex = i < in.size() && (in[i] == 'x' || in[i] == 'X');
  if (hex) ++i;
  size_t digitsStart = i;
  uint32_t value = 0;
  bool overflow = false;
  while (i < in.size() && (hex ? IsHexDigit(in[i]) : IsAsciiDigit(in[i]))) {
    uint32_t d = IsAsciiDigit(in[i]) ? in[i] - '0' : (in[i] | 0x20) - 'a' + 10;
    if (value > 0x10FFFF) overflow = true; else value = value * (hex ? 16 : 10) + d;
    ++i;
  }
  if (i == digitsStart) return 0;
  if (i < in.size() && in[i] == ';') ++i;
  char32_t cp = value;
  if (overflow || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  else if (cp >= 0x80 && cp <= 0x9F) cp = kWindows1252[cp - 0x80];
  AppendCodePoint(out, cp);
  return i;
}

}  // namespace

size_t DecodeCharacterReference(std::u16string_view in, bool inAttribute, std::u16string& out) {
  if (in.size() < 2) return 0;
  if (in[1] == '#') return DecodeNumeric(in, out);
  constexpr size_t kLongestName = 8;
  size_t end = 1;
  while (end < in.size() && end <= kLongestName + 1 && IsAsciiAlnum(in[end])) ++end;
  if (end == 1) return 0;
  if (end < in.size() && in[end] == ';') {
    if (const Entity* e = FindEntity(in.substr(1, end - 1))) {
      AppendCodePoint(out, e->value);
      return end + 1;
    }
  }
  // Without ';': the longest legacy name that starts the run ("&copy2023", "&ampx").
  for (size_t len = end - 1; len >= 2; --len) {
    const Entity* e = FindEntity(in.substr(1, len));
    if (!e || !e->legacy) continue;
    size_t after = 1 + len;
    if (inAttribute && after < in.size() && (IsAsciiAlnum(in[after]) || in[after] == '=')) return 0;
    AppendCodePoint(out, e->value);
    return after;
  }
  return 0;
}

}  // namespace html
