// The small part of CSS and of the legacy presentational attributes that the view understands:
// colours, lengths and the declarations of a style attribute.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace html {

using Color = uint32_t;                  // 0x00RRGGBB
constexpr Color kTransparent = 0xFF000000;

// "#rgb", "#rrggbb", "rgb(r, g, b)", "rgba(...)" and colour names; kTransparent for "transparent".
std::optional<Color> ParseCssColor(std::u16string_view value);
// Attribute colours (bgcolor, <font color>): also hex digits without '#'.
std::optional<Color> ParseAttributeColor(std::u16string_view value);

// A length: pixels, or a percentage of the containing width when `percent` is set.
struct Length {
  int value = 0;
  bool percent = false;
};
// "12", "12px", "9pt", "1.5em" (relative to `fontSize`), "50%".
std::optional<Length> ParseCssLength(std::u16string_view value, int fontSize);
// Attributes (width="80%", cellpadding="4"): a number of pixels or a percentage.
std::optional<Length> ParseAttributeLength(std::u16string_view value);

struct Declaration {
  std::u16string property;  // lower case
  std::u16string value;     // trimmed, "!important" removed
};
// "color: red; font-weight:bold" in order; malformed parts are skipped.
std::vector<Declaration> ParseStyleAttribute(std::u16string_view style);

}  // namespace html
