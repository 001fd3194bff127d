#include "browser/html_css.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "browser/html_chars.h"

namespace html {
namespace {

struct NamedColor {
  const char* name;
  Color value;
};

constexpr NamedColor kNamedColors[] = {
    {"aqua", 0x00FFFF}, {"beige", 0xF5F5DC}, {"black", 0x000000}, {"blue", 0x0000FF},
    {"brown", 0xA52A2A}, {"chocolate", 0xD2691E}, {"coral", 0xFF7F50}, {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9}, {"darkorange", 0xFF8C00}, {"darkred", 0x8B0000},
    {"deeppink", 0xFF1493}, {"dimgray", 0x696969}, {"dimgrey", 0x696969}, {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222}, {"forestgreen", 0x228B22}, {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC},
    {"gold", 0xFFD700}, {"gray", 0x808080}, {"green", 0x008000}, {"grey", 0x808080},
    {"hotpink", 0xFF69B4}, {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0}, {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA}, {"lightblue", 0xADD8E6}, {"lightcyan", 0xE0FFFF}, {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90}, {"lightgrey", 0xD3D3D3}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00},
    {"limegreen", 0x32CD32}, {"magenta", 0xFF00FF}, {"maroon", 0x800000}, {"navy", 0x000080},
    {"olive", 0x808000}, {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"pink", 0xFFC0CB},
    {"purple", 0x800080}, {"red", 0xFF0000}, {"royalblue", 0x4169E1}, {"salmon", 0xFA8072},
    {"seagreen", 0x2E8B57}, {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C}, {"teal", 0x008080}, {"tomato", 0xFF6347}, {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3}, {"white", 0xFFFFFF}, {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
};

std::optional<Color> NamedColorValue(std::u16string_view name) {
  if (EqualsNoCase(name, "transparent")) return kTransparent;
  for (const NamedColor& c : kNamedColors) {
    if (EqualsNoCase(name, c.name)) return c.value;
  }
  return std::nullopt;
}

int HexValue(char16_t c) {
  if (IsAsciiDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

std::optional<Color> ParseHex(std::u16string_view digits) {
  if (!std::all_of(digits.begin(), digits.end(), [](char16_t c) { return IsHexDigit(c); })) return std::nullopt;
  if (digits.size() == 3) {
    Color c = 0;
    for (char16_t d : digits) c = (c << 8) | (HexValue(d) * 17);
    return c;
  }
  if (digits.size() == 6) {
    Color c = 0;
    for (char16_t d : digits) c = (c << 4) | HexValue(d);
    return c;
  }
  return std::nullopt;
}

// Parses a decimal number at the start of `s` (sign, digits, fraction); sets `used`.
std::optional<double> ParseNumber(std::u16string_view s, size_t* used) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  double value = 0;
  size_t digits = 0;
  while (i < s.size() && IsAsciiDigit(s[i])) {
    if (value < 1e7) value = value * 10 + (s[i] - '0');
    ++i;
    ++digits;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < s.size() && IsAsciiDigit(s[i])) {
      value += (s[i] - '0') * scale;
      scale /= 10;
      ++i;
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  *used = i;
  return negative ? -value : value;
}

std::optional<Color> ParseRgbFunction(std::u16string_view v) {
  size_t open = v.find('(');
  size_t close = v.rfind(')');
  if (open == std::u16string_view::npos || close == std::u16string_view::npos || close < open) return std::nullopt;
  std::u16string_view args = v.substr(open + 1, close - open - 1);
  double parts[4] = {0, 0, 0, 1};
  int count = 0;
  while (count < 4) {
    args = TrimSpaces(args);
    if (args.empty()) break;
    size_t used = 0;
    auto n = ParseNumber(args, &used);
    if (!n) return std::nullopt;
    double value = *n;
    args.remove_prefix(used);
    if (!args.empty() && args.front() == '%') {
      value = count < 3 ? value * 255 / 100 : value / 100;
      args.remove_prefix(1);
    }
    parts[count++] = value;
    args = TrimSpaces(args);
    if (!args.empty() && (args.front() == ',' || args.front() == '/')) args.remove_prefix(1);
  }
  if (count < 3) return std::nullopt;
  if (count == 4 && parts[3] <= 0) return kTransparent;
  Color c = 0;
  for (int i = 0; i < 3; ++i) c = (c << 8) | static_cast<Color>(std::clamp(std::lround(parts[i]), 0L, 255L));
  return c;
}

}  // namespace

std::optional<Color> ParseCssColor(std::u16string_view value) {
  value = TrimSpaces(value);
  if (value.empty()) return std::nullopt;
  if (value.front() == '#') return ParseHex(value.substr(1));
  if (StartsWithNoCase(value, "rgb")) return ParseRgbFunction(value);
  return NamedColorValue(value);
}

std::optional<Color> ParseAttributeColor(std::u16string_view value) {
  value = TrimSpaces(value);
  if (value.empty()) return std::nullopt;
  if (auto named = NamedColorValue(value)) return named;
  if (value.front() == '#') value.remove_prefix(1);
  return ParseHex(value);
}

std::optional<Length> ParseCssLength(std::u16string_view value, int fontSize) {
  value = TrimSpaces(value);
  size_t used = 0;
  auto n = ParseNumber(value, &used);
  if (!n) return std::nullopt;
  std::u16string_view unit = TrimSpaces(value.substr(used));
  double px = *n;
  Length out;
  if (unit.empty() || EqualsNoCase(unit, "px")) {
  } else if (EqualsNoCase(unit, "pt")) {
    px = px * 4 / 3;
  } else if (EqualsNoCase(unit, "em") || EqualsNoCase(unit, "rem")) {
    px = px * fontSize;
  } else if (EqualsNoCase(unit, "ex")) {
    px = px * fontSize / 2;
  } else if (unit == u"%") {
    out.percent = true;
  } else {
    return std::nullopt;
  }
  out.value = static_cast<int>(std::clamp(std::lround(px), -100000L, 100000L));
  return out;
}

std::optional<Length> ParseAttributeLength(std::u16string_view value) {
  value = TrimSpaces(value);
  size_t used = 0;
  auto n = ParseNumber(value, &used);
  if (!n || *n < 0) return std::nullopt;
  Length out;
  out.percent = used < value.size() && value[used] == '%';
  out.value = static_cast<int>(std::min(*n, 100000.0));
  return out;
}

std::vector<Declaration> ParseStyleAttribute(std::u16string_view style) {
  std::vector<Declaration> out;
  while (!style.empty()) {
    size_t end = style.find(';');
    std::u16string_view part = style.substr(0, end);
    style = end == std::u16string_view::npos ? std::u16string_view() : style.substr(end + 1);
    size_t colon = part.find(':');
    if (colon == std::u16string_view::npos) continue;
    std::u16string_view name = TrimSpaces(part.substr(0, colon));
    std::u16string_view value = TrimSpaces(part.substr(colon + 1));
    size_t bang = value.find('!');
    if (bang != std::u16string_view::npos) value = TrimSpaces(value.substr(0, bang));
    if (name.empty() || value.empty()) continue;
    Declaration d;
    for (char16_t c : name) d.property.push_back(AsciiLower(c));
    d.value.assign(value);
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace html
