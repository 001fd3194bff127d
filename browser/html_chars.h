// Character classes and UTF-16 helpers shared by the HTML parser and the layout.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace html {

inline bool IsHtmlSpace(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
inline bool IsAsciiAlpha(char32_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
inline bool IsAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiAlnum(char32_t c) { return IsAsciiAlpha(c) || IsAsciiDigit(c); }
inline bool IsHexDigit(char32_t c) { return IsAsciiDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
inline char16_t AsciiLower(char16_t c) { return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c; }

// True when `a` equals the ASCII text `b` with ASCII letters folded.
bool EqualsNoCase(std::u16string_view a, std::string_view b);
bool StartsWithNoCase(std::u16string_view a, std::string_view b);
std::u16string AsciiToUtf16(std::string_view ascii);
std::u16string_view TrimSpaces(std::u16string_view s);

// The code point at `i` (a surrogate pair read as one); `units` receives 1 or 2.
char32_t CodePointAt(std::u16string_view s, size_t i, size_t* units);
void AppendCodePoint(std::u16string& out, char32_t cp);

// Line breaking: ideographs, kana, hangul and full-width forms may break on either side.
bool IsCjk(char32_t cp);
// Closing punctuation never starts a line; opening punctuation never ends one.
bool NoBreakBefore(char32_t cp);
bool NoBreakAfter(char32_t cp);
// A break opportunity between two adjacent non-space characters.
bool CanBreakBetween(char32_t before, char32_t after);

}  // namespace html
